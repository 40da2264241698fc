#include <algorithm>

#include "support/game_test.h"
#include "support/test_hero.h"

#include "combat/combat_engine.h"
#include "combat/rewards.h"
#include "data/item_tables.h"
#include "items/inventory.h"

namespace kelvrin::test {
namespace {

const std::string LootPrompt =
    "Co chcesz zrobić (liczba - podnieś, e - ekwipunek, p - podnieś wszystko, w - odejdź\n";

ItemSlot gem(int row) { return ItemSlot{row, KindGem, 0, 0, Identified}; }

class RewardsLootTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        makeTestHero();
        world.location = LocationDungeon;
        hero.shield.bonus = 60;  // no rat can touch him,
        hero.weapon.bonus = 40;  // and any hit kills it
    }
    int fightRat(const std::string& keys) {
        screen.type(keys);
        int result = 0;
        EXPECT_FALSE(runUntilInputEnds([&] { result = fight(monsterList({MonsterRat}), {}, 0); }));
        return result;
    }
    void run(const std::string& keys, const std::function<void()>& screenLoop) {
        screen.type(keys);
        EXPECT_FALSE(runUntilInputEnds(screenLoop)) << "waited for more keys";
    }
    int count(const std::string& part) const {
        int n = 0;
        const std::string& text = screen.transcript();
        for (std::size_t at = 0; (at = text.find(part, at)) != std::string::npos; at += part.size()) ++n;
        return n;
    }
    int backpackCount() const {
        return static_cast<int>(std::count_if(hero.inventory.begin(), hero.inventory.end(),
                                               [](const ItemSlot& slot) { return !slot.empty(); }));
    }
};

TEST_F(RewardsLootTest, AWonFightShowsTheExperienceThenTheLoot) {
    hero.xp = 990;
    EXPECT_EQ(fightRat("fk"), FightWon);
    EXPECT_TRUE(screen.transcript().ends_with(
        "Szczur umiera.\nZdobyłeś {10}37{7} doświadczenia. Możesz awansować na 2 poziom.\n\n(ok)"))
        << screen.transcript();
    EXPECT_EQ(world.killCounts[MonsterRat], 1);

    // An event fight leaves the crystal; taking it ends the loot screen.
    world.dungeonEventFight = true;
    screen.clearTranscript();
    EXPECT_EQ(fightRat("fk1\n"), FightWon);
    EXPECT_EQ(count("Zdobyłeś {10}37{7} doświadczenia. Możesz awansować na 2 poziom.\nZnalazłeś 1 przedmiotów.\n"
                    "\n(ok){clear}" + LootPrompt + "1) Kryształ (Waga: 0.1 kg)\n"),
              1)
        << screen.transcript();
    EXPECT_EQ(hero.inventory[0], gem(CrystalRow));
    EXPECT_FALSE(world.dungeonEventFight);
    EXPECT_EQ(world.killCounts[MonsterRat], 2);
}

TEST_F(RewardsLootTest, TheGoldLineIsTheTotalOfAllEnemiesAndIsPaid) {
    std::vector<Combatant> combatants{Combatant{0, 0, HeroSide, nullptr}};
    const std::vector<int> rows{MonsterKobold, MonsterGoblin, MonsterKobold, MonsterOgre};
    for (int row : rows) combatants.push_back(Combatant{0, 0, EnemySide, &monsterRow(row)});
    combatants.push_back(Combatant{0, 0, EnemySide, &monsterRow(MonsterRat)});             // no loot
    combatants.push_back(Combatant{FledMarker, 0, EnemySide, &monsterRow(MonsterOgre)});  // took it along
    // The same draws by hand.
    seedRandom(77);
    LootList expected;
    int gold = 0;
    for (int row : rows) gold += rollTreasure(monsterRow(row).challenge, monsterRow(row).loot, expected);
    ASSERT_FALSE(expected.empty());

    seedRandom(77);
    bool died = true;
    run("kw\n", [&] { died = awardFight(combatants, false, true); });
    EXPECT_FALSE(died);
    EXPECT_EQ(count("Znalazłeś {14}" + std::to_string(gold) + "{7} złota.\nZnalazłeś " +
                    std::to_string(expected.size()) + " przedmiotów.\n\n(ok)"),
              1)
        << screen.transcript();
    EXPECT_EQ(hero.gold, 50 + gold);
    EXPECT_EQ(backpackCount(), 0) << "everything was left behind";

    // A fight won only by enemies running away: a tenth of 300 / 6, no treasure.
    screen.clearTranscript();
    hero.xp = 0;
    combatants.resize(2);
    combatants[1].hp = FledMarker;
    run("k", [&] { died = awardFight(combatants, false, true); });
    EXPECT_EQ(screen.transcript(), "Zdobyłeś {10}5{7} doświadczenia.\n\n(ok)");
}

