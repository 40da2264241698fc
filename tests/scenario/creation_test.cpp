#include <filesystem>

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
    int seen(const std::string& part) const { return count(screen.transcript(), part); }
};

TEST_F(CreationTest, HumanFighterChoosesThreeFeats) {
    screen.type("Ala\n?xt1t2\nt");    // help, attributes, Człowiek, Wojownik
    screen.type("5\nw5\nw5\nw3\nx");  // Potężny atak, Rozszczepienie, Zogniskowanie broni (Długi miecz)
    EXPECT_EQ(create(), CreationDone);
    EXPECT_EQ(seen("{clear}Podaj swoje imię śmiałku: Ala\n{clear}CECHY:\nSIŁ: 13 ({10}+1{7})\nZRĘ: 12 ({10}+1{7})\n"
                   "KON:  8 ({12}-1{7})\nINT:  6 ({12}-2{7})\nMĄD: 15 ({10}+2{7})\nCHA: 12 ({10}+1{7})\n\nt - ok, "
                   "n - anuluj, r - przerzuć cechy, ? - informacje.\n{clear}SIŁA:\n* szansa trafienia"),
              1);
    EXPECT_EQ(seen("{clear}WYBIERZ RASĘ:\n1. Człowiek\n2. Elf\n3. Krasnolud\n4. Niziołek\n5. Gnom\n6. Półelf\n"
                   "7. Półork\n\nliczba - wybierz, n - anuluj, c - cofnij.\n"),
              1);
    EXPECT_EQ(seen("{clear}Wybierz klasę: \n1) Barbarzyńca\n2) Wojownik\n\nliczba - wybór, n - anuluj, c - "
                   "cofnij.\n2\n{clear}Klasa: Wojownik\nNajważniejsze atrybuty: SIŁ, KON, ZRĘ\nOpis: Wojownik"),
              1);
    // A human takes a second general feat, a fighter a fighter's one.
    EXPECT_EQ(seen("Wybierz nowy atut:"), 2);
    EXPECT_EQ(seen("Wybierz dodatkowy atut wojownika:"), 1);
    EXPECT_EQ(screen.rowText(0), "Ala Człowiek Wojownik");
    EXPECT_EQ(hero.attributes, (std::array<int, 6>{13, 12, 8, 6, 15, 12}));
    EXPECT_EQ(hero.maxHp, 11);  // 12 + the KON modifier
    EXPECT_EQ(hero.feats, static_cast<std::uint32_t>(FeatPowerAttack | FeatCleave));
    EXPECT_EQ(hero.weaponFocusMask, 1u << 7);
    EXPECT_EQ(std::tuple(hero.weapon, hero.armour, hero.shield),
              std::tuple(ItemSlot{7, KindWeapon, 0, 0, Identified}, ItemSlot{6, KindArmour, 0, 0, Identified},
                         ItemSlot{1, KindShield, 0, 0, Identified}));
    EXPECT_FLOAT_EQ(hero.capacity, 87.5f);
    EXPECT_FLOAT_EQ(hero.load, 24.5f);
}

TEST_F(CreationTest, HalflingGetsSmallWeaponAndArmour) {
    screen.type("Ola\nt84t2\nt");  // no eighth race; Niziołek, Wojownik
    screen.type("1\nw6\nw4\nx");  // Bieg; Zogniskowanie broni (Krótki miecz, 4th without large weapons)
    EXPECT_EQ(create(), CreationDone);
    EXPECT_EQ(seen("Halabarda"), 0);
    EXPECT_EQ(seen("WYBIERZ RASĘ:"), 2);
    EXPECT_EQ(hero.attributes, (std::array<int, 6>{11, 14, 8, 6, 15, 12}));
    EXPECT_EQ(std::pair(hero.weapon, hero.armour),
              std::pair(ItemSlot{5, KindWeapon, 0, 0, Identified}, ItemSlot{6, KindArmour, 0, 0, Identified | SmallSize}));
    EXPECT_FLOAT_EQ(hero.capacity, 48.75f);          // 65 kg × 0.75
    EXPECT_FLOAT_EQ(hero.load, 1.5f + 7.5f + 7.5f);  // the worn armour counts half
}

