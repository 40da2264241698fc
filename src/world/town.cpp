#include "world/town.h"

#include <array>

#include "character/barracks.h"
#include "character/program.h"
#include "combat/combat_screen.h"
#include "core/console.h"
#include "core/game_state.h"
#include "items/armour_smith.h"
#include "items/mages_tower.h"
#include "items/market.h"
#include "items/weapon_smith.h"
#include "world/home.h"
#include "world/inn.h"
#include "world/mayor.h"

namespace kelvrin {

namespace {

// A service screen returns true while it wants to be shown again.
using ServiceScreen = bool (*)();

struct TownService {
    char key;
    ServiceScreen screen;
};

// The services behind the town's keys, in the order of the menu.
constexpr std::array<TownService, 8> services{{
    {'b', barracksScreen},
    {'u', mayorScreen},
    {'t', marketScreen},
    {'g', innScreen},
    {'a', weaponSmithScreen},
    {'d', armourSmithScreen},
    {'m', magesTowerScreen},
    {'o', homeScreen},  // only with land of one's own
}};

const TownService* serviceFor(int key) {
    for (const TownService& service : services)
        if (service.key == key) return &service;
    return nullptr;
}

}  // namespace

void townScreen() {
    print("Jesteś w mieście. Jest %d dzień, %d rok.\nMasz %d/%d pw, %d złota.\n", world.day, world.year, hero.hp,
          hero.maxHp, hero.gold);
    if (hero.xp >= hero.xpNext) print("Masz dość doświadczenia aby awansować na %d poziom.\n", hero.level + 1);
    print("Dostepne komendy:\ns - informacje o postaci\nq - zapis i wyjście\nb - baraki\nu - burmistrz\n"
          "t - targowisko\ng - gospoda\na - płatnerz\nd - zbrojmistrz\nm - wieża magów\n");
    if (world.has(LandOwned)) print("o - mój dom\n");
    print("w - wyjdź z miasta\n\n");

    for (;;) {
        const int key = askKey("sqbutgadmow+");
        switch (key) {
            case 's':
                characterSheetWithHints();
                return;
            case 'q':
                saveAndQuitPrompt();
                return;
            case 'w':
                world.location = LocationWorldMap;
                return;
            case '+':
                continue;
            default:
                break;
        }
        if (key == 'o' && !world.has(LandOwned)) continue;
        const TownService* service = serviceFor(key);
        if (service == nullptr) continue;
        while (service->screen()) {
        }
        return;
    }
}

}  // namespace kelvrin
