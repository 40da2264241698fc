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
    // Runs a screen with the keys; it must end before they run out.
    void run(const std::string& keys, const std::function<void()>& screenLoop) {
        screen.type(keys);
        EXPECT_FALSE(runUntilInputEnds(screenLoop)) << "waited for more keys";
    }
    int fightRat(const std::string& keys) {
        int result = 0;
        run(keys, [&] { result = fight(monsterList({MonsterRat}), {}, 0); });
        return result;
    }
    int seen(const std::string& text) const { return count(screen.transcript(), text); }
};

TEST_F(RewardsLootTest, AWonFightShowsTheExperienceThenTheLoot) {
    hero.xp = 990;
    EXPECT_EQ(fightRat("fk"), FightWon);
    EXPECT_TRUE(screen.transcript().ends_with(
        "Szczur umiera.\nZdobyłeś {10}37{7} doświadczenia. Możesz awansować na 2 poziom.\n\n(ok)"));
    // An event fight leaves the crystal; taking it ends the loot screen.
    world.dungeonEventFight = true;
    EXPECT_EQ(fightRat("fk1\n"), FightWon);
    EXPECT_EQ(seen("Znalazłeś 1 przedmiotów.\n\n(ok){clear}" + LootPrompt + "1) Kryształ (Waga: 0.1 kg)\n"), 1);
    EXPECT_EQ(std::tuple(hero.inventory[0], world.dungeonEventFight, world.killCounts[MonsterRat]),
              std::tuple(gem(CrystalRow), false, 2));
}

TEST_F(RewardsLootTest, GoldFoundIsTheTotalOfAllEnemiesAndIsPaid) {
    std::vector<Combatant> combatants{Combatant{0, 0, HeroSide, nullptr}};
    const std::vector<int> rows{MonsterKobold, MonsterGoblin, MonsterKobold, MonsterOgre};
    for (int row : rows) combatants.push_back(Combatant{0, 0, EnemySide, &monsterRow(row)});
    combatants.push_back(Combatant{0, 0, EnemySide, &monsterRow(MonsterRat)});             // no loot
    combatants.push_back(Combatant{FledMarker, 0, EnemySide, &monsterRow(MonsterOgre)});  // took it along
    seedRandom(77);  // the same draws by hand
    LootList loot;
    int gold = 0;
    for (int row : rows) gold += rollTreasure(monsterRow(row).challenge, monsterRow(row).loot, loot);
    ASSERT_FALSE(loot.empty());
    seedRandom(77);
    run("kw\n", [&] { EXPECT_FALSE(awardFight(combatants, false, true)); });
    const std::string items = "Znalazłeś " + std::to_string(loot.size()) + " przedmiotów.\n\n(ok)";
    EXPECT_EQ(seen("Znalazłeś {14}" + std::to_string(gold) + "{7} złota.\n" + items), 1) << screen.transcript();
    EXPECT_EQ(hero.gold, 50 + gold);

    // Outside a fight; without the gold bit, no gold; the mayor's pay.
    screen.clearTranscript();
    run("k", [] { treasureFind(1, LootGold); });
    EXPECT_EQ(screen.transcript(), "Znalazłeś {14}" + std::to_string(hero.gold - 50 - gold) + "{7} złota.\n\n(ok)");
    const int before = hero.gold;
    run("kp\n", [] { treasureFind(12, LootItem | LootGems); });
    EXPECT_EQ(std::pair(hero.gold, hero.inventory[0].empty()), std::pair(before, false));
    screen.clearTranscript();
    gainGold(250);
    EXPECT_EQ(screen.transcript(), "Dostałeś {14}250{7} złota.\n");
    EXPECT_EQ(hero.gold, before + 250);
}

TEST_F(RewardsLootTest, TakeLeaveAndRefuse) {
    LootList list{ItemSlot{LongSwordRow, KindWeapon, 0, 0, Identified},
                  ItemSlot{HealingPotionRow, KindPotion, 0, 0, Identified | StrengthKnown}, gem(3)};
    run("2\n" "x\n" "9\n" "w\n", [&] { EXPECT_FALSE(lootScreen(list)); });
    EXPECT_EQ(seen(LootPrompt + "1) Długi miecz (Obr:3-10 cięte Kry:19-20/x2 Waga: 2 kg, średni)\n"
                                "2) Mikstura lecznicza +0 (Waga: 0.25 kg)\n\n3) Diament (Waga: 0.1 kg)\n"),
              1);
    EXPECT_EQ(seen(LootPrompt), 4);  // wrong numbers show the list again
    EXPECT_EQ(std::tuple(hero.inventory[0].kind, list.size()), std::tuple(int(KindPotion), 2u));

    // A full backpack: "p" refuses once, and so does a number.
    for (ItemSlot& slot : hero.inventory) slot = gem(0);
    run("p\n" "k" "1\n" "k" "w\n", [&] { lootScreen(list); });
    EXPECT_EQ(seen("Nie możesz nieść więcej przedmiotów.\n\n(ok)"), 1);
    EXPECT_EQ(seen("Nie możesz podnieść tego przedmiotu.\n\n(ok)"), 1);

    // Room, but plate armour is too heavy: "p" stops at the top of the list; a lighter item below is taken.
    hero.inventory = {};
    recomputeLoad();
    hero.capacity = hero.load + 1.0f;
    list = {ItemSlot{11, KindArmour, 0, 0, Identified}, gem(0)};
    run("p\n" "k" "2\n" "w\n", [&] { lootScreen(list); });
    EXPECT_EQ(std::tuple(hero.inventory[0], hero.inventory[1].empty(), list.size()), std::tuple(gem(0), true, 1u));
}

TEST_F(RewardsLootTest, DyingThroughTheInventoryEndsTheFightAsADeath) {
    hero.maxHp = hero.hp = 1;
    hero.inventory[0] = ItemSlot{4, KindPotion, 0, 0, Identified | StrengthKnown};  // a spoiled elixir of health
    world.dungeonEventFight = true;
    EXPECT_EQ(fightRat("fk" "e\n" "u1\n" "k"), FightDied);
    EXPECT_EQ(std::pair(hero.hp < 1, screen.keysQueued()), std::pair(true, std::size_t{0}));
}

}  // namespace
}  // namespace kelvrin::test
