#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "core/cp1250.h"
#include "data/monsters.h"

namespace kelvrin {
namespace {

TEST(MonsterTable, RowsAreIndexedNamedAndEndTheirAttackLists) {
    for (int i = 0; i < 60; ++i) {
        EXPECT_EQ(monsterRow(i).id, i);
        EXPECT_TRUE(fitsCp1250(monsterRow(i).name)) << i;  // the graveyard keeps it in Windows-1250
    }
    EXPECT_THROW(monsterRow(60), std::out_of_range);  // 60 rows, no more
    EXPECT_THROW(monsterRow(-1), std::out_of_range);
    // Rows that events, quests and companions name directly.
    const std::pair<int, const char*> named[] = {
        {MonsterIronGolem, "Żelazny golem"}, {MonsterMimic, "Mimik"}, {MonsterTerrasque, "Terrasque"},
        {MonsterAnimatedTree, "Ożywione drzewo"}, {MonsterPaladin, "Paladyn"}, {MonsterDruid, "Druid"},
        {MonsterGuard, "Strażnik"}, {MonsterSergeant, "Sierżant"}, {MonsterBanditChief, "Herszt"},
        {MonsterLegendaryTiger, "Legendarny tygrys"}, {MonsterDeathKnight, "Rycerz śmierci"}};
    for (auto [row, name] : named) EXPECT_STREQ(monsterRow(row).name, name);
    for (auto [row, attacks] :
         {std::pair{MonsterStrongDruid, 0}, {MonsterRat, 1}, {MonsterTerrasque, 4}, {MonsterOtyugh, 3}})
        EXPECT_EQ(attackCount(monsterRow(row)), attacks) << row;
    EXPECT_EQ(monsterRow(MonsterOtyugh).attacks[2].poison, AttackPoisonLight);
}

TEST(MonsterTable, HighBitsAreBitsNotSigns) {  // the word's and its low byte's sign bits
    std::vector<int> steadfast, reduction20;
    for (const MonsterDef& m : monsterTable) {
        if (hasTrait(m, TraitSteadfast)) steadfast.push_back(m.id);
        if (hasTrait(m, TraitReduction20)) reduction20.push_back(m.id);
    }
    EXPECT_EQ(steadfast, (std::vector<int>{MonsterSergeant, MonsterCommander}));  // not the mayor's 0x70000020
    EXPECT_EQ(reduction20, (std::vector<int>{MonsterClayGolem}));
    EXPECT_TRUE(livesIn(monsterRow(MonsterGuard), HabitatTown));  // 0x80 of the habitat word
    EXPECT_TRUE(monsterRow(MonsterMayor).loot & LootGoldDoubled);
}

}  // namespace
}  // namespace kelvrin
