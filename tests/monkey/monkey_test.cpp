// Random keys through the whole program, from many seeds, under the
// sanitizers; the invariants are checked before every key is handed out.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "character/feat_screens.h"
#include "character/program.h"
#include "core/clock.h"
#include "core/console.h"
#include "core/crash_save.h"
#include "core/game_state.h"
#include "core/binary_file.h"
#include "core/hero_lock.h"
#include "core/random.h"
#include "core/save_file.h"
#include "monkey/invariants.h"
#include "platform/scripted_backend.h"
#include "support/failing_disk.h"
#include "support/temp_folder.h"

namespace kelvrin::test {
namespace {

// Every key some screen listens to, and some no screen does.
std::vector<int> monkeyKeys() {
    std::vector<int> keys;
    for (char c : std::string("0123456789abcdefghijklmnopqrstuvwxyz?+-*/ \n")) keys.push_back(c);
    for (int k : {int(KeyUp), int(KeyDown), int(KeyLeft), int(KeyRight), int(KeyEscape), int(KeyBackspace), int('T'),
                  int('N'), int('A'), int(U'ą'), int(U'Ż')})
        keys.push_back(k);
    return keys;
}

// A temporary file ("." first) left in the folder after a write.
bool temporaryFileLeft(const TempFolder& folder) {
    for (const std::string& name : folder.files())
        if (name.starts_with(".")) return true;
    return false;
}

struct MonkeyRun {
    int keys = 0;
    bool reachedAGame = false;  // a hero was made and stood in the world
    int savesChecked = 0;
    std::set<int> places;  // locations the hero stood in
    bool fought = false;
    bool crashSaveLoaded = false;  // the game left running was kept in a crash save that loads
    std::size_t shown = 0;         // a digest of everything the screen showed
    std::string failure;
};

// After every save the file must load back into the game in memory. A
// hero's file appears only by a save (and goes only by a load), and the
// first key read after a save is the main menu's, with the game still in
// memory as it was saved: so the file is checked the first time it is seen.
// Each file is remembered under its own name: a load that fails leaves the
// file on disk, and another hero may be played before that name is typed
// again.
class SaveWatcher {
public:
    std::string check(MonkeyRun& run) {
        const std::string path = saveFileName(hero.name);
        const bool exists = fileExists(path);
        bool& existed = existed_[path];
        const bool fresh = exists && !existed;
        existed = exists;
        if (!fresh) return {};
        ++run.savesChecked;
        return checkSaveImage(readBytes(path));
    }

private:
    std::map<std::string, bool> existed_;
};

MonkeyRun runMonkey(unsigned seed, int keyBudget, bool failingDisk = false) {
    // Saves, crash saves and the graveyard land in a folder of their own.
    const TempFolder folder;
    // A sound disk, or one where a file operation fails one time in four.
    const FailingDisk disk(failingDisk ? Fault::Random : Fault::None, false, seed);
    SaveWatcher saves;
    ScriptedBackend screen;
    setBackend(&screen);
    seedRandom(seed);
    setFixedClock(1300000000 + seed);
    world = WorldState{};
    hero = Hero{};
    // A setting that lasts for the whole program: every seed starts as a
    // new program does, so that a seed plays the same alone or after others.
    showAllFeats = false;

    std::mt19937 pick(seed);
    const std::vector<int> keys = monkeyKeys();
    int budget = keyBudget;
    // Three kinds of monkey, by seed: one presses anything; an explorer
    // mostly walks (arrows, the ways out of the town and into the places,
    // exploring); a fighter mostly uses the fight's commands. Frequent '1's
    // keep each of them playing rather than sitting in the main menu.
    const std::string explorerKeys = "wpldekt";
    const std::string fighterKeys = "afuecpwsd?t1\n";
    const unsigned style = seed % 3;
    screen.setKeySource([&]() -> int {
        if (budget-- <= 0) return KeyEnd;
        // Typed lines (a name, a number, a list choice) are short, as a
        // player's are: a digit or a letter, then Enter.
        if (screen.readingLine() && pick() % 2 == 0) {
            const unsigned roll = pick() % 8;
            if (roll < 3) return '\n';
            if (roll < 7) return '0' + static_cast<int>(pick() % 10);
        }
        const unsigned roll = pick() % 16;
        if (roll == 0) return '1';
        if (style == 1 && roll < 9) {
            static constexpr int arrows[] = {KeyUp, KeyDown, KeyLeft, KeyRight};
            return roll < 7 ? arrows[pick() % 4] : explorerKeys[pick() % explorerKeys.size()];
        }
        if (style == 2 && roll < 9) return fighterKeys[pick() % fighterKeys.size()];
        return keys[pick() % keys.size()];
    });
    MonkeyRun run;
    screen.setBeforeKey([&] {
        if (!run.failure.empty()) return;
        run.failure = checkInvariants();
        if (run.failure.empty()) run.failure = saves.check(run);
        if (run.failure.empty() && failingDisk && temporaryFileLeft(folder)) run.failure = "a temporary file left behind";
        if (hero.level > 0) {
            run.reachedAGame = true;
            run.places.insert(world.location);
        }
        if (world.inCombat) run.fought = true;
        if (!run.failure.empty()) run.failure += " (before key " + std::to_string(screen.keysRead()) + ")";
    });
    try {
        while (budget > 0 && run.failure.empty()) runProgram();
    } catch (const EndOfInput&) {
    }
    // The keys ran out wherever they did, as a closed terminal would leave
    // the game: its crash save must load.
    if (run.failure.empty() && gameInProgress()) {
        const bool written = writeCrashSave();
        endGameInProgress();
        run.crashSaveLoaded = written && decodeSave(readBytes(crashSaveFileName(hero.name)), Hero{}, WorldState{});
        if (written && !run.crashSaveLoaded)
            run.failure = "the crash save does not load";
        else if (!written && !failingDisk)
            run.failure = "the crash save could not be written";
    }
    releaseHeroLock();
    run.keys = screen.keysRead();
    run.shown = std::hash<std::string>{}(screen.transcript());
    setFixedClock(std::nullopt);
    return run;
}

int envOr(const char* name, int fallback) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::atoi(value) : fallback;
}

// Plays the seeds of the run's settings (KELVRIN_MONKEY_SEEDS, _KEYS,
// _FIRST_SEED), a quarter of them on the failing disk; checks that the
// monkey really played: it made heroes, saved, and went out to fight.
void playManySeeds(bool failingDisk) {
    const int seeds = std::max(1, envOr("KELVRIN_MONKEY_SEEDS", 200) / (failingDisk ? 4 : 1));
    const int keysPerSeed = envOr("KELVRIN_MONKEY_KEYS", 3000);
    const int firstSeed = envOr("KELVRIN_MONKEY_FIRST_SEED", 1);
    long total = 0, diskFailures = 0;
    int games = 0, savesChecked = 0, fights = 0, crashSaves = 0;
    std::set<int> places;
    for (int seed = firstSeed; seed < firstSeed + seeds; ++seed) {
        const MonkeyRun run = runMonkey(static_cast<unsigned>(seed), keysPerSeed, failingDisk);
        ASSERT_TRUE(run.failure.empty()) << "seed " << seed << ": " << run.failure;
        total += run.keys;
        games += run.reachedAGame ? 1 : 0;
        savesChecked += run.savesChecked;
        fights += run.fought ? 1 : 0;
        crashSaves += run.crashSaveLoaded ? 1 : 0;
        places.insert(run.places.begin(), run.places.end());
        diskFailures += FailingDisk::failures();
    }
    EXPECT_GT(games, seeds / 2);
    if (failingDisk) {
        EXPECT_GT(diskFailures, 0);
    } else {
        EXPECT_GT(total, static_cast<long>(seeds) * keysPerSeed / 2);
        EXPECT_GT(savesChecked, 0);
        EXPECT_GT(fights, seeds / 4);
    }
    std::printf("monkey%s: %d seeds, %ld keys, %d reached a game, %d fought, %zu places, %d saves and %d crash saves "
                "loaded back, %ld disk failures\n",
                failingDisk ? " on a failing disk" : "", seeds, total, games, fights, places.size(), savesChecked,
                crashSaves, diskFailures);
}

TEST(Monkey, RandomKeysKeepEveryInvariant) { playManySeeds(false); }

// Every failed save, load or graveyard write is told and the game goes on,
// with no temporary file left.
TEST(Monkey, RandomKeysOnAFailingDisk) { playManySeeds(true); }

// A seed plays the same game every time, alone or after other games (which
// may have left a setting changed), on a sound or a failing disk: so a
// failing seed can be played again key for key.
TEST(Monkey, SameSeedSameGame) {
    for (const bool failingDisk : {false, true}) {
        SCOPED_TRACE(failingDisk ? "failing disk" : "sound disk");
        const unsigned seed = failingDisk ? 5456 : 4242;
        const MonkeyRun a = runMonkey(seed, 1500, failingDisk);
        const std::uint32_t stateA = randomState();
        SaveImage gameA{};
        encodeSave(hero, world, false, gameA);
        showAllFeats = true;  // as a game before may have left it
        const MonkeyRun b = runMonkey(seed, 1500, failingDisk);
        SaveImage gameB{};
        encodeSave(hero, world, false, gameB);
        EXPECT_EQ(a.keys, b.keys);
        EXPECT_EQ(stateA, randomState());
        EXPECT_EQ(gameA, gameB);
        EXPECT_EQ(a.savesChecked, b.savesChecked);
        EXPECT_EQ(a.shown, b.shown);
    }
}

}  // namespace
}  // namespace kelvrin::test
