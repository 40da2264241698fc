#include "core/game_state.h"

#include <algorithm>
#include <climits>

#include "core/console.h"

namespace kelvrin {

Hero hero;
WorldState world;

namespace {

// Gold a working mine brings its owner every day.
constexpr long long MineIncomePerDay = 500;

int saturatingAdd(int value, long long amount) {
    return static_cast<int>(std::clamp(static_cast<long long>(value) + amount, static_cast<long long>(INT_MIN),
                                       static_cast<long long>(INT_MAX)));
}

}  // namespace

void addGold(long long amount) { hero.gold = saturatingAdd(hero.gold, amount); }
void addExperience(long long amount) { hero.xp = saturatingAdd(hero.xp, amount); }
int goldShortOf(int price) { return saturatingAdd(price, -static_cast<long long>(hero.gold)); }

void advanceDays(int days) {
    if (days <= 0) return;
    // Wrap as often as needed: a long rest may pass more than a year.
    const long long total = static_cast<long long>(world.day) + days;
    const long long yearsPassed = (total - 1) / DaysPerYear;
    world.day = static_cast<int>(total - yearsPassed * DaysPerYear);
    world.year += static_cast<int>(yearsPassed);

    // A working mine pays its owner for every day that passes.
    if (world.has(MineWorking)) {
        const int before = hero.gold;
        addGold(days * MineIncomePerDay);
        const long long paid = static_cast<long long>(hero.gold) - before;
        if (paid > 0) print("Kopalnia przyniosła ci %lld sztuk złota.\n", paid);
    }
}

void resetForNewGame() {
    const int savedX = world.savedX;
    const int savedY = world.savedY;
    const int dungeonLevel = world.dungeonLevel;
    world = WorldState{};
    world.savedX = savedX;
    world.savedY = savedY;
    world.dungeonLevel = dungeonLevel;
    world.startMarker = 1;
    world.location = LocationTown;
    world.year = 113;
    world.day = 1;

    hero = Hero{};
    hero.gold = 50;
    hero.level = 1;
    hero.xp = 0;
    hero.xpNext = 1000;
    hero.baseAttack = 1;
    hero.attackPool = 1;
    hero.lastHarm = HarmNothingYet;
    hero.lastChances = 3;
    hero.weapon = ItemSlot{0, KindWeapon, 0, 0, Identified};
    hero.armour = ItemSlot{0, KindArmour, 0, 0, Identified};
    hero.shield = ItemSlot{0, KindEmpty, 0, 0, 0};
}

}  // namespace kelvrin
