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
    // The main menu with the keys, which must end it with "0. Wyjście".
    void program(const std::string& keys) {
        screen.type(keys);
        int status = -1;
        EXPECT_FALSE(runUntilInputEnds([&] { status = runProgram(); }));
        EXPECT_EQ(status, 0);
    }
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
    hero.hp = 0;
    EXPECT_FALSE(play(runLocationLoop, ""));
    EXPECT_EQ(screen.keysRead(), 0);
}

TEST_F(ProgramTest, SavePromptCancelQuitAndFailedSave) {
    play(runLocationLoop, "qTNAa");  // 'a' returns to the town; capitals are ignored
    EXPECT_TRUE(said("wyjdź z miasta\n\nCzy chcesz zapisać grę? (tak/nie/anuluj)\n{clear}Jesteś"));
    EXPECT_FALSE(world.leaveLoop);
    EXPECT_EQ(screen.keysQueued(), 0u);
    EXPECT_TRUE(shows("Jesteś w mieście."));

    EXPECT_FALSE(play(runLocationLoop, "qn"));  // 'n' leaves the game without saving
    EXPECT_TRUE(world.leaveLoop);

    // A save that cannot be written (a folder stands where the file would
    // go) keeps the hero in the game.
    std::filesystem::create_directory("save_Testowy");
    EXPECT_TRUE(play(runLocationLoop, "qtk"));
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

class SaveGameTest : public ScenarioTest {
protected:
    void TearDown() override {
        endGameInProgress();
        ScenarioTest::TearDown();
    }

    static SaveImage imageOfTheGame() {
        SaveImage image{};
        encodeSave(hero, world, false, image);
        return image;
    }
};

// The keys of a new human fighter called Ala, from the main menu to the town.
constexpr const char* NewHeroAla = "1Ala\nt1t2\nt5\nw5\nw5\nw3\nx";

TEST_F(SaveGameTest, SavedInTheTownAndLoadedByTypingTheName) {
    screen.type(NewHeroAla);
    screen.type("wmqt");  // to the world map and back, then save and quit
    EXPECT_TRUE(runUntilInputEnds([] { runProgram(); }));
    EXPECT_NE(screen.transcript().find("(tak/nie/anuluj)\n{clear}{clear}Kelvrin v 0.2"), std::string::npos);
    EXPECT_FALSE(gameInProgress());
    ASSERT_EQ(files(), (std::vector<std::string>{"lock_Ala", "save_Ala"}));
    EXPECT_EQ(readBytes("save_Ala").size(), SaveFileSize);
    const SaveImage saved = imageOfTheGame();
    const Hero savedHero = hero;

    // Another game in between changes everything in memory.
    resetForNewGame();
    hero.name = "Ola";
    screen.clearTranscript();
    screen.type("1Ala\n");
    EXPECT_TRUE(runUntilInputEnds([] { runProgram(); }));
    EXPECT_TRUE(shows("Jesteś w mieście."));
    EXPECT_EQ(hero.name, "Ala");
    EXPECT_EQ(imageOfTheGame(), saved);
    EXPECT_FLOAT_EQ(hero.capacity, savedHero.capacity);
    EXPECT_FLOAT_EQ(hero.load, savedHero.load);
    EXPECT_EQ(files(), std::vector<std::string>{"lock_Ala"});  // loading deleted the file
    EXPECT_TRUE(gameInProgress());        // the input ended in the middle of the game
}

TEST_F(SaveGameTest, ADeadHeroGoesToTheGraveyardAndTheMenuShowsIt) {
    hero.hp = 0;  // a save of a hero at death's door
    hero.xp = 70;
    hero.lastHarm = 1;
    ASSERT_TRUE(saveGame(false));
    writeBytes("cmentarz.dat", encodeGraveyard({GraveRecord{"Mistrz", 0, 1, 9, LocationForest, 0, 2, 9000, false}}));
    screen.clearTranscript();

    screen.type("1Testowy\nk2k0");
    int status = -1;
    EXPECT_FALSE(runUntilInputEnds([&] { status = runProgram(); }));
    EXPECT_EQ(status, 0);
    // Right after the death the new grave is marked with "*"; the menu's "2" shows it plain.
    for (const std::string mark : {"*", ""})
        EXPECT_TRUE(said("{clear}CMENTARZ\nMistrz Człowiek Wojownik, 9 poziom, zabity przez Goblin w lesie.\n" + mark +
                         "Testowy Człowiek Wojownik, 1 poziom, zabity przez Kobold w mieście.\n{clear}Kelvrin v 0.2"))
            << mark;
    EXPECT_EQ(files(), (std::vector<std::string>{"cmentarz.dat", "lock_Testowy"}));
}

TEST_F(SaveGameTest, AHeroWhoQuitsIsNotBuried) {
    screen.type(NewHeroAla);
    screen.type("qn2k0");
    EXPECT_FALSE(runUntilInputEnds([] { runProgram(); }));
    EXPECT_EQ(files(), std::vector<std::string>{"lock_Ala"});
    EXPECT_NE(screen.transcript().find("{clear}CMENTARZ\nCmentarz jest pusty...{clear}Kelvrin"), std::string::npos);
}

TEST_F(SaveGameTest, TheCrashSaveIsWrittenOnlyInTheMiddleOfAGame) {
    EXPECT_EQ(crashSaveHook(CrashSource::LiveHero), CrashSaveOutcome::NoGame);
    EXPECT_EQ(crashSaveHook(CrashSource::KeptCopy), CrashSaveOutcome::NoGame);
    EXPECT_TRUE(files().empty());

    world.location = LocationDungeon;
    world.dungeonLevel = 2;
    world.savedX = 4;
    world.savedY = 9;
    beginGameInProgress();
    // Raging in a fight: four more SIŁ and KON and eight more Pw than the
    // hero keeps when it ends.
    hero.attributes[Str] += 4;
    hero.attributes[Con] += 4;
    hero.hp += 8;
    hero.maxHp += 8;
    world.fightChanges.attributes = {4, 0, 4, 0, 0, 0};
    world.fightChanges.hp = 8;
    world.fightChanges.maxHp = 8;
    EXPECT_EQ(crashSaveHook(CrashSource::LiveHero), CrashSaveOutcome::Written);
    testing::internal::CaptureStderr();
    reportCrashSave(true);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Wystąpił błąd gry, została ona zapisana w pliku error_save_Testowy jednak może nie działać "
              "poprawnie.\n");
    EXPECT_FALSE(gameInProgress());
    EXPECT_EQ(crashSaveHook(CrashSource::LiveHero), CrashSaveOutcome::NoGame);
    ASSERT_EQ(files(), std::vector<std::string>{"error_save_Testowy"});

    const std::optional<LoadedGame> kept = decodeSave(readBytes("error_save_Testowy"), hero, world);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->hero.attributes, (std::array<int, 6>{14, 12, 12, 10, 10, 10}));
    EXPECT_EQ(kept->hero.maxHp, 13);
    EXPECT_EQ(kept->world.location, LocationDungeon);
    EXPECT_EQ(kept->world.savedX, 4);
    EXPECT_EQ(kept->world.savedY, 9);
}