TEST_F(RewardsLootTest, TakeLeaveAndRefuse) {
    LootList list{ItemSlot{LongSwordRow, KindWeapon, 0, 0, Identified},
                  ItemSlot{HealingPotionRow, KindPotion, 0, 0, Identified | StrengthKnown}, gem(3)};
    run("2\n" "x\n" "9\n" "w\n", [&] { EXPECT_FALSE(lootScreen(list)); });
    EXPECT_EQ(count(LootPrompt + "1) Długi miecz (Obr:3-10 cięte Kry:19-20/x2 Waga: 2 kg, średni)\n"
                                 "2) Mikstura lecznicza +0 (Waga: 0.25 kg)\n\n3) Diament (Waga: 0.1 kg)\n"),
              1)
        << screen.transcript();
    EXPECT_EQ(count(LootPrompt), 4);  // wrong numbers just show the list again
    EXPECT_EQ(hero.inventory[0].kind, KindPotion);
    EXPECT_EQ(list.size(), 2u);
    EXPECT_FLOAT_EQ(hero.load, 2.0f + 15.0f + 7.5f + 0.25f);

    // A full backpack: "p" refuses once, and so does a number.
    for (ItemSlot& slot : hero.inventory) slot = gem(0);
    screen.clearTranscript();
    run("p\n" "k" "1\n" "k" "w\n", [&] { lootScreen(list); });
    EXPECT_EQ(count("Nie możesz nieść więcej przedmiotów.\n\n(ok)"), 1);
    EXPECT_EQ(count("Nie możesz podnieść tego przedmiotu.\n\n(ok)"), 1);

    // Room, but plate armour is too heavy: "p" stops at the top of the
    // list, and a lighter item below is taken.
    hero.inventory = {};
    recomputeLoad();
    hero.capacity = hero.load + 1.0f;
    list = {ItemSlot{11, KindArmour, 0, 0, Identified}, gem(0)};
    run("p\n" "k" "2\n" "w\n", [&] { lootScreen(list); });
    EXPECT_EQ(hero.inventory[0], gem(0));
    EXPECT_EQ(backpackCount(), 1);

    EXPECT_EQ(list.size(), 1u);
}

TEST_F(RewardsLootTest, DyingThroughTheInventoryEndsTheFightAsADeath) {
    hero.maxHp = hero.hp = 1;
    hero.inventory[0] = ItemSlot{4, KindPotion, 0, 0, Identified | StrengthKnown};  // a spoiled elixir of health
    world.dungeonEventFight = true;
    EXPECT_EQ(fightRat("fk" "e\n" "u1\n" "k"), FightDied);
    EXPECT_LT(hero.hp, 1);
    EXPECT_EQ(screen.keysQueued(), 0u);
}

TEST_F(RewardsLootTest, ATreasureFoundOutsideAFightAndTheMayorsGold) {
    run("k", [] { treasureFind(1, LootGold); });
    const int gold = hero.gold - 50;
    EXPECT_TRUE(gold >= 539 && gold <= 660) << gold;
    EXPECT_EQ(screen.transcript(), "Znalazłeś {14}" + std::to_string(gold) + "{7} złota.\n\n(ok)");

    screen.clearTranscript();
    run("kp\n", [] { treasureFind(12, LootItem | LootGems); });
    ASSERT_GT(backpackCount(), 0);
    EXPECT_EQ(count("Znalazłeś " + std::to_string(backpackCount()) + " przedmiotów.\n\n(ok)"), 1);
    EXPECT_EQ(hero.gold - 50, gold) << "no gold bit, no gold";

    screen.clearTranscript();
    gainGold(250);
    EXPECT_EQ(screen.transcript(), "Dostałeś {14}250{7} złota.\n");
    EXPECT_EQ(hero.gold, 50 + gold + 250);
}

}  // namespace
}  // namespace kelvrin::test
