#include <algorithm>
#include <climits>
#include <cstdlib>

#include "support/game_test.h"
#include "support/test_hero.h"

#include "combat/monster_actions.h"
#include "combat/rewards.h"
#include "data/item_tables.h"
#include "data/treasure_tables.h"

namespace kelvrin::test {
namespace {

class RewardsRulesTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        screen.setPaging(false);
        makeTestHero();
        fight.combatants.push_back(Combatant{0, 0, HeroSide, nullptr});
    }
    // Adds a monster that ended the fight with these Pw (0 killed,
    // FledMarker fled); returns its index.
    int add(int row, int hp = 0, int side = EnemySide) {
        fight.addCreature(monsterRow(row), side, 0);
        fight.combatants.back().hp = hp;
        return static_cast<int>(fight.combatants.size()) - 1;
    }
    // The experience of a fight that was neither won nor fled (no treasure).
    int experience(bool heroFled = false) {
        const int before = hero.xp;
        EXPECT_FALSE(awardFight(fight.combatants, heroFled, false));
        return hero.xp - before;
    }
    void reset() {
        fight.combatants.resize(1);
        screen.clearTranscript();
    }
    FightState fight;
};

TEST_F(RewardsRulesTest, ExperienceByChallengeAndLevel) {
    struct Case {
        int row;
        int level;
        int xp;
    };
    const Case cases[] = {
        {MonsterRat, 1, 37},    {MonsterRat, 2, 37},    {MonsterRat, 3, 24},   {MonsterOgre, 1, 1800},
        {MonsterOgre, 2, 600},  {MonsterOgre, 3, 600},  {MonsterOgre, 4, 450}, {MonsterGhoul, 1, 300},
        {MonsterTerrasque, 20, 6000},
    };
    for (const Case& c : cases) {
        reset();
        hero.level = c.level;
        add(c.row);
        EXPECT_EQ(experience(), c.xp) << monsterRow(c.row).name << " at level " << c.level;
    }
    // Several enemies add up; the fled give a tenth of theirs and the
    // charmed (now on the hero's side) nothing.
    reset();
    world.killCounts = {};
    hero.level = 2;
    add(MonsterOgre);
    add(MonsterOgre, FledMarker);
    add(MonsterRat);
    add(MonsterWolf, 0, HeroSide);
    add(MonsterOgre, 5);  // still standing: not counted
    EXPECT_EQ(experience(), 600 + 60 + 37);
    EXPECT_EQ(world.killCounts[MonsterOgre], 1);
    EXPECT_EQ(world.killCounts[MonsterWolf], 0);
}

TEST_F(RewardsRulesTest, WisdomRaisesAndFleeingHalvesTheExperience) {
    struct Case {
        int wisdom;
        bool fled;
        int xp;
    };
    // 300 experience (a challenge-1 ghoul at level 1): 1.05 in single
    // precision falls just below, so 300 × 1.05 gives 314.
    const Case cases[] = {{10, false, 300}, {11, false, 300}, {12, false, 314}, {13, false, 314},
                          {14, false, 330}, {18, false, 360}, {12, true, 157}, {10, true, 150}};
    for (const Case& c : cases) {
        reset();
        hero.attributes[Wis] = c.wisdom;
        add(MonsterGhoul);
        EXPECT_EQ(experience(c.fled), c.xp) << "MĄD " << c.wisdom << (c.fled ? " fled" : "");
    }
    // A low MĄDROŚĆ takes nothing away; a fight of nothing prints nothing.
    reset();
    hero.attributes[Wis] = 3;
    add(MonsterGhoul);
    EXPECT_EQ(experience(), 300);
    reset();
    EXPECT_EQ(experience(), 0);
    EXPECT_EQ(screen.transcript(), "");
}

TEST_F(RewardsRulesTest, ExperienceAndGoldLinesAndTheirLimits) {
    hero.xp = 990;
    gainExperience(37);
    EXPECT_EQ(screen.transcript(), "Zdobyłeś {10}37{7} doświadczenia. Możesz awansować na 2 poziom.\n");
    EXPECT_EQ(hero.xp, 1027);
    screen.clearTranscript();
    hero.xp = 0;
    gainExperience(1000);  // exactly the next level's figure is not yet above it
    EXPECT_EQ(screen.transcript(), "Zdobyłeś {10}1000{7} doświadczenia.\n");
    screen.clearTranscript();
    gainGold(250);
    EXPECT_EQ(screen.transcript(), "Dostałeś {14}250{7} złota.\n");
    EXPECT_EQ(hero.gold, 50 + 250);

    hero.xp = INT_MAX - 10;
    hero.gold = INT_MAX - 10;
    gainExperience(100);
    gainGold(100);
    EXPECT_EQ(hero.xp, INT_MAX);
    EXPECT_EQ(hero.gold, INT_MAX);
}

