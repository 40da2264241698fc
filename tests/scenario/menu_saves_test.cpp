// The program's menu, leaving the game, saves, the graveyard and the crash save.
#include <signal.h>

#include "support/scenario.h"

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
    // The hero kept in the crash save, or nothing.
    std::optional<LoadedGame> crashSave() const {
        return decodeSave(readBytes("error_save_Testowy"), Hero{}, WorldState{});
    }
};

// A damaged save's name gives the message and the menu again, the file untouched.
TEST_F(ProgramTest, ADamagedSaveIsReportedAndKept) {
    writeBytes("save_Ala", {'H', 'E', 'R', 'O'});
    EXPECT_FALSE(program("1Ala\nk0"));
    EXPECT_TRUE(said("{clear}Pilk zapisu 'save_Ala' jest uszkodzony!\n{clear}Kelvrin v 0.2"));
    EXPECT_EQ(readBytes("save_Ala"), (std::vector<unsigned char>{'H', 'E', 'R', 'O'}));
}

// A dead hero's loop ends before any key.
TEST_F(ProgramTest, ADeadHerosLoopEndsAtOnce) {
    hero.hp = 0;
    const int keysRead = screen.keysRead();
    EXPECT_FALSE(play(runLocationLoop, ""));
    EXPECT_EQ(screen.keysRead(), keysRead);
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
