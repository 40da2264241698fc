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
