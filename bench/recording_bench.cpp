// What recording a game costs: one game of about 10,000 keys (heroes made,
// walked through the first dungeon level, in fights, trained, rested at
// the inn, saved and loaded again many times) on the scripted console,
// played plain and recorded to a file as `kelvrin --seed 5 --record` does,
// and that recording replayed at once, as `kelvrin --replay FILE --speed 0`
// does on a pipe. KELVRIN_BENCH_RECORDING=FILE keeps a copy of the
// recording, to time the real game replaying it and to see its size.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "character/feat_screens.h"
#include "character/program.h"
#include "core/binary_file.h"
#include "core/clock.h"
#include "core/console.h"
#include "core/crash_save.h"
#include "core/game_state.h"
#include "core/hero_lock.h"
#include "core/random.h"
#include "core/recording/session.h"
#include "platform/scripted_backend.h"
#include "platform/stream_backend.h"

namespace {

using namespace kelvrin;

constexpr std::uint32_t Seed = 5;  // the clock of `kelvrin --seed 5`
constexpr std::size_t GameKeys = 10000;
constexpr int StepsBetweenSaves = 150;

// Each game in an empty folder of its own (its saves, graveyard, lock
// files and recording), removed after it: every game starts alike.
class GameFolder {
public:
    GameFolder() : before_(std::filesystem::current_path()) {
        char name[] = "/tmp/kelvrin-bench-XXXXXX";
        path_ = mkdtemp(name);
        std::filesystem::current_path(path_);
    }
    ~GameFolder() {
        std::filesystem::current_path(before_);
        std::filesystem::remove_all(path_);
    }
    GameFolder(const GameFolder&) = delete;
    GameFolder& operator=(const GameFolder&) = delete;

private:
    std::filesystem::path before_, path_;
};

// The game's state as a new process starts it.
void newGame() {
    hero = Hero{};
    world = WorldState{};
    showAllFeats = false;
}

// One game on the scripted console with the clock of `--seed 5`, recorded
// in the file `recordTo` when it is given, wired as the game's start-up
// wires it; false when the input ended before the game or the recording
// stopped.
bool playGame(ScriptedBackend& screen, const char* recordTo = nullptr) {
    RecordingSession recording;
    std::string error;
    if (recordTo != nullptr && !recording.open(recordTo, error)) return false;
    setClockSource(recording.clock(seededClock(Seed)));
    recording.wrapFiles(systemFileAnswers());
    newGame();
    seedRandom(static_cast<std::uint32_t>(nowSeconds()));
    setBackend(&recording.wrap(screen, Seed));
    bool ended = true;
    try {
        runProgram();
    } catch (const EndOfInput&) {
        ended = false;
        endGameInProgress();
    }
    recording.finish();
    releaseHeroLock();
    setBackend(nullptr);
    recording.releaseConsole();
    setFileAnswers(nullptr);
    setClockSource({});
    return ended && recording.failure().empty();
}

// A player who reads each screen and answers it: makes a hero (the first
// choice of everything), goes down to the dungeon and walks at random,
// fights every fight and flees at half his Pw, leaves the loot, goes back
// up the way he came to train in the barracks or rest at the inn, saves
// and loads the hero every StepsBetweenSaves steps, and after GameKeys
// keys saves and leaves. A dead hero is made anew.
class Player {
public:
    explicit Player(ScriptedBackend& screen) : screen_(screen) {}

    int next() {
        if (pending_.empty()) answer(screen_.screenText());
        const int key = pending_.front();
        pending_.pop_front();
        keys_.push_back(key);
        return key;
    }
    const std::vector<int>& keys() const { return keys_; }

private:
    struct Square {
        int x = 0, y = 0;
        bool operator==(const Square&) const = default;
    };

    void type(std::string_view text) { pending_.insert(pending_.end(), text.begin(), text.end()); }

    // The hero's square on the dungeon's overview (columns 50-69, rows 1-20).
    Square heroSquare() const {
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                if (screen_.charAt(y + 1, x + 50) == U'O') return {x, y};
        return {};
    }

