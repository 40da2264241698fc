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
    }
    std::string sheet() {
        screen.clearTranscript();
        showCharacterSheet();
        return screen.transcript();
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
    screen.setPaging(false);  // the sheet of a hero with many feats is longer than the screen
    EXPECT_EQ(sheet(),
              "{clear}Ala Człowiek Wojownik\n"
              "Poziom 1 Doświadczenie: 0/1000\n"
              "Pw: 30/30\n"
              "SIŁ: 16 ({10}+3{7}) Udźwig: 24.5/150 kg\n"
              "ZRĘ: 12 ({10}+1{7}){12} ZATRUTY\n"
              "{7}KON:  8 ({12}-1{7}) Odporność na trucizny: +1\n"
              "INT: 10 ( 0)\n"
              "MĄD: 13 ({10}+1{7})\n"
              "CHA:  9 ({12}-1{7})\n"
              "Broń: Długi miecz (Obr:6-13 cięte Kry:19-20/x2 Waga: 2 kg, średni)\n"
              "Pancerz: Zbroja łuskowa (Kp:4 Max zr:3 Waga:15 kg)\n"
              "Tarcza: Tarcza (Kp:2 Waga:7.5 kg)\n"
              "Atak: +5 Bazowy: +1\n"
              "Kp: 17 Szybkość: 10.5 m\n"
              "Złoto: {14}50{7}\n"
              "\n"
              "Cechy: szybkie uczenie, \n"
              "\n"
              "Atuty:\n"
              "* Bieg\n"
              "* Potężny atak\n"
              "* Twardość x2\n"
              "* Dodatkowy szał\n"
              "* Redukcja obrażeń 1/-\n"
              "* Zogniskowanie broni (Sztylet)\n"
              "* Zogniskowanie broni (Długi miecz)\n"
              "* Specjalizacja w broni (Długi miecz)\n");
    hero.shield.kind = KindEmpty;
    hero.race = RaceDwarf;
    hero.poison = 0;
    EXPECT_NE(sheet().find("Tarcza: brak\nAtak:"), std::string::npos);
    EXPECT_NE(screen.transcript().find("ZRĘ: 12 ({10}+1{7})\nKON"), std::string::npos);
    EXPECT_NE(screen.transcript().find("Cechy: widzenie w ciemnościach, odporność na trucizny, powolny, \n"),
              std::string::npos);
}

TEST_F(CharacterSheetTest, HitPointAndExperienceColours) {
    const struct {
        int hp;
        const char* shown;
    } cases[] = {{7, "Pw: {12}7{7}/30\n"}, {14, "Pw: {14}14{7}/30\n"}, {15, "Pw: 15/30\n"}, {0, "Pw: {12}0{7}/30\n"}};
    for (const auto& c : cases) {
        hero.hp = c.hp;
        EXPECT_NE(sheet().find(c.shown), std::string::npos) << c.hp;
    }
    hero.xp = 1000;
    EXPECT_NE(sheet().find("Doświadczenie: 1000/1000\n"), std::string::npos);
    hero.xp = 1001;
    EXPECT_NE(sheet().find("Doświadczenie: {10}1001{7}/1000\n"), std::string::npos);
}

TEST_F(CharacterSheetTest, OneAttackPerFivePointsOfBaseAttackFromSix) {
    hero.weapon = ItemSlot{0, KindWeapon, 0, 0, Identified};
    const struct {
        int baseAttack;
        int strength;
        const char* line;
    } cases[] = {{5, 10, "Atak: +5 Bazowy: +5\n"},
                 {6, 16, "Atak: +9/+4 Bazowy: +6\n"},
                 {10, 10, "Atak: +10/+5 Bazowy: +10\n"},
                 {11, 12, "Atak: +12/+7/+2 Bazowy: +11\n"},
                 {16, 10, "Atak: +16/+11/+6/+1 Bazowy: +16\n"}};
    for (const auto& c : cases) {
        hero.baseAttack = hero.attackPool = c.baseAttack;
        hero.attributes[Str] = c.strength;
        EXPECT_NE(sheet().find(c.line), std::string::npos) << c.baseAttack;
    }
}

}  // namespace
}  // namespace kelvrin::test
