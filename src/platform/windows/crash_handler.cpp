// The crash handler on Windows, where signals are not how a program ends:
// - a console control event (Ctrl-C, Ctrl-Break, the console window closed,
//   log-off, shutdown) runs its handler on a thread of its own while the
//   game's thread goes on, so it writes the copy of the hero the game kept
//   at its last wait for input, never one half-changed;
// - an unhandled fault, std::terminate and abort run on the thread that
//   failed, stopped there, so they write the live hero, as a POSIX signal
//   does. A stack overflow leaves that thread only the stack reserved for
//   the filter (SetThreadStackGuarantee), so its crash path runs on a fresh
//   thread while the failed one waits.
// Every way gives the console back first (the backend's restoreAfterCrash),
// then writes the crash save and prints the message; a fault also shows it
// in a message box, which may fail at once (no desktop): the console line
// never depends on it. The process then ends at once, with no clean-up that
// could trip over what the fault left behind.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "platform/windows/crash_handler.h"

#include <atomic>
#include <csignal>
#include <cstring>
#include <exception>

#include "platform/backend.h"
#include "platform/crash_handler.h"
#include "platform/interrupt.h"

namespace kelvrin {

namespace {

constexpr std::size_t MessageCapacity = 512;
// Stack kept for the unhandled-exception filter after a stack overflow.
constexpr ULONG FilterStack = 64 * 1024;
// The crash path's own thread after a stack overflow.
constexpr SIZE_T CrashThreadStack = 256 * 1024;
// How long a crash path waits for another one (or for the game's thread
// changing what the crash path reads) before it goes on regardless.
constexpr ULONGLONG CrashLockWaitMs = 5000;
// The status abort ends a program with.
constexpr UINT AbortStatus = 3;

// A message in the two forms the crash path may need: UTF-16 for the
// console and the message box, UTF-8 for a redirected standard error (the
// bytes the Linux game writes).
struct Report {
    char utf8[MessageCapacity];
    std::size_t utf8Length = 0;
    wchar_t wide[MessageCapacity];
    DWORD wideLength = 0;
};

// Both reports and the console are read by the crash path and written by
// the game's thread only under crashLock. The crash path holds it while it
// runs, so two ways out at once (a closed window during a fault) follow one
// another instead of writing the same file together.
SRWLOCK crashLock = SRWLOCK_INIT;
Report writtenReport;
Report failedReport;
Backend* crashConsole = nullptr;

std::atomic<CrashSaveOutcome (*)(CrashSource)> saveHook{nullptr};
std::atomic<void (*)()> leavePlayHook{nullptr};
std::atomic<void (*)()> keepHook{nullptr};

// The thread running the crash path: a fault there ends the process at
// once instead of waiting for itself.
std::atomic<DWORD> crashThread{0};

[[noreturn]] void endProcess(UINT status) {
    TerminateProcess(GetCurrentProcess(), status);
    ExitProcess(status);  // only if the above could not end the process
}

class GameThreadLock {
public:
    GameThreadLock() { AcquireSRWLockExclusive(&crashLock); }
    ~GameThreadLock() { ReleaseSRWLockExclusive(&crashLock); }
    GameThreadLock(const GameThreadLock&) = delete;
    GameThreadLock& operator=(const GameThreadLock&) = delete;
};

// Takes crashLock for the crash path, or gives up after a while: whatever
// holds it then is stuck, and the process must end anyway.
bool lockForCrash() {
    const ULONGLONG deadline = GetTickCount64() + CrashLockWaitMs;
    for (;;) {
        if (TryAcquireSRWLockExclusive(&crashLock)) return true;
        if (GetTickCount64() >= deadline) return false;
        Sleep(1);
    }
}

bool prepare(std::string_view utf8, Report& report) {
    if (utf8.size() > MessageCapacity) return false;
    int wide = 0;
    if (!utf8.empty()) {
        // A byte that is no UTF-8 becomes U+FFFD: a garbled letter in the
        // message is better than no crash save.
        wide = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                   report.wide, static_cast<int>(MessageCapacity) - 1);
        if (wide <= 0) return false;
    }
    report.wide[wide] = L'\0';
    report.wideLength = static_cast<DWORD>(wide);
    std::memcpy(report.utf8, utf8.data(), utf8.size());
    report.utf8Length = utf8.size();
    return true;
}

// To the console as UTF-16, whatever its code page; to a file or a pipe as
// UTF-8. A closed console takes nothing, and nobody is left to tell.
void writeReport(const Report& report) {
    const HANDLE out = GetStdHandle(STD_ERROR_HANDLE);
    if (out == nullptr || out == INVALID_HANDLE_VALUE) return;
    DWORD mode = 0;
    if (GetConsoleMode(out, &mode)) {
        const wchar_t* text = report.wide;
        DWORD left = report.wideLength;
        while (left > 0) {
            DWORD done = 0;
            if (!WriteConsoleW(out, text, left, &done, nullptr) || done == 0) return;
            text += done;
            left -= done;
        }
    } else {
        const char* bytes = report.utf8;
        DWORD left = static_cast<DWORD>(report.utf8Length);
        while (left > 0) {
            DWORD done = 0;
            if (!WriteFile(out, bytes, left, &done, nullptr) || done == 0) return;
            bytes += done;
            left -= done;
        }
    }
}

// The message box of the game's crash: no owner window, no caption, task
// modal, an error icon. user32 is loaded only now: a console program that
// has it loaded is no longer told of log-off and shutdown.
void showBox(const Report& report) {
    wchar_t text[MessageCapacity];
    DWORD length = report.wideLength;
    while (length > 0 && (report.wide[length - 1] == L'\n' || report.wide[length - 1] == L'\r')) --length;
    std::memcpy(text, report.wide, length * sizeof(wchar_t));
    text[length] = L'\0';
    const HMODULE user = LoadLibraryW(L"user32.dll");
    if (user == nullptr) return;
    const FARPROC found = GetProcAddress(user, "MessageBoxW");
    if (found == nullptr) return;
    using MessageBoxFunction = int(WINAPI*)(HWND, LPCWSTR, LPCWSTR, UINT);
    const auto messageBox = reinterpret_cast<MessageBoxFunction>(reinterpret_cast<void (*)()>(found));
    messageBox(nullptr, text, nullptr, MB_TASKMODAL | MB_ICONERROR);
}

// The crash path: the console back, the crash save, the message.
CrashSaveOutcome handleCrash(CrashSource source, bool withBox) {
    const bool locked = lockForCrash();
    crashThread = GetCurrentThreadId();
    if (Backend* console = crashConsole) console->restoreAfterCrash();
    CrashSaveOutcome outcome = CrashSaveOutcome::NoGame;
    if (const auto save = saveHook.load()) outcome = save(source);
    if (const auto leave = leavePlayHook.load()) leave();
    if (outcome != CrashSaveOutcome::NoGame) {
        const Report& report = outcome == CrashSaveOutcome::Written ? writtenReport : failedReport;
        writeReport(report);
        if (withBox) showBox(report);
    }
    crashThread = 0;
    if (locked) ReleaseSRWLockExclusive(&crashLock);
    return outcome;
}

// A fault, std::terminate or abort on the thread that ran into it.
[[noreturn]] void crashAndEnd(UINT status) {
    if (crashThread == GetCurrentThreadId()) endProcess(status);  // the crash path itself failed
    handleCrash(CrashSource::LiveHero, true);
    endProcess(status);
}

DWORD WINAPI crashOnFreshStack(LPVOID) {
    handleCrash(CrashSource::LiveHero, true);
    return 0;
}

LONG WINAPI onUnhandledException(EXCEPTION_POINTERS* info) {
    const UINT status = info != nullptr && info->ExceptionRecord != nullptr
                            ? static_cast<UINT>(info->ExceptionRecord->ExceptionCode)
                            : AbortStatus;
    if (crashThread == GetCurrentThreadId()) endProcess(status);
    if (status == static_cast<UINT>(EXCEPTION_STACK_OVERFLOW)) {
        // This thread, stopped here, keeps the hero as the fault found him.
        if (const HANDLE helper = CreateThread(nullptr, CrashThreadStack, crashOnFreshStack, nullptr, 0, nullptr)) {
            WaitForSingleObject(helper, INFINITE);
            endProcess(status);
        }
    }
    crashAndEnd(status);
}

[[noreturn]] void onTerminate() { crashAndEnd(AbortStatus); }

void onAbort(int) { crashAndEnd(AbortStatus); }

BOOL WINAPI onConsoleControl(DWORD event) {
    if (!answerConsoleControl(event)) return FALSE;
    endProcess(STATUS_CONTROL_C_EXIT);
}

}  // namespace

