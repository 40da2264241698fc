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
    // Drinks a potion through the routine the inventory uses; returns what it
    // printed, without the switch back to grey left from earlier red text.
    std::string drink(int row, int bonus, std::uint32_t flags = Identified) {
        const ItemSlot potion{row, KindPotion, 0, bonus, flags};
        return output([&] { potionEffectRoutine(potionRow(potion).effect)(potion); });
    }
    std::string poisonTo(int level) { return output([&] { setPoison(level); }); }
    std::string output(const std::function<void()>& action) {
        screen.clearTranscript();
        action();
        const std::string& text = screen.transcript();
        return text.starts_with("{7}") ? text.substr(3) : text;
    }
    // Seeds the generator so that the next saving roll shows this d20.
    static void nextD20Is(int wanted) {
        std::uint32_t seed = 1;
        while ((seedRandom(seed), rollD20()) != wanted) ++seed;
        seedRandom(seed);
    }
};

TEST_F(PotionsTest, EffectsByStrength) {
    const std::string heal = "Twoje rany szybko się leczą.\n", none = "Brak efektu...\n";
    const std::string dizzy = "Robi ci się ciemno przed oczami i kręci ci się w głowie.\n";
    const std::string loss = "Skręcasz się z bólu gdy twoje narządy wewnętrzne zdają się wirować.\nTracisz 1 punkt "
                             "wytrzymałości na stałe.\n";
    const struct { int row, bonus, d20, hp, hpAfter, maxHpAfter, harm; std::string text; } cases[] = {
        // Healing: (KON modifier 2 + level 3 + 10) × (bonus + 2), up to the maximum.
        {0, 1, 0, 4, 49, 50, HarmNothingYet, heal},
        {0, 0, 0, 45, 50, 50, HarmNothingYet, heal},
        {0, 0, 0, 50, 50, 50, HarmNothingYet, none},
        {0, -2, 0, 20, 20, 50, HarmNothingYet, none},
        {0, -3, 0, 15, 0, 50, HarmBurningHealing,
         "Mikstura pali twoje wnętrzności niczym kwas! Tracisz {12}-15{7} pw!{12} Umierasz...{7}\n"},
        // Full healing; a spoiled one is resisted with d20 + 5 at least 16 - bonus.
        {2, 0, 0, 20, 50, 50, HarmNothingYet, "Ciepło przepełnia twoje ciało, zostałeś {10}uzdrowiony{7}.\n"},
        {2, -1, 12, 20, 20, 50, HarmNothingYet, dizzy + "Oparłeś się śmiertelnemu efektowi!\n"},
        {2, -1, 11, 20, 0, 50, HarmSpoiledFullHeal,
         dizzy + "Ostatnia myśl jaka przyszła ci do głowy - ten eliksir chyba stracił termin ważności!\n"
                 "{12}Umierasz...\n"},
        // Health: one Pw for good, lost also at 0; the last Pw lost kills.
        {4, 1, 0, 2, 3, 51, HarmNothingYet,
         "Czujesz jak przepełnia cię jakaś nieznana siła.\nZyskujesz 1 punkt wytrzymałości na stałe.\n"},
        {4, 0, 0, 20, 19, 49, HarmHealthElixir, loss},
        {4, -1, 0, 1, 0, 49, HarmHealthElixir, loss + "{12}Umierasz...\n"},
    };
    for (const auto& c : cases) {
        hero.hp = c.hp;
        hero.maxHp = 50;
        hero.lastHarm = HarmNothingYet;
        if (c.d20 != 0) nextD20Is(c.d20);
        SCOPED_TRACE(formatText("row %d, bonus %d, %d Pw", c.row, c.bonus, c.hp));
        EXPECT_EQ(drink(c.row, c.bonus), c.text);
        EXPECT_EQ(std::tuple(hero.hp, hero.maxHp, hero.lastHarm), std::tuple(c.hpAfter, c.maxHpAfter, c.harm));
    }
}

