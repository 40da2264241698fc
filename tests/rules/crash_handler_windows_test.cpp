// The Windows crash handler: its answer to a console control event on a thread of its own, as Windows
// calls it (wine never sends a closed window); and each way a program dies, in a process of its own.
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

class CrashHandlerWindowsTest : public GameTest {
protected:
    void TearDown() override {
        endGameInProgress();
        setCrashHooks({});
        setBackend(&screen);
        GameTest::TearDown();
    }
    static std::optional<LoadedGame> crashSave() {
        return decodeSave(readBytes("error_save_Testowy"), Hero{}, WorldState{});
    }
};

TEST_F(CrashHandlerWindowsTest, AClosedWindowKeepsTheHeroOfTheLastKeyWaitAndGivesTheConsoleBack) {
    struct RestoringConsole : ScriptedBackend {
        void restoreAfterCrash() override { ++restored; }
        int restored = 0;
    } console;
    const auto answerOnItsOwnThread = [](unsigned long event) {  // as Windows does
        bool answered = false;
        std::thread([&] { answered = answerConsoleControl(event); }).join();
        return answered;
    };
    makeTestHero();
    setBackend(&console);
    setCrashHooks({crashSaveHook, keepCrashCopy});
    beginGameInProgress();
    hero.gold = 150;
    console.type("x");
    getKey({});       // the game waits for a key: the copy is kept
    hero.gold = 200;  // and the game's thread is changing the hero again
    testing::internal::CaptureStderr();
    EXPECT_TRUE(answerOnItsOwnThread(CTRL_CLOSE_EVENT));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Wystąpił błąd gry, została ona zapisana w pliku error_save_Testowy jednak może nie działać "
              "poprawnie.\n");
    EXPECT_EQ(std::tuple(console.restored, gameInProgress(), crashSave().value_or(LoadedGame{}).hero.gold),
              std::tuple(1, false, 150));

    // Outside a game Ctrl-C only gives the console back; an unknown event is left to the system.
    ASSERT_TRUE(DeleteFileW(L"error_save_Testowy"));
    testing::internal::CaptureStderr();
    const bool answered = answerOnItsOwnThread(CTRL_C_EVENT);
    EXPECT_EQ(std::tuple(answered, testing::internal::GetCapturedStderr(), console.restored,
                         GetFileAttributesW(L"error_save_Testowy")),
              std::tuple(true, "", 2, INVALID_FILE_ATTRIBUTES));
    EXPECT_FALSE(answerOnItsOwnThread(7));
}

// Overflows any stack; the array keeps the recursion from becoming a loop, the flag from being endless.
volatile bool deeper = true;
int overflowTheStack(int depth) {
    volatile char frame[4096];
    frame[0] = static_cast<char>(depth);
    if (!deeper) return frame[0];
    return overflowTheStack(depth + 1) + frame[0];
}

constexpr const wchar_t* FolderVariable = L"KELVRIN_CRASH_FOLDER";

// In the dying process (this program run again up to the death): a game in the first one's folder.
void playAndDie(void (*crash)()) {
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

bool died(int status) { return status != 0; }

// Each death mid-game keeps the hero in the crash save and says where (the message box after it fails
// at once under headless wine); a folder in its way is told. Each crash save is taken away first, so
// the hero found is that death's; a dying process runs the earlier turns of the loop without dying.
using CrashDeathTest = CrashHandlerWindowsTest;
TEST_F(CrashDeathTest, EachDeathKeepsTheHeroOrSaysItCouldNot) {
    if (GetEnvironmentVariableW(FolderVariable, nullptr, 0) == 0)  // kept in the dying process
        SetEnvironmentVariableW(FolderVariable, std::filesystem::current_path().c_str());
    const struct { const char* what; void (*crash)(); } deaths[] = {
        {"a fault", [] { *static_cast<volatile int*>(nullptr) = 1; }},
        {"terminate", [] { std::terminate(); }},
        {"abort", [] { std::abort(); }},
        {"a stack overflow", [] { overflowTheStack(0); }},
    };
    std::error_code ignored;
    for (const auto& death : deaths) {
        SCOPED_TRACE(death.what);
        std::filesystem::remove("error_save_Testowy", ignored);
        EXPECT_EXIT(playAndDie(death.crash), died, "zapisana w pliku error_save_Testowy jednak");
        EXPECT_EQ(crashSave().value_or(LoadedGame{}).hero.gold, 4321);  // no ASSERT: the dying process goes on
    }
    std::filesystem::remove("error_save_Testowy", ignored);
    std::filesystem::create_directory("error_save_Testowy");
    EXPECT_EXIT(playAndDie([] { std::terminate(); }), died, "Nie mozna zapisac gry!");
    EXPECT_TRUE(std::filesystem::is_directory("error_save_Testowy"));
    SetEnvironmentVariableW(FolderVariable, nullptr);
}

}  // namespace
}  // namespace kelvrin::test

#endif  // _WIN32