    bool canTrain() const { return hero.xp >= hero.xpNext; }
    // Hurt, not yet rested in this visit to the town, and gold enough for a
    // whole rest (at most one piece for each Pw).
    bool canRest() const { return hero.hp < hero.maxHp && hero.gold >= hero.maxHp && !rested_; }
    // Back to the town, to train, or to rest at three quarters of the Pw.
    bool wantsTown() const { return canTrain() || (canRest() && 4 * hero.hp < 3 * hero.maxHp); }

    // A step in the dungeon. The way from the stairs is kept (without its
    // loops), to climb them again when the hero wants the town.
    void walk() {
        const Square at = heroSquare();
        const auto seen = std::find(trail_.begin(), trail_.end(), at);
        if (seen != trail_.end()) {
            trail_.erase(seen + 1, trail_.end());
        } else {
            trail_.push_back(at);
        }
        if (keys_.size() >= GameKeys || ++steps_ > StepsBetweenSaves) {
            type("q");
        } else if (!wantsTown()) {
            const int arrows[] = {KeyUp, KeyDown, KeyLeft, KeyRight};
            pending_.push_back(arrows[pick_() % 4]);
        } else if (trail_.size() == 1) {
            type("u");
        } else {
            const Square to = trail_[trail_.size() - 2];
            pending_.push_back(to.x < at.x ? KeyLeft : to.x > at.x ? KeyRight : to.y < at.y ? KeyUp : KeyDown);
        }
    }

    void answer(const std::string& text) {
        const auto shows = [&text](const char* words) { return text.find(words) != std::string::npos; };
        const bool done = keys_.size() >= GameKeys;
        if (keys_.size() > 2 * GameKeys) {
            pending_.push_back(KeyEnd);  // lost: the benchmark says so
        } else if (shows("Kelvrin v 0.2\n\n1. Graj")) {
            type(done ? "0" : "1");
        } else if (shows("Podaj swoje imię śmiałku:")) {
            type("Ala\n");
        } else if (shows("-- dalej --")) {
            type(" ");
        } else if (shows("Czy chcesz zapisać grę?")) {
            steps_ = 0;
            type("t");
        } else if (shows("Czy chcesz zaatakować?")) {
            type("t");
        } else if (shows("Co chcesz zrobić (liczba - podnieś")) {
            type("w\n");
        } else if (shows("(ok)")) {
            type(" ");
        } else if (shows("komendy:afuec")) {
            type(2 * hero.hp < hero.maxHp ? "u" : "f");
        } else if (shows("Ruch - strzałki, s - statystki")) {
            rested_ = false;
            walk();
        } else if (shows("Jesteś w mieście.")) {
            type(done ? "q" : canTrain() ? "b" : canRest() ? "g" : "w");
        } else if (shows("Gdzie chcesz iść:")) {
            const bool toTown = canTrain() || canRest();
            if (!toTown) trail_.clear();  // down the stairs anew
            type(toTown ? "m" : "p");
        } else if (shows("BARAKI")) {
            type(canTrain() ? "t" : "w");
        } else if (shows("Wybierz atrybut który chcesz trenować.")) {
            type("s");
        } else if (shows("Czy chcesz odpoczywać")) {
            type("t");
        } else if (shows("Ile dni chcesz odpoczywać:")) {
            type("-1\n");
        } else if (shows("GOSPODA")) {
            type(canRest() ? "o" : "w");
            rested_ = true;
        } else if (shows("Czy chcesz grać jako") || shows("t - ok, n - anuluj, r - przerzuć cechy")) {
            type("t");
        } else if (shows("w - wybierz, inny - anuluj")) {
            type("w");
        } else if (shows("liczba - wybierz, n - anuluj, c - cofnij.")) {
            type("1");
        } else if (shows("liczba - wybór")) {
            type("1\n");
        } else if (shows("Zmiana:")) {
            type("0\n");
        } else {
            type(" ");  // the graveyard, a level gained, a message without "(ok)"
        }
    }

