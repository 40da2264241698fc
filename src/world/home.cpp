#include "world/home.h"

#include <algorithm>

#include "core/console.h"
#include "core/game_state.h"
#include "world/rest.h"

namespace kelvrin {

namespace {

struct Building {
    StoryFlag flag;
    const char* name;        // when building or demolishing
    const char* returnName;  // when coming home
    int buildDays;
    int buildCost;
    // How much faster than a level's Pw a day the hero heals when resting
    // until healed ("-1").
    float restFactor;
    int demolishDays;
    int demolishCost;
};

constexpr Building hut{HutBuilt, "szałas", "ciasnego szałasu", 7, 0, 0.5f, 1, 0};
constexpr Building house{HouseBuilt, "dom", "przestronnego domu", 30, 5000, 1.0f, 7, 500};
constexpr Building palace{PalaceBuilt, "pałac", "przytulnego pałacu", 90, 25000, 1.5f, 15, 2500};

// The building on the hero's land, or nullptr for an empty plot.
const Building* standingBuilding() {
    for (const Building* building : {&hut, &house, &palace})
        if (world.has(building->flag)) return building;
    return nullptr;
}

// Heals by `amount` Pw, never above the maximum (and never lowers Pw that
// are above it).
void heal(long long amount) {
    if (hero.hp >= hero.maxHp) return;
    hero.hp = static_cast<int>(std::min(static_cast<long long>(hero.hp) + amount, static_cast<long long>(hero.maxHp)));
}

// Building or demolishing takes days; the hero rests on the side: half a
// level's Pw a day.
void spendWorkDays(int days) {
    advanceDays(days);
    heal(static_cast<long long>(hero.level) * days / 2);
}

bool build() {
    print("Co chcesz zbudować?\ns - szałas\nd - dom\np - pałac\nw - wróć do miasta\n\n");
    const Building* building = nullptr;
    switch (askKey("sdpw")) {
        case 's': building = &hut; break;
        case 'd': building = &house; break;
        case 'p': building = &palace; break;
        default: return false;
    }
    print("Czy chcesz zbudować %s? ", building->name);
    if (building->buildCost == 0)
        print("Zajmie ci to %d dni, nie będzie nic kosztować. ", building->buildDays);
    else
        print("Zajmię to %d dni, będzie kosztować %d za materiały i opłacenie robotników. ", building->buildDays,
              building->buildCost);
    print("(t\n)");
    if (!askYesNo()) return true;
    if (hero.gold < building->buildCost) {
        print("Brakuje ci %d sztuk złota.\n\n(ok)", goldShortOf(building->buildCost));
    } else {
        addGold(-building->buildCost);
        spendWorkDays(building->buildDays);
        world.set(building->flag);
        print("Wybudowałeś %s.\n\n(ok)", building->name);
    }
    pauseOk();
    return true;
}

bool emptyPlot() {
    print("Przychodzisz na działkę którą kupiłeś od burmistrza. Nic tu nie ma oprócz kilku krzaków.\nCo chcesz "
          "zrobić?\nb - buduj dom\nw - wróć do miasta\n\n");
    if (askKey("bw") == 'w') return false;
    return build();
}

bool rest(const Building& building) {
    print("Możesz tu odpoczywać ile chcesz. Masz %d/%d pw.\nIle dni chcesz odpoczywać? (-1 dla pełnego "
          "wyzdrowienia)\n",
          hero.hp, hero.maxHp);
    int typed = 0;
    readNumber(typed);
    const bool untilHealed = typed == -1;
    const int days = restDays(typed, static_cast<float>(hero.level) * building.restFactor);
    if (days == 0) return true;
    // The days pass before the message, so that what they bring (the mine's
    // gold) is shown before the key that closes the screen.
    advanceDays(days);
    if (untilHealed)
        heal(hero.maxHp);
    else
        heal(static_cast<long long>(hero.level) * days);
    hero.ragesLeft = hero.ragesPerDay;
    hero.lastChances = 3;
    print("Odpoczywałeś %d dni.\n\n(ok)", days);
    pauseOk();
    return true;
}

bool demolish(const Building& building) {
    print("Czy chcesz zburzyć %s? Zajmię ci to %d dni i będzie kosztować %d sztuk złota. (t/n)\n\n", building.name,
          building.demolishDays, building.demolishCost);
    if (!askYesNo()) return true;
    if (hero.gold < building.demolishCost) {
        print("Brakuje ci %d sztuk złota.\n\n(ok)", goldShortOf(building.demolishCost));
    } else {
        addGold(-building.demolishCost);
        spendWorkDays(building.demolishDays);
        // The land goes with the building: the mayor sells it again.
        world.clear(LandOwned);
        world.clear(building.flag);
        print("Zburzyłeś %s.\n\n(ok)", building.name);
    }
    pauseOk();
    return true;
}

}  // namespace

bool homeScreen() {
    if (!world.has(LandOwned)) return false;
    clearScreen();
    const Building* building = standingBuilding();
    if (building == nullptr) return emptyPlot();
    print("Wracasz do swojego domu, %s. ", building->returnName);
    print("Co chcesz zrobić?\no - odpoczywaj\nz - zburz\nw - wróć do miasta\n\n");
    switch (askKey("ozw")) {
        case 'o': return rest(*building);
        case 'z': return demolish(*building);
        default: return false;
    }
}

}  // namespace kelvrin