TEST_F(SaveGameTest, AGameLeftByTheEndOfInputStaysArmedForTheCrashSave) {
    EXPECT_TRUE(runUntilInputEnds([] { runLocationLoop(); }));
    EXPECT_TRUE(gameInProgress());
    EXPECT_TRUE(writeCrashSave());
    EXPECT_EQ(files(), std::vector<std::string>{"error_save_Testowy"});

    screen.type("qn");
    EXPECT_FALSE(runUntilInputEnds([] { runLocationLoop(); }));
    EXPECT_FALSE(gameInProgress());
    EXPECT_FALSE(writeCrashSave());
}

// A crash handled on a thread of its own (a closed console window) writes
// the hero as he was at the game's last wait for input, whatever the game's
// thread has changed since.
TEST_F(SaveGameTest, ACrashBesideTheGameWritesTheHeroKeptAtTheLastWait) {
    const auto goldKept = [] {
        const std::optional<LoadedGame> kept = decodeSave(readBytes("error_save_Testowy"), Hero{}, WorldState{});
        return kept ? kept->hero.gold : -1;
    };
    hero.gold = 100;
    beginGameInProgress();  // keeps a first copy
    hero.gold = 200;
    EXPECT_EQ(crashSaveHook(CrashSource::KeptCopy), CrashSaveOutcome::Written);
    EXPECT_EQ(goldKept(), 100);

    beginGameInProgress();
    keepCrashCopy();
    hero.gold = 300;
    EXPECT_EQ(crashSaveHook(CrashSource::KeptCopy), CrashSaveOutcome::Written);
    EXPECT_EQ(goldKept(), 200);
    EXPECT_FALSE(gameInProgress());
}

#ifdef _WIN32
// The Windows crash path has tests of its own (its control handler).
TEST_F(SaveGameTest, Signals_SkippedOnWindowsWhichHasNoSignalToRaise) { GTEST_SKIP(); }
#else
TEST_F(SaveGameTest, SignalsInTheMiddleOfAGameWriteTheCrashSave) {
    hero.gold = 4321;
    EXPECT_EXIT(
        {
            installCrashHandlers();
            setCrashHooks({crashSaveHook, keepCrashCopy});
            beginGameInProgress();
            raise(SIGTERM);
        },
        testing::KilledBySignal(SIGTERM), "w pliku error_save_Testowy jednak");
    const std::optional<LoadedGame> kept = decodeSave(readBytes("error_save_Testowy"), Hero{}, WorldState{});
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->hero.gold, 4321);
}
#endif

}  // namespace
}  // namespace kelvrin::test
