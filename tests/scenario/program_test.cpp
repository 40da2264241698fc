#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "support/game_test.h"
#include "support/temp_folder.h"
#include "support/test_hero.h"

#include "character/program.h"

namespace kelvrin::test {
namespace {

using ProgramTest = GameTest;

TEST_F(ProgramTest, MainMenuInformationAndExit) {
    screen.type("x93");
    screen.type("k0");
    bool ended = false;
    int status = -1;
    ended = runUntilInputEnds([&] { status = runProgram(); });
    EXPECT_FALSE(ended);
    EXPECT_EQ(status, 0);
    const std::string& all = screen.transcript();
    EXPECT_NE(all.find("{clear}Kelvrin v 0.2\n\n1. Graj\n2. Cmentarz\n3. Info\n0. Wyjście\n{clear}Kelvrin v 0.2"),
              std::string::npos);  // unknown keys only redraw the menu
    EXPECT_NE(all.find("{clear}Kelvrin\nTekstowa gra rpg\nWersja: 0.2\nAutor: Brannok52\nCel gry: Pokonaj mitycznego "
                       "potwora Terrasque który znajduje się głeboko w podziemiach\nZmiany:\n*** WERSJA 0.2 "
                       "(12.03.11)\n- tarcze,eliksiry,kamienie\n- atuty\n- barbażyńca\n- las,droga,kopalnia\n- mapy "
                       "podziemi\n- walka z kilkoma przeciwnikami\n- sojusznicy\n*** WERSJA 0.1 (17.02.11)\n- "
                       "pierwsza wersja{clear}"),
              std::string::npos);
}

TEST_F(ProgramTest, TownScreenText) {
    makeTestHero();
    hero.hp = 5;
    hero.maxHp = 12;
    hero.gold = 77;
    runUntilInputEnds([] { runLocationLoop(); });
    const std::string town = std::string("Jesteś w mieście. Jest 1 dzień, 113 rok.\nMasz 5/12 pw, 77 złota.\nDostepne komendy:\n"
                          "s - informacje o postaci\nq - zapis i wyjście\nb - baraki\nu - burmistrz\nt - targowisko\n"
                          "g - gospoda\na - płatnerz\nd - zbrojmistrz\nm - wieża magów\nw - wyjdź z miasta\n\n\n");
    EXPECT_EQ(screen.screenText().substr(0, town.size()), town);
    EXPECT_FALSE(shows("o - mój dom"));
    EXPECT_FALSE(shows("awansować"));
}

TEST_F(ProgramTest, LevelUpHintAndHomeKeyFollowTheState) {
    makeTestHero();
    hero.xp = 999;
    runUntilInputEnds([] { runLocationLoop(); });
    EXPECT_FALSE(shows("awansować"));
    hero.xp = 1000;
    world.set(LandOwned);
    runUntilInputEnds([] { runLocationLoop(); });
    EXPECT_TRUE(shows("Masz dość doświadczenia aby awansować na 2 poziom."));
    EXPECT_TRUE(shows("o - mój dom\nw - wyjdź z miasta"));
}

TEST_F(ProgramTest, IgnoredTownKeysDoNotRedraw) {
    makeTestHero();
    screen.type("xo+1");  // no land: 'o' is ignored too
    runUntilInputEnds([] { runLocationLoop(); });
    EXPECT_EQ(screen.clears(), 1);
    EXPECT_EQ(world.location, LocationTown);
}

TEST_F(ProgramTest, WorldMapAndBack) {
    makeTestHero();
    screen.type("w");
    runUntilInputEnds([] { runLocationLoop(); });
    EXPECT_EQ(world.location, LocationWorldMap);
    const std::string map = "Gdzie chcesz iść:\nm - miasto\nl - las\nd - droga\np - podziemia\n";
    EXPECT_EQ(screen.screenText().substr(0, map.size()), map);
    screen.type("xm");
    runUntilInputEnds([] { runLocationLoop(); });
    EXPECT_EQ(world.location, LocationTown);
    EXPECT_TRUE(shows("Jesteś w mieście."));
}

TEST_F(ProgramTest, TheLoopEndsWhenTheHeroIsDead) {
    makeTestHero();
    hero.hp = 0;
    EXPECT_FALSE(runUntilInputEnds([] { runLocationLoop(); }));
    EXPECT_EQ(screen.keysRead(), 0);
}

TEST_F(ProgramTest, SavePromptCancelQuitAndFailedSave) {
    makeTestHero();
    // 'a' returns to the town; capitals are ignored.
    screen.type("qTNAa");
    runUntilInputEnds([] { runLocationLoop(); });
    EXPECT_NE(screen.transcript().find("wyjdź z miasta\n\nCzy chcesz zapisać grę? (tak/nie/anuluj)\n{clear}Jesteś"),
              std::string::npos);
    EXPECT_FALSE(world.leaveLoop);
    EXPECT_EQ(screen.keysQueued(), 0u);
    EXPECT_TRUE(shows("Jesteś w mieście."));

    // 'n' leaves the game without saving.
    screen.type("qn");
    EXPECT_FALSE(runUntilInputEnds([] { runLocationLoop(); }));
    EXPECT_TRUE(world.leaveLoop);

    // 't' with a save that cannot be written keeps the hero in the game (a
    // folder stands where the file would go).
    const TempFolder folder;
    std::filesystem::create_directory("save_Testowy");
    screen.type("qtk");
    EXPECT_TRUE(runUntilInputEnds([] { runLocationLoop(); }));
    EXPECT_NE(screen.transcript().find("Nie mozna zapisac gry!"), std::string::npos);
    EXPECT_FALSE(world.leaveLoop);
    EXPECT_TRUE(shows("Jesteś w mieście."));
}

TEST_F(ProgramTest, PlayingFromTheMenuAndQuittingReturnsToTheMenu) {
    screen.type("1Ala\nt1t2\nt5\nw5\nw5\nw3\nx");  // a human fighter, as in the creation tests
    screen.type("wmqn0");
    int status = -1;
    EXPECT_FALSE(runUntilInputEnds([&] { status = runProgram(); }));
    EXPECT_EQ(status, 0);
    EXPECT_NE(screen.transcript().find("Gdzie chcesz iść"), std::string::npos);
    EXPECT_EQ(hero.name, "Ala");
}

TEST_F(ProgramTest, SheetFromTheTownWaitsForAKey) {
    makeTestHero();
    screen.type("s");
    runUntilInputEnds([] { runLocationLoop(); });
    EXPECT_TRUE(shows("Testowy Człowiek Wojownik"));
    screen.type("k");
    runUntilInputEnds([] { runLocationLoop(); });
    EXPECT_TRUE(shows("Jesteś w mieście."));
}

TEST_F(ProgramTest, ANameWithADamagedSaveFileGetsTheDamageMessage) {
    const TempFolder folder;
    std::ofstream("save_Ala") << "HERO";
    screen.type("1Ala\nk0");
    int status = -1;
    EXPECT_FALSE(runUntilInputEnds([&] { status = runProgram(); }));
    EXPECT_EQ(status, 0);
    EXPECT_NE(screen.transcript().find("{clear}Pilk zapisu 'save_Ala' jest uszkodzony!\n{clear}Kelvrin v 0.2"),
              std::string::npos);
    EXPECT_EQ(readBytes("save_Ala"), (std::vector<unsigned char>{'H', 'E', 'R', 'O'}));
}

}  // namespace
}  // namespace kelvrin::test
