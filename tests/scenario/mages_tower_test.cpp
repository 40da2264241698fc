#include "character/derived_values.h"
#include "items/inventory.h"
#include "items/mages_tower.h"
#include "support/game_test.h"
#include "support/test_hero.h"

namespace kelvrin::test {
namespace {

constexpr ItemSlot StrangeSword{7, KindWeapon, 1, -5, OfTheGods};

class MagesTowerTest : public GameTest {
protected:
    void SetUp() override { GameTest::SetUp(); makeTestHero(); }
    // Runs the tower as the town does, while it asks to be shown again;
    // expects every part in what it printed. True when it returned to the town.
    bool run(const std::string& keys, std::initializer_list<std::string> parts) {
        screen.clearTranscript();
        screen.type(keys);
        const bool left = !runUntilInputEnds([] { while (magesTowerScreen()) continue; });
        EXPECT_EQ(screen.keysQueued(), 0u) << keys;
        for (const auto& part : parts) EXPECT_NE(screen.transcript().find(part), std::string::npos) << part;
        return left;
    }
};

TEST_F(MagesTowerTest, EnchantingRefusesThenStepsAwayFromZero) {
    hero.weapon = ItemSlot{7, KindWeapon, 1, 0, Identified};
    hero.inventory[0] = ItemSlot{0, KindPotion, 0, 0, 0};
    hero.inventory[1] = ItemSlot{2, KindGem, 0, 0, Identified};
    hero.gold = 10000;
    EXPECT_TRUE(run("u4\nk5\nk2\nk9\n1\nn1\ntk1\ntk1\ntk0\nx",
                    {"{clear}Który przedmiot chcesz umagicznić (0-nic):\n1) E Długi miecz*\n2) E Zbroja łuskowa\n"
                     "3) E Tarcza\n4) Nieznany eliksir\n5) Rubin\n4\n"
                     "Musisz najpierw zidentyfikować ten przedmiot.\n\n(ok)",
                     "5\nNie mogę umagicznić tego przedmiotu.\n\n(ok){clear}",
                     "2\nTen przedmiot musi być mistrzowsko wykonany żeby można było go umagicznić.\n\n(ok)",
                     "9\n{clear}Który przedmiot",  // off the list: the list again
                     "aby ulepszyć Długi miecz* z +0 do +1? (t/n)\nTwój przedmiot został umagiczniony.\n\n(ok)",
                     "Czy chcesz zapłacić 8000 sztuk złota aby ulepszyć Długi miecz +1 z +1 do +2? (t/n)\n",
                     "z +2 do +3? (t/n)\nBrakuje ci 18000 sztuk złota.\n\n(ok)"}));
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
    run("u3\nn3\nttk4\ntk0\nk1\ntkk",
        {"3\nTen przedmiot jest przeklęty, na pewno chcesz go ulepszyć? (t/n)\n{clear}",
         "(t/n)\nCzy chcesz zapłacić 8730 sztuk złota aby ulepszyć Tarcza -2 z -2 do -3? (t/n)\n",
         "Zdejmę klątwe z Tarcza -3 za 4365 sztuk złota. (t/n)\nOd teraz Tarcza -3 to Tarcza +3.\n\n(ok)",
         "{clear}Z którego przedmiotu chcesz zdjąć klątwe (0-nic):\nNie masz żadnych przeklętych przedmiotów.\n\n(ok)"
         "{clear}WIEŻA MAGÓW",
         // The price must be in the purse, but it is never paid.
         "Czy chcesz zapłacić 72 sztuk złota aby ulepszyć Eliksir zdrowia +0 z +0 do +1? (t/n)\nMag - \"Eeee, ten "
         "eliksir który mi dałeś do umagicznienia zamienił się w wodę. Nie musisz mi płacić, tym razem...\"\n\n(ok)"});
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
    run("i1\nn1\ntk1\ntk1\ntkkx",
        {"(0-nic):\n1) Nieznany eliksir\n2) Nieznany eliksir\n3) Puklerz +?\n",
         "(t/n)\nNieznany eliksir to Mikstura lecznicza +1.\n\n(ok)",
         "(t/n)\nWiem tylko że Nieznany eliksir to Trucizna +?. Jeśli chcesz wiedzieć więcej musisz znaleźć jakiegoś "
         "alchemika.\n\n(ok)",
         "ma Puklerz +? za 100 sztuk złota. (t/n)\nPuklerz +? to Puklerz -1.\n\n(ok)",
         "{clear}Który przedmiot chcesz zidentyfikować (0-nic):\nNie masz żadnych niezidentifikowanych przedmiotów."
         "\n\n(ok)"});
    EXPECT_EQ(hero.gold, 100);
}

// Freed of its curse, the wielded strange sword turns -5 into +5 at once;
// one more step makes the hero stronger still.
TEST_F(MagesTowerTest, StrangeSwordFreedOfItsCurseRaisesAttributesByTen) {
    hero.attributes[Cha] = 15;  // 10 with the sword: the base prices
    const auto own = hero.attributes;  // KON 12: +1 at level 1
    hero.weapon = StrangeSword;
    applyGodBonus(StrangeSword.bonus);
    hero.gold = 200 + 25000;
    run("i1\ntkkk1\ntkkx", {"(t/n)\nDługi miecz +? to Długi miecz Bogów -5.\n\n(ok)",
                            "Od teraz Długi miecz Bogów -5 to Długi miecz Bogów +5.\n\n(ok)"});
    for (std::size_t i = 0; i < own.size(); ++i) EXPECT_EQ(hero.attributes[i], own[i] + 5) << i;
    EXPECT_EQ(hero.hp, 15);  // KON 17: +3
    EXPECT_EQ(hero.gold, 0);

    hero.gold = 149850;  // e = 5 + 3: (8 + 1)² × 2000 at CHA 20
    run("u1\ntk0\nx", {"(t/n)\nCzujesz się silniejszy.\nTwój przedmiot został umagiczniony.\n\n(ok)"});
    EXPECT_EQ(hero.attributes[Str], own[Str] + 6);
    EXPECT_EQ(hero.weapon.bonus, 6);
    EXPECT_EQ(hero.gold, 0);
}

// An attribute below 1 kills the hero, who pays nothing and leaves at once.
TEST_F(MagesTowerTest, CursedSwordOfTheGodsKillsWhenAnAttributeFallsBelowOne) {
    hero.attributes[Cha] = 6;
    hero.weapon = StrangeSword;
    hero.weapon.flags |= Identified;
    applyGodBonus(StrangeSword.bonus);  // CHA 1
    hero.gold = 200000;
    hero.lastHarm = 0;
    EXPECT_TRUE(run("u1\ntt ", {"z -5 do -6? (t/n)\nCzujesz się słabszy.\n{12}Umierasz...\n{7}\n(ok)"}));
    EXPECT_EQ(hero.hp, 0);
    EXPECT_EQ(hero.lastHarm, HarmNothingYet);
    EXPECT_EQ(hero.gold, 200000);
    EXPECT_EQ(hero.weapon.bonus, -5);
}

// The first word of the line, in any case (of two rows named Paladyn, the
// last: 150 gold); the fee by challenge (a rat, 1/8: 1 gold); "n" pays
// nothing; then what the seer tells, whole: traits, speed and places.
TEST_F(MagesTowerTest, SeerFindsOneWordInAnyCaseChargesByChallengeAndTellsAll) {
    hero.gold = 1000;
    run("wg  paladyn rest\ntkgRycerz śmierci\nkx",
        {"Mag mówi:\n-\"Witaj Testowy Wojownik.\"\nCo chcesz zrobić:\ng - gdzie znajdę potwora?\nx - wyjdź\n\n"
         "Nazwa potwora:   paladyn rest\nCzekaj, nie mów. Chcesz wiedzieć gdzie znajdziesz paladyn, tak?\n"
         "Chcesz zapłacić 150 sztuk złota? (t/n)\nJesteś słabszy niż Paladyn.\nTen przeciwnik nie wie co to strach.\n"
         "Jesteś szybszy niż ta istota.\nNie wiem gdzie możesz go znaleźć.\n\n(ok)",
         "Chcesz wiedzieć gdzie znajdziesz Rycerz, tak?\nPrzykro mi ale nigdy nie słyszałem o czymś takim.\n\n(ok)"});
    EXPECT_EQ(hero.gold, 850);
    hero.gold = 1;
    run("wgOGR\nkgszczur\nngSZCZUR\ntkx", {"Nie stać cię na to, potrzebujesz 19 sztuk złota.\n\n(ok)",
                                           "Chcesz zapłacić 1 sztuk złota? (t/n)\n{clear}",
                                           "Jesteś silniejszy niż Szczur.\n"});
    EXPECT_EQ(hero.gold, 0);

    ASSERT_EQ(speedSteps(), 6);
    hero.level = 4;
    const struct { const char* word; const char* answer; } cases[] = {
        {"Balor", "Jesteś słabszy niż Balor.\nTen przeciwnik posiada redukcje obrażeń. Potrzebujesz minimum +3 "
                  "umagicznienia broni aby pokonać redukcję.\nTen przeciwnik potrafi latać.\nJesteś wolniejszy niż ta "
                  "istota.\nTen przeciwnik jest otoczony płomieniami.\nMożesz go znaleźć w salach bólu.\n"},
        {"szczur", "Jesteś silniejszy niż Szczur.\nJesteś szybszy niż ta istota.\nTa istota jest zwierzęciem.\n"
                   "Możesz go znaleźć w lesie i podziemiach w okolicach 1 poziomu.\n"},
        // Equal in strength and speed.
        {"minotaur", "Jesteś równie silny jak Minotaur.\nMożesz go znaleźć w podziemiach w okolicach 4 poziomu.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.word);
        hero.gold = 1000;
        run(std::string("wg") + c.word + "\ntkx", {std::string("(t/n)\n") + c.answer + "\n(ok)"});
    }
}

}  // namespace
}  // namespace kelvrin::test
