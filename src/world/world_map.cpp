#include "world/world_map.h"

#include "core/console.h"
#include "core/game_state.h"
#include "dungeon/dungeon_view.h"

namespace kelvrin {

void worldMap() {
    print("Gdzie chcesz iść: \nm - miasto\nl - las\nd - droga\np - podziemia\n");
    switch (askKey("mldp")) {
        case 'm':
            world.location = LocationTown;
            break;
        case 'l':
            world.location = LocationForest;
            break;
        case 'd':
            world.location = LocationRoad;
            break;
        case 'p':
            // Always the first level, whatever level the hero reached before.
            world.location = LocationDungeon;
            world.dungeonLevel = 0;
            enterDungeon(false);
            break;
    }
}

}  // namespace kelvrin
