#include "support/game_test.h"
#include "support/test_hero.h"

#include "combat/combat_engine.h"
#include "combat/rewards.h"
#include "data/item_tables.h"

namespace kelvrin::test {
namespace {

int count(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t at = 0; (at = text.find(part, at)) != std::string::npos; at += part.size()) ++n;
    return n;
}

const std::string LootPrompt =
    "Co chcesz zrobić (liczba - podnieś, e - ekwipunek, p - podnieś wszystko, w - odejdź\n";

ItemSlot gem(int row) { return ItemSlot{row, KindGem, 0, 0, Identified}; }

class RewardsLootTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        makeTestHero();
        world.location = LocationDungeon;
    }
    // A hero no rat can touch, who kills it with any hit.
    void overwhelming() {
        hero.shield.bonus = 60;
        hero.weapon.bonus = 40;
    }
    int fightRat(const std::string& keys) {
        screen.type(keys);
        int result = 0;
        runUntilInputEnds([&] { result = fight(monsterList({MonsterRat}), {}, 0); });
        return result;
    }
    // The loot screen with the keys; true when the hero died there.
    bool loot(LootList& list, const std::string& keys) {
        screen.type(keys);
        bool died = false;
        EXPECT_FALSE(runUntilInputEnds([&] { died = lootScreen(list); })) << "waited for more keys";
        return died;
    }
    int backpackCount() const {
        int n = 0;
        for (const ItemSlot& slot : hero.inventory) n += slot.empty() ? 0 : 1;
        return n;
    }
};

TEST_F(RewardsLootTest, AWonFightShowsTheExperienceAndTheEventCrystal) {
    overwhelming();
    EXPECT_EQ(fightRat("fk"), FightWon);
    EXPECT_EQ(screen.keysQueued(), 0u) << "the (ok) after the experience waits for its key";
    EXPECT_TRUE(screen.transcript().ends_with("Szczur umiera.\nZdobyłeś {10}37{7} doświadczenia.\n\n(ok)"))
        << screen.transcript();
    EXPECT_EQ(world.killCounts[MonsterRat], 1);
    EXPECT_EQ(hero.xp, 37);

    // An event fight leaves the crystal; taking it ends the loot screen.
    makeTestHero();
    overwhelming();
    world.dungeonEventFight = true;
    screen.clearTranscript();
    EXPECT_EQ(fightRat("fk" "1\n"), FightWon);
    const std::string& out = screen.transcript();
    EXPECT_NE(out.find("Zdobyłeś {10}37{7} doświadczenia.\nZnalazłeś 1 przedmiotów.\n\n(ok){clear}" + LootPrompt +
                       "1) Kryształ (Waga: 0.1 kg)\n"),
              std::string::npos)
        << out;
    EXPECT_EQ(hero.inventory[0], gem(CrystalRow));
    EXPECT_FALSE(world.dungeonEventFight);
}

TEST_F(RewardsLootTest, TheGoldLineIsTheTotalOfAllEnemiesAndIsPaid) {
    std::vector<Combatant> combatants{Combatant{0, 0, HeroSide, nullptr}};
    for (int row : {MonsterKobold, MonsterGoblin, MonsterKobold, MonsterOgre, MonsterRat})
        combatants.push_back(Combatant{0, 0, EnemySide, &monsterRow(row)});
    combatants.push_back(Combatant{FledMarker, 0, EnemySide, &monsterRow(MonsterOgre)});

    // The same seed drawn by hand: fled enemies and rows without loot draw nothing.
    seedRandom(77);
    LootList expected;
    int gold = 0;
    for (int row : {MonsterKobold, MonsterGoblin, MonsterKobold, MonsterOgre})
        gold += rollTreasure(monsterRow(row).challenge, monsterRow(row).loot, expected);
    ASSERT_GT(gold, 0);

    seedRandom(77);
    screen.type("kw\n");
    bool died = true;
    EXPECT_FALSE(runUntilInputEnds([&] { died = awardFight(combatants, false, true); }));
    EXPECT_FALSE(died);
    const std::string& out = screen.transcript();
    EXPECT_NE(out.find("Znalazłeś {14}" + std::to_string(gold) + "{7} złota.\n"), std::string::npos) << out;
    EXPECT_EQ(hero.gold, 50 + gold);
    ASSERT_FALSE(expected.empty());
    EXPECT_NE(out.find("Znalazłeś " + std::to_string(expected.size()) + " przedmiotów.\n\n(ok)"), std::string::npos);
    EXPECT_EQ(count(out, LootPrompt), 1);
    EXPECT_EQ(backpackCount(), 0) << "everything was left behind";
}

TEST_F(RewardsLootTest, OnlyFledEnemiesGiveATenthAndNoTreasure) {
    const std::vector<Combatant> combatants{Combatant{0, 0, HeroSide, nullptr},
                                            Combatant{FledMarker, 0, EnemySide, &monsterRow(MonsterKobold)}};
    screen.type("k");
    bool died = true;
    EXPECT_FALSE(runUntilInputEnds([&] { died = awardFight(combatants, false, true); }));
    EXPECT_FALSE(died);
    // A 1/6 kobold at level 1: 300 / 6 = 50, a tenth of it.
    EXPECT_EQ(screen.transcript(), "Zdobyłeś {10}5{7} doświadczenia.\n\n(ok)");
    EXPECT_EQ(hero.gold, 50);
}

