#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "core/cp1250.h"
#include "data/monsters.h"

namespace kelvrin {
namespace {

TEST(MonsterTable, RowsAreIndexedAndTheScriptedOnesNamed) {
    ASSERT_EQ(monsterTable.size(), 60u);
    for (int i = 0; i < 60; ++i) {
        const MonsterDef& m = monsterRow(i);
        EXPECT_EQ(m.id, i);
        EXPECT_EQ(&m, &monsterTable[static_cast<std::size_t>(i)]);
        // The graveyard file keeps the killer's name in Windows-1250.
        EXPECT_TRUE(fitsCp1250(m.name)) << i;
    }
    EXPECT_THROW(monsterRow(60), std::out_of_range);
    EXPECT_THROW(monsterRow(-1), std::out_of_range);

    // Rows that events, quests and companions name directly.
    const std::pair<MonsterRow, const char*> named[] = {
        {MonsterIronGolem, "Żelazny golem"},    {MonsterMimic, "Mimik"},
        {MonsterTerrasque, "Terrasque"},        {MonsterAnimatedTree, "Ożywione drzewo"},
        {MonsterPaladin, "Paladyn"},            {MonsterStrongPaladin, "Paladyn"},
        {MonsterDruid, "Druid"},                {MonsterStrongDruid, "Druid"},
        {MonsterGuard, "Strażnik"},             {MonsterSergeant, "Sierżant"},
        {MonsterBanditChief, "Herszt"},         {MonsterLegendaryTiger, "Legendarny tygrys"},
        {MonsterDeathKnight, "Rycerz śmierci"},
    };
    const int rows[] = {16, 33, 42, 44, 45, 46, 47, 48, 50, 51, 55, 56, 57};
    for (std::size_t i = 0; i < std::size(named); ++i) {
        EXPECT_EQ(named[i].first, rows[i]);
        EXPECT_EQ(std::string(monsterRow(named[i].first).name), named[i].second);
    }
}

TEST(MonsterTable, AttackListsEndAtTheFirstEmptyEntry) {
    EXPECT_EQ(attackCount(monsterRow(MonsterStrongDruid)), 0);  // it only transforms
    EXPECT_EQ(attackCount(monsterRow(MonsterRat)), 1);
    EXPECT_EQ(attackCount(monsterRow(MonsterTerrasque)), 4);
    const MonsterDef& otyugh = monsterRow(MonsterOtyugh);
    ASSERT_EQ(attackCount(otyugh), 3);
    EXPECT_EQ(otyugh.attacks[2].poison, AttackPoisonLight);
}

TEST(MonsterTable, HighBitsAreBitsNotSigns) {
    static_assert(std::is_unsigned_v<decltype(MonsterDef::traits)>);
    static_assert(std::is_unsigned_v<std::underlying_type_t<MonsterTrait>>);
    static_assert(TraitSteadfast == 0x80000000u && TraitReduction20 == 0x80u);

    // Which rows carry the sign bit of the word and the sign bit of its low
    // byte, found by testing each as a plain bit.
    std::vector<int> steadfast, reduction20;
    for (const MonsterDef& m : monsterTable) {
        if (hasTrait(m, TraitSteadfast)) steadfast.push_back(m.id);
        if (hasTrait(m, TraitReduction20)) reduction20.push_back(m.id);
    }
    EXPECT_EQ(steadfast, (std::vector<int>{MonsterSergeant, MonsterCommander}));
    EXPECT_EQ(reduction20, (std::vector<int>{MonsterClayGolem}));
    // The mayor has 0x70000020: high bits set, but not steadfast.
    EXPECT_FALSE(hasTrait(monsterRow(MonsterMayor), TraitSteadfast));
    EXPECT_TRUE(hasTrait(monsterRow(MonsterMayor), TraitGuardCaller));

    // Town rows have habitat bit 0x80, the low byte's sign bit.
    EXPECT_TRUE(livesIn(monsterRow(MonsterGuard), HabitatTown));
    EXPECT_FALSE(livesIn(monsterRow(MonsterBandit), HabitatTown));
    EXPECT_EQ(monsterRow(MonsterMayor).loot, 135u);  // gold doubled: bit 0x80
    EXPECT_TRUE(monsterRow(MonsterMayor).loot & LootGoldDoubled);
}

}  // namespace
}  // namespace kelvrin
