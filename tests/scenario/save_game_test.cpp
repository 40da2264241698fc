#include <signal.h>

#include "support/game_test.h"
#include "support/temp_folder.h"
#include "support/test_hero.h"

#include "character/graveyard.h"
#include "character/program.h"
#include "core/crash_save.h"
#include "core/save_file.h"
#include "platform/crash_handler.h"

namespace kelvrin::test {
namespace {

class SaveGameTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        folder.emplace();
    }
    void TearDown() override {
        endGameInProgress();
        releaseHeroLock();  // Windows deletes no file that is still open
        folder.reset();
        GameTest::TearDown();
    }

    static SaveImage imageOfTheGame() {
        SaveImage image{};
        encodeSave(hero, world, false, image);
        return image;
    }

    std::optional<TempFolder> folder;  // the current directory while a test runs
};

// The keys of a new human fighter called Ala, from the main menu to the town.
constexpr const char* NewHeroAla = "1Ala\nt1t2\nt5\nw5\nw5\nw3\nx";

TEST_F(SaveGameTest, SavedInTheTownAndLoadedByTypingTheName) {
    screen.type(NewHeroAla);
    screen.type("wmqt");  // to the world map and back, then save and quit
    EXPECT_TRUE(runUntilInputEnds([] { runProgram(); }));
    EXPECT_NE(screen.transcript().find("(tak/nie/anuluj)\n{clear}{clear}Kelvrin v 0.2"), std::string::npos);
    EXPECT_FALSE(gameInProgress());
    ASSERT_EQ(folder->files(), (std::vector<std::string>{"lock_Ala", "save_Ala"}));
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
    EXPECT_EQ(folder->files(), std::vector<std::string>{"lock_Ala"});  // loading deleted the file
    EXPECT_TRUE(gameInProgress());        // the input ended in the middle of the game
}

TEST_F(SaveGameTest, ADeadHeroGoesToTheGraveyardAndTheMenuShowsIt) {
    makeTestHero();
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
    const std::string death =
        "{clear}CMENTARZ\nMistrz Człowiek Wojownik, 9 poziom, zabity przez Goblin w lesie.\n"
        "*Testowy Człowiek Wojownik, 1 poziom, zabity przez Kobold w mieście.\n{clear}Kelvrin v 0.2";
    EXPECT_NE(screen.transcript().find(death), std::string::npos);
    const std::string shown =
        "{clear}CMENTARZ\nMistrz Człowiek Wojownik, 9 poziom, zabity przez Goblin w lesie.\n"
        "Testowy Człowiek Wojownik, 1 poziom, zabity przez Kobold w mieście.\n{clear}Kelvrin v 0.2";
    EXPECT_NE(screen.transcript().find(shown), std::string::npos);
    EXPECT_EQ(folder->files(), (std::vector<std::string>{"cmentarz.dat", "lock_Testowy"}));
}

TEST_F(SaveGameTest, AHeroWhoQuitsIsNotBuried) {
    screen.type(NewHeroAla);
    screen.type("qn2k0");
    EXPECT_FALSE(runUntilInputEnds([] { runProgram(); }));
    EXPECT_EQ(folder->files(), std::vector<std::string>{"lock_Ala"});
    EXPECT_NE(screen.transcript().find("{clear}CMENTARZ\nCmentarz jest pusty...{clear}Kelvrin"), std::string::npos);
}

TEST_F(SaveGameTest, TheCrashSaveIsWrittenOnlyInTheMiddleOfAGame) {
    makeTestHero();
    EXPECT_EQ(crashSaveHook(CrashSource::LiveHero), CrashSaveOutcome::NoGame);
    EXPECT_EQ(crashSaveHook(CrashSource::KeptCopy), CrashSaveOutcome::NoGame);
    EXPECT_TRUE(folder->files().empty());

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
    ASSERT_EQ(folder->files(), std::vector<std::string>{"error_save_Testowy"});

    const std::optional<LoadedGame> kept = decodeSave(readBytes("error_save_Testowy"), hero, world);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->hero.attributes, (std::array<int, 6>{14, 12, 12, 10, 10, 10}));
    EXPECT_EQ(kept->hero.maxHp, 13);
    EXPECT_EQ(kept->world.location, LocationDungeon);
    EXPECT_EQ(kept->world.savedX, 4);
    EXPECT_EQ(kept->world.savedY, 9);
}

TEST_F(SaveGameTest, AGameLeftByTheEndOfInputStaysArmedForTheCrashSave) {
    makeTestHero();
    EXPECT_TRUE(runUntilInputEnds([] { runLocationLoop(); }));
    EXPECT_TRUE(gameInProgress());
    EXPECT_TRUE(writeCrashSave());
    EXPECT_EQ(folder->files(), std::vector<std::string>{"error_save_Testowy"});

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
    makeTestHero();
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
    makeTestHero();
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
