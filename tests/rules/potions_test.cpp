#include "support/game_test.h"

#include <algorithm>

#include "items/catalogue.h"
#include "items/inventory.h"
#include "items/potions.h"

namespace kelvrin::test {
namespace {

class PotionsTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        hero.attributes = {12, 12, 10, 10, 10, 10};  // resistance to poison: 0 + 1 + 1
        hero.maxHp = 50;
        hero.hp = 20;
    }
    // Drinks a potion of the row through the routine the inventory uses;
    // returns what it printed.
    std::string drink(int row, int bonus, std::uint32_t flags = Identified) {
        const ItemSlot potion{row, KindPotion, 0, bonus, flags};
        screen.clearTranscript();
        potionEffectRoutine(potionRow(potion).effect)(potion);
        return screen.transcript();
    }
    std::string poisonTo(int level) {
        screen.clearTranscript();
        setPoison(level);
        return screen.transcript();
    }
    // Seeds the generator so that the next saving roll shows this d20.
    static void nextD20Is(int wanted) {
        for (std::uint32_t seed = 1;; ++seed) {
            seedRandom(seed);
            if (rollD20() != wanted) continue;
            seedRandom(seed);
            return;
        }
    }
};

TEST_F(PotionsTest, HealingPotionByStrength) {
    const struct { int con, level, bonus, hp, hpAfter; const char* text; } cases[] = {
        {10, 1, 0, 20, 42, "Twoje rany szybko się leczą.\n"},  // 11 × 2
        {10, 1, 1, 10, 43, "Twoje rany szybko się leczą.\n"},  // 11 × 3
        {14, 3, 0, 45, 50, "Twoje rany szybko się leczą.\n"},  // 15 × 2, up to the maximum
        {10, 1, 0, 50, 50, "Brak efektu...\n"},
        {10, 1, -2, 20, 20, "Brak efektu...\n"},
        {10, 1, -3, 20, 9, "Mikstura pali twoje wnętrzności niczym kwas! Tracisz {12}-11{7} pw!\n"},
        {10, 1, -3, 11, 0, "Mikstura pali twoje wnętrzności niczym kwas! Tracisz {12}-11{7} pw!{12} Umierasz...{7}\n"},
    };
    for (const auto& c : cases) {
        hero.attributes[Con] = c.con;
        hero.level = c.level;
        hero.hp = c.hp;
        hero.lastHarm = HarmNothingYet;
        EXPECT_EQ(drink(0, c.bonus), c.text) << c.bonus << " " << c.hp;
        EXPECT_EQ(hero.hp, c.hpAfter) << c.bonus << " " << c.hp;
        EXPECT_EQ(hero.lastHarm, c.hpAfter < 1 ? HarmBurningHealing : HarmNothingYet);
    }
}

TEST_F(PotionsTest, ElixirsAndWater) {
    EXPECT_EQ(drink(2, 0), "Ciepło przepełnia twoje ciało, zostałeś {10}uzdrowiony{7}.\n");
    EXPECT_EQ(hero.hp, 50);
    EXPECT_EQ(drink(2, 3), "Brak efektu...\n");
    nextD20Is(20);  // 20 + 2 against 16 + 1
    EXPECT_EQ(drink(2, -1), "Robi ci się ciemno przed oczami i kręci ci się w głowie.\nOparłeś się śmiertelnemu efektowi!\n");
    nextD20Is(1);
    EXPECT_TRUE(drink(2, -1).ends_with("ten eliksir chyba stracił termin ważności!\n{12}Umierasz...\n"));
    EXPECT_EQ(hero.hp, 0);
    EXPECT_EQ(hero.lastHarm, HarmSpoiledFullHeal);

    hero.hp = 2;
    EXPECT_EQ(drink(4, 1), "Czujesz jak przepełnia cię jakaś nieznana siła.\nZyskujesz 1 punkt wytrzymałości na stałe.\n");
    EXPECT_EQ(hero.hp, 3);
    EXPECT_EQ(hero.maxHp, 51);
    hero.hp = 1;
    EXPECT_EQ(drink(4, 0), "Skręcasz się z bólu gdy twoje narządy wewnętrzne zdają się wirować.\nTracisz 1 punkt "
                           "wytrzymałości na stałe.\n{12}Umierasz...\n");
    EXPECT_EQ(hero.hp, 0);
    EXPECT_EQ(hero.maxHp, 50);
    EXPECT_EQ(hero.lastHarm, HarmHealthElixir);

    EXPECT_EQ(drink(5, 0), "Zaspokoiłeś swoje pragnienie.\n");
    EXPECT_EQ(drink(5, -1), "Ta woda miała dziwny gożki smak.\n");
}

