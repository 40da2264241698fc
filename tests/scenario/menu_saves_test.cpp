// The program's menu, leaving the game, saves, the graveyard and the crash save.
#include <filesystem>
#include <signal.h>

#include "support/scenario.h"

#include "character/graveyard.h"
#include "character/program.h"
#include "core/crash_save.h"
#include "core/save_file.h"
#include "platform/crash_handler.h"

namespace kelvrin::test {
namespace {

class ProgramTest : public ScenarioTest {
protected:
    void TearDown() override {
        endGameInProgress();
        ScenarioTest::TearDown();
    }
    // The main menu with the keys; true when they ran out in it (false: "0. Wyjście" ended it with status 0).
    bool program(const std::string& keys) {
        int status = 0;
        return play([&] { status = runProgram(); }, keys) || status != 0;
    }
    static SaveImage imageOfTheGame() {
        SaveImage image{};
        encodeSave(hero, world, false, image);
        return image;
    }
    // The hero kept in the crash save, or nothing.
    std::optional<LoadedGame> crashSave() const {
        return decodeSave(readBytes("error_save_Testowy"), Hero{}, WorldState{});
    }
};

// The keys of a new human fighter called Ala, from the main menu to the town.
const std::string NewHeroAla = "1Ala\nt1t2\nt5\nw5\nw5\nw3\nx";

// Unknown keys only redraw the menu; a damaged save's name gives the message and the menu again, the file untouched.
TEST_F(ProgramTest, MenuInformationAndADamagedSave) {
    writeBytes("save_Ala", {'H', 'E', 'R', 'O'});
    EXPECT_FALSE(program("x93k" "1Ala\nk0"));
    saw({"{clear}Kelvrin v 0.2\n\n1. Graj\n2. Cmentarz\n3. Info\n0. Wyjście\n{clear}Kelvrin v 0.2",
          "{clear}Kelvrin\nTekstowa gra rpg\nWersja: 0.2\nAutor: Brannok52\nCel gry: Pokonaj mitycznego potwora "
          "Terrasque który znajduje się głeboko w podziemiach\nZmiany:\n*** WERSJA 0.2 (12.03.11)\n"
          "- tarcze,eliksiry,kamienie\n- atuty\n- barbażyńca\n- las,droga,kopalnia\n- mapy podziemi\n"
          "- walka z kilkoma przeciwnikami\n- sojusznicy\n"
          "*** WERSJA 0.1 (17.02.11)\n- pierwsza wersja{clear}",
          "{clear}Pilk zapisu 'save_Ala' jest uszkodzony!\n{clear}Kelvrin v 0.2"});
    EXPECT_EQ(readBytes("save_Ala"), (std::vector<unsigned char>{'H', 'E', 'R', 'O'}));
}

// Capitals are ignored, 'a' returns to the town, 'n' leaves without saving; a dead hero's loop ends before any key.
TEST_F(ProgramTest, TheSavePromptAndTheLoopsEnd) {
    EXPECT_TRUE(play(runLocationLoop, "qTNAa"));
    EXPECT_TRUE(said("wyjdź z miasta\n\nCzy chcesz zapisać grę? (tak/nie/anuluj)\n{clear}Jesteś"));
    EXPECT_EQ(std::pair(world.leaveLoop, shows("Jesteś w mieście.")), std::pair(false, true));
    EXPECT_FALSE(play(runLocationLoop, "qn"));
    EXPECT_TRUE(world.leaveLoop);
    EXPECT_EQ(files(), std::vector<std::string>{});
    hero.hp = 0;
    const auto keysRead = screen.keysRead();
    EXPECT_FALSE(play(runLocationLoop, ""));
    EXPECT_EQ(screen.keysRead(), keysRead);
}

// Saved and quit after a trip to the map; loading over another game deletes the file and rebuilds capacity and load.
TEST_F(ProgramTest, SavedInTheTownAndLoadedByTypingTheName) {
    EXPECT_TRUE(program(NewHeroAla + "wmqt"));
    EXPECT_EQ(std::pair(said("(tak/nie/anuluj)\n{clear}{clear}Kelvrin v 0.2"), gameInProgress()),
              std::pair(true, false));
    ASSERT_EQ(files(), (std::vector<std::string>{"save_Ala"}));  // the lock file went with the hero
    EXPECT_EQ(readBytes("save_Ala").size(), SaveFileSize);
    const SaveImage saved = imageOfTheGame();
    const Hero savedHero = hero;
    resetForNewGame();
    hero.name = "Ola";
    EXPECT_TRUE(program("1Ala\n"));  // the input ends in the middle of the game
    EXPECT_EQ(std::tuple(shows("Jesteś w mieście."), hero.name, imageOfTheGame() == saved, gameInProgress()),
              std::tuple(true, "Ala", true, true));
#ifdef __EMSCRIPTEN__
    const std::vector<std::string> inPlay;  // the web build holds the lock on the name, with no file
#else
    const std::vector<std::string> inPlay{"lock_Ala"};
#endif
    EXPECT_EQ(std::tuple(hero.capacity, hero.load, files()), std::tuple(savedHero.capacity, savedHero.load, inPlay));
}

// Right after the death the new grave is marked with "*"; the menu's "2" shows it plain.
TEST_F(ProgramTest, ADeadHeroIsBuriedOneWhoQuitsIsNot) {
    std::tie(hero.hp, hero.xp, hero.lastHarm) = std::tuple(0, 70, 1);  // a save of a hero at death's door
    ASSERT_TRUE(saveGame(false));
    writeBytes("cmentarz.dat", encodeGraveyard({GraveRecord{"Mistrz", 0, 1, 9, LocationForest, 0, 2, 9000, false}}));
    EXPECT_FALSE(program("1Testowy\nk2k0"));
    for (const std::string mark : {"*", ""})
        EXPECT_TRUE(said("{clear}CMENTARZ\nMistrz Człowiek Wojownik, 9 poziom, zabity przez Goblin w lesie.\n" + mark +
                         "Testowy Człowiek Wojownik, 1 poziom, zabity przez Kobold w mieście.\n{clear}Kelvrin v 0.2"))
            << mark;
    EXPECT_EQ(files(), (std::vector<std::string>{"cmentarz.dat"}));
    std::filesystem::remove("cmentarz.dat");
    EXPECT_FALSE(program(NewHeroAla + "qn0"));
    EXPECT_EQ(files(), std::vector<std::string>{});  // the lock files go when the heroes leave play
}

// Without what the running fight gave; the end of input leaves it armed; a kept copy is the last key wait's hero.
TEST_F(ProgramTest, TheCrashSaveIsWrittenOnlyInTheMiddleOfAGame) {
    for (CrashSource source : {CrashSource::LiveHero, CrashSource::KeptCopy})
        EXPECT_EQ(crashSaveHook(source), CrashSaveOutcome::NoGame);
    EXPECT_TRUE(files().empty());
    beginGameInProgress();
    hero.attributes[Str] += 4;  // raging in a fight
    world.fightChanges.attributes = {4, 0, 0, 0, 0, 0};
    EXPECT_EQ(crashSaveHook(CrashSource::LiveHero), CrashSaveOutcome::Written);
    EXPECT_EQ(stderrOf([] { reportCrashSave(true); }),
              "Wystąpił błąd gry, została ona zapisana w pliku error_save_Testowy jednak może nie działać "
              "poprawnie.\n");
    EXPECT_EQ(std::pair(gameInProgress(), crashSaveHook(CrashSource::LiveHero)),
              std::pair(false, CrashSaveOutcome::NoGame));
    ASSERT_EQ(files(), std::vector<std::string>{"error_save_Testowy"});
    EXPECT_EQ(crashSave() ? crashSave()->hero.attributes[Str] : -1, 14);

    world.fightChanges = {};
    EXPECT_TRUE(play(runLocationLoop, ""));
    EXPECT_TRUE(gameInProgress());
    EXPECT_TRUE(writeCrashSave());
    EXPECT_FALSE(play(runLocationLoop, "qn"));
    EXPECT_FALSE(gameInProgress());
    EXPECT_FALSE(writeCrashSave());

    for (auto [keepAgain, kept] : {std::pair{false, 100}, {true, 200}}) {
        hero.gold = 100;
        beginGameInProgress();  // keeps a first copy
        hero.gold = 200;
        if (keepAgain) keepCrashCopy();
        hero.gold = 300;
        EXPECT_EQ(crashSaveHook(CrashSource::KeptCopy), CrashSaveOutcome::Written);
        EXPECT_EQ(std::pair(crashSave()->hero.gold, gameInProgress()), std::pair(kept, false));
    }
}

// The Windows crash path has tests of its own (its control handler); a web page has no signals (tested in the browser).
#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
TEST_F(ProgramTest, SignalsInTheMiddleOfAGameWriteTheCrashSave) {
    hero.gold = 4321;
    EXPECT_EXIT(
        {
            installCrashHandlers();
            setCrashHooks({crashSaveHook, keepCrashCopy});
            beginGameInProgress();
            raise(SIGTERM);
        },
        testing::KilledBySignal(SIGTERM), "w pliku error_save_Testowy jednak");
    EXPECT_EQ(crashSave() ? crashSave()->hero.gold : -1, 4321);
}
#endif

}  // namespace
}  // namespace kelvrin::test
