#include "support/game_test.h"

#include "character/feat_screens.h"
#include "data/classes.h"
#include "data/races.h"

namespace kelvrin::test {
namespace {

class FeatScreensTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        showAllFeats = false;
        hero.attributes = {12, 12, 12, 12, 12, 12};
        hero.heroClass = ClassFighter;
        hero.maxHp = hero.hp = 10;
    }
    void TearDown() override {
        showAllFeats = false;
        GameTest::TearDown();
    }
    bool said(const std::string& part) const { return screen.transcript().find(part) != std::string::npos; }
};

TEST_F(FeatScreensTest, GeneralListSortedAndShowAllListsTheRestInGrey) {
    // 'p' lists all 17 feats; the unavailable Potężny atak (8th), Wielkie
    // rozszczepienie (15th) and Specjalizacja w broni (11th) only show their
    // requirements; then Twardość (12th) is taken.
    screen.type("p\n8\nx15\nx11\nx12\nw");
    chooseFeat(FeatGeneral);
    EXPECT_TRUE(said("{clear}Wybierz nowy atut:\n1) Bieg\n2) Czujność\n3) Finezja\n"));
    EXPECT_TRUE(said("7) Zogniskowanie broni\n\nliczba - wybór, p - pokaż wszystkie\n"));
    EXPECT_TRUE(said("2) Czujność\n{8}3) Dodatkowy szał\n{7}4) Finezja\n{8}5) Odporność na trucizny\n"
                     "{7}6) Poprawiona inicjatywa\n{8}7) Poprawione trafienia krytyczne\n8) Potężny atak\n"
                     "9) Przedłużony szał\n10) Rozszczepienie\n11) Specjalizacja w broni\n{7}12) Twardość\n"
                     "{8}13) Uniki\n{7}14) Walka na ślepo\n{8}15) Wielkie rozszczepienie\n16) Wyspecjalizowanie\n"
                     "{7}17) Zogniskowanie broni\n\nliczba - wybór, p - pokaż dostępne\n"));
    EXPECT_TRUE(said("{clear}Nazwa: Potężny atak\nOpis: Możesz zmniejszyć"));
    EXPECT_TRUE(said("Typ: Wojownika\nWymagania:\n* minimalna siła 13\n\n(ok){clear}"));
    EXPECT_TRUE(said("Wymagania:\n* posiadanie atutu Rozszczepienie\n* bazowy atak 4\n\n(ok)"));
    EXPECT_TRUE(said("Wymagania:\n* bazowy atak 4\n* klasa Wojownik\n\n(ok)"));
    EXPECT_EQ(hero.feats, 0u);
    EXPECT_EQ(hero.toughnessCount, 1);
    EXPECT_TRUE(showAllFeats);  // kept for the next choice
}

TEST_F(FeatScreensTest, FighterChoiceOffersOnlyFighterFeatsAndToughnessRepeats) {
    hero.baseAttack = hero.attackPool = 4;
    hero.feats = FeatPowerAttack | FeatCleave;
    hero.attributes[Str] = 13;
    screen.type("x\n4\nw4\nw");  // a line without a number redraws
    chooseFeat(FeatFighter);
    chooseFeat(FeatFighter);
    EXPECT_EQ(hero.toughnessCount, 2);
    EXPECT_EQ(std::pair(hero.maxHp, hero.hp), std::pair(16, 16));
    EXPECT_TRUE(said("{clear}Wybierz dodatkowy atut wojownika:\n1) Finezja\n2) Poprawiona inicjatywa\n3) "
                     "Specjalizacja w broni\n4) Twardość\n5) Walka na ślepo\n6) Wielkie rozszczepienie\n7) "
                     "Zogniskowanie broni\n\nliczba"));
}

TEST_F(FeatScreensTest, WeaponFeatRefusesAWeaponTakenBefore) {
    hero.weaponFocusMask = 1u << 7;
    // Zogniskowanie broni is 7th, Długi miecz 3rd of the weapons; back on
    // the weapon list "c" returns to the feats, and Czujność ends the choice.
    screen.type("7\nw3\nx7\nwc\n2\nw");
    chooseFeat(FeatGeneral);
    EXPECT_TRUE(said("\n3\nPosiadasz już atut Zogniskowanie broni (Długi miecz)!\n\n(ok){clear}"));
    EXPECT_EQ(hero.weaponFocusMask, 1u << 7);
    EXPECT_EQ(hero.feats, static_cast<std::uint32_t>(FeatAlertness));
    screen.type("6\nw5\n");  // Czujność is gone from the list; Korbacz is row 8
    chooseFeat(FeatGeneral);
    EXPECT_EQ(hero.weaponFocusMask, (1u << 7) | (1u << 8));
}

TEST_F(FeatScreensTest, SmallHeroIsNotOfferedLargeWeapons) {
    hero.race = RaceGnome;
    screen.type("0\n99\n1\n");
    EXPECT_EQ(chooseWeapon(true, false), 3);  // Buzdygan
    for (const char* large : {"Drąg", "Halabarda", "Wielki miecz", "Wielki topór", "Tasak"})
        EXPECT_FALSE(shows(large)) << large;
    EXPECT_EQ(screen.rowText(9), "9) Topór");
    EXPECT_EQ(screen.rowText(10), "liczba - wybór, c - cofnij");
    hero.race = RaceHuman;
    screen.type("8\n");
    EXPECT_EQ(chooseWeapon(true, true), 9);  // no fists: Rapier is 8th
    EXPECT_FALSE(shows("Pięści"));
}

TEST_F(FeatScreensTest, SettingsShareTheBaseAttack) {
    hero.baseAttack = 3;
    hero.powerAttack = 2;
    hero.attackPool = 1;
    screen.type("2\nx-1\n1\n");  // too much, then negative, then 1
    expertiseSettings();
    EXPECT_TRUE(said("{clear}Ustawienia atutu Wyspecjalizowanie.\nAktualna premia do KP: 0\nMaksymalna premia: 1\n"
                     "Zmiana: 2\nNie możesz przekroczyć kary do trafienia poniżej bazowego ataku który wynosi 3. Ta "
                     "właściwość rozdziela się pomiędzy Potężny atak i Wyspecjalizowanie.\n\n(ok){clear}"));
    EXPECT_EQ(hero.expertise, 1);
    EXPECT_EQ(hero.attackPool, 0);
    // Any sequence keeps the pool and the two settings adding up to the base attack.
    for (const auto& [power, typed] : {std::pair{true, "0\n"}, {false, "3\n"}, {true, "1\nx-5\n0\n"}, {false, "abc\n"},
                                       {true, "3\n"}, {false, "99999999999\n"}, {true, "2\n"}, {false, "2\nx1\n"}}) {
        screen.type(typed);
        power ? powerAttackSettings() : expertiseSettings();
        EXPECT_EQ(screen.keysQueued(), 0u) << typed;
        EXPECT_EQ(hero.attackPool + hero.powerAttack + hero.expertise, hero.baseAttack) << typed;
        EXPECT_GE(hero.attackPool, 0);
    }
    EXPECT_EQ(hero.powerAttack, 2);
    EXPECT_EQ(hero.expertise, 1);
}

}  // namespace
}  // namespace kelvrin::test
