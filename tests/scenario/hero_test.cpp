// The hero's own screens: creation, the character sheet, the feat choices and the inventory.
#include <filesystem>

#include "support/scenario.h"

#include "character/character_sheet.h"
#include "character/creation.h"
#include "character/feat_screens.h"
#include "data/classes.h"
#include "data/races.h"
#include "items/inventory.h"

namespace kelvrin::test {
namespace {

constexpr ItemSlot Fists{0, KindWeapon, 0, 0, Identified}, LongSword{7, KindWeapon, 0, 0, Identified};
constexpr ItemSlot GreatSword{11, KindWeapon, 0, 0, Identified}, Ruby{2, KindGem, 0, 0, Identified};
constexpr ItemSlot Buckler{0, KindShield, 0, 0, Identified}, Padded{0, KindArmour, 0, 0, Identified};

class HeroScreensTest : public ScenarioTest {
protected:
    // Creation with paging on; the fixture's seed rolls 13 12 8 6 15 12, then 10 15 11 15 10 13.
    int create(const std::string& keys) {
        screen.setPaging(true);
        int result = -1;
        EXPECT_FALSE(play([&] { result = createCharacter(); }, keys)) << keys;
        EXPECT_EQ(screen.keysQueued(), 0u) << keys;
        return result;
    }
    void once(std::initializer_list<std::string> parts) const {
        for (const std::string& part : parts) EXPECT_EQ(seen(part), 1) << part;
    }
    std::string sheet() { return visit([] { showCharacterSheet(); return false; }, ""); }
    static void averageFighter() {
        showAllFeats = false;
        hero.attributes = {12, 12, 12, 12, 12, 12};
        hero.maxHp = hero.hp = 10;
    }
    // The inventory with the keys and the key that leaves it; every part must show.
    void inventory(const std::string& keys, std::initializer_list<std::string> parts, const char* leave = "x") {
        visit([] { inventoryScreen(); return false; }, keys + leave, parts);
    }
    static auto gear() { return std::tuple(hero.weapon, hero.armour, hero.shield, hero.inventory); }
};

// Help, the attributes, Człowiek, Wojownik; Potężny atak, Rozszczepienie, Zogniskowanie broni (Długi miecz).
TEST_F(HeroScreensTest, CreatingAHumanFighterWithThreeFeats) {
    EXPECT_EQ(create("Ala\n?xt1t2\nt5\nw5\nw5\nw3\nx"), CreationDone);
    once({"{clear}Podaj swoje imię śmiałku: Ala\n{clear}CECHY:\nSIŁ: 13 ({10}+1{7})\nZRĘ: 12 ({10}+1{7})\n"
          "KON:  8 ({12}-1{7})\nINT:  6 ({12}-2{7})\nMĄD: 15 ({10}+2{7})\nCHA: 12 ({10}+1{7})\n\nt - ok, "
          "n - anuluj, r - przerzuć cechy, ? - informacje.\n{clear}SIŁA:\n* szansa trafienia",
          "{clear}WYBIERZ RASĘ:\n1. Człowiek\n2. Elf\n3. Krasnolud\n4. Niziołek\n5. Gnom\n6. Półelf\n"
          "7. Półork\n\nliczba - wybierz, n - anuluj, c - cofnij.\n",
          "{clear}Wybierz klasę: \n1) Barbarzyńca\n2) Wojownik\n\nliczba - wybór, n - anuluj, c - "
          "cofnij.\n2\n{clear}Klasa: Wojownik\nNajważniejsze atrybuty: SIŁ, KON, ZRĘ\nOpis: Wojownik",
          "Wybierz dodatkowy atut wojownika:"});
    EXPECT_EQ(std::pair(seen("Wybierz nowy atut:"), screen.rowText(0)),
              std::pair(2, std::string("Ala Człowiek Wojownik")));
    // KON 8: 12 - 1 Pw; the fighter's long sword, scale armour and shield; 87.5 kg, the armour counting half.
    EXPECT_EQ(std::tuple(hero.attributes, hero.maxHp, hero.feats, hero.weaponFocusMask, hero.capacity, hero.load),
              std::tuple(std::array<int, 6>{13, 12, 8, 6, 15, 12}, 11, std::uint32_t(FeatPowerAttack | FeatCleave),
                         1u << 7, 87.5f, 24.5f));
    EXPECT_EQ(std::tuple(hero.weapon, hero.armour, hero.shield),
              std::tuple(LongSword, ItemSlot{6, KindArmour, 0, 0, Identified},
                         ItemSlot{1, KindShield, 0, 0, Identified}));
}

// No eighth race; a Niziołek Wojownik: Bieg, then Zogniskowanie broni (Krótki miecz, 4th without the large weapons).
TEST_F(HeroScreensTest, CreatingSmallHeroesAndGoingBack) {
    EXPECT_EQ(create("Ola\nt84t2\nt1\nw6\nw4\nx"), CreationDone);
    EXPECT_EQ(std::pair(seen("Halabarda"), seen("WYBIERZ RASĘ:")), std::pair(0, 2));
    // 65 kg × 0.75; the short sword, small scale armour worn (half its weight) and the shield.
    EXPECT_EQ(std::tuple(hero.attributes, hero.weapon, hero.armour, hero.capacity, hero.load),
              std::tuple(std::array<int, 6>{11, 14, 8, 6, 15, 12}, ItemSlot{5, KindWeapon, 0, 0, Identified},
                         ItemSlot{6, KindArmour, 0, 0, Identified | SmallSize}, 48.75f, 1.5f + 7.5f + 7.5f));

    // "c" rerolls; Półork, back from the class list (its bonuses undone), a refused Półelf; a human Barbarzyńca.
    seedRandom(12345);
    EXPECT_EQ(create("Ela\ntct7tc\n6nxq1tx\n3\n1\nt1\nw1\nwx"), CreationDone);
    EXPECT_EQ(std::tuple(seen("{clear}CECHY:\nSIŁ: 10 ( 0)\nZRĘ: 15 ({10}+2{7})"), seen("grać jako Półelf? (t/n)"),
                         seen("Specjalne cechy:\n* umiejętność wpadania w szał (+4 siły, +4 kondycji, -2 kp na "
                              "3+modyfikator z budowy, po tym czasie barbarzyńca jest zmęczony)\n* zwiększona szybkość "
                              "ruchu\n* co 4 poziomy możesz wpaść w szał jeden raz dziennie więcej\n* od 11 poziomu "
                              "otrzymujesz redukcje obrażeń\n* od 15 poziomu twój szał jest potężniejszy (+6 siły, +6 "
                              "budowy)\n* od 20 poziomu nie jesteś zmęczony po szale\n\nCzy chcesz grać jako "
                              "Barbarzyńca? (t/n)")), std::tuple(1, 1, 1));
    EXPECT_EQ(std::tuple(hero.attributes, hero.heroClass, hero.ragesPerDay, hero.ragesLeft, hero.feats),
              std::tuple(std::array{10, 15, 11, 15, 10, 13}, ClassBarbarian, 1, 1,
                         std::uint32_t(FeatRun | FeatAlertness)));
    EXPECT_EQ(std::tuple(hero.weapon.ref, hero.armour.ref, hero.shield.empty()), std::tuple(6, 3, true));
}

// A Półork with INT 3; a cancel keeps the old hero; at most 30 characters are read, an existing save is reported.
TEST_F(HeroScreensTest, CreationRefusesTooLittleIntelligenceAndNamesThatCannotBeFileNames) {
    seedRandom(1174);
    EXPECT_EQ(create("Iza\nt7xn"), CreationCancelled);
    once({"{clear}Rasa: Półork\nOpis: Półorkowie zazwyczaj",
          "\nSIŁ: 10 {10}+2\n{7}ZRĘ: 14 +0\nKON: 15 +0\nINT:  1 {12}-2\n{7}MĄD: 17 +0\nCHA: 10 {12}-2\n"
          "{7}\nCechy:\n* widzenie w ciemnościach\n\nNie możesz grać jako Półork bo miałbyś zbyt mało "
          "inteligencji!\n\n(ok){clear}WYBIERZ RASĘ:"});
    for (const char* keys : {"Iza\nn", "Iza\nt1t\nn\n"}) EXPECT_EQ(create(keys), CreationCancelled) << keys;
    EXPECT_EQ(std::pair(hero.name, hero.attributes),
              std::pair(std::string("Testowy"), std::array{14, 12, 12, 10, 10, 10}));

    EXPECT_EQ(create("a/b\n..\n.\nx\\y\n\u0085\n漢字\nAla.\nC:a\n.a\nn"), CreationCancelled);
    EXPECT_EQ(seen("Niedozwolone imię, wybierz inne.\nPodaj swoje imię śmiałku: "), 8);
    for (const char* allowed : {"", "Łukasz Żółć", "€ ~ !", ".a", "a. b"})
        EXPECT_TRUE(isAllowedName(allowed)) << allowed;
    for (const char* refused : {"a\x01", "tab\tname", "del\x7f", "bad\xff", "a*", "a?", "\"a\"", "<a>", "a|b",
                                "...", "Ala "})
        EXPECT_FALSE(isAllowedName(refused)) << refused;

    std::string thirty;
    for (int i = 0; i < 30; ++i) thirty += "Ż";
    writeBytes("save_" + thirty, {'x'});
    hero.gold = 123;
    EXPECT_EQ(create(thirty + "ŻŻŻŻŻ\n"), CreationSaveExists);
    EXPECT_EQ(std::pair(hero.name, hero.gold), std::pair(thirty, 123));  // only the name: the caller loads the save
    EXPECT_TRUE(std::filesystem::exists(pathOf("save_" + thirty)));
}

// The whole sheet once, as long as it gets (it pages like any long output), then its lines by the hero's state.
TEST_F(HeroScreensTest, TheSheetPagesAndChangesWithTheHero) {
    hero.attributes = {16, 12, 8, 10, 13, 9};
    std::tie(hero.maxHp, hero.hp, hero.capacity, hero.feats) = std::tuple(30, 30, 150.0f, FeatPowerAttack | FeatRun);
    std::tie(hero.toughnessCount, hero.extraRageCount, hero.damageReduction, hero.poison) = std::tuple(2, 1, 1, 1);
    std::tie(hero.weaponFocusMask, hero.weaponSpecMask) = std::tuple((1u << 7) | (1u << 1), 1u << 7);
    screen.setPaging(true);
    EXPECT_EQ(visit([] { showCharacterSheet(); return false; }, " "),
              "{clear}Testowy Człowiek Wojownik\nPoziom 1 Doświadczenie: 0/1000\nPw: 30/30\n"
              "SIŁ: 16 ({10}+3{7}) Udźwig: 24.5/150 kg\nZRĘ: 12 ({10}+1{7}){12} ZATRUTY\n"
              "{7}KON:  8 ({12}-1{7}) Odporność na trucizny: +1\nINT: 10 ( 0)\nMĄD: 13 ({10}+1{7})\n"
              "CHA:  9 ({12}-1{7})\nBroń: Długi miecz (Obr:6-13 cięte Kry:19-20/x2 Waga: 2 kg, średni)\n"
              "Pancerz: Zbroja łuskowa (Kp:4 Max zr:3 Waga:15 kg)\nTarcza: Tarcza (Kp:2 Waga:7.5 kg)\n"
              "Atak: +5 Bazowy: +1\nKp: 17 Szybkość: 10.5 m\nZłoto: {14}50{7}\n\nCechy: szybkie uczenie, \n\n"
              "Atuty:\n* Bieg\n* Potężny atak\n* Twardość x2\n* Dodatkowy szał\n* Redukcja obrażeń 1/-\n"
              "-- dalej --\r           \r* Zogniskowanie broni (Sztylet)\n* Zogniskowanie broni (Długi miecz)\n"
              "* Specjalizacja w broni (Długi miecz)\n");
    EXPECT_TRUE(left);
    screen.setPaging(false);
    std::tie(hero.shield.kind, hero.race, hero.poison) = std::tuple(KindEmpty, RaceDwarf, 0);
    for (const char* part : {"ZRĘ: 12 ({10}+1{7})\nKON", "Tarcza: brak\nAtak:",
                             "Cechy: widzenie w ciemnościach, odporność na trucizny, powolny, \n"})
        EXPECT_TRUE(has(sheet(), part)) << part;
    // Pw below a quarter red, below a half yellow; experience past the next level green; an attack per 5 base from 6.
    std::tie(hero.maxHp, hero.weapon) = std::tuple(30, Fists);
    for (const auto& [hp, xp, baseAttack, strength, shown] :
         {std::tuple{7, 0, 0, 14, "Pw: {12}7{7}/30\n"}, {14, 0, 0, 14, "Pw: {14}14{7}/30\n"},
          {15, 0, 0, 14, "Pw: 15/30\n"}, {0, 0, 0, 14, "Pw: {12}0{7}/30\n"},
          {30, 1000, 0, 14, "Doświadczenie: 1000/1000\n"}, {30, 1001, 0, 14, "Doświadczenie: {10}1001{7}/1000\n"},
          {30, 0, 5, 10, "Atak: +5 Bazowy: +5\n"},
          {30, 0, 6, 16, "Atak: +9/+4 Bazowy: +6\n"}, {30, 0, 10, 10, "Atak: +10/+5 Bazowy: +10\n"},
          {30, 0, 11, 12, "Atak: +12/+7/+2 Bazowy: +11\n"}, {30, 0, 16, 10, "Atak: +16/+11/+6/+1 Bazowy: +16\n"}}) {
        std::tie(hero.hp, hero.xp, hero.attributes[Str], hero.baseAttack, hero.attackPool) =
            std::tuple(hp, xp, strength, baseAttack, baseAttack);
        EXPECT_TRUE(has(sheet(), shown)) << shown;
    }
}

TEST_F(HeroScreensTest, FeatListsSortedWithRequirementsAndRepeats) {
    averageFighter();
    // 'p' lists all 17 feats; the unavailable 8th, 15th and 11th only show their requirements;
    // Twardość (12th) is taken.
    play([] { chooseFeat(FeatGeneral); }, "p\n8\nx15\nx11\nx12\nw");
    saw({"{clear}Wybierz nowy atut:\n1) Bieg\n2) Czujność\n3) Finezja\n",
          "7) Zogniskowanie broni\n\nliczba - wybór, p - pokaż wszystkie\n",
          "2) Czujność\n{8}3) Dodatkowy szał\n{7}4) Finezja\n{8}5) Odporność na trucizny\n"
          "{7}6) Poprawiona inicjatywa\n{8}7) Poprawione trafienia krytyczne\n8) Potężny atak\n"
          "9) Przedłużony szał\n10) Rozszczepienie\n11) Specjalizacja w broni\n{7}12) Twardość\n"
          "{8}13) Uniki\n{7}14) Walka na ślepo\n{8}15) Wielkie rozszczepienie\n16) Wyspecjalizowanie\n"
          "{7}17) Zogniskowanie broni\n\nliczba - wybór, p - pokaż dostępne\n",
          "{clear}Nazwa: Potężny atak\nOpis: Możesz zmniejszyć",
          "Typ: Wojownika\nWymagania:\n* minimalna siła 13\n\n(ok){clear}",
          "Wymagania:\n* posiadanie atutu Rozszczepienie\n* bazowy atak 4\n\n(ok)",
          "Wymagania:\n* bazowy atak 4\n* klasa Wojownik\n\n(ok)"});
    EXPECT_EQ(std::tuple(hero.feats, hero.toughnessCount, showAllFeats), std::tuple(0u, 1, true));  // kept for the next

    // A fighter's choice offers fighter feats only; Twardość repeats; a line without a number redraws.
    averageFighter();
    std::tie(hero.baseAttack, hero.attackPool, hero.toughnessCount, hero.feats, hero.attributes[Str]) =
        std::tuple(4, 4, 0, FeatPowerAttack | FeatCleave, 13);
    play([] { chooseFeat(FeatFighter); chooseFeat(FeatFighter); }, "x\n4\nw4\nw");
    EXPECT_EQ(std::tuple(hero.toughnessCount, hero.maxHp, hero.hp,
                         said("{clear}Wybierz dodatkowy atut wojownika:\n1) Finezja\n2) Poprawiona inicjatywa\n3) "
                              "Specjalizacja w broni\n4) Twardość\n5) Walka na ślepo\n6) Wielkie rozszczepienie\n7) "
                              "Zogniskowanie broni\n\nliczba")), std::tuple(2, 16, 16, true));
}

TEST_F(HeroScreensTest, WeaponFeatsTheWeaponListAndTheFeatSettings) {
    averageFighter();
    hero.weaponFocusMask = 1u << 7;
    // Zogniskowanie broni is 7th, Długi miecz 3rd; "c" on the weapon list returns to the feats; Czujność ends it.
    play([] { chooseFeat(FeatGeneral); }, "7\nw3\nx7\nwc\n2\nw");
    EXPECT_TRUE(said("\n3\nPosiadasz już atut Zogniskowanie broni (Długi miecz)!\n\n(ok){clear}"));
    EXPECT_EQ(std::pair(hero.weaponFocusMask, hero.feats), std::pair(1u << 7, std::uint32_t(FeatAlertness)));
    play([] { chooseFeat(FeatGeneral); }, "6\nw5\n");  // Czujność is gone from the list; Korbacz is row 8
    EXPECT_EQ(hero.weaponFocusMask, (1u << 7) | (1u << 8));

    // A small hero is not offered large weapons; fists can be left out.
    hero.race = RaceGnome;
    int chosen = -1;
    play([&] { chosen = chooseWeapon(true, false); }, "0\n99\n1\n");
    for (const char* large : {"Drąg", "Halabarda", "Wielki miecz", "Wielki topór", "Tasak"}) EXPECT_FALSE(said(large));
    EXPECT_EQ(std::tuple(chosen, screen.rowText(9), screen.rowText(10)),  // Buzdygan
              std::tuple(3, std::string("9) Topór"), std::string("liczba - wybór, c - cofnij")));
    hero.race = RaceHuman;
    play([&] { chosen = chooseWeapon(true, true); }, "8\n");
    EXPECT_EQ(std::pair(chosen, said("Pięści")), std::pair(9, false));  // no fists: Rapier is 8th

    // Power attack and expertise share the base attack.
    std::tie(hero.baseAttack, hero.powerAttack, hero.attackPool) = std::tuple(3, 2, 1);
    play(expertiseSettings, "2\nx-1\n1\n");  // too much, then negative, then 1
    EXPECT_TRUE(said("{clear}Ustawienia atutu Wyspecjalizowanie.\nAktualna premia do KP: 0\nMaksymalna premia: 1\n"
                     "Zmiana: 2\nNie możesz przekroczyć kary do trafienia poniżej bazowego ataku który wynosi 3. Ta "
                     "właściwość rozdziela się pomiędzy Potężny atak i Wyspecjalizowanie.\n\n(ok){clear}"));
    EXPECT_EQ(std::pair(hero.expertise, hero.attackPool), std::pair(1, 0));
    play(powerAttackSettings, "0\n");  // what power attack gives back goes to the pool
    EXPECT_EQ(std::tuple(hero.powerAttack, hero.expertise, hero.attackPool,
                         said("Aktualna premia do obrażeń: 2\nMaksymalna premia: 2\n")), std::tuple(0, 1, 2, true));
}

TEST_F(HeroScreensTest, CursedItemsStayArmourWaitsForTheEndOfAFightAndAFullBackpackTakesNothing) {
    hero.weapon = ItemSlot{7, KindWeapon, 0, -1, 0};  // not identified: the refusal reveals it
    std::tie(hero.armour.bonus, hero.shield.bonus) = std::tuple(-1, -2);
    hero.inventory = {ItemSlot{6, KindWeapon, 0, 0, Identified}, ItemSlot{2, KindArmour, 0, 0, Identified}};
    auto before = gear();
    world.inCombat = true;
    inventory("bkpktku1\ntku2\nk", {"Komendy (bptuwx?): Nie możesz puścić tej broni! Jest przeklęta!\n",
                                    "Nie możesz wypuścić tej tarczy z ręki! Jest przeklęta!\n",
                                    "Nie możesz zdejmować pancerza w czasie walki.\n",
                                    "Długi miecz +?. Czy chcesz ją zdjąć? (t/n)\nNie możesz puścić tej broni!",
                                    "Nie możesz zakładać pancerza w czasie walki.\n"});
    world.inCombat = false;
    inventory("pku2\ntk",
              {"Nie możesz zdjąć tego pancerz! Jest przeklęty!\n",
               "Nie możesz zdjąć tego pancerza! Jest przeklęty!\n"});
    EXPECT_EQ(gear(), before);

    // No room for what is taken off: nothing is said and nothing moves.
    std::tie(hero.weapon, hero.armour.bonus, hero.shield.bonus) = std::tuple(LongSword, 0, 0);
    hero.inventory.fill(Ruby);
    hero.inventory[0] = ItemSlot{1, KindWeapon, 0, 0, Identified};
    before = gear();
    inventory("bkpktku1\ntku2\nk", {"Wolne miejsce: 0\n", "Komendy (bptuwx?): {clear}",
                                    "Czy chcesz ją zdjąć? (t/n)\n{clear}", "Nie wiesz jak użyć Rubin.\n"});
    EXPECT_EQ(gear(), before);
}

TEST_F(HeroScreensTest, TwoHandedWeaponsShieldsAndWeaponsOfTheGods) {
    hero.inventory[0] = GreatSword;
    inventory("u1\nktku1\ntk", {"Nie możesz używać broni dwuręcznej i tarczy jednocześnie.\n",
                                "Schowałeś Tarcza do plecaka.\n",
                                "Czy chcesz ją zdjąć? (t/n)\nWyjmujesz Wielki miecz z plecaka.\n"});
    // The long sword went to the first free slot before the great sword left its own.
    EXPECT_EQ(std::tuple(hero.weapon, hero.shield.kind, hero.inventory[0].kind, hero.inventory[2]),
              std::tuple(GreatSword, KindEmpty, KindEmpty, LongSword));
    inventory("u1\nkbk",
              {"Używasz broni dwuręcznej, nie możesz nieść tarczy.\n", "Schowałeś Wielki miecz do plecaka.\n"});

    // A Niziołek: a halberd is too big, a long sword needs both hands.
    std::tie(hero.race, hero.weapon, hero.shield) = std::tuple(RaceHalfling, Fists, Buckler);
    hero.inventory = {ItemSlot{10, KindWeapon, 0, 0, Identified}, LongSword, ItemSlot{5, KindWeapon, 0, 0, 0}};
    inventory("u1\nku2\nku3\nk", {"Ta broń jest za duża, nie możesz jej używać.\n",
                                  "Wyjmujesz Krótki miecz z plecaka.\n",
                                  "Nie możesz używać broni dwuręcznej i tarczy jednocześnie.\n"});
    EXPECT_EQ(hero.weapon.ref, 5);

    // A weapon of the gods moves all six attributes (and Pw, capacity) by its bonus,
    // and takes it back on leaving the hand.
    makeTestHero();
    std::tie(hero.attributes[Con], hero.level, hero.maxHp, hero.hp, hero.weapon) =
        std::tuple(14, 3, 30, 30, ItemSlot{7, KindWeapon, 0, 2, OfTheGods | Identified});
    applyGodBonus(2);  // KON 16: 33 Pw
    hero.inventory[0] = ItemSlot{7, KindWeapon, 1, -5, OfTheGods};
    inventory("u1\ntkbk", {"Masz już broń, Długi miecz Bogów +2. Czy chcesz ją zdjąć? (t/n)\n"
                           "Wyjmujesz Długi miecz +? z plecaka.\nCzujesz się słabszy.\n",
                           "Nie możesz puścić tej broni! Jest przeklęta!\n"});
    // KON modifier +2 to -1 at level 3: 21 Pw.
    EXPECT_EQ(std::tuple(hero.attributes, hero.hp, hero.capacity, hero.inventory[1]),
              std::tuple(std::array{9, 7, 9, 5, 5, 5}, 21, 50.0f,
                         ItemSlot{7, KindWeapon, 0, 2, OfTheGods | Identified}));
}

TEST_F(HeroScreensTest, InventoryListHelpDrinkDropADeadlyDrinkAndTheCapacity) {
    hero.inventory[3] = ItemSlot{0, KindPotion, 0, 0, Identified | StrengthKnown};
    hero.inventory[7] = Ruby;
    recomputeLoad();
    inventory("?ku1\nkw1\nnw1\nt",
              {"{clear}EKWIPUNEK Waga: 24.85/100 kg Wolne miejsce: 18\n1) Mikstura lecznicza +0 (Waga: 0.25 kg)\n"
               "2) Rubin (Waga: 0.1 kg)\n\nKomendy (bptuwx?): ",
               "{clear}Dostępne komendy:\nb - zdejmij broń\np - zdejmij pancerz\nt - zdejmij tarcze\nu - "
               "użyj/ekwipuj\nw - wyrzuc\nx - zamknij ekwipunek\n\n(ok){clear}",
               "Który przedmiot: 1\nWypijasz Mikstura lecznicza +0. Brak efektu...\n{clear}",
               "Który przedmiot: 1\nNa pewno chcesz wyrzucić Rubin? (t/n)\n{clear}",
               "? (t/n)\nWyrzucasz Rubin.\n{clear}EKWIPUNEK Waga: 24.5/100 kg Wolne miejsce: 20\n"});
    // A drink that kills leaves the screen at once, without the "x".
    hero.inventory[0] = ItemSlot{2, KindPotion, 0, -10, Identified};  // no d20 saves against 26
    inventory("u1\nk", {"Wypijasz Eliksir uzdrowienia +?. Robi ci się ciemno"}, "");
    EXPECT_EQ(std::pair(hero.hp, hero.inventory[0].empty()), std::pair(0, true));

    // Exactly the capacity still fits; a put-back skips the check and the new load; 20 slots; small armour weighs half.
    std::tie(hero.weapon, hero.armour, hero.shield.kind) = std::tuple(Fists, Padded, KindEmpty);
    recomputeLoad();
    hero.capacity = 1.0f;
    const ItemSlot dagger{1, KindWeapon, 0, 0, Identified};
    EXPECT_EQ((std::array{addItem(dagger, true), addItem(dagger, true), addItem(dagger, true), addItem(dagger, false)}),
              (std::array{true, true, false, true}));
    EXPECT_FLOAT_EQ(hero.load, 1.0f);
    for (int i = 3; i < BackpackSlots; ++i) EXPECT_TRUE(addItem(Ruby, false));
    EXPECT_FALSE(addItem(Ruby, false));

    std::tie(hero.inventory, hero.race, hero.armour, hero.shield) =
        std::tuple(decltype(hero.inventory){}, RaceGnome, ItemSlot{6, KindArmour, 0, 0, Identified | SmallSize},
                   Buckler);
    hero.inventory[5] = ItemSlot{2, KindArmour, 0, 0, Identified | SmallSize};
    hero.inventory[6] = ItemSlot{1, KindArmour, 0, 0, Identified};
    recomputeLoad();
    EXPECT_FLOAT_EQ(hero.load, 7.5f + 2.5f + 3.75f + 5.0f);
}

}  // namespace
}  // namespace kelvrin::test