TEST_F(RewardsRulesTest, KillsKeepTheBooksAndTheMayorsQuests) {
    struct Case {
        int questKind;
        int row;
        int stageAfter;
        bool chiefDead;
    };
    const Case cases[] = {
        {1, MonsterRat, 4, false},          {1, MonsterDeathKnight, 4, false}, {10, MonsterDeathKnight, 4, false},
        {10, MonsterRat, 3, false},         {8, MonsterBanditChief, 1, true},  {8, MonsterBandit, 3, false},
        {0, MonsterBanditChief, 3, false},  {2, MonsterRat, 3, false},
    };
    for (const Case& c : cases) {
        reset();
        world.questKind = c.questKind;
        world.questStage = 3;
        world.storyFlags = 0;
        add(c.row);
        add(c.row, FledMarker);  // a fled one counts for nothing
        experience();
        EXPECT_EQ(world.questStage, c.stageAfter) << "quest " << c.questKind << ", " << monsterRow(c.row).name;
        EXPECT_EQ(world.has(ChiefDead), c.chiefDead) << "quest " << c.questKind;
    }
    // Trophies per row; the innocent weigh on the conscience.
    world.killCounts = {};
    hero.alignment = 2;
    reset();
    add(MonsterTraveller);
    add(MonsterTraveller);
    add(MonsterRat);
    add(MonsterTraveller, FledMarker);
    experience();
    EXPECT_EQ(world.killCounts[MonsterTraveller], 2);
    EXPECT_EQ(world.killCounts[MonsterRat], 1);
    EXPECT_EQ(hero.alignment, 0);
}

TEST_F(RewardsRulesTest, TheDruidsOrThePaladinsDeathEndsOnlyTheirOwnStory) {
    constexpr std::uint32_t everything = 0x7FFFFF;
    constexpr std::uint32_t druidOwn = DruidCompanion | DruidFriend | DruidHostile;
    constexpr std::uint32_t paladinOwn = PaladinCompanion | PaladinFriend | PaladinHostile;
    struct Case {
        int row;
        std::uint32_t cleared;
        StoryFlag dead;
    };
    const Case cases[] = {{MonsterDruid, druidOwn, DruidDead},
                          {MonsterStrongDruid, druidOwn, DruidDead},
                          {MonsterPaladin, paladinOwn, PaladinDead},
                          {MonsterStrongPaladin, paladinOwn, PaladinDead}};
    for (const Case& c : cases) {
        reset();
        world.storyFlags = everything & ~static_cast<std::uint32_t>(DruidDead | PaladinDead);
        add(c.row);
        experience();
        EXPECT_EQ(world.storyFlags, ((everything & ~(DruidDead | PaladinDead)) & ~c.cleared) | c.dead)
            << monsterRow(c.row).name;
    }
    // A companion falling at the hero's side, or one that fled, changes nothing.
    reset();
    world.storyFlags = DruidCompanion | DruidFriend | PaladinCompanion;
    add(MonsterDruid, 0, HeroSide);
    add(MonsterPaladin, FledMarker);
    experience();
    EXPECT_EQ(world.storyFlags, DruidCompanion | DruidFriend | PaladinCompanion);
}

TEST_F(RewardsRulesTest, AHostileDruidKilledAsTheTigerStillDiesAsTheDruid) {
    world.storyFlags = DruidHostile | TerrasqueDead | LandOwned;
    hero.level = 10;
    const int druid = add(MonsterStrongDruid, monsterRow(MonsterStrongDruid).maxHp);
    fight.enemiesLeft = 1;
    fight.heroSideLeft = 1;
    fight.rebuildOpponents(druid);
    monsterTurn(fight, druid);
    Combatant& tiger = fight.combatants[static_cast<std::size_t>(druid)];
    ASSERT_EQ(tiger.def->id, MonsterLegendaryTiger);
    EXPECT_EQ(tiger.startedAs()->id, MonsterStrongDruid);

    tiger.hp = -3;
    hero.alignment = 0;
    screen.clearTranscript();
    EXPECT_EQ(experience(), 3000);  // the tiger's challenge 10 at level 10
    EXPECT_EQ(world.storyFlags, DruidDead | TerrasqueDead | LandOwned);
    EXPECT_EQ(world.killCounts[MonsterLegendaryTiger], 1);
    EXPECT_EQ(world.killCounts[MonsterStrongDruid], 0);
    EXPECT_EQ(hero.alignment, -1);  // the tiger is innocent
}

