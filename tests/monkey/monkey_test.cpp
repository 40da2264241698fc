// Random keys through the whole program, from many seeds, under the
// sanitizers; the invariants are checked before every key is handed out.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <map>
#include <random>

#include "character/feat_screens.h"
#include "character/program.h"
#include "combat/combat_engine.h"
#include "combat/combatant.h"
#include "core/binary_file.h"
#include "core/clock.h"
#include "core/console.h"
#include "core/crash_save.h"
#include "core/hero_lock.h"
#include "core/random.h"
#include "core/save_file.h"
#include "core/utf8.h"
#include "data/classes.h"
#include "data/races.h"
#include "items/catalogue.h"
#include "platform/scripted_backend.h"
#ifdef KELVRIN_EMULATED_TERMINAL
#include "monkey/emulated_terminal.h"
#endif
#include "support/failing_disk.h"
#include "support/hero_fields.h"
#include "support/test_hero.h"
#include "support/temp_folder.h"

namespace kelvrin::test {
namespace {

// What must hold after every key of any game: empty, or what broke.
std::string brokenInvariant() {
    if (hero.attackPool + hero.powerAttack + hero.expertise != hero.baseAttack)
        return "attackPool + powerAttack + expertise != baseAttack";
    if (world.location < LocationWorldMap || world.location > LocationCrypt) return "unknown location";
    if (hero.gold < 0) return "negative gold";
    if (cursorRow() < 0 || cursorRow() >= backend().rows()) return "cursor off the screen";
    if (hero.level > 0) {
        if (hero.weapon.kind != KindWeapon || !isValidItem(hero.weapon))
            return "the weapon slot does not hold a weapon";
        if (hero.armour.kind != KindArmour || !isValidItem(hero.armour)) return "the armour slot does not hold armour";
        if (hero.shield.kind != KindEmpty && (hero.shield.kind != KindShield || !isValidItem(hero.shield)))
            return "the shield slot holds something else";
        for (const ItemSlot& slot : hero.inventory)
            if (slot.kind != KindEmpty && !isValidItem(slot)) return "a backpack slot holds no valid item";
        if (utf8Length(hero.name) > 30) return "the name is longer than 30 characters";
        if (world.day < 1 || world.day > DaysPerYear) return "day outside the year";
        if (hero.level > 30) return "a level beyond the last";
        if (hero.hp > hero.maxHp) return "Pw above the maximum";
    }
    // Outside a fight nothing of a rage or its fatigue is left on the hero.
    if (!world.inCombat && (world.fightChanges.attributes != FightChanges{}.attributes || world.fightChanges.hp != 0 ||
                            world.fightChanges.maxHp != 0 || hero.kpModifier != 0))
        return "a fight's changes outlived the fight";
    // The story never puts a character on both sides, or raises the dead.
    const auto both = [](std::uint32_t a, std::uint32_t b) {
        return world.has(StoryFlag(a)) && world.has(StoryFlag(b));
    };
    if (both(DruidCompanion, DruidHostile) || both(PaladinCompanion, PaladinHostile)) return "a friend and an enemy";
    if (both(DruidDead, DruidCompanion) || both(PaladinDead, PaladinCompanion)) return "a dead companion";
    const int buildings = world.has(HutBuilt) + world.has(HouseBuilt) + world.has(PalaceBuilt);
    if (buildings > 1 || (buildings == 1 && !world.has(LandOwned))) return "a building too many or without land";
    if (world.has(MineWorking) && !world.has(MineCleared)) return "a working mine full of monsters";
    return {};
}

struct MonkeyRun {
    int keys = 0, savesChecked = 0;
    bool reachedAGame = false, fought = false;
    std::size_t shown = 0;  // a digest of everything the screen showed
    std::string failure;
};

// A hero's file appears only by a save (and goes only by a load), and the
// first key read after a save is the main menu's, with the game still in
// memory as saved: so a file is checked against memory when first seen.
// Each name is remembered apart: a failed load leaves its file on disk, and
// another hero may be played before that name is typed again.
std::string checkNewSave(std::map<std::string, bool>& existed, MonkeyRun& run) {
    const std::string path = saveFileName(hero.name);
    const bool exists = fileExists(path), fresh = exists && !existed[path];
    existed[path] = exists;
    if (!fresh) return {};
    ++run.savesChecked;
    const std::optional<LoadedGame> loaded = decodeSave(readBytes(path), Hero{}, WorldState{});
    if (!loaded) return "the save file does not load";
    const std::string field = savedDifference(loaded->hero, loaded->world, hero, world);
    return field.empty() ? field : "loading gives back another " + field;
}

// A game of random keys on the scripted console, or on the real terminal
// drawing with what it shows compared after every key.
template <typename Screen>
MonkeyRun runMonkey(Screen& screen, unsigned seed, int keyBudget, bool failingDisk = false) {
    const TempFolder folder;  // saves, crash saves and the graveyard
    // A sound disk, or one where a file operation fails one time in four.
    const FailingDisk disk(failingDisk ? Fault::Random : Fault::None, false, seed);
    std::map<std::string, bool> existed;
    setBackend(&screen);
    seedRandom(seed);
    setFixedClock(1300000000 + seed);
    world = WorldState{};
    hero = Hero{};
    showAllFeats = false;  // lasts for a program: each seed starts as a new one

    std::mt19937 pick(seed);
    const std::string letters = "0123456789abcdefghijklmnopqrstuvwxyz?+-*/ \n";
    const int others[] = {KeyUp, KeyDown, KeyLeft, KeyRight, KeyEscape, KeyBackspace, 'T', 'N', 'A', U'ą', U'Ż'};
    int budget = keyBudget;
    // By seed, a monkey that presses anything, an explorer that mostly walks
    // and a fighter that mostly uses the fight's commands; frequent '1's
    // keep each of them playing rather than sitting in the main menu.
    const std::string explorerKeys = "wpldekt", fighterKeys = "afuecpwsd?t1\n";
    const unsigned style = seed % 3;
    screen.setKeySource([&]() -> int {
        if (budget-- <= 0) return KeyEnd;
        // Typed lines are short, as a player's are: a digit, then Enter.
        if (screen.readingLine() && pick() % 2 == 0) {
            const unsigned roll = pick() % 8;
            if (roll < 3) return '\n';
            if (roll < 7) return '0' + static_cast<int>(pick() % 10);
        }
        const unsigned roll = pick() % 16;
        if (roll == 0) return '1';
        if (style == 1 && roll < 9) return roll < 7 ? others[pick() % 4] : explorerKeys[pick() % explorerKeys.size()];
        if (style == 2 && roll < 9) return fighterKeys[pick() % fighterKeys.size()];
        const std::size_t any = pick() % (letters.size() + std::size(others));
        return any < letters.size() ? letters[any] : others[any - letters.size()];
    });
    MonkeyRun run;
    screen.setBeforeKey([&] {
        if (!run.failure.empty()) return;
        run.failure = brokenInvariant();
        if (run.failure.empty()) run.failure = checkNewSave(existed, run);
        // On the terminal drawing: what the terminal shows that the game did not draw.
        if constexpr (requires { screen.difference(); })
            if (run.failure.empty()) run.failure = screen.difference();
        // A failed write leaves no temporary file (".name") behind.
        for (const std::string& name : folder.files())
            if (run.failure.empty() && failingDisk && name.starts_with(".")) run.failure = "a temporary file left";
        run.reachedAGame = run.reachedAGame || hero.level > 0;
        run.fought = run.fought || world.inCombat;
        if (!run.failure.empty()) run.failure = "before key " + std::to_string(screen.keysRead()) + ": " + run.failure;
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
        if (written && !decodeSave(readBytes(crashSaveFileName(hero.name)), Hero{}, WorldState{}))
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

enum class Console { Scripted, FailingDisk, Terminal };

// Plays the seeds of KELVRIN_MONKEY_SEEDS, _KEYS and _FIRST_SEED (a quarter
// of them on the failing disk, a tenth on the terminal drawing, in the
// three kinds of colour by turns), and checks that the monkey really
// played: it made heroes, saved, and went out to fight.
void playManySeeds(Console console) {
    const bool failingDisk = console == Console::FailingDisk;
    const int share = failingDisk ? 4 : console == Console::Terminal ? 10 : 1;
    const int seeds = std::max(1, envOr("KELVRIN_MONKEY_SEEDS", 200) / share);
    const int keysPerSeed = envOr("KELVRIN_MONKEY_KEYS", 3000);
    const int firstSeed = envOr("KELVRIN_MONKEY_FIRST_SEED", 1);
    long total = 0;
    long diskFailures = 0;
    int games = 0;
    int savesChecked = 0;
    int fights = 0;
    for (int seed = firstSeed; seed < firstSeed + seeds; ++seed) {
        MonkeyRun run;
        if (console != Console::Terminal) {
            ScriptedBackend screen;
            run = runMonkey(screen, static_cast<unsigned>(seed), keysPerSeed, failingDisk);
        } else {
#ifdef KELVRIN_EMULATED_TERMINAL
            const ColourSupport colours[] = {ColourSupport::Full, ColourSupport::None, ColourSupport::Basic};
            EmulatedTerminal terminal(colours[seed / 3 % 3]);
            terminal.changeWindowNowAndThen(static_cast<unsigned>(seed));
            run = runMonkey(terminal, static_cast<unsigned>(seed), keysPerSeed);
#else
            GTEST_SKIP() << "no terminal emulator in this build";
#endif
        }
        ASSERT_TRUE(run.failure.empty()) << "seed " << seed << ", " << run.failure;
        total += run.keys;
        games += run.reachedAGame;
        savesChecked += run.savesChecked;
        fights += run.fought;
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
    std::cout << seeds << " seeds, " << total << " keys, " << games << " games, " << fights << " fought, "
              << savesChecked << " saves loaded back, " << diskFailures << " disk failures\n";
}

TEST(Monkey, RandomKeysKeepEveryInvariant) { playManySeeds(Console::Scripted); }

// Every failed save, load or graveyard write is told and the game goes on.
TEST(Monkey, RandomKeysOnAFailingDisk) { playManySeeds(Console::FailingDisk); }

// The bytes of the terminal drawing make a terminal show what the game drew.
TEST(Monkey, RandomKeysOnATerminalShowWhatTheGameDrew) { playManySeeds(Console::Terminal); }

#ifdef KELVRIN_EMULATED_TERMINAL
// The fight in which a terminal once showed a line twice and wrote the next
// one over it: a dwarf barbarian of the first level with an extra rage,
// against two rats in the forest; rage, seven waits, rage again (tired by
// then), then blows and Enter until the fight is over, the window changing
// now and then. Compared after every key, from KELVRIN_MONKEY_SEEDS seeds.
TEST(Monkey, RageFightOnATerminalShowsWhatTheGameDrew) {
    const int seeds = envOr("KELVRIN_MONKEY_SEEDS", 200), firstSeed = envOr("KELVRIN_MONKEY_FIRST_SEED", 1);
    const std::string keys = "s" + std::string(7, 'c') + "s" + std::string(30, 'f') + std::string(5, '\n');
    long total = 0;
    for (int seed = firstSeed; seed < firstSeed + seeds; ++seed) {
        const TempFolder folder;
        EmulatedTerminal terminal(ColourSupport::Full);
        terminal.changeWindowNowAndThen(static_cast<unsigned>(seed));
        setBackend(&terminal);
        seedRandom(static_cast<unsigned>(seed));
        world = WorldState{};
        makeTestHero();
        hero.race = RaceDwarf;
        hero.heroClass = ClassBarbarian;
        hero.extraRageCount = 1;
        hero.ragesPerDay = 2;
        hero.ragesLeft = 2;
        world.location = LocationForest;
        std::size_t next = 0;
        std::string failure;
        terminal.setKeySource([&] { return next < keys.size() ? keys[next++] : int(KeyEnd); });
        terminal.setBeforeKey([&] {
            if (failure.empty() && !(failure = terminal.difference()).empty())
                failure = "before key " + std::to_string(terminal.keysRead()) + ": " + failure;
        });
        try {
            fight(monsterList({MonsterRat, MonsterRat}), {}, 0);
        } catch (const EndOfInput&) {
        }
        if (failure.empty()) failure = terminal.difference();
        ASSERT_EQ(failure, "") << "seed " << seed;
        total += terminal.keysRead();
    }
    std::cout << seeds << " fights, " << total << " keys\n";
}
#endif

// A seed plays the same game every time, alone or after other games (which
// may have left a setting changed), on a sound or a failing disk: so a
// failing seed can be played again key for key.
TEST(Monkey, SameSeedSameGame) {
    for (const bool failingDisk : {false, true}) {
        SCOPED_TRACE(failingDisk ? "failing disk" : "sound disk");
        const unsigned seed = failingDisk ? 5456 : 4242;
        ScriptedBackend screenA, screenB;
        const MonkeyRun a = runMonkey(screenA, seed, 1500, failingDisk);
        const std::uint32_t stateA = randomState();
        SaveImage gameA{}, gameB{};
        encodeSave(hero, world, false, gameA);
        showAllFeats = true;  // as a game before may have left it
        const MonkeyRun b = runMonkey(screenB, seed, 1500, failingDisk);
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
