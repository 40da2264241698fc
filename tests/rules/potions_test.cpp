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
        hero.attributes = {12, 12, 14, 10, 10, 10};
        hero.level = 3;  // resistance to poison: 2 + 2 + 1
        hero.maxHp = 50;
        hero.hp = 20;
    }
    // Drinks a potion of the row through the routine the inventory uses;
    // returns what it printed.
    std::string drink(int row, int bonus, std::uint32_t flags = Identified) {
        const ItemSlot potion{row, KindPotion, 0, bonus, flags};
        screen.clearTranscript();
        potionEffectRoutine(potionRow(potion).effect)(potion);
        return output();
    }
    std::string poisonTo(int level) {
        screen.clearTranscript();
        setPoison(level);
        return output();
    }
    // The transcript without the switch back to grey left over from the
    // previous red text.
    std::string output() const {
        const std::string& text = screen.transcript();
        return text.starts_with("{7}") ? text.substr(3) : text;
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

TEST_F(PotionsTest, EffectsByStrength) {
    constexpr const char* Burn = "Mikstura pali twoje wnętrzności niczym kwas! Tracisz {12}-15{7} pw!";
    constexpr const char* Dizzy = "Robi ci się ciemno przed oczami i kręci ci się w głowie.\n";
    const struct { int row, bonus, d20, hp, hpAfter, maxHpAfter, harm; std::string text; } cases[] = {
        // Healing: (KON modifier 2 + level 3 + 10) × (bonus + 2), up to the maximum.
        {0, 0, 0, 10, 40, 50, HarmNothingYet, "Twoje rany szybko się leczą.\n"},
        {0, 1, 0, 4, 49, 50, HarmNothingYet, "Twoje rany szybko się leczą.\n"},
        {0, 0, 0, 45, 50, 50, HarmNothingYet, "Twoje rany szybko się leczą.\n"},
        {0, 0, 0, 50, 50, 50, HarmNothingYet, "Brak efektu...\n"},
        {0, -2, 0, 20, 20, 50, HarmNothingYet, "Brak efektu...\n"},
        {0, -3, 0, 20, 5, 50, HarmNothingYet, std::string(Burn) + "\n"},
        {0, -3, 0, 15, 0, 50, HarmBurningHealing, std::string(Burn) + "{12} Umierasz...{7}\n"},
        // Full healing; a spoiled one is resisted with d20 + 5 at least 16 - bonus.
        {2, 0, 0, 20, 50, 50, HarmNothingYet, "Ciepło przepełnia twoje ciało, zostałeś {10}uzdrowiony{7}.\n"},
        {2, 3, 0, 50, 50, 50, HarmNothingYet, "Brak efektu...\n"},
        {2, -1, 12, 20, 20, 50, HarmNothingYet, std::string(Dizzy) + "Oparłeś się śmiertelnemu efektowi!\n"},
        {2, -1, 11, 20, 0, 50, HarmSpoiledFullHeal,
         std::string(Dizzy) + "Ostatnia myśl jaka przyszła ci do głowy - ten eliksir chyba stracił termin ważności!\n"
                              "{12}Umierasz...\n"},
        // Health: one Pw for good, lost also at 0.
        {4, 1, 0, 2, 3, 51, HarmNothingYet,
         "Czujesz jak przepełnia cię jakaś nieznana siła.\nZyskujesz 1 punkt wytrzymałości na stałe.\n"},
        {4, 0, 0, 20, 19, 49, HarmHealthElixir,
         "Skręcasz się z bólu gdy twoje narządy wewnętrzne zdają się wirować.\nTracisz 1 punkt wytrzymałości na "
         "stałe.\n"},
        {4, -1, 0, 1, 0, 49, HarmHealthElixir,
         "Skręcasz się z bólu gdy twoje narządy wewnętrzne zdają się wirować.\nTracisz 1 punkt wytrzymałości na "
         "stałe.\n{12}Umierasz...\n"},
        {5, 0, 0, 20, 20, 50, HarmNothingYet, "Zaspokoiłeś swoje pragnienie.\n"},
        {5, -1, 0, 20, 20, 50, HarmNothingYet, "Ta woda miała dziwny gożki smak.\n"},
    };
    for (const auto& c : cases) {
        hero.hp = c.hp;
        hero.maxHp = 50;
        hero.lastHarm = HarmNothingYet;
        if (c.d20 != 0) nextD20Is(c.d20);
        EXPECT_EQ(drink(c.row, c.bonus), c.text) << c.row << " " << c.bonus << " " << c.hp;
        EXPECT_EQ(hero.hp, c.hpAfter) << c.row << " " << c.bonus << " " << c.hp;
        EXPECT_EQ(hero.maxHp, c.maxHpAfter) << c.row << " " << c.bonus;
        EXPECT_EQ(hero.lastHarm, c.harm) << c.row << " " << c.bonus;
    }
}

TEST_F(PotionsTest, PoisonLevelMovesStrengthConstitutionAndHitPoints) {
    hero.attributes[Str] = 14;
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
    EXPECT_EQ(hero.attributes[Con], 14);
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
    nextD20Is(10);  // 10 + 4 (KON 12) against 12 + 2
    EXPECT_EQ(drink(1, -2), "Mikstura Antidotum wydaję się nie mieć na ciebie wpływu.\n");
    EXPECT_EQ(hero.poison, 2);
}

TEST_F(PotionsTest, PoisonPotion) {
    EXPECT_EQ(drink(3, 1), "Ten eliksir jest jakiś rozwodniony.\nBrak efektu...\n");
    nextD20Is(9);  // 9 + 5 against 14 - 0
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
        EXPECT_EQ(hero.attributes[Con], 14 - level) << bonus;
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