TEST_F(CreationTest, GoingBackFromBothLists) {
    // Race list "c": a new set. Półork, then back from the class list (its
    // bonuses go again), a refused Półelf and an unknown key; then a human
    // Barbarzyńca after no choice and an unknown class.
    screen.type("Ela\ntct7tc\n6nxq1tx\n3\n1\nt1\nw1\nwx");
    EXPECT_EQ(create(), CreationDone);
    EXPECT_EQ(seen("{clear}CECHY:\nSIŁ: 10 ( 0)\nZRĘ: 15 ({10}+2{7})"), 1);
    EXPECT_EQ(seen("Czy chcesz grać jako Półelf? (t/n)"), 1);
    EXPECT_EQ(hero.attributes, (std::array<int, 6>{10, 15, 11, 15, 10, 13}));
    EXPECT_EQ(std::tuple(hero.heroClass, hero.ragesPerDay, hero.ragesLeft), std::tuple(ClassBarbarian, 1, 1));
    EXPECT_EQ(hero.feats, static_cast<std::uint32_t>(FeatRun | FeatAlertness));
    EXPECT_EQ(std::tuple(hero.weapon.ref, hero.armour.ref, hero.shield.empty()), std::tuple(6, 3, true));
}

TEST_F(CreationTest, TooLittleIntelligenceAndCancel) {
    seedRandom(1174);  // the first set shown has INT 3
    screen.type("Iza\nt7xn");
    EXPECT_EQ(create(), CreationCancelled);
    EXPECT_EQ(seen("{clear}Rasa: Półork\nOpis: Półorkowie zazwyczaj"), 1);
    EXPECT_EQ(seen("\nSIŁ: 10 {10}+2\n{7}ZRĘ: 14 +0\nKON: 15 +0\nINT:  1 {12}-2\n{7}MĄD: 17 +0\nCHA: 10 {12}-2\n"
                   "{7}\nCechy:\n* widzenie w ciemnościach\n\nNie możesz grać jako Półork bo miałbyś zbyt mało "
                   "inteligencji!\n\n(ok){clear}WYBIERZ RASĘ:"),
              1);
    screen.type("Iza\nn");  // cancelled from the attributes
    EXPECT_EQ(create(), CreationCancelled);
    screen.type("Iza\nt1t\nn\n");  // and from the class list
    EXPECT_EQ(create(), CreationCancelled);
    EXPECT_EQ(hero.name, "");
    EXPECT_EQ(hero.attributes, (std::array<int, 6>{}));
}

// A name becomes part of file names on every system: path separators,
// control characters, letters Windows-1250 lacks, what a Windows file name
// cannot hold and a final dot or space ("." and ".." too) are refused; at
// most 30 characters are read, and an existing save of that name is
// reported.
TEST_F(CreationTest, NamesThatCannotBeFileNamesAreRefused) {
    screen.type("a/b\n..\n.\nx\\y\n\u0085\n漢字\nAla.\nC:a\n.a\nn");
    EXPECT_EQ(create(), CreationCancelled);
    EXPECT_EQ(seen("Niedozwolone imię, wybierz inne.\nPodaj swoje imię śmiałku: "), 8);
    for (const char* allowed : {"", "Łukasz Żółć", "€ ~ !", ".a", "a. b"}) EXPECT_TRUE(isAllowedName(allowed)) << allowed;
    for (const char* refused : {"a\x01", "tab\tname", "del\x7f", "bad\xff", "a*", "a?", "\"a\"", "<a>", "a|b",
                                "...", "Ala "})
        EXPECT_FALSE(isAllowedName(refused)) << refused;

    std::string thirty;
    for (int i = 0; i < 30; ++i) thirty += "Ż";
    writeBytes("save_" + thirty, {'x'});
    hero.gold = 123;
    screen.type(thirty + "ŻŻŻŻŻ\n");
    EXPECT_EQ(create(), CreationSaveExists);
    EXPECT_EQ(hero.name, thirty);
    EXPECT_EQ(hero.gold, 123);  // only the name is set: the caller loads the save
    EXPECT_TRUE(std::filesystem::exists(pathOf("save_" + thirty)));
}

}  // namespace
}  // namespace kelvrin::test
