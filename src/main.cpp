// Kelvrin: a text role-playing game. Start-up in the order the game has
// always done it (crash handling, the user's locale, the random seed, the
// console), then the main menu. The command line adds a recording of the
// game, a replay of one, and seeded games.
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "character/program.h"
#include "core/clock.h"
#include "core/command_line.h"
#include "core/console.h"
#include "core/crash_save.h"
#include "core/hero_lock.h"
#include "core/random.h"
#include "core/recording/screen_transcript.h"
#include "core/recording/session.h"
#include "platform/arguments.h"
#include "platform/cast_backend.h"
#include "platform/crash_handler.h"
#include "platform/make_backend.h"

namespace kelvrin {

namespace {

void selectLocale() {
    std::setlocale(LC_ALL, "");
    // Numbers keep the C form ("0.5", not "0,5" in a Polish locale).
    std::setlocale(LC_NUMERIC, "C");
}

// Opens the file of --record; false, with the message on the standard
// error, when it cannot be.
bool openRecording(RecordingSession& recording, const std::string& path) {
    std::string error;
    if (recording.open(path, error)) return true;
    std::fprintf(stderr, "kelvrin: cannot record in %s: %s\n", path.c_str(), error.c_str());
    return false;
}

void reportRecordingFailure(const RecordingSession& recording) {
    if (const std::string failure = recording.failure(); !failure.empty())
        std::fprintf(stderr, "kelvrin: %s\n", failure.c_str());
}

int playGame(const CommandLine& line) {
    installCrashHandlers();
    setCrashHooks({crashSaveHook, keepCrashCopy, removeHeroLockAfterCrash, keptCrashSave});
    selectLocale();

    RecordingSession recording;
    if (line.record && !openRecording(recording, *line.record)) return 1;
    const std::optional<std::uint32_t> seed = line.daily ? dailySeed(systemSeconds()) : line.seed;
    if (seed || line.record) setClockSource(recording.clock(seed ? seededClock(*seed) : systemSeconds));
    recording.wrapFiles(systemFileAnswers());
    seedRandom(static_cast<std::uint32_t>(nowSeconds()));

    // A terminal smaller than 80×25 is told so before the first screen
    // (and after any change of size that leaves it small); the game runs
    // at any size.
    setScreenReader(line.screenReader);
    auto console = makeBackend(line.screenReader);
    setBackend(&recording.wrap(*console, seed));

    int status = 0;
    bool gameLeftBehind = false;
    try {
        status = runProgram();
    } catch (const EndOfInput&) {
        // The input is closed (a closed pipe or terminal): end quietly, but
        // a game in progress is kept in the crash save.
        gameLeftBehind = gameInProgress();
    }
    recording.finish();
    if (gameLeftBehind) {
        const bool written = writeCrashSave();
        endGameInProgress();
        // The terminal goes back to the shell first, so the message stays
        // on the screen.
        setBackend(nullptr);
        recording.releaseConsole();
        console.reset();
        reportCrashSave(written);
    }
    // A hero still in play (the input ended) leaves it now, his lock file
    // with him.
    releaseHeroLock();
    // The crash handler lets go of the console before it is destroyed.
    setBackend(nullptr);
    recording.releaseConsole();
    console.reset();
    reportRecordingFailure(recording);
    return status;
}

int replayGame(const CommandLine& line) {
    const std::string& path = *line.replay;
    std::string error;
    std::optional<Recording> recording;
    // Through the system's own answers: nothing is recorded or replayed yet.
    const FileContents file = systemFileAnswers().read(path, MaxRecordingBytes);
    if (file.status == ReadStatus::Ok) {
        recording = parseRecording(std::string_view(reinterpret_cast<const char*>(file.bytes.data()), file.bytes.size()),
                                   error);
    } else {
        error = file.status == ReadStatus::Missing    ? "no such file"
                : file.status == ReadStatus::TooLarge ? "the file is larger than any recording"
                                                      : "it cannot be read";
    }
    if (!recording) {
        std::fprintf(stderr, "kelvrin: cannot replay %s: %s\n", path.c_str(), error.c_str());
        return 1;
    }
    if (recording->header.gameVersion != KELVRIN_VERSION)
        std::fprintf(stderr, "kelvrin: warning: %s was recorded by version %s of the game, this is %s\n", path.c_str(),
                     recording->header.gameVersion.c_str(), KELVRIN_VERSION);

    // Ctrl-C gives the terminal back and ends the replay; there is no crash
    // save to write and no lock to remove.
    installCrashHandlers();
    RecordingSession anew;
    if (line.record && !openRecording(anew, *line.record)) return 1;
    selectLocale();

    const WindowState start = recording->header.window;
    setScreenReader(recording->header.screenReader);
    std::unique_ptr<Backend> screen;
    CastBackend* cast = nullptr;
    std::optional<ScreenTranscript> transcript;
    if (line.asciicast) {
        auto castScreen = std::make_unique<CastBackend>(start.columns, start.rows);
        cast = castScreen.get();
        screen = std::move(castScreen);
    } else if (line.screens) {
        transcript.emplace(start.columns, start.rows);
    } else {
        screen = makeBackend(recording->header.screenReader);
    }
    ReplayOptions options;
    options.speed = line.speed.value_or(1.0);
    options.compareChecks = !line.record;
    int status = 1;
    {
        ReplaySession session(std::move(*recording), options, transcript ? transcript->screen() : *screen, anew);
        Replay& replay = session.replay();
        if (cast) {
            replay.setOnInput([cast](const RecordingEvent& input) { cast->at(input.time); });
            replay.setOnWindow([cast](const WindowState& window) { cast->resize(window.columns, window.rows); });
        }
        if (transcript) {
            replay.setOnInput([&transcript](const RecordingEvent& input) { transcript->before(input); });
            replay.setOnWindow([&transcript](const WindowState& w) { transcript->resize(w.columns, w.rows); });
        }
        setBackend(&session.console());
        session.play([] { runProgram(); });
        setBackend(nullptr);
        anew.releaseConsole();
        status = replay.exitStatus();
        if (cast || transcript) {
            const std::string text = cast ? cast->finish() : transcript->finish();
            const std::string& out = cast ? *line.asciicast : *line.screens;
            // Past the replay's answers, which keep every write in memory.
            if (!systemFileAnswers().write(out, std::vector<unsigned char>(text.begin(), text.end()))) {
                std::fprintf(stderr, "kelvrin: cannot write %s\n", out.c_str());
                status = 1;
            }
        }
        screen.reset();
        std::fprintf(stderr, "kelvrin: replay of %s: %s\n", path.c_str(), replay.verdict().c_str());
    }
    reportRecordingFailure(anew);
    return status;
}

}  // namespace

}  // namespace kelvrin

int main(int argc, char** argv) {
    using namespace kelvrin;
    std::string error;
    const std::optional<CommandLine> line = parseCommandLine(commandLineArguments(argc, argv), error);
    if (!line) {
        std::fprintf(stderr, "kelvrin: %s\n%s", error.c_str(), usageText().c_str());
        return 2;
    }
    if (line->help) {
        std::fputs(usageText().c_str(), stdout);
        return 0;
    }
    if (line->version) {
        std::fputs(versionText().c_str(), stdout);
        return 0;
    }
    return line->replay ? replayGame(*line) : playGame(*line);
}