// Gold only (bit 0x1): the whole budget comes back as gold. The factors
// are single precision: 7500 × 0.9 gives 6749.
TEST_F(RewardsRulesTest, TreasureBudgetsByChallenge) {
    struct Case {
        int challenge;
        std::uint32_t bits;
        int lo;
        int hi;
    };
    const Case cases[] = {
        {-8, LootGold, 33, 41},          {-2, LootGold, 134, 165},        {1, LootGold, 539, 660},
        {10, LootGold, 6749, 8250},      {20, LootGold, 89999, 110000},   {25, LootGold, 89999, 110000},
        {1, LootGold | LootGoldQuartered, 134, 165}, {1, LootGold | LootGoldDoubled, 1078, 1320},
    };
    for (const Case& c : cases) {
        int lo = INT_MAX;
        int hi = INT_MIN;
        for (int i = 0; i < 4000; ++i) {
            LootList loot;
            const int gold = rollTreasure(c.challenge, c.bits, loot);
            EXPECT_TRUE(loot.empty());
            lo = std::min(lo, gold);
            hi = std::max(hi, gold);
        }
        EXPECT_GE(lo, c.lo) << "challenge " << c.challenge << " bits " << c.bits;
        EXPECT_LE(hi, c.hi) << "challenge " << c.challenge << " bits " << c.bits;
        // Small ranges are covered to both ends.
        if (c.hi - c.lo < 2000) {
            EXPECT_EQ(lo, c.lo) << "challenge " << c.challenge << " bits " << c.bits;
            EXPECT_EQ(hi, c.hi) << "challenge " << c.challenge << " bits " << c.bits;
        }
    }
    LootList loot;
    EXPECT_EQ(rollTreasure(5, LootItem | LootGems, loot), 0);  // no gold bit: no gold
}

TEST_F(RewardsRulesTest, EnchantmentPriceTables) {
    for (std::size_t n = 0; n < weaponEnchantmentPrice.size(); ++n)
        EXPECT_EQ(weaponEnchantmentPrice[n], 300 + 2000 * static_cast<int>(n * n)) << n;
    for (std::size_t n = 0; n < armourEnchantmentPrice.size(); ++n)
        EXPECT_EQ(armourEnchantmentPrice[n], 150 + 1000 * static_cast<int>(n * n)) << n;
    EXPECT_EQ(weaponEnchantmentPrice.size(), 8u);
    EXPECT_EQ(armourEnchantmentPrice.size(), 11u);
    EXPECT_EQ(treasureValueTable.front(), 300);
    EXPECT_EQ(treasureValueTable.back(), 100000);
}

// What loot paid for an item out of the treasure's value.
int costOf(const ItemSlot& item) {
    const int properties = ((item.flags & Keen) ? 2 : 0) + ((item.flags & Accurate) ? 1 : 0);
    const int level = std::abs(item.bonus) + (item.kind == KindShield ? 0 : properties);
    switch (item.kind) {
        case KindWeapon:
            return weaponTable[item.ref].price + (item.masterwork ? weaponEnchantmentPrice[level] : 0);
        case KindArmour:
            return armourTable[item.ref].price + (item.masterwork ? armourEnchantmentPrice[level] : 0);
        case KindShield:
            return shieldTable[item.ref].price + (item.masterwork ? armourEnchantmentPrice[level] : 0);
        case KindPotion: {
            const int value = potionTable[item.ref].value;
            return item.ref == 4 ? 2000 + value * item.bonus : value * (1 + item.bonus);
        }
        default: return gemTable[item.ref].value;
    }
}

