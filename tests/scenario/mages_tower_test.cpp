#include "character/derived_values.h"
#include "items/inventory.h"
#include "items/mages_tower.h"
#include "items/seer.h"
#include "support/game_test.h"
#include "support/test_hero.h"

namespace kelvrin::test {
namespace {

constexpr ItemSlot StrangeSword{7, KindWeapon, 1, -5, OfTheGods};

class MagesTowerTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        makeTestHero();
    }
    // Runs the tower as the town does, while it asks to be shown again.
    // Returns what it printed; `left` tells whether it returned to the town.
    std::string run(const std::string& keys) {
        screen.clearTranscript();
        screen.type(keys);
        left = !runUntilInputEnds([] {
            while (magesTowerScreen()) {
            }
        });
        EXPECT_EQ(screen.keysQueued(), 0u) << keys;
        return screen.transcript();
    }
    // Asks the seer about a word with a full purse and returns his answer.
    std::string askSeer(const std::string& word) {
        hero.gold = 1000;
        screen.clearTranscript();
        screen.type("g" + word + "\ntkx");
        EXPECT_FALSE(runUntilInputEnds(seerScreen)) << word;
        const std::string& out = screen.transcript();
        const std::size_t start = out.find("(t/n)\n");
        const std::size_t end = out.rfind("\n(ok)");
        if (start == std::string::npos || end == std::string::npos || end < start) return out;
        return out.substr(start + 6, end - start - 6);
    }
    static bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
    bool left = false;
};

TEST_F(MagesTowerTest, EnchantingRefusesThenStepsAwayFromZero) {
    hero.weapon = ItemSlot{7, KindWeapon, 1, 0, Identified};
    hero.inventory[0] = ItemSlot{0, KindPotion, 0, 0, 0};
    hero.inventory[1] = ItemSlot{2, KindGem, 0, 0, Identified};
    hero.gold = 10000;
    const std::string out = run("u4\nk5\nk2\nk9\n1\nn1\ntk1\ntk1\ntk0\nx");
    EXPECT_TRUE(left);
    EXPECT_TRUE(has(out, "{clear}Który przedmiot chcesz umagicznić (0-nic):\n1) E Długi miecz*\n2) E Zbroja łuskowa\n"
                         "3) E Tarcza\n4) Nieznany eliksir\n5) Rubin\n"));
    EXPECT_TRUE(has(out, "4\nMusisz najpierw zidentyfikować ten przedmiot.\n\n(ok){clear}"));
    EXPECT_TRUE(has(out, "5\nNie mogę umagicznić tego przedmiotu.\n\n(ok){clear}"));
    EXPECT_TRUE(has(out, "2\nTen przedmiot musi być mistrzowsko wykonany żeby można było go umagicznić.\n\n(ok)"));
    EXPECT_TRUE(has(out, "9\n{clear}Który przedmiot"));  // out of range: the list again
    EXPECT_TRUE(has(out, "aby ulepszyć Długi miecz* z +0 do +1? (t/n)\nTwój przedmiot został umagiczniony.\n\n(ok)"));
    EXPECT_TRUE(has(out, "Czy chcesz zapłacić 8000 sztuk złota aby ulepszyć Długi miecz +1 z +1 do +2? (t/n)\n"));
    EXPECT_TRUE(has(out, "ulepszyć Długi miecz +2 z +2 do +3? (t/n)\nBrakuje ci 18000 sztuk złota.\n\n(ok)"));
    EXPECT_EQ(hero.weapon.bonus, 2);
    EXPECT_EQ(hero.gold, 0);
}

TEST_F(MagesTowerTest, CursedShieldGrowsWorseThenTurnsAndTheElixirBecomesWater) {
    hero.shield = ItemSlot{1, KindShield, 1, -2, Identified};
    hero.inventory[2] = ItemSlot{4, KindPotion, 0, 0, Identified | StrengthKnown};
    hero.attributes[Cha] = 14;
    hero.gold = 8730 + 4365 + 72;
    recomputeLoad();
    const float load = hero.load;
    std::string out = run("u3\nn3\nttk4\ntk0\nk1\ntkk");
    EXPECT_TRUE(has(out, "3\nTen przedmiot jest przeklęty, na pewno chcesz go ulepszyć? (t/n)\n{clear}"));
    EXPECT_TRUE(has(out, "(t/n)\nCzy chcesz zapłacić 8730 sztuk złota aby ulepszyć Tarcza -2 z -2 do -3? (t/n)\n"));
    EXPECT_TRUE(has(out, "Zdejmę klątwe z Tarcza -3 za 4365 sztuk złota. (t/n)\nOd teraz Tarcza -3 to Tarcza +3.\n\n(ok)"));
    EXPECT_TRUE(has(out, "{clear}Nie masz żadnych przeklętych przedmiotów.\n\n(ok){clear}WIEŻA MAGÓW"));
    // The elixir: the price must be in the purse, but it is never paid.
    EXPECT_TRUE(has(out, "Czy chcesz zapłacić 72 sztuk złota aby ulepszyć Eliksir zdrowia +0 z +0 do +1? (t/n)\n"
                         "Mag - \"Eeee, ten eliksir który mi dałeś do umagicznienia zamienił się w wodę. Nie musisz "
                         "mi płacić, tym razem...\"\n\n(ok)"));
    EXPECT_EQ(hero.shield.bonus, 3);
    EXPECT_EQ(hero.gold, 72);
    EXPECT_EQ(hero.inventory[2], (ItemSlot{WaterRow, KindPotion, 0, 0, Identified}));
    EXPECT_FLOAT_EQ(hero.load, load + 0.25f);
}

