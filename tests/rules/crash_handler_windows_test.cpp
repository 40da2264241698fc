// The Windows crash handler's answer to a console control event, called
// as Windows calls it, on a thread of its own (a closed console window is
// the case that matters most and the one wine never sends, so the test
// sends it); and the ways a program dies on Windows, each in a process of
// its own.
#ifdef _WIN32

#include <windows.h>

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <optional>
#include <thread>

#include "support/game_test.h"
#include "support/test_hero.h"

#include "core/crash_save.h"
#include "core/save_file.h"
#include "platform/crash_handler.h"
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

// Deep enough to overflow any stack; the array keeps the compiler from
// turning the recursion into a loop, the flag from calling it endless.
volatile bool deeper = true;
int overflowTheStack(int depth) {
    volatile char frame[4096];
    frame[0] = static_cast<char>(depth);
    if (!deeper) return frame[0];
    return overflowTheStack(depth + 1) + frame[0];
}

// A fault, std::terminate, abort and a stack overflow in the middle of a
// game: the hero is kept in the crash save, and the message says where (a
// message box follows it; under headless wine it fails at once). When the
// crash save cannot be written the message says so. Each dies in a process
// of its own: a death test runs this program again, up to the death, and
// that process plays in this test's folder.
class CrashDeathTest : public CrashHandlerWindowsTest {
protected:
    void SetUp() override {
        CrashHandlerWindowsTest::SetUp();
        if (GetEnvironmentVariableW(FolderVariable, nullptr, 0) == 0)  // kept in the dying process
            SetEnvironmentVariableW(FolderVariable, std::filesystem::current_path().c_str());
    }
    void TearDown() override {
        SetEnvironmentVariableW(FolderVariable, nullptr);
        CrashHandlerWindowsTest::TearDown();
    }

    // In the dying process: a game in the first test's folder, then the crash.
    static void playAndDie(void (*crash)()) {
        wchar_t folder[MAX_PATH];
        const DWORD length = GetEnvironmentVariableW(FolderVariable, folder, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) ExitProcess(0);  // no crash: the test fails
        const std::filesystem::path own = std::filesystem::current_path();
        std::filesystem::current_path(folder);
        std::error_code ignored;
        std::filesystem::remove_all(own, ignored);  // this process's own folder would outlive it
        makeTestHero();
        hero.gold = 4321;
        installCrashHandlers();
        setCrashHooks({crashSaveHook, keepCrashCopy});
        beginGameInProgress();
        crash();
    }

    static void expectTheHeroKept() {
        const std::optional<LoadedGame> kept = decodeSave(readBytes("error_save_Testowy"), Hero{}, WorldState{});
        ASSERT_TRUE(kept);
        EXPECT_EQ(kept->hero.gold, 4321);
    }

    static constexpr const wchar_t* FolderVariable = L"KELVRIN_CRASH_FOLDER";
    static constexpr const char* Kept = "zapisana w pliku error_save_Testowy jednak";
};

bool died(int status) { return status != 0; }

TEST_F(CrashDeathTest, AFaultKeepsTheHero) {
    EXPECT_EXIT(playAndDie([] { *static_cast<volatile int*>(nullptr) = 1; }), died, Kept);
    expectTheHeroKept();
}

TEST_F(CrashDeathTest, TerminateKeepsTheHero) {
    EXPECT_EXIT(playAndDie([] { std::terminate(); }), died, Kept);
    expectTheHeroKept();
}

TEST_F(CrashDeathTest, AbortKeepsTheHero) {
    EXPECT_EXIT(playAndDie([] { std::abort(); }), died, Kept);
    expectTheHeroKept();
}

TEST_F(CrashDeathTest, AStackOverflowKeepsTheHero) {
    EXPECT_EXIT(playAndDie([] { overflowTheStack(0); }), died, Kept);
    expectTheHeroKept();
}

TEST_F(CrashDeathTest, ACrashSaveThatCannotBeWrittenSaysSo) {
    std::filesystem::create_directory("error_save_Testowy");  // in the way of the crash save
    EXPECT_EXIT(playAndDie([] { std::terminate(); }), died, "Nie mozna zapisac gry!");
    EXPECT_TRUE(std::filesystem::is_directory("error_save_Testowy"));
}

}  // namespace
}  // namespace kelvrin::test

#endif  // _WIN32
