#include "support/game_test.h"

#include "character/character_sheet.h"
#include "data/classes.h"
#include "data/feats.h"
#include "data/races.h"

namespace kelvrin::test {
namespace {

class CharacterSheetTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        hero.name = "Ala";
        hero.race = RaceHuman;
        hero.heroClass = ClassFighter;
        hero.attributes = {16, 12, 8, 10, 13, 9};
        hero.maxHp = hero.hp = 30;
        hero.weapon = ItemSlot{7, KindWeapon, 0, 0, Identified};
        hero.armour = ItemSlot{6, KindArmour, 0, 0, Identified};
        hero.shield = ItemSlot{1, KindShield, 0, 0, Identified};
        hero.capacity = 150.0f;
        hero.load = 24.5f;
        screen.setPaging(false);  // the sheet of a hero with many feats is longer than the screen
    }
    bool sheetHas(const std::string& part) {
        screen.clearTranscript();
        showCharacterSheet();
        return screen.transcript().find(part) != std::string::npos;
    }
};

TEST_F(CharacterSheetTest, WholeSheet) {
    hero.feats = FeatPowerAttack | FeatRun;
    hero.toughnessCount = 2;
    hero.extraRageCount = 1;
    hero.damageReduction = 1;
    hero.weaponFocusMask = (1u << 7) | (1u << 1);
    hero.weaponSpecMask = 1u << 7;
    hero.poison = 1;
    showCharacterSheet();
    EXPECT_EQ(screen.transcript(),
              "{clear}Ala Człowiek Wojownik\nPoziom 1 Doświadczenie: 0/1000\nPw: 30/30\n"
              "SIŁ: 16 ({10}+3{7}) Udźwig: 24.5/150 kg\nZRĘ: 12 ({10}+1{7}){12} ZATRUTY\n"
              "{7}KON:  8 ({12}-1{7}) Odporność na trucizny: +1\nINT: 10 ( 0)\nMĄD: 13 ({10}+1{7})\n"
              "CHA:  9 ({12}-1{7})\nBroń: Długi miecz (Obr:6-13 cięte Kry:19-20/x2 Waga: 2 kg, średni)\n"
              "Pancerz: Zbroja łuskowa (Kp:4 Max zr:3 Waga:15 kg)\nTarcza: Tarcza (Kp:2 Waga:7.5 kg)\n"
              "Atak: +5 Bazowy: +1\nKp: 17 Szybkość: 10.5 m\nZłoto: {14}50{7}\n\nCechy: szybkie uczenie, \n\n"
              "Atuty:\n* Bieg\n* Potężny atak\n* Twardość x2\n* Dodatkowy szał\n* Redukcja obrażeń 1/-\n"
              "* Zogniskowanie broni (Sztylet)\n* Zogniskowanie broni (Długi miecz)\n"
              "* Specjalizacja w broni (Długi miecz)\n");
    hero.shield.kind = KindEmpty;
    hero.race = RaceDwarf;
    hero.poison = 0;
    EXPECT_TRUE(sheetHas("ZRĘ: 12 ({10}+1{7})\nKON"));
    EXPECT_TRUE(sheetHas("Tarcza: brak\nAtak:"));
    EXPECT_TRUE(sheetHas("Cechy: widzenie w ciemnościach, odporność na trucizny, powolny, \n"));
}

// Pw below a quarter red, below a half yellow; experience beyond the next level green.
TEST_F(CharacterSheetTest, HitPointAndExperienceColours) {
    for (const auto& [hp, xp, shown] :
         {std::tuple{7, 0, "Pw: {12}7{7}/30\n"}, {14, 0, "Pw: {14}14{7}/30\n"}, {15, 0, "Pw: 15/30\n"},
          {0, 0, "Pw: {12}0{7}/30\n"}, {30, 1000, "Doświadczenie: 1000/1000\n"},
          {30, 1001, "Doświadczenie: {10}1001{7}/1000\n"}}) {
        hero.hp = hp;
        hero.xp = xp;
        EXPECT_TRUE(sheetHas(shown)) << shown;
    }
}

TEST_F(CharacterSheetTest, OneAttackPerFivePointsOfBaseAttackFromSix) {
    hero.weapon = ItemSlot{0, KindWeapon, 0, 0, Identified};
    const struct {
        int baseAttack, strength;
        const char* line;
    } cases[] = {{5, 10, "Atak: +5 Bazowy: +5\n"},          {6, 16, "Atak: +9/+4 Bazowy: +6\n"},
                 {10, 10, "Atak: +10/+5 Bazowy: +10\n"},     {11, 12, "Atak: +12/+7/+2 Bazowy: +11\n"},
                 {16, 10, "Atak: +16/+11/+6/+1 Bazowy: +16\n"}};
    for (const auto& c : cases) {
        hero.baseAttack = hero.attackPool = c.baseAttack;
        hero.attributes[Str] = c.strength;
        EXPECT_TRUE(sheetHas(c.line)) << c.baseAttack;
    }
}

}  // namespace
}  // namespace kelvrin::test