TEST_F(RewardsLootTest, TakeAnItemLeaveTheRest) {
    LootList list{ItemSlot{LongSwordRow, KindWeapon, 0, 0, Identified},
                  ItemSlot{HealingPotionRow, KindPotion, 0, 0, Identified | StrengthKnown}, gem(3)};
    EXPECT_FALSE(loot(list, "2\n" "x\n" "0\n" "9\n" "w\n"));
    const std::string& out = screen.transcript();
    EXPECT_NE(out.find(LootPrompt + "1) Długi miecz (Obr:3-10 cięte Kry:19-20/x2 Waga: 2 kg, średni)\n"
                                    "2) Mikstura lecznicza +0 (Waga: 0.25 kg)\n\n3) Diament (Waga: 0.1 kg)\n"),
              std::string::npos)
        << out;
    // The potion went into the backpack; wrong numbers just show the list again.
    EXPECT_EQ(hero.inventory[0], (ItemSlot{HealingPotionRow, KindPotion, 0, 0, Identified | StrengthKnown}));
    EXPECT_EQ(backpackCount(), 1);
    EXPECT_EQ(count(out, LootPrompt), 5);
    EXPECT_NE(screen.screenText().find("2) Diament"), std::string::npos);
    EXPECT_EQ(list.size(), 2u);
    EXPECT_FLOAT_EQ(hero.load, 2.0f + 15.0f + 7.5f + 0.25f);

    // "p" takes everything that is left, and the screen ends by itself.
    EXPECT_FALSE(loot(list, "p\n"));
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(hero.inventory[1].ref, LongSwordRow);
    EXPECT_EQ(hero.inventory[2], gem(3));
}

TEST_F(RewardsLootTest, AFullBackpackOrTooMuchWeightRefuses) {
    for (ItemSlot& slot : hero.inventory) slot = gem(0);
    LootList list{gem(2), gem(1)};
    EXPECT_FALSE(loot(list, "p\n" "k" "1\n" "k" "w\n"));
    const std::string& out = screen.transcript();
    EXPECT_EQ(count(out, "Nie możesz nieść więcej przedmiotów.\n\n(ok)"), 1);
    EXPECT_EQ(count(out, "Nie możesz podnieść tego przedmiotu.\n\n(ok)"), 1);
    EXPECT_EQ(list.size(), 2u);

    // Room in the backpack, but plate armour is too heavy: "p" stops at the
    // top of the list, a lighter item below can still be taken.
    makeTestHero();
    hero.capacity = hero.load + 1.0f;
    list = {ItemSlot{11, KindArmour, 0, 0, Identified}, gem(0)};
    screen.clearTranscript();
    EXPECT_FALSE(loot(list, "p\n" "k" "2\n" "1\n" "k" "w\n"));
    EXPECT_EQ(count(screen.transcript(), "Nie możesz nieść więcej przedmiotów.\n\n(ok)"), 1);
    EXPECT_EQ(count(screen.transcript(), "Nie możesz podnieść tego przedmiotu.\n\n(ok)"), 1);
    EXPECT_EQ(hero.inventory[0], gem(0));
    EXPECT_EQ(backpackCount(), 1);
    EXPECT_EQ(list.size(), 1u);
}

TEST_F(RewardsLootTest, DyingThroughTheInventoryEndsTheFightAsADeath) {
    overwhelming();
    hero.maxHp = hero.hp = 1;
    hero.inventory[0] = ItemSlot{4, KindPotion, 0, 0, Identified | StrengthKnown};  // a spoiled elixir of health
    world.dungeonEventFight = true;
    EXPECT_EQ(fightRat("fk" "e\n" "u1\n" "k"), FightDied);
    EXPECT_LT(hero.hp, 1);
    EXPECT_EQ(screen.keysQueued(), 0u);
    EXPECT_EQ(backpackCount(), 0);
}

TEST_F(RewardsLootTest, ATreasureFoundOutsideAFight) {
    screen.type("k");
    EXPECT_FALSE(runUntilInputEnds([] { treasureFind(1, LootGold); }));
    const int gold = hero.gold - 50;
    EXPECT_GE(gold, 539);
    EXPECT_LE(gold, 660);
    EXPECT_EQ(screen.transcript(), "Znalazłeś {14}" + std::to_string(gold) + "{7} złota.\n\n(ok)");

    // A chest's gems and items end on the loot screen.
    screen.clearTranscript();
    screen.type("kp\n");
    EXPECT_FALSE(runUntilInputEnds([] { treasureFind(12, LootItem | LootGems); }));
    const std::string& out = screen.transcript();
    ASSERT_GT(backpackCount(), 0);
    EXPECT_NE(out.find("Znalazłeś " + std::to_string(backpackCount()) + " przedmiotów.\n\n(ok)"), std::string::npos)
        << out;
    EXPECT_EQ(count(out, LootPrompt), 1);
    EXPECT_EQ(hero.gold - 50, gold) << "no gold bit, no gold";
}

}  // namespace
}  // namespace kelvrin::test
