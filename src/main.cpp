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
#include "core/recording/recorder.h"
#include "core/recording/replayer.h"
#include "platform/arguments.h"
#include "platform/cast_backend.h"
#include "platform/crash_handler.h"
#include "platform/file_system.h"
#include "platform/make_backend.h"

namespace kelvrin {

namespace {

void selectLocale() {
    std::setlocale(LC_ALL, "");
    // Numbers keep the C form ("0.5", not "0,5" in a Polish locale).
    std::setlocale(LC_NUMERIC, "C");
}

// A recording made as the game is played: the file first (refused before
// anything is shown), then the wrappers around the console, the folder and
// the clock.
struct LiveRecording {
    std::unique_ptr<Recorder> recorder;
    std::unique_ptr<RecordingFiles> files;
    std::unique_ptr<RecordingBackend> console;

    // Opens the file; false, with the message on the standard error, when
    // it cannot be.
    bool open(const std::string& path) {
        std::string error;
        recorder = Recorder::create(path, error);
        if (!recorder) std::fprintf(stderr, "kelvrin: cannot record in %s: %s\n", path.c_str(), error.c_str());
        return recorder != nullptr;
    }
    std::function<std::int64_t()> clock(std::function<std::int64_t()> source) {
        return recorder ? recordedClock(*recorder, std::move(source)) : source;
    }
    void wrapFiles(FileAnswers& inner) {
        if (!recorder) return;
        files = std::make_unique<RecordingFiles>(inner, *recorder);
        setFileAnswers(files.get());
    }
    // The console the game is given.
    Backend* wrap(Backend& inner, std::optional<std::uint32_t> seed) {
        if (!recorder) return &inner;
        RecordingHeader header;
        header.gameVersion = KELVRIN_VERSION;
        header.mode = inner.interactive() ? "terminal" : "stream";
        header.seed = seed;
        header.window = windowOf(inner);
        recorder->start(header);
        console = std::make_unique<RecordingBackend>(inner, *recorder);
        return console.get();
    }
    void finish() {
        if (recorder) recorder->finish(console->lastCheck());
    }
    void reportFailure() const {
        if (recorder && !recorder->failure().empty()) std::fprintf(stderr, "kelvrin: %s\n", recorder->failure().c_str());
    }
};

int playGame(const CommandLine& line) {
    installCrashHandlers();
    setCrashHooks({crashSaveHook, keepCrashCopy, removeHeroLockAfterCrash, keptCrashSave});
    selectLocale();

    LiveRecording recording;
    if (line.record && !recording.open(*line.record)) return 1;
    const std::optional<std::uint32_t> seed = line.daily ? dailySeed(systemSeconds()) : line.seed;
    if (seed || line.record) setClockSource(recording.clock(seed ? seededClock(*seed) : systemSeconds));
    recording.wrapFiles(systemFileAnswers());
    seedRandom(static_cast<std::uint32_t>(nowSeconds()));

    // A terminal smaller than 80×25 is told so before the first screen
    // (and after any change of size that leaves it small); the game runs
    // at any size.
    auto console = makeBackend();
    setBackend(recording.wrap(*console, seed));

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
        recording.console.reset();
        console.reset();
        reportCrashSave(written);
    }
    // A hero still in play (the input ended) leaves it now, his lock file
    // with him.
    releaseHeroLock();
    // The crash handler lets go of the console before it is destroyed.
    setBackend(nullptr);
    recording.console.reset();
    console.reset();
    recording.reportFailure();
    return status;
}

// The whole recording, read through the system's files (its name may hold
// any letters); nullopt with the reason.
std::optional<std::string> readRecordingFile(const std::string& path, std::string& error) {
    const FileOperations& files = systemFileOperations();
    if (!files.exists(path.c_str())) {
        error = "no such file";
        return std::nullopt;
    }
    const int fd = files.openForReading(path.c_str());
    if (fd < 0) {
        error = "it cannot be read";
        return std::nullopt;
    }
    std::string text;
    char buffer[65536];
    for (;;) {
        const long done = files.read(fd, buffer, sizeof buffer);
        if (done <= 0) {
            files.close(fd);
            if (done == 0) return text;
            error = "it cannot be read";
            return std::nullopt;
        }
        text.append(buffer, static_cast<std::size_t>(done));
        if (text.size() > MaxRecordingBytes) {
            files.close(fd);
            error = "the file is larger than any recording";
            return std::nullopt;
        }
    }
}

int replayGame(const CommandLine& line) {
    const std::string& path = *line.replay;
    std::string error;
    std::optional<Recording> recording;
    if (const std::optional<std::string> text = readRecordingFile(path, error))
        recording = parseRecording(*text, error);
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
    LiveRecording anew;
    if (line.record && !anew.open(*line.record)) return 1;
    selectLocale();

    const WindowState start = recording->header.window;
    std::unique_ptr<Backend> screen;
    CastBackend* cast = nullptr;
    if (line.asciicast) {
        auto castScreen = std::make_unique<CastBackend>(start.columns, start.rows);
        cast = castScreen.get();
        screen = std::move(castScreen);
    } else {
        screen = makeBackend();
    }
    ReplayOptions options;
    options.speed = line.speed.value_or(1.0);
    options.compareChecks = !line.record;
    const std::optional<std::uint32_t> seed = recording->header.seed;
    Replay replay(std::move(*recording), options, *screen);
    if (cast) {
        replay.setOnKey([cast](std::int64_t millis) { cast->at(millis); });
        replay.setOnWindow([cast](const WindowState& window) { cast->resize(window.columns, window.rows); });
    }
    ReplayFiles files(replay);
    setFileAnswers(&files);
    anew.wrapFiles(files);
    setClockSource(anew.clock([&replay] { return replay.clock(); }));
    ReplayBackend console(replay, *screen);
    setBackend(anew.wrap(console, seed));
    if (anew.recorder) anew.recorder->setClock([&replay] { return replay.millis(); });

    try {
        seedRandom(static_cast<std::uint32_t>(nowSeconds()));
        runProgram();
        console.gameEnded();
    } catch (const EndOfInput&) {
        // The recorded end of the input, or the replay stopped.
        if (!replay.stopped()) console.gameEnded();
    }
    if (!replay.stopped()) anew.finish();
    setBackend(nullptr);
    anew.console.reset();
    int status = replay.exitStatus();
    if (cast) {
        const std::string text = cast->finish();
        const std::string temporary = temporaryNameFor(*line.asciicast);
        if (!writeFileAtomically(line.asciicast->c_str(), temporary.c_str(),
                                 reinterpret_cast<const unsigned char*>(text.data()), text.size())) {
            std::fprintf(stderr, "kelvrin: cannot write %s\n", line.asciicast->c_str());
            status = 1;
        }
    }
    screen.reset();
    std::fprintf(stderr, "kelvrin: replay of %s: %s\n", path.c_str(), replay.verdict().c_str());
    anew.reportFailure();
    setFileAnswers(nullptr);
    setClockSource({});
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