TEST_F(MagesTowerTest, IdentificationTellsPotionsOfHighRowsOnlyTheirKind) {
    hero.inventory[0] = ItemSlot{0, KindPotion, 0, 1, 0};
    hero.inventory[1] = ItemSlot{3, KindPotion, 0, 0, 0};
    hero.inventory[2] = ItemSlot{9, KindWeapon, 0, 0, Identified | StrengthKnown};
    hero.inventory[3] = ItemSlot{0, KindPotion, 0, 0, Identified};  // kind known: not listed
    hero.inventory[4] = ItemSlot{0, KindShield, 0, -1, 0};
    hero.gold = 300;
    const std::string out = run("i1\nn1\ntk1\ntk1\ntkkx");
    EXPECT_TRUE(has(out, "(0-nic):\n1) Nieznany eliksir\n2) Nieznany eliksir\n3) Puklerz +?\n"));
    EXPECT_TRUE(has(out, "(t/n)\nNieznany eliksir to Mikstura lecznicza +1.\n\n(ok)"));
    EXPECT_TRUE(has(out, "(t/n)\nWiem tylko że Nieznany eliksir to Trucizna +?. Jeśli chcesz wiedzieć więcej musisz "
                         "znaleźć jakiegoś alchemika.\n\n(ok){clear}Który przedmiot chcesz zidentyfikować (0-nic):\n"
                         "1) Puklerz +?\n"));
    EXPECT_TRUE(has(out, "ma Puklerz +? za 100 sztuk złota. (t/n)\nPuklerz +? to Puklerz -1.\n\n(ok)"));
    EXPECT_TRUE(has(out, "{clear}Nie masz żadnych niezidentifikowanych przedmiotów.\n\n(ok)"));
    EXPECT_EQ(hero.gold, 100);
    EXPECT_EQ(hero.inventory[0].flags, Identified | StrengthKnown);
    EXPECT_EQ(hero.inventory[1].flags, Identified);
    EXPECT_EQ(hero.inventory[4].flags, Identified | StrengthKnown);
}

TEST_F(MagesTowerTest, StrangeSwordFreedOfItsCurseRaisesAttributesByTen) {
    hero.attributes[Cha] = 15;  // 10 with the sword: the base prices
    const auto own = hero.attributes;  // KON 12: +1 at level 1
    hero.weapon = StrangeSword;
    applyGodBonus(StrangeSword.bonus);
    ASSERT_EQ(hero.maxHp, 10);
    hero.gold = 200 + 25000;
    const std::string out = run("i1\ntkkk1\ntkkx");
    EXPECT_TRUE(has(out, "(t/n)\nDługi miecz +? to Długi miecz Bogów -5.\n\n(ok)"));
    EXPECT_TRUE(has(out, "Zdejmę klątwe z Długi miecz Bogów -5 za 25000 sztuk złota. (t/n)\n"
                         "Od teraz Długi miecz Bogów -5 to Długi miecz Bogów +5.\n\n(ok)"));
    auto raised = own;  // from 5 below the hero's own values to 5 above
    for (int& value : raised) value += 5;
    EXPECT_EQ(hero.attributes, raised);
    EXPECT_EQ(hero.maxHp, 15);  // KON 17: +3
    EXPECT_EQ(hero.hp, 15);
    EXPECT_EQ(hero.gold, 0);

    // Blessed now, one more step makes the hero stronger still.
    hero.gold = 149850;  // e = 5 + 3: (8 + 1)² × 2000 at CHA 20
    const std::string more = run("u1\ntk0\nx");
    EXPECT_TRUE(has(more, "(t/n)\nCzujesz się silniejszy.\nTwój przedmiot został umagiczniony.\n\n(ok)"));
    EXPECT_EQ(hero.attributes[Str], own[Str] + 6);
    EXPECT_EQ(hero.weapon.bonus, 6);
    EXPECT_EQ(hero.gold, 0);
}

