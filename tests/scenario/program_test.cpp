#include <filesystem>

#include "support/game_test.h"
#include "support/test_hero.h"

#include "character/program.h"

namespace kelvrin::test {
namespace {

class ProgramTest : public GameTest {
protected:
    // The main menu with the keys, which must end it with "0. Wyjście".
    void program(const std::string& keys) {
        screen.type(keys);
        int status = -1;
        EXPECT_FALSE(runUntilInputEnds([&] { status = runProgram(); }));
        EXPECT_EQ(status, 0);
    }
    // The game's loop with the keys; true when they ran out in it.
    bool play(const std::string& keys) {
        screen.type(keys);
        return runUntilInputEnds(runLocationLoop);
    }
    bool said(const std::string& part) const { return screen.transcript().find(part) != std::string::npos; }
};

TEST_F(ProgramTest, MainMenuInformationAndExit) {
    program("x93k0");
    EXPECT_TRUE(said("{clear}Kelvrin v 0.2\n\n1. Graj\n2. Cmentarz\n3. Info\n0. Wyjście\n{clear}Kelvrin v 0.2"));
    EXPECT_TRUE(said("{clear}Kelvrin\nTekstowa gra rpg\nWersja: 0.2\nAutor: Brannok52\nCel gry: Pokonaj mitycznego "
                     "potwora Terrasque który znajduje się głeboko w podziemiach\nZmiany:\n*** WERSJA 0.2 "
                     "(12.03.11)\n- tarcze,eliksiry,kamienie\n- atuty\n- barbażyńca\n- las,droga,kopalnia\n- mapy "
                     "podziemi\n- walka z kilkoma przeciwnikami\n- sojusznicy\n*** WERSJA 0.1 (17.02.11)\n- "
                     "pierwsza wersja{clear}"));  // unknown keys only redraw the menu
}

// One point short of the next level there is no hint, and without land no
// home; ignored keys ('o' without land among them) do not redraw.
TEST_F(ProgramTest, TownScreenFollowsTheState) {
    makeTestHero();
    hero.hp = 5;
    hero.maxHp = 12;
    hero.gold = 77;
    hero.xp = 999;
    EXPECT_TRUE(play("xo+1"));
    const std::string town = "Jesteś w mieście. Jest 1 dzień, 113 rok.\nMasz 5/12 pw, 77 złota.\nDostepne komendy:\n"
                             "s - informacje o postaci\nq - zapis i wyjście\nb - baraki\nu - burmistrz\nt - targowisko\n"
                             "g - gospoda\na - płatnerz\nd - zbrojmistrz\nm - wieża magów\nw - wyjdź z miasta\n\n\n";
    EXPECT_EQ(screen.screenText().substr(0, town.size()), town);
    EXPECT_EQ(screen.clears(), 1);
    EXPECT_EQ(world.location, LocationTown);

    hero.xp = 1000;
    world.set(LandOwned);
    play("");
    EXPECT_TRUE(shows("Masz dość doświadczenia aby awansować na 2 poziom."));
    EXPECT_TRUE(shows("o - mój dom\nw - wyjdź z miasta"));
}

TEST_F(ProgramTest, SheetWaitsForAKeyAndTheWorldMapLeadsBack) {
    makeTestHero();
    play("s");
    EXPECT_TRUE(shows("Testowy Człowiek Wojownik"));
    play("w");
    EXPECT_EQ(world.location, LocationWorldMap);
    const std::string map = "Gdzie chcesz iść:\nm - miasto\nl - las\nd - droga\np - podziemia\n";
    EXPECT_EQ(screen.screenText().substr(0, map.size()), map);
    play("xm");
    EXPECT_EQ(world.location, LocationTown);
    EXPECT_TRUE(shows("Jesteś w mieście."));
}

TEST_F(ProgramTest, TheLoopEndsWhenTheHeroIsDead) {
    makeTestHero();
    hero.hp = 0;
    EXPECT_FALSE(play(""));
    EXPECT_EQ(screen.keysRead(), 0);
}

TEST_F(ProgramTest, SavePromptCancelQuitAndFailedSave) {
    makeTestHero();
    play("qTNAa");  // 'a' returns to the town; capitals are ignored
    EXPECT_TRUE(said("wyjdź z miasta\n\nCzy chcesz zapisać grę? (tak/nie/anuluj)\n{clear}Jesteś"));
    EXPECT_FALSE(world.leaveLoop);
    EXPECT_EQ(screen.keysQueued(), 0u);
    EXPECT_TRUE(shows("Jesteś w mieście."));

    EXPECT_FALSE(play("qn"));  // 'n' leaves the game without saving
    EXPECT_TRUE(world.leaveLoop);

    // A save that cannot be written (a folder stands where the file would
    // go) keeps the hero in the game.
    std::filesystem::create_directory("save_Testowy");
    EXPECT_TRUE(play("qtk"));
    EXPECT_TRUE(said("Nie mozna zapisac gry!"));
    EXPECT_FALSE(world.leaveLoop);
    EXPECT_TRUE(shows("Jesteś w mieście."));
}

TEST_F(ProgramTest, ANameWithADamagedSaveFileGetsTheDamageMessage) {
    writeBytes("save_Ala", {'H', 'E', 'R', 'O'});
    program("1Ala\nk0");
    EXPECT_TRUE(said("{clear}Pilk zapisu 'save_Ala' jest uszkodzony!\n{clear}Kelvrin v 0.2"));
    EXPECT_EQ(readBytes("save_Ala"), (std::vector<unsigned char>{'H', 'E', 'R', 'O'}));
}

}  // namespace
}  // namespace kelvrin::test