void installCrashHandlers() {
    ULONG reserve = FilterStack;
    SetThreadStackGuarantee(&reserve);
    SetUnhandledExceptionFilter(onUnhandledException);
    std::set_terminate(onTerminate);
    std::signal(SIGABRT, onAbort);
    SetConsoleCtrlHandler(onConsoleControl, TRUE);
    // A Ctrl-C that the console hands over as a key ends the game as the
    // control event does.
    setInterruptHandler([] { endByConsoleControl(CTRL_C_EVENT); });
}

void setCrashHooks(const CrashHooks& hooks) {
    saveHook = hooks.save;
    keepHook = hooks.keepCopy;
    leavePlayHook = hooks.leavePlay;
}

void setCrashConsole(Backend* console) {
    const GameThreadLock lock;
    crashConsole = console;
}

void gameWaitsForInput() {
    if (const auto keep = keepHook.load()) keep();
}

bool prepareCrashReport(std::string_view written, std::string_view failed) {
    const GameThreadLock lock;
    return prepare(written, writtenReport) && prepare(failed, failedReport);
}

void reportCrashSave(bool written) {
    const GameThreadLock lock;
    writeReport(written ? writtenReport : failedReport);
}

bool answerConsoleControl(unsigned long event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
        case CTRL_CLOSE_EVENT:
        case CTRL_LOGOFF_EVENT:
        case CTRL_SHUTDOWN_EVENT:
            break;
        default:
            return false;
    }
    handleCrash(CrashSource::KeptCopy, false);
    return true;
}

void endByConsoleControl(unsigned long event) {
    answerConsoleControl(event);
    endProcess(STATUS_CONTROL_C_EXIT);
}

}  // namespace kelvrin