TEST_F(MagesTowerTest, CursedSwordOfTheGodsKillsWhenAnAttributeFallsBelowOne) {
    hero.attributes[Cha] = 6;
    hero.weapon = StrangeSword;
    hero.weapon.flags |= Identified;
    applyGodBonus(StrangeSword.bonus);  // CHA 1
    hero.gold = 200000;
    const std::string out = run("u1\ntt");
    EXPECT_TRUE(left);  // out of the tower at once, without a key
    EXPECT_TRUE(has(out, "z -5 do -6? (t/n)\nCzujesz się słabszy.\n"));
    EXPECT_EQ(hero.hp, 0);
    EXPECT_EQ(hero.gold, 200000);
    EXPECT_EQ(hero.weapon.bonus, -5);
}

TEST_F(MagesTowerTest, SeerFindsOneWordInAnyCaseAndChargesByChallenge) {
    hero.gold = 1000;
    std::string out = run("wgpaladyn\ntkgRycerz śmierci\nkx");
    EXPECT_TRUE(has(out, "Mag mówi:\n-\"Witaj Testowy Wojownik.\"\nCo chcesz zrobić:\ng - gdzie znajdę potwora?\n"
                         "x - wyjdź\n\nNazwa potwora: paladyn\nCzekaj, nie mów. Chcesz wiedzieć gdzie znajdziesz "
                         "paladyn, tak?\nChcesz zapłacić 150 sztuk złota? (t/n)\nJesteś słabszy niż Paladyn.\n"));
    EXPECT_TRUE(has(out, "Chcesz wiedzieć gdzie znajdziesz Rycerz, tak?\nPrzykro mi ale nigdy nie słyszałem o czymś "
                         "takim.\n\n(ok)"));
    EXPECT_EQ(hero.gold, 850);

    // Short of gold, and exactly enough for a rat (1/8: 1 gold); "n" pays nothing.
    hero.gold = 1;
    out = run("wgOGR\nkgszczur\nngSZCZUR\ntkx");
    EXPECT_TRUE(has(out, "Nie stać cię na to, potrzebujesz 19 sztuk złota.\n\n(ok)"));
    EXPECT_TRUE(has(out, "Chcesz zapłacić 1 sztuk złota? (t/n)\n{clear}"));
    EXPECT_TRUE(has(out, "Jesteś silniejszy niż Szczur.\n"));
    EXPECT_EQ(hero.gold, 0);
}

TEST_F(MagesTowerTest, SeerTellsTraitsSpeedAndPlacesInOrder) {
    ASSERT_EQ(speedSteps(), 6);
    hero.level = 4;
    const struct {
        const char* word;
        const char* answer;
    } cases[] = {
        {"  paladyn rest", "Jesteś słabszy niż Paladyn.\nTen przeciwnik nie wie co to strach.\nJesteś szybszy niż ta "
                           "istota.\nNie wiem gdzie możesz go znaleźć.\n"},
        {"Balor", "Jesteś słabszy niż Balor.\nTen przeciwnik posiada redukcje obrażeń. Potrzebujesz minimum +3 "
                  "umagicznienia broni aby pokonać redukcję.\nTen przeciwnik potrafi latać.\nJesteś wolniejszy niż ta "
                  "istota.\nTen przeciwnik jest otoczony płomieniami.\nMożesz go znaleźć w salach bólu.\n"},
        {"szczur", "Jesteś silniejszy niż Szczur.\nJesteś szybszy niż ta istota.\nTa istota jest zwierzęciem.\n"
                   "Możesz go znaleźć w lesie i podziemiach w okolicach 1 poziomu.\n"},
        {"Cień", "Jesteś silniejszy niż Cień.\nTen przeciwnik jest odporny na trafienia krytyczne.\nTen przeciwnik nie "
                 "wie co to strach.\nTen przeciwnik potrafi latać.\nTa istota jest nieumarła.\nTa istota jest "
                 "bezcielesna. Potrzebujesz magicznej broni żeby ją trafić.\nMożesz go znaleźć w .\n"},
        // Equal in strength and speed.
        {"minotaur", "Jesteś równie silny jak Minotaur.\nMożesz go znaleźć w podziemiach w okolicach 4 poziomu.\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(askSeer(c.word), c.answer) << c.word;
}

}  // namespace
}  // namespace kelvrin::test
