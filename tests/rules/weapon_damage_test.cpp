#include <gtest/gtest.h>

#include "core/game_state.h"
#include "core/random.h"
#include "data/races.h"
#include "items/weapon_damage.h"

namespace kelvrin {
namespace {

constexpr int Dagger = 1, Quarterstaff = 4, ShortSword = 5, LongSword = 7, Rapier = 9, GreatSword = 11;
const ItemSlot CarriedShield{1, KindShield, 0, 0, Identified};
const ItemSlot NoShield{1, KindEmpty, 0, 0, 0};

ItemSlot weapon(int row, int bonus = 0, std::uint32_t flags = Identified) {
    return ItemSlot{row, KindWeapon, 0, bonus, flags};
}

TEST(WeaponDamageTest, GripBySizeAndRace) {
    struct Case {
        int size;
        bool small;
        WeaponGrip grip;
    };
    const Case cases[] = {
        {-2, false, WeaponGrip::OneHand}, {-1, false, WeaponGrip::OneHand},
        {0, false, WeaponGrip::BothHandsWithoutShield}, {1, false, WeaponGrip::TwoHanded},
        {-100, false, WeaponGrip::OneHand}, {-2, true, WeaponGrip::OneHand},
        {-1, true, WeaponGrip::BothHandsWithoutShield}, {0, true, WeaponGrip::TwoHanded},
        {1, true, WeaponGrip::TooBig}, {-100, true, WeaponGrip::OneHand},
    };
    for (const Case& c : cases) EXPECT_EQ(weaponGrip(c.size, c.small), c.grip) << c.size << " " << c.small;
}

TEST(WeaponDamageTest, DamageRanges) {
    struct Case {
        const char* what;
        int race;
        int strength;
        ItemSlot shield;
        ItemSlot weapon;
        int powerAttack;
        bool specialised;
        DamageRange range;
    };
    const Case cases[] = {
        {"two-handed, SIŁ +3 gives (3 × 3) / 2", RaceHuman, 16, NoShield, weapon(GreatSword), 0, false, {6, 16}},
        {"two-handed, SIŁ -1 counts once", RaceHuman, 8, NoShield, weapon(GreatSword), 0, false, {1, 11}},
        {"medium without shield: both hands", RaceHuman, 14, NoShield, weapon(LongSword), 0, false, {4, 11}},
        {"medium with shield: one hand", RaceHuman, 14, CarriedShield, weapon(LongSword), 0, false, {3, 10}},
        {"light weapon: one hand", RaceHuman, 14, NoShield, weapon(Dagger), 0, false, {3, 6}},
        {"small race: medium is two-handed", RaceHalfling, 14, CarriedShield, weapon(Rapier), 0, false, {4, 9}},
        {"small race: small without shield", RaceGnome, 14, NoShield, weapon(ShortSword), 0, false, {4, 9}},
        {"small race: too big counts one hand", RaceGnome, 14, NoShield, weapon(Quarterstaff), 0, false, {3, 10}},
        {"Power Attack, known bonus, specialisation", RaceHuman, 10, CarriedShield, weapon(LongSword, 2), 3, true,
         {8, 15}},
        {"unknown bonus does not show", RaceHuman, 10, CarriedShield, weapon(LongSword, 2, 0), 0, false, {1, 8}},
        {"cursed weapon: each end at least 1", RaceHuman, 6, CarriedShield, weapon(Dagger, -3), 0, false, {1, 1}},
    };
    for (const Case& c : cases) {
        Hero h;
        h.race = c.race;
        h.attributes[Str] = c.strength;
        h.shield = c.shield;
        h.powerAttack = c.powerAttack;
        h.weaponSpecMask = c.specialised ? (1u << c.weapon.ref) : 0u;
        EXPECT_EQ(damageRange(h, c.weapon), c.range) << c.what;
    }
}

TEST(WeaponDamageTest, RollCountsAHiddenBonus) {
    hero = Hero{};
    hero.race = RaceHuman;
    hero.attributes[Str] = 12;
    hero.shield = CarriedShield;
    hero.weapon = weapon(LongSword, 2, 0);  // +2, not identified: 1-8 + 1 + 2
    for (std::uint32_t seed : {1u, 77u, 4242u}) {
        seedRandom(seed);
        const int expected = 4 + randomNext() % 8;
        const std::uint32_t afterOneDraw = randomState();
        seedRandom(seed);
        EXPECT_EQ(rollDamage(), expected);
        EXPECT_EQ(randomState(), afterOneDraw);
    }
}

TEST(WeaponDamageTest, ThreatRanges) {
    struct Case {
        int row;
        int bonus;
        std::uint32_t flags;
        bool onlyKnown;
        bool improved;
        int from;
    };
    const Case cases[] = {
        {LongSword, 0, Identified, true, false, 19},
        {Dagger, 1, Identified | Keen, true, false, 19},   // 20 → 19
        {LongSword, 1, Identified | Keen, true, false, 17},  // 19 → 17
        {Rapier, 1, Identified | Keen, true, false, 15},     // 18 → 15
        {Rapier, -1, Identified | Keen, true, false, 20},    // keen and cursed: 20 only
        {Rapier, 1, Keen, true, false, 18},                  // the hero does not know the edge
        {Rapier, 1, Keen, false, false, 15},                 // but it cuts in a fight
        {Rapier, 1, Identified | Keen, true, true, 13},
        {Rapier, -1, Identified | Keen, true, true, 18},
    };
    for (const Case& c : cases)
        EXPECT_EQ(threatRangeStart(ItemSlot{c.row, KindWeapon, 0, c.bonus, c.flags}, c.onlyKnown, c.improved), c.from)
            << "row " << c.row << " bonus " << c.bonus << " flags " << c.flags;
}

}  // namespace
}  // namespace kelvrin
