#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/game_test.h"

#include "character/creation.h"
#include "data/classes.h"
#include "data/feats.h"
#include "data/races.h"

namespace kelvrin::test {
namespace {

// With the fixture's seed the first attribute set shown is
// 13 12 8 6 15 12 and the next one 10 15 11 15 10 13.
class CreationTest : public GameTest {
protected:
    int create() {
        int result = -1;
        EXPECT_FALSE(runUntilInputEnds([&] { result = createCharacter(); }));
        EXPECT_EQ(screen.keysQueued(), 0u);
        return result;
    }
    std::size_t count(const std::string& text) const {
        std::size_t n = 0;
        for (std::size_t at = screen.transcript().find(text); at != std::string::npos;
             at = screen.transcript().find(text, at + 1))
            ++n;
        return n;
    }
};

TEST_F(CreationTest, HumanFighterChoosesThreeFeats) {
    screen.type("Ala\n?xt1t2\nt");    // help, attributes, Człowiek, Wojownik
    screen.type("5\nw5\nw5\nw3\nx");  // Potężny atak, Rozszczepienie, Zogniskowanie broni (Długi miecz)
    EXPECT_EQ(create(), CreationDone);
    const std::string& all = screen.transcript();
    EXPECT_NE(all.find("{clear}Podaj swoje imię śmiałku: Ala\n{clear}CECHY:\nSIŁ: 13 ({10}+1{7})\nZRĘ: 12 ({10}+1{7})\n"
                       "KON:  8 ({12}-1{7})\nINT:  6 ({12}-2{7})\nMĄD: 15 ({10}+2{7})\nCHA: 12 ({10}+1{7})\n\nt - ok, "
                       "n - anuluj, r - przerzuć cechy, ? - informacje.\n{clear}SIŁA:\n* szansa trafienia"),
              std::string::npos);
    EXPECT_NE(all.find("{clear}WYBIERZ RASĘ:\n1. Człowiek\n2. Elf\n3. Krasnolud\n4. Niziołek\n5. Gnom\n6. Półelf\n"
                       "7. Półork\n\nliczba - wybierz, n - anuluj, c - cofnij.\n"),
              std::string::npos);
    EXPECT_NE(all.find("{clear}Wybierz klasę: \n1) Barbarzyńca\n2) Wojownik\n\nliczba - wybór, n - anuluj, c - "
                       "cofnij.\n2\n{clear}Klasa: Wojownik\nNajważniejsze atrybuty: SIŁ, KON, ZRĘ\nOpis: Wojownik"),
              std::string::npos);
    EXPECT_NE(all.find("Specjalne cechy:\n* na 1 poziomie i na co drugim poziomie otrzymujesz dodatkowy atut wojownik "
                       "do wyboru\n\nCzy chcesz grać jako Wojownik? (t/n)"),
              std::string::npos);
    EXPECT_EQ(count("Wybierz nowy atut:"), 2u);
    EXPECT_EQ(count("Wybierz dodatkowy atut wojownika:"), 1u);
    EXPECT_EQ(screen.rowText(0), "Ala Człowiek Wojownik");
    EXPECT_TRUE(shows("* Zogniskowanie broni (Długi miecz)\n\n(ok)"));

    EXPECT_EQ(hero.name, "Ala");
    EXPECT_EQ(hero.race, RaceHuman);
    EXPECT_EQ(hero.heroClass, ClassFighter);
    EXPECT_EQ(hero.attributes, (std::array<int, 6>{13, 12, 8, 6, 15, 12}));
    EXPECT_EQ(hero.hp, 11);  // 12 + the KON modifier
    EXPECT_EQ(hero.maxHp, 11);
    EXPECT_EQ(hero.gold, 50);
    EXPECT_EQ(hero.feats, static_cast<std::uint32_t>(FeatPowerAttack | FeatCleave));
    EXPECT_EQ(hero.weaponFocusMask, 1u << 7);
    EXPECT_EQ(hero.weapon, (ItemSlot{7, KindWeapon, 0, 0, Identified}));
    EXPECT_EQ(hero.armour, (ItemSlot{6, KindArmour, 0, 0, Identified}));
    EXPECT_EQ(hero.shield, (ItemSlot{1, KindShield, 0, 0, Identified}));
    EXPECT_FLOAT_EQ(hero.capacity, 87.5f);
    EXPECT_FLOAT_EQ(hero.load, 24.5f);
    EXPECT_EQ(hero.ragesPerDay, 0);
    EXPECT_EQ(hero.lastChances, 3);
    EXPECT_EQ(world.location, LocationTown);
    EXPECT_EQ(world.day, 1);
    EXPECT_EQ(world.year, 113);
}

TEST_F(CreationTest, HalflingGetsSmallWeaponAndArmour) {
    screen.type("Ola\nt4t2\nt");      // Niziołek, Wojownik
    screen.type("1\nw6\nw4\nx");      // Bieg; Zogniskowanie broni (Krótki miecz, 4th without large weapons)
    EXPECT_EQ(create(), CreationDone);
    EXPECT_EQ(count("Wybierz nowy atut:"), 1u);
    EXPECT_EQ(screen.transcript().find("Halabarda"), std::string::npos);
    EXPECT_EQ(hero.attributes, (std::array<int, 6>{11, 14, 8, 6, 15, 12}));
    EXPECT_EQ(hero.weapon, (ItemSlot{5, KindWeapon, 0, 0, Identified}));
    EXPECT_EQ(hero.armour, (ItemSlot{6, KindArmour, 0, 0, Identified | SmallSize}));
    EXPECT_EQ(hero.weaponFocusMask, 1u << 5);
    EXPECT_FLOAT_EQ(hero.capacity, 48.75f);    // 65 kg × 0.75
    EXPECT_FLOAT_EQ(hero.load, 1.5f + 7.5f + 7.5f);  // the worn armour counts half
    EXPECT_TRUE(shows("Broń: Krótki miecz"));
    EXPECT_TRUE(shows("Pancerz: Mały Zbroja łuskowa"));
}

TEST_F(CreationTest, GoingBackFromBothLists) {
    // Race list "c": a new set. Półork, then back from the class list, a
    // refused Półelf and an unknown key; then a human Barbarzyńca.
    screen.type("Ela\ntc");
    screen.type("t7t");
    screen.type("c\n6nxq1t");
    screen.type("x\n3\n1\nt1\nw1\nwx");  // class list: no choice, an unknown class, Barbarzyńca
    EXPECT_EQ(create(), CreationDone);
    EXPECT_NE(screen.transcript().find("{clear}CECHY:\nSIŁ: 10 ( 0)\nZRĘ: 15 ({10}+2{7})"), std::string::npos);
    EXPECT_EQ(hero.attributes, (std::array<int, 6>{10, 15, 11, 15, 10, 13}));
    EXPECT_EQ(hero.heroClass, ClassBarbarian);
    EXPECT_EQ(hero.ragesPerDay, 1);
    EXPECT_EQ(hero.ragesLeft, 1);
    EXPECT_EQ(hero.feats, static_cast<std::uint32_t>(FeatRun | FeatAlertness));
    EXPECT_EQ(hero.weapon.ref, 6);
    EXPECT_EQ(hero.armour.ref, 3);
    EXPECT_TRUE(hero.shield.empty());
    EXPECT_EQ(count("Czy chcesz grać jako Półelf? (t/n)"), 1u);
}

TEST_F(CreationTest, TooLittleIntelligenceAndCancel) {
    seedRandom(1174);  // the first set shown has INT 3
    screen.type("Iza\nt7xn");
    EXPECT_EQ(create(), CreationCancelled);
    const std::string& all = screen.transcript();
    EXPECT_NE(all.find("{clear}Rasa: Półork\nOpis: Półorkowie zazwyczaj"), std::string::npos);
    EXPECT_NE(all.find("\nSIŁ: 10 {10}+2\n{7}ZRĘ: 14 +0\nKON: 15 +0\nINT:  1 {12}-2\n{7}MĄD: 17 +0\nCHA: 10 {12}-2\n"
                       "{7}\nCechy:\n* widzenie w ciemnościach\n\nNie możesz grać jako Półork bo miałbyś zbyt mało "
                       "inteligencji!\n\n(ok){clear}WYBIERZ RASĘ:"),
              std::string::npos);
    EXPECT_EQ(hero.name, "");
    EXPECT_EQ(hero.attributes, (std::array<int, 6>{}));

    screen.type("Iza\nn");
    EXPECT_EQ(create(), CreationCancelled);
    screen.type("Iza\nt1t\nn\n");
    EXPECT_EQ(create(), CreationCancelled);
    EXPECT_EQ(hero.name, "");
}

TEST_F(CreationTest, NamesThatCannotBeFileNamesAreRefused) {
    screen.type("a/b\n..\n.\nx\\y\n\u0085\n漢字\n.a.\nn");
    EXPECT_EQ(create(), CreationCancelled);
    EXPECT_EQ(count("Niedozwolone imię, wybierz inne.\nPodaj swoje imię śmiałku: "), 6u);
    EXPECT_EQ(count("{clear}"), 2u);  // the name prompt and the attribute screen

    for (const char* allowed : {"", "Łukasz Żółć", "€ ~ ?", "..."}) EXPECT_TRUE(isAllowedName(allowed)) << allowed;
    for (const char* refused : {"a\x01", "tab\tname", "del\x7f", "bad\xff", "/", "\\"})
        EXPECT_FALSE(isAllowedName(refused)) << refused;
}

class SaveNameTest : public CreationTest {
protected:
    void SetUp() override {
        CreationTest::SetUp();
        previous = std::filesystem::current_path();
        char pattern[] = "/tmp/kelvrin_creation_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        std::filesystem::current_path(folder);
    }
    void TearDown() override {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(folder);
        CreationTest::TearDown();
    }
    std::filesystem::path previous;
    std::filesystem::path folder;
};

TEST_F(SaveNameTest, AnExistingSaveIsReportedWithTheNameCutTo30Characters) {
    std::string thirty;
    for (int i = 0; i < 30; ++i) thirty += "Ż";
    std::ofstream(folder / ("save_" + thirty)) << "x";
    hero.gold = 123;
    screen.type(thirty + "ŻŻŻŻŻ\n");
    EXPECT_EQ(create(), CreationSaveExists);
    EXPECT_EQ(hero.name, thirty);
    EXPECT_EQ(hero.gold, 123);  // only the name is set: the caller loads the save
    EXPECT_TRUE(std::filesystem::exists(folder / ("save_" + thirty)));

    screen.type("Ola\nn");  // no save of that name: creation goes on
    EXPECT_EQ(create(), CreationCancelled);
}

}  // namespace
}  // namespace kelvrin::test