    ScriptedBackend& screen_;
    std::deque<int> pending_;
    std::vector<int> keys_;
    std::vector<Square> trail_;  // from the stairs down to the hero
    std::mt19937 pick_{Seed};
    int steps_ = 0;
    bool rested_ = false;  // in this visit to the town
};

// The scripted console as a pipe is: no "-- dalej --" pauses.
std::unique_ptr<ScriptedBackend> newScreen() {
    auto screen = std::make_unique<ScriptedBackend>();
    screen->setPaging(false);
    return screen;
}

// The game's keys, chosen once by the player; the benchmarks type them, so
// the player's reading of the screens is never timed. Empty if he got lost.
const std::vector<int>& gameKeys() {
    static const std::vector<int> keys = [] {
        const GameFolder folder;
        const std::unique_ptr<ScriptedBackend> screen = newScreen();
        Player player(*screen);
        screen->setKeySource([&player] { return player.next(); });
        return playGame(*screen) ? player.keys() : std::vector<int>{};
    }();
    return keys;
}

// The game's keys played, recorded or not: the CPU time per key.
void playKeys(benchmark::State& state, bool recorded) {
    const std::vector<int>& keys = gameKeys();
    long played = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto folder = std::make_unique<GameFolder>();
        const std::unique_ptr<ScriptedBackend> screen = newScreen();
        for (const int key : keys) screen->press(key);
        state.ResumeTiming();
        const bool ended = playGame(*screen, recorded ? "game.rec" : nullptr);
        state.PauseTiming();
        if (!ended || static_cast<std::size_t>(screen->keysRead()) != keys.size())
            state.SkipWithError("the keys did not play the game they were chosen in");
        played += screen->keysRead();
        folder.reset();
        state.ResumeTiming();
    }
    state.counters["keys"] = static_cast<double>(keys.size());
    state.counters["CPU/key"] =
        benchmark::Counter(static_cast<double>(played), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void PlainGame(benchmark::State& state) { playKeys(state, false); }
void RecordedGame(benchmark::State& state) { playKeys(state, true); }
BENCHMARK(PlainGame)->Unit(benchmark::kMillisecond);
BENCHMARK(RecordedGame)->Unit(benchmark::kMillisecond);

// The recording of the game, made once (and copied to
// KELVRIN_BENCH_RECORDING, once its folder is gone, if that is set).
const std::string& recordingText() {
    static const std::string text = [] {
        std::ostringstream read;
        {
            const GameFolder folder;
            const std::unique_ptr<ScriptedBackend> screen = newScreen();
            for (const int key : gameKeys()) screen->press(key);
            playGame(*screen, "game.rec");
            read << std::ifstream("game.rec", std::ios::binary).rdbuf();
        }
        const char* keep = std::getenv("KELVRIN_BENCH_RECORDING");
        if (keep != nullptr) std::ofstream(keep, std::ios::binary) << read.str();
        return read.str();
    }();
    return text;
}

// The recording read and replayed with every check compared, the game's
// output on a stream to /dev/null.
void ReplayedGame(benchmark::State& state) {
    const std::string& text = recordingText();
    const int nowhere = open("/dev/null", O_RDWR);
    for (auto _ : state) {
        std::string error;
        std::optional<Recording> recording = parseRecording(text, error);
        if (!recording) {
            state.SkipWithError(("the recording cannot be read: " + error).c_str());
            break;
        }
        StreamBackend screen(nowhere, nowhere);
        ReplayOptions options;
        options.speed = 0;
        RecordingSession notAnew;
        ReplaySession session(std::move(*recording), options, screen, notAnew);
        setBackend(&session.console());
        session.play([] {
            newGame();
            runProgram();
        });
        setBackend(nullptr);
        const std::string verdict = session.replay().verdict();
        if (session.replay().exitStatus() != 0) state.SkipWithError(verdict.c_str());
    }
    close(nowhere);
    state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(ReplayedGame)->Unit(benchmark::kMillisecond);

}  // namespace
