// The disk failing under each writer and reader of the game's files: the player told, no file lost or half-written.
#include <signal.h>
#include <sys/stat.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include "support/failing_disk.h"
#include "support/scenario.h"
#include "support/temp_folder.h"

#include "character/graveyard.h"
#include "character/program.h"
#include "core/crash_save.h"
#include "core/save_file.h"
#include "platform/crash_handler.h"

namespace kelvrin::test {
namespace {

const std::vector<Fault> WriteFaults = {Fault::FullDisk, Fault::ReadOnlyFolder, Fault::FailedRename, Fault::NoProgress,
                                        Fault::FailedFlush};
const std::vector<Fault> ReadFaults = {Fault::ReadError, Fault::Vanishing};
using Files = std::vector<std::string>;

class FileFaultsTest : public ScenarioTest {
protected:
    void TearDown() override {
        endGameInProgress();
        ScenarioTest::TearDown();
    }
    static std::vector<unsigned char> imageOfTheGame() {
        SaveImage image{};
        encodeSave(hero, world, false, image);
        return {image.begin(), image.end()};
    }
    // True when `first` is in the transcript and `then` comes after it.
    bool showsInOrder(const std::string& first, const std::string& then) const {
        const std::size_t at = screen.transcript().find(first);
        return at != std::string::npos && screen.transcript().find(then, at + first.size()) != std::string::npos;
    }
    // Plays `keys` in a place from the same start; the game as the loop left it.
    std::vector<unsigned char> playIn(int location, const char* keys) {
        world = WorldState{};  // nothing kept from an earlier game underground
        makeTestHero();
        world.location = location;
        seedRandom(12345);
        EXPECT_EQ((std::pair{play(runLocationLoop, keys), screen.keysQueued()}), std::pair(false, std::size_t{0}));
        return imageOfTheGame();
    }
    static void underFault(Fault fault, const std::function<void()>& run) {
        const FailingDisk disk(fault);
        run();
    }
    // From the main menu, as the player starts the game.
    void playFromTheMenu(const char* keys) {
        resetForNewGame();
        int status = -1;
        EXPECT_EQ((std::pair{play([&] { status = runProgram(); }, keys), status}), std::pair(false, 0));
    }
};

namespace fs = std::filesystem;
GraveRecord grave(std::string name, int xp) { return {std::move(name), 0, 0, 5, LocationForest, 0, 1, xp, false}; }
// The records of the graveyard file, none when it cannot be read.
auto graves() { return decodeGraveyard(readBytes("cmentarz.dat")).value_or(std::vector<GraveRecord>{}); }

// Each operation under each fault of its kind: the old file byte for byte where `keptAs` says (a vanished one is gone),
// only the files of `left` (`leftByEio` after a read error), no temporary one; `run` sees the player told, the game on.
TEST_F(FileFaultsTest, EveryOperationUnderEveryFault) {
    const std::vector<unsigned char> oldSave(SaveFileSize, 0x55);
    const std::vector<unsigned char> oldGraves = encodeGraveyard({grave("Mistrz", 900), grave("Uczeń", 10)});
    hero.gold = 777;
    const std::vector<unsigned char> savedGame = imageOfTheGame();
    struct Operation {
        std::string name;
        bool reads;  // the read faults, else the write faults
        const char* file;
        std::vector<unsigned char> old;
        Files left;
        Files leftByEio;
        const char* keptAs;  // the file's place afterwards, when not its own
        std::function<void()> run;
    };
    std::vector<Operation> operations = {
        {"crash save", false, "error_save_Testowy", oldSave, {"error_save_Testowy"}, {}, nullptr, [] {
            for (const CrashSource source : {CrashSource::LiveHero, CrashSource::KeptCopy}) {
                beginGameInProgress();
                EXPECT_EQ(crashSaveHook(source), CrashSaveOutcome::Failed);
            }
            const std::string told = stderrOf([] { reportCrashSave(false); });
            EXPECT_EQ(std::pair(told, gameInProgress()), std::pair(std::string("Nie mozna zapisac gry!\n"), false));
        }},
        {"death", false, "cmentarz.dat", oldGraves, {"cmentarz.dat"}, {}, nullptr, [this] {
            hero.xp = 50;
            EXPECT_FALSE(play(recordDeath, "k"));
            const bool listed = showsInOrder("{clear}CMENTARZ\nMistrz", "*Testowy Człowiek Wojownik");
            const bool toldOfTheFault = showsInOrder("*Testowy", "\nNie można zapisać cmentarza!");
            EXPECT_EQ(std::tuple(screen.keysQueued(), listed, toldOfTheFault), std::tuple(0u, true, true));
        }},
        // The name of a saved hero; the failed load; the menu; quit.
        {"load", true, "save_Testowy", savedGame, {}, {"save_Testowy"}, nullptr, [this] {
            resetForNewGame();
            hero.name = "Testowy";
            const std::vector<unsigned char> before = imageOfTheGame();
            playFromTheMenu("1Testowy\nk0");
            EXPECT_EQ(std::tuple(showsInOrder("{clear}Nie mozna wczytac gry!\n{clear}Kelvrin v 0.2", "0. Wyjście"),
                                 gameInProgress(), imageOfTheGame()), std::tuple(true, false, before));
        }},
        // A graveyard that cannot be read counts as empty.
        {"graveyard shown", true, "cmentarz.dat", oldGraves, {}, {"cmentarz.dat"}, nullptr, [this] {
            EXPECT_FALSE(play(showGraveyard, "k"));
            EXPECT_EQ(screen.transcript(), "{clear}CMENTARZ\nCmentarz jest pusty...");
        }},
        // A death over it: an unreadable one is kept aside, one that is gone begun anew; the death is stored.
        {"death over an unreadable graveyard", true, "cmentarz.dat", oldGraves, {"cmentarz.dat"},
         {"cmentarz.dat", "cmentarz.dat.bak"}, "cmentarz.dat.bak", [this] {
            EXPECT_FALSE(play(recordDeath, "k"));
            const std::vector<GraveRecord> now = graves();
            EXPECT_EQ(std::tuple(shows("*Testowy Człowiek Wojownik"), shows("Nie można zapisać cmentarza!"),
                                 now.size() == 1u ? now[0].name : ""), std::tuple(true, false, "Testowy"));
        }}};
    const std::pair<int, const char*> places[] = {
        {LocationTown, "Jesteś w mieście."}, {LocationForest, "Jesteś w lesie."},
        {LocationRoad, "Jesteś na drodze."}, {LocationDungeon, "Jesteś w podziemiach na 1 poziomie."}};
    for (const auto& [location, shown] : places) {
        const std::vector<unsigned char> untouched = playIn(location, "qn");
        // Save and quit; the save fails; a key; the same place again; quit without saving.
        operations.push_back({std::string("save in ") + shown, false, "save_Testowy", oldSave, {"save_Testowy"}, {},
                              nullptr, [=, this, location = location, shown = shown] {
            EXPECT_EQ(playIn(location, "qtkqn"), untouched);
            EXPECT_TRUE(showsInOrder("(tak/nie/anuluj)\n{clear}Nie mozna zapisac gry!{clear}", shown));
        }});
    }
    for (const Operation& operation : operations) {
        for (const Fault fault : operation.reads ? ReadFaults : WriteFaults) {
            SCOPED_TRACE(operation.name + ", fault " + std::to_string(static_cast<int>(fault)));
            for (const std::string& name : filesIn(".")) fs::remove(pathOf(name));
            makeTestHero();
            writeBytes(operation.file, operation.old);
            underFault(fault, operation.run);
            EXPECT_EQ(filesIn("."), fault == Fault::ReadError ? operation.leftByEio : operation.left);
            const char* kept = operation.keptAs != nullptr ? operation.keptAs : operation.file;
            if (fault != Fault::Vanishing) { EXPECT_EQ(readBytes(kept), operation.old); }
        }
    }
    // With the disk sound again the same save goes through.
    for (const auto& place : places) {
        const std::vector<unsigned char> game = playIn(place.first, "qt");
        EXPECT_EQ(readBytes("save_Testowy"), game);
    }
}

// Windows has no signal to raise, nor has a web page (the page's crash path is tested in the browser).
#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
// After the crash save the hero's lock file goes too; a read-only folder gave neither.
TEST_F(FileFaultsTest, TheSignalPathGoesThroughTheSameFileOperations) {
    for (const auto& [fault, told, left] : {std::tuple{Fault::ReadOnlyFolder, "Nie mozna zapisac gry!", Files{}},
                                            {Fault::None, "error_save_Testowy", Files{"error_save_Testowy"}}}) {
        EXPECT_EXIT(
            {
                installCrashHandlers();
                setCrashHooks({crashSaveHook, keepCrashCopy, removeHeroLockAfterCrash});
                const FailingDisk disk(fault);
                lockHero("Testowy");
                beginGameInProgress();
                raise(SIGTERM);
            },
            testing::KilledBySignal(SIGTERM), told);
        EXPECT_EQ(filesIn("."), left);
    }
}
#endif

// A hero another copy holds the lock of (one taken through an open of our own counts) is neither made anew nor loaded.
// A lock file left behind holds nothing; a folder allowing no lock lets the game go on without one (its save whole).
TEST_F(FileFaultsTest, AHeroInPlayInAnotherCopyIsNotTaken) {
    hero.gold = 555;
    const std::vector<unsigned char> saved = imageOfTheGame();
    const int other = fileOperations().lockExclusive("lock_Testowy");
#ifdef __EMSCRIPTEN__
    // Under Node the web build has no locks at all: as in a folder without lock support, every copy plays on.
    EXPECT_EQ(std::pair(other, errno), std::pair(-1, ENOLCK));
#else
    ASSERT_GE(other, 0);
    for (const bool withSave : {false, true}) {
        if (withSave) writeBytes("save_Testowy", saved);
        playFromTheMenu("1Testowy\nk0");
        const bool told = showsInOrder("{clear}Ta postać jest już w grze w innym oknie.\n\n(ok)"
                                       "{clear}Kelvrin v 0.2", "0. Wyjście");
        // The refused copy removes nothing: the other copy's file stays.
        EXPECT_EQ(std::tuple(told, hero.name, fs::exists("lock_Testowy")), std::tuple(true, std::string(), true))
            << withSave;
    }
    EXPECT_EQ(readBytes("save_Testowy"), saved);
    fileOperations().close(other);
#endif
    // The lock file goes with the hero; a lock that cannot be confirmed is not held and its file stays.
    for (const auto& [fault, left] : {std::pair{Fault::None, Files{}}, {Fault::ReadOnlyFolder, Files{"save_Testowy"}},
                                      {Fault::FailedStat, Files{"lock_Testowy"}},
                                      {Fault::FailedRemove, Files{"lock_Testowy", "save_Testowy"}}}) {
        SCOPED_TRACE(static_cast<int>(fault));
        for (const std::string& name : filesIn(".")) fs::remove(pathOf(name));
        writeBytes("save_Testowy", saved);
        underFault(fault, [this] { playFromTheMenu("1Testowy\nqn0"); });
        const bool kept = std::count(left.begin(), left.end(), "save_Testowy") == 1;
        Files expected = left;
#if defined(_WIN32) || defined(__EMSCRIPTEN__)
        // Windows removes it with the last handle, whatever failed; the web build never makes one.
        std::erase(expected, "lock_Testowy");
#endif
        EXPECT_EQ(std::tuple(showsInOrder("Jesteś w mieście.", "{clear}Kelvrin v 0.2"), hero.gold, filesIn("."),
                             kept ? readBytes("save_Testowy") : saved), std::tuple(true, 555, expected, saved));
        const int next = fileOperations().lockExclusive("lock_Testowy");  // free for the next copy
#ifdef __EMSCRIPTEN__
        EXPECT_EQ(std::pair(next, errno), std::pair(-1, ENOLCK));
#else
        ASSERT_GE(next, 0);
        EXPECT_TRUE(fileOperations().close(next));
#endif
    }
}

// A pipe or a link in place of a game file: nothing waits forever, nothing outside the game's file is written.
#ifndef _WIN32  // nor pipes in folders
TEST_F(FileFaultsTest, StrangeFilesInPlaceOfTheGameFiles) {
    // The web build makes no pipe (its runtime makes a plain file for one) and has no alarm: links alone there.
#ifdef __EMSCRIPTEN__
    const bool pipes = false;
    const Files left = {"other", "save_Testowy"};
#else
    const bool pipes = true;
    const Files left = {"cmentarz.dat", "cmentarz.dat.bak", "other", "save_Testowy"};
    // A test that hangs is stopped by the alarm instead of blocking the run.
    struct Alarm {
        Alarm() { ::alarm(20); }
        ~Alarm() { ::alarm(0); }
    } const alarm;
    ::mkfifo("save_Testowy", 0600);
    screen.type("k");
    EXPECT_EQ((std::pair{loadGame(), shows("Nie mozna wczytac gry!")}), std::pair(false, true));
    fs::remove("save_Testowy");
    // Shown as empty and put aside like any graveyard that cannot be read.
    ::mkfifo("cmentarz.dat", 0600);
    EXPECT_FALSE(play(showGraveyard, "kk"));
    EXPECT_EQ(screen.transcript(), "{clear}CMENTARZ\nCmentarz jest pusty...");
    recordDeath();
    EXPECT_EQ(std::pair(graves().size(), fs::is_fifo("cmentarz.dat.bak")), std::pair(std::size_t{1}, true));
#endif
    // A pipe, or a link to a file not the game's, where the temporary file goes: the save replaces them.
    writeBytes("other", {1, 2, 3});
    for (const bool pipe : {true, false}) {
        if (pipe && !pipes) continue;
        pipe ? (void)::mkfifo(".save_Testowy.tmp", 0600) : fs::create_symlink("other", ".save_Testowy.tmp");
        ASSERT_TRUE(saveGame(false)) << pipe;
        EXPECT_EQ(std::tuple(readBytes("save_Testowy"), fs::is_regular_file(fs::symlink_status("save_Testowy")),
                             readBytes("other"), filesIn(".")),
                  std::tuple(imageOfTheGame(), true, std::vector<unsigned char>{1, 2, 3}, left)) << pipe;
    }
}
#endif

}  // namespace
}  // namespace kelvrin::test
