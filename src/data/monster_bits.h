// The bit sets of a monster row: traits (how it fights and what the mages'
// tower tells about it), habitat (where random encounters meet it), loot
// (what it leaves behind) and the poison of an attack. All are unsigned
// 32-bit words: 0x80 and 0x80000000 are ordinary bits here, never signs.
#pragma once

#include <cstdint>

namespace kelvrin {

enum MonsterTrait : std::uint32_t {
    TraitInvisible = 0x1,            // half of the attacks on it miss outright
    TraitRegenerating = 0x2,         // heals 5 Pw a turn while hurt
    TraitHalfDamage = 0x4,           // every hit on it does half damage
    TraitReduction5 = 0x8,           // damage reduction 5, beaten by +1
    TraitCritImmune = 0x10,          // never hit critically
    TraitFearless = 0x20,            // never flees
    TraitBludgeoningOnly = 0x40,     // only bludgeoning weapons harm it
    TraitReduction20 = 0x80,         // damage reduction 20, beaten by +1
    TraitReduction30 = 0x100,        // damage reduction 30, beaten by +2
    TraitReduction50 = 0x200,        // damage reduction 50, beaten by +3
    TraitReduction10 = 0x400,        // damage reduction 10, beaten by +2
    TraitAnimal = 0x800,             // a druid may charm it
    TraitUndead = 0x1000,            // a paladin may turn it
    TraitTreeAnimator = 0x2000,      // only shown by the tower
    TraitBlinking = 0x4000,          // a quarter of the attacks on it miss outright
    TraitIncorporeal = 0x8000,       // unharmed by unenchanted weapons; always hits
    TraitResistsPiercing = 0x10000,
    TraitResistsSlashing = 0x20000,
    TraitResistsBludgeoning = 0x40000,
    TraitReduction15 = 0x80000,      // damage reduction 15, beaten by +1
    TraitStatue = 0x100000,          // met as statues coming alive
    TraitMimic = 0x200000,           // pretends to be a chest
    TraitReduction30Plus3 = 0x400000,  // damage reduction 30, beaten by +3
    TraitFireAura = 0x800000,        // only shown by the tower
    // 0x1000000 is not used.
    TraitReduction25 = 0x2000000,    // damage reduction 25, beaten by +5
    TraitFastRegenerating = 0x4000000,  // heals 40 Pw a turn while hurt
    TraitHealer = 0x8000000,         // the paladin: heals friends, turns undead
    TraitDruid = 0x10000000,         // the druid: animates trees, charms animals, transforms
    TraitGuardCaller = 0x20000000,   // may call a town guard to its side
    TraitInnocent = 0x40000000,      // killing it lowers the hero's alignment
    TraitSteadfast = 0x80000000,     // flees only at a lower morale
};

enum MonsterHabitat : std::uint32_t {
    HabitatDungeon = 0x1,            // at a depth matching the challenge
    HabitatCrypt = 0x2,
    HabitatHallsOfPain = 0x4,
    HabitatForest = 0x8,
    HabitatRoad = 0x10,
    HabitatChallengeChamber = 0x40,
    HabitatTown = 0x80,
    HabitatNeverRandom = 0x100,      // only scripted events use the row
};

enum MonsterLoot : std::uint32_t {
    LootGold = 0x1,
    LootItem = 0x2,                  // a chance of one item
    LootGems = 0x4,
    LootGemsFromHalf = 0x8,          // gems from half the remaining treasure value
    LootSmallGear = 0x10,            // only light weapons and armour cut small
    LootGoldQuartered = 0x20,
    LootGoldDoubled = 0x80,
    // Not a bit: a loot word of exactly this value doubles the treasure
    // value before anything is taken from it.
    LootDoubleTreasure = 0x47,
};

// MonsterAttack::poison.
enum AttackPoison : std::uint32_t {
    AttackPoisonLight = 0x1,
    AttackPoisonMedium = 0x2,
    AttackPoisonStrong = 0x4,
};

}  // namespace kelvrin