TEST_F(PotionsTest, PoisonLevelMovesStrengthConstitutionAndHitPoints) {
    hero.level = 3;
    hero.attributes = {14, 12, 14, 10, 10, 10};
    hero.hp = hero.maxHp = 30;
    const struct { int level, str, con, hp, maxHp; const char* text; } steps[] = {
        {3, 11, 11, 24, 24, "Czujesz się słabo, ulegasz zatruciu!\n"},  // KON +2 → +0: -2 × 3 Pw
        {3, 11, 11, 24, 24, ""},
        {4, 10, 10, 24, 24, "Czujesz się jeszcze gorzej.\n"},
        {2, 12, 12, 27, 27, "Czujesz się lepiej.\n"},
        {0, 14, 14, 30, 30, "Czujesz się lepiej. Już nie jesteś zatruty.\n"},
        {-2, 14, 14, 30, 30, ""},  // no level below 0
    };
    for (const auto& s : steps) {
        hero.lastHarm = HarmNothingYet;
        EXPECT_EQ(poisonTo(s.level), s.text) << s.level;
        EXPECT_EQ(hero.poison, std::max(s.level, 0));
        EXPECT_EQ(hero.attributes[Str], s.str) << s.level;
        EXPECT_EQ(hero.attributes[Con], s.con) << s.level;
        EXPECT_EQ(hero.hp, s.hp) << s.level;
        EXPECT_EQ(hero.maxHp, s.maxHp) << s.level;
        EXPECT_EQ(hero.lastHarm, *s.text ? HarmPoison : HarmNothingYet) << s.level;
    }
}

TEST_F(PotionsTest, PoisonKills) {
    hero.attributes[Con] = 3;
    EXPECT_EQ(poisonTo(3), "Czujesz się słabo, ulegasz zatruciu!\n{12}Umierasz...\n");  // KON 0
    EXPECT_EQ(hero.hp, 0);

    // The lost KON modifier takes the last Pw: the hero dies and is told so.
    resetForNewGame();
    hero.attributes = {12, 12, 12, 10, 10, 10};
    hero.level = 5;
    hero.hp = 3;
    EXPECT_EQ(poisonTo(3), "Czujesz się słabo, ulegasz zatruciu!\n{12}Umierasz...\n");
    EXPECT_EQ(hero.hp, -7);  // +1 → -1: -2 × 5 Pw
}

TEST_F(PotionsTest, Antidote) {
    setPoison(3);
    EXPECT_EQ(drink(1, 0), "Czujesz się lepiej. Już nie jesteś zatruty.\n");
    EXPECT_EQ(hero.attributes[Str], 12);
    EXPECT_EQ(hero.attributes[Con], 10);
    EXPECT_EQ(drink(1, 0), "");

    seedRandom(7);
    const int healed = randomRange(2, 8);
    seedRandom(7);
    EXPECT_EQ(drink(1, 2), formatText("Uleczono {10}%d{7} pw.\n", healed));
    EXPECT_EQ(hero.hp, 20 + healed);
    hero.hp = hero.maxHp;
    EXPECT_EQ(drink(1, 2), "");

    // A spoiled one sets the level to its spoilage, up or down.
    for (int before : {0, 4}) {
        setPoison(before);
        nextD20Is(1);
        EXPECT_EQ(drink(1, -2), before == 0 ? "Czujesz się słabo, ulegasz zatruciu!\n" : "Czujesz się lepiej.\n");
        EXPECT_EQ(hero.poison, 2);
        EXPECT_EQ(hero.lastHarm, HarmSpoiledAntidote);
    }
    nextD20Is(20);  // 20 + 1 (KON 8) against 12 + 2
    EXPECT_EQ(drink(1, -2), "Mikstura Antidotum wydaję się nie mieć na ciebie wpływu.\n");
    EXPECT_EQ(hero.poison, 2);
}

TEST_F(PotionsTest, PoisonPotion) {
    EXPECT_EQ(drink(3, 1), "Ten eliksir jest jakiś rozwodniony.\nBrak efektu...\n");
    nextD20Is(20);  // 20 + 2 against 14 + 0
    EXPECT_EQ(drink(3, 0, 0), "Mikstura ??? wydaję się nie mieć na ciebie wpływu.\n");
    EXPECT_EQ(hero.poison, 0);

    // A failed save: a level of 1 to 4 plus the spoilage, replacing the old one.
    for (int bonus : {0, -3}) {
        setPoison(9);
        nextD20Is(1);
        const std::uint32_t state = randomState();
        rollD20();
        const int level = randomRange(1, 4) - bonus;
        setRandomState(state);
        drink(3, bonus);
        EXPECT_EQ(hero.poison, level) << bonus;
        EXPECT_EQ(hero.attributes[Con], 10 - level) << bonus;
        EXPECT_EQ(hero.lastHarm, HarmPoison);
    }
}

TEST_F(PotionsTest, DeadlyDrinkLeavesTheInventory) {
    hero.inventory[0] = ItemSlot{2, KindPotion, 0, -5, Identified};
    nextD20Is(1);
    screen.type("u1\nk");  // no "x": the screen leaves on its own
    EXPECT_FALSE(runUntilInputEnds([] { inventoryScreen(); }));
    EXPECT_TRUE(screen.transcript().find("Wypijasz Eliksir uzdrowienia +?. Robi ci się ciemno") != std::string::npos);
    EXPECT_EQ(hero.hp, 0);
    EXPECT_TRUE(hero.inventory[0].empty());
}

}  // namespace
}  // namespace kelvrin::test
