// The Windows crash handler's answer to a console control event, called
// as Windows calls it, on a thread of its own. A closed console window is
// the case that matters most and the one wine never sends, so the test
// sends it.
#ifdef _WIN32

#include <windows.h>

#include <optional>
#include <thread>

#include "support/game_test.h"
#include "support/test_hero.h"

#include "core/crash_save.h"
#include "core/save_file.h"
#include "platform/windows/crash_handler.h"

namespace kelvrin::test {
namespace {

class RestoringConsole : public ScriptedBackend {
public:
    void restoreAfterCrash() override { ++restored; }
    int restored = 0;
};

class CrashHandlerWindowsTest : public GameTest {
protected:
    void TearDown() override {
        endGameInProgress();
        setCrashHooks({});
        setBackend(&screen);
        GameTest::TearDown();
    }

    // Answers the event on a thread of its own, as Windows does.
    static bool answerOnItsOwnThread(unsigned long event) {
        bool answered = false;
        std::thread([&] { answered = answerConsoleControl(event); }).join();
        return answered;
    }
};

TEST_F(CrashHandlerWindowsTest, AClosedWindowKeepsTheHeroOfTheLastKeyWaitAndGivesTheConsoleBack) {
    makeTestHero();
    RestoringConsole console;
    setBackend(&console);
    setCrashHooks({crashSaveHook, keepCrashCopy});
    beginGameInProgress();
    hero.gold = 150;
    console.type("x");
    getKey();         // the game waits for a key: the copy is kept
    hero.gold = 200;  // and the game's thread is changing the hero again

    testing::internal::CaptureStderr();
    EXPECT_TRUE(answerOnItsOwnThread(CTRL_CLOSE_EVENT));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Wystąpił błąd gry, została ona zapisana w pliku error_save_Testowy jednak może nie działać "
              "poprawnie.\n");
    EXPECT_EQ(console.restored, 1);
    EXPECT_FALSE(gameInProgress());
    const std::optional<LoadedGame> kept = decodeSave(readBytes("error_save_Testowy"), Hero{}, WorldState{});
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->hero.gold, 150);

    // Outside a game Ctrl-C only gives the console back; an event the game
    // does not know is left to the system.
    ASSERT_TRUE(DeleteFileW(L"error_save_Testowy"));
    testing::internal::CaptureStderr();
    EXPECT_TRUE(answerOnItsOwnThread(CTRL_C_EVENT));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(console.restored, 2);
    EXPECT_EQ(GetFileAttributesW(L"error_save_Testowy"), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(answerOnItsOwnThread(7));
}

}  // namespace
}  // namespace kelvrin::test

#endif  // _WIN32
