// The monster catalogue: every creature the hero can meet or fight beside,
// 60 rows indexed 0..59. Kill counts and the graveyard's cause of death store
// the row number, so the order of the rows is part of the file format.
// Rows are read by reference and never change.
#pragma once

#include <array>
#include <cstdint>

#include "core/game_state.h"
#include "data/monster_bits.h"

namespace kelvrin {

struct MonsterAttack {
    std::int32_t bonus;  // added to the d20 roll
    std::int32_t minDamage;
    std::int32_t maxDamage;  // 0 ends the attack list
    std::uint32_t poison;    // AttackPoison bits, 0 none
};

constexpr int MonsterAttackSlots = 4;

// Fields in the order of the catalogue's columns.
struct MonsterDef {
    std::int32_t id;  // the row's own index
    const char* name;
    // n > 0 is challenge n; -n is challenge 1/n (-8, -6, -4, -3, -2). Never 0.
    std::int32_t challenge;
    std::int32_t maxHp;
    std::int32_t kp;
    std::int32_t initiative;
    std::int32_t speed;
    std::int32_t flySpeed;  // 0: cannot fly
    std::array<MonsterAttack, MonsterAttackSlots> attacks;
    std::uint32_t traits;   // MonsterTrait bits
    std::uint32_t habitat;  // MonsterHabitat bits
    std::uint32_t loot;     // MonsterLoot bits, or exactly LootDoubleTreasure
};

// Row numbers, for the code that names a creature directly. Rows 45/46 and
// 47/48 share a display name: a weak and a strong form.
enum MonsterRow : int {
    MonsterRat = 0,
    MonsterKobold = 1,
    MonsterGoblin = 2,
    MonsterGhoul = 3,
    MonsterOgre = 4,
    MonsterMummy = 5,
    MonsterOtyugh = 6,
    MonsterTroll = 7,
    MonsterWyvern = 8,
    MonsterInvisibleStalker = 9,
    MonsterGreyRender = 10,
    MonsterSphinx = 11,
    MonsterClayGolem = 12,
    MonsterFireElemental = 13,
    MonsterPurpleWorm = 14,
    MonsterStoneGolem = 15,
    MonsterIronGolem = 16,
    MonsterSkeleton = 17,
    MonsterZombie = 18,
    MonsterDisplacerBeast = 19,
    MonsterOrc = 20,
    MonsterBulette = 21,
    MonsterShadow = 22,
    MonsterTyrannosaur = 23,
    MonsterTreant = 24,
    MonsterEttin = 25,
    MonsterGargoyle = 26,
    MonsterHillGiant = 27,
    MonsterStoneGiant = 28,
    MonsterFireGiant = 29,
    MonsterGriffon = 30,
    MonsterLizardfolk = 31,
    MonsterDigger = 32,
    MonsterMimic = 33,
    MonsterMinotaur = 34,
    MonsterSlaad = 35,
    MonsterWorg = 36,
    MonsterWolf = 37,
    MonsterBear = 38,
    MonsterViper = 39,
    MonsterBalor = 40,
    MonsterPitFiend = 41,
    MonsterTerrasque = 42,
    MonsterDog = 43,
    MonsterAnimatedTree = 44,   // only met when a druid animates a tree
    MonsterPaladin = 45,        // the companion of the crypt
    MonsterStrongPaladin = 46,
    MonsterDruid = 47,          // the companion of the grove
    MonsterStrongDruid = 48,    // has no attacks; turns into row 56
    MonsterTraveller = 49,
    MonsterGuard = 50,          // called by a guard caller
    MonsterSergeant = 51,       // called by a guard caller
    MonsterCommander = 52,
    MonsterMayor = 53,
    MonsterBandit = 54,
    MonsterBanditChief = 55,
    MonsterLegendaryTiger = 56,
    MonsterDeathKnight = 57,
    MonsterOrcChief = 58,
    MonsterOrcWarrior = 59,
};

extern const std::array<MonsterDef, MonsterRows> monsterTable;

// The row with this number, 0..59 (another number is a fault of the caller
// and throws std::out_of_range rather than reading past the table).
const MonsterDef& monsterRow(int row);

constexpr bool hasTrait(const MonsterDef& monster, MonsterTrait trait) { return (monster.traits & trait) != 0; }
constexpr bool livesIn(const MonsterDef& monster, std::uint32_t habitatMask) { return (monster.habitat & habitatMask) != 0; }

// How many attacks the row makes a turn: the list ends at the first entry
// whose maxDamage is 0.
int attackCount(const MonsterDef& monster);

}  // namespace kelvrin