// Each level takes one from SIŁ and KON (and the Pw of a lower KON modifier).
TEST_F(PotionsTest, PoisonLevelMovesStrengthConstitutionAndHitPoints) {
    hero.attributes[Str] = 14;
    hero.hp = hero.maxHp = 30;
    const struct { int level, str, hp; const char* text; } steps[] = {
        {3, 11, 24, "Czujesz się słabo, ulegasz zatruciu!\n"},  // KON +2 → +0: -2 × 3 Pw
        {4, 10, 24, "Czujesz się jeszcze gorzej.\n"},
        {2, 12, 27, "Czujesz się lepiej.\n"},
        {0, 14, 30, "Czujesz się lepiej. Już nie jesteś zatruty.\n"},
        {-2, 14, 30, ""},  // no level below 0, and no change: nothing said
    };
    for (const auto& s : steps) {
        hero.lastHarm = HarmNothingYet;
        SCOPED_TRACE(s.level);
        EXPECT_EQ(poisonTo(s.level), s.text);
        EXPECT_EQ(std::tuple(hero.poison, hero.attributes[Str], hero.attributes[Con], hero.hp, hero.maxHp),
                  std::tuple(std::max(s.level, 0), s.str, s.str, s.hp, s.hp));
        EXPECT_EQ(hero.lastHarm, *s.text ? HarmPoison : HarmNothingYet);
    }
    // KON below 1 kills; so does the lost KON modifier taking the last Pw.
    hero.attributes[Con] = 3;
    EXPECT_EQ(poisonTo(3), "Czujesz się słabo, ulegasz zatruciu!\n{12}Umierasz...\n");
    EXPECT_EQ(hero.hp, 0);
    hero.attributes = {12, 12, 12, 10, 10, 10};
    hero.poison = 0;
    hero.level = 5;
    hero.hp = 3;
    EXPECT_EQ(poisonTo(3), "Czujesz się słabo, ulegasz zatruciu!\n{12}Umierasz...\n");
    EXPECT_EQ(hero.hp, -7);  // +1 → -1: -2 × 5 Pw
}

TEST_F(PotionsTest, AntidoteAndPoison) {
    setPoison(3);
    EXPECT_EQ(drink(1, 0), "Czujesz się lepiej. Już nie jesteś zatruty.\n");
    EXPECT_EQ(drink(1, 0), "");
    seedRandom(7);  // a good one heals 2-8 Pw
    EXPECT_EQ(drink(1, 2), "Uleczono {10}7{7} pw.\n");
    EXPECT_EQ(hero.hp, 27);

    // A spoiled antidote sets the level to its spoilage, up or down.
    for (int before : {0, 4}) {
        setPoison(before);
        nextD20Is(1);
        EXPECT_EQ(drink(1, -2), before == 0 ? "Czujesz się słabo, ulegasz zatruciu!\n" : "Czujesz się lepiej.\n");
        EXPECT_EQ(hero.poison, 2);
        EXPECT_EQ(hero.lastHarm, HarmSpoiledAntidote);
    }
    nextD20Is(10);  // 10 + 4 (KON 12) against 12 + 2
    EXPECT_EQ(drink(1, -2), "Mikstura Antidotum wydaję się nie mieć na ciebie wpływu.\n");

    setPoison(0);
    EXPECT_EQ(drink(3, 1), "Ten eliksir jest jakiś rozwodniony.\nBrak efektu...\n");
    nextD20Is(9);  // 9 + 5 against 14 - 0
    EXPECT_EQ(drink(3, 0, 0), "Mikstura ??? wydaję się nie mieć na ciebie wpływu.\n");
    // A failed save: 1 to 4 (drawn after the d20) plus the spoilage 3 replaces the old level.
    setPoison(9);
    nextD20Is(1);
    drink(3, -3);
    EXPECT_EQ(hero.poison, 7);
    EXPECT_EQ(hero.lastHarm, HarmPoison);
}

}  // namespace
}  // namespace kelvrin::test
