#include "world/world_map.h"

#include "core/console.h"
#include "core/game_state.h"

namespace kelvrin {

void worldMap() {
    print("Gdzie chcesz iść: \nm - miasto\nl - las\nd - droga\np - podziemia\n");
    switch (askKey("mldp")) {
        case 'm':
            world.location = LocationTown;
            break;
        default:
            // The forest, the road and the underground open with their own
            // screens; until then the hero stays on the world map.
            break;
    }
}

}  // namespace kelvrin
