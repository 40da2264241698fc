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
        case 'p':
            // Always the first level, whatever level the hero reached before.
            world.location = LocationDungeon;
            world.dungeonLevel = 0;
            enterDungeon(false);
            break;
        default:
            // The forest and the road open with their own screens; until
            // then the hero stays on the world map.
            break;
    }
}

}  // namespace kelvrin