TEST_F(RewardsRulesTest, ItemsAreBoughtFromTheBudgetAndWhatIsLeftIsGold) {
    int kinds[6] = {};
    int enchanted = 0;
    int cursed = 0;
    for (int challenge : {1, 5, 12, 20}) {
        const int value = treasureValueTable[challenge];
        const int lo = static_cast<int>(value * static_cast<double>(0.9f));
        const int hi = static_cast<int>(value * static_cast<double>(1.1f));
        for (int i = 0; i < 3000; ++i) {
            LootList loot;
            const int gold = rollTreasure(challenge, LootGold | LootItem, loot);
            ASSERT_LE(loot.size(), 1u);
            if (loot.empty()) {
                EXPECT_GE(gold, lo);
                EXPECT_LE(gold, hi);
                continue;
            }
            const ItemSlot& item = loot.front();
            ++kinds[item.kind];
            if (gold > 0) {
                EXPECT_GE(gold + costOf(item), lo) << challenge;
                EXPECT_LE(gold + costOf(item), hi) << challenge;
            }
            if (item.kind == KindPotion) {
                EXPECT_LE(item.ref, 4);
                EXPECT_EQ((item.flags & Identified) != 0, (item.flags & StrengthKnown) != 0);
                if (item.flags & Identified) {
                    EXPECT_EQ(item.ref, HealingPotionRow);
                }
                continue;
            }
            EXPECT_GE(item.ref, item.kind == KindShield ? 0 : 1);
            EXPECT_EQ((item.flags & Identified) != 0, item.bonus == 0) << "only the enchanted are hidden";
            EXPECT_EQ(item.flags & SmallSize, 0u);
            if (item.bonus != 0) {
                EXPECT_EQ(item.masterwork, 1);
                ++enchanted;
                if (item.bonus < 0) ++cursed;
            }
            if (item.kind == KindShield) {
                EXPECT_EQ(item.flags & (Keen | Accurate), 0u);
            }
        }
    }
    for (int kind = KindWeapon; kind <= KindPotion; ++kind) EXPECT_GT(kinds[kind], 100) << kind;
    EXPECT_EQ(kinds[KindGem], 0);
    EXPECT_GT(enchanted, 200);
    EXPECT_GT(cursed, 0);
    EXPECT_LT(cursed, enchanted / 10);
}

TEST_F(RewardsRulesTest, KoboldsCarrySmallGearAndGemsAreIdentified) {
    int weapons = 0;
    int armour = 0;
    int gems = 0;
    for (int i = 0; i < 5000; ++i) {
        LootList loot;
        rollTreasure(monsterRow(MonsterKobold).challenge, monsterRow(MonsterKobold).loot, loot);
        rollTreasure(12, LootItem | LootGems | LootSmallGear, loot);
        for (const ItemSlot& item : loot) {
            if (item.kind == KindWeapon) {
                ++weapons;
                EXPECT_LE(item.ref, 9) << "only Sztylet … Rapier";
            }
            if (item.kind == KindArmour) {
                ++armour;
                EXPECT_NE(item.flags & SmallSize, 0u);
            }
            if (item.kind == KindGem) {
                ++gems;
                EXPECT_LE(item.ref, 3);
                EXPECT_EQ(item.flags, Identified);
                EXPECT_EQ(item.bonus, 0);
            }
        }
    }
    EXPECT_GT(weapons, 100);
    EXPECT_GT(armour, 100);
    EXPECT_GT(gems, 100);
}

// Loot word 71 doubles the value before anything is bought: with no item
// and no gems drawn, the same draws give twice the gold of loot word 7.
TEST_F(RewardsRulesTest, LootWord71DoublesTheBudget) {
    const std::uint32_t plain = LootGold | LootItem | LootGems;
    ASSERT_EQ(monsterRow(MonsterBalor).loot, LootDoubleTreasure);
    int compared = 0;
    for (std::uint32_t seed = 1; seed <= 400; ++seed) {
        LootList doubled;
        LootList single;
        seedRandom(seed);
        const int goldDoubled = rollTreasure(18, LootDoubleTreasure, doubled);
        seedRandom(seed);
        const int goldSingle = rollTreasure(18, plain, single);
        if (!doubled.empty() || !single.empty()) continue;
        ++compared;
        EXPECT_EQ(goldDoubled, 2 * goldSingle) << seed;
        EXPECT_GE(goldDoubled, 2 * 54900);
        EXPECT_LE(goldDoubled, 2 * 67100);
    }
    EXPECT_GT(compared, 20);
}

}  // namespace
}  // namespace kelvrin::test
