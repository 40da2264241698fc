#include <gtest/gtest.h>

#include "core/game_state.h"
#include "core/random.h"
#include "data/races.h"
#include "items/weapon_damage.h"

namespace kelvrin {
namespace {

constexpr int Dagger = 1, ShortSword = 5, LongSword = 7, Rapier = 9, GreatSword = 11;
constexpr ItemSlot Shield{1, KindShield, 0, 0, Identified}, NoShield{1, KindEmpty, 0, 0, 0};

constexpr ItemSlot weapon(int row, int bonus = 0, std::uint32_t flags = Identified) {
    return ItemSlot{row, KindWeapon, 0, bonus, flags};
}

// How weapons are held (by size and race) is walked through the grips here
// and through the refusals of the inventory screen.
TEST(WeaponDamageTest, DamageRanges) {
    const struct {
        const char* what;
        int race, str;
        ItemSlot shield, weapon;
        int powerAttack;
        DamageRange range;
    } cases[] = {
        {"two-handed, SIŁ +3: (3 × 3) / 2", RaceHuman, 16, NoShield, weapon(GreatSword), 0, {6, 16}},
        {"two-handed, SIŁ -1 counts once", RaceHuman, 8, NoShield, weapon(GreatSword), 0, {1, 11}},
        {"medium without shield: both hands", RaceHuman, 14, NoShield, weapon(LongSword), 0, {4, 11}},
        {"medium with shield: one hand", RaceHuman, 14, Shield, weapon(LongSword), 0, {3, 10}},
        {"small race: medium is two-handed", RaceHalfling, 14, Shield, weapon(Rapier), 0, {4, 9}},
        {"small race: small without shield: both hands", RaceGnome, 14, NoShield, weapon(ShortSword), 0, {4, 9}},
        {"Power Attack, known bonus, specialisation", RaceHuman, 10, Shield, weapon(LongSword, 2), 3, {8, 15}},
        {"unknown bonus does not show", RaceHuman, 10, Shield, weapon(LongSword, 2, 0), 0, {1, 8}},
        {"cursed: each end at least 1", RaceHuman, 6, Shield, weapon(Dagger, -3), 0, {1, 1}},
    };
    for (const auto& c : cases) {
        Hero h;
        h.race = c.race;
        h.attributes[Str] = c.str;
        h.shield = c.shield;
        h.powerAttack = c.powerAttack;
        h.weaponSpecMask = c.powerAttack != 0 ? (1u << c.weapon.ref) : 0u;  // specialised with Power Attack
        EXPECT_EQ(damageRange(h, c.weapon), c.range) << c.what;
    }
    // A fight rolls with one draw and counts the bonus the hero does not know.
    hero = Hero{};
    hero.attributes[Str] = 12;
    hero.shield = Shield;
    hero.weapon = weapon(LongSword, 2, 0);  // 1-8 + 1 + 2
    seedRandom(77);
    const int expected = 4 + randomNext() % 8;
    const std::uint32_t afterOneDraw = randomState();
    seedRandom(77);
    EXPECT_EQ(rollDamage(), expected);
    EXPECT_EQ(randomState(), afterOneDraw);
}

TEST(WeaponDamageTest, ThreatRanges) {
    const struct { int row, bonus; std::uint32_t flags; bool onlyKnown, improved; int from; } cases[] = {
        {Dagger, 1, Identified | Keen, true, false, 19},   // 20 → 19
        {Rapier, 1, Identified | Keen, true, false, 15},   // 18 → 15
        {Rapier, -1, Identified | Keen, true, false, 20},  // keen and cursed: 20 only
        {Rapier, 1, Keen, true, false, 18},                // the hero does not know the edge
        {Rapier, 1, Keen, false, false, 15},               // but it cuts in a fight
        {Rapier, 1, Identified | Keen, true, true, 13},
        {Rapier, -1, Identified | Keen, true, true, 18},
    };
    for (const auto& c : cases)
        EXPECT_EQ(threatRangeStart(weapon(c.row, c.bonus, c.flags), c.onlyKnown, c.improved), c.from)
            << "row " << c.row << " bonus " << c.bonus << " flags " << c.flags;
}

}  // namespace
}  // namespace kelvrin
