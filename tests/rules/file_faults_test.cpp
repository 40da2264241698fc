// The disk failing under every writer and reader of the game's files: the player is told, the game
// goes on, and no file that was there is lost or left half-written.
#include <signal.h>
#include <sys/stat.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <optional>

#include "support/failing_disk.h"
#include "support/game_test.h"
#include "support/temp_folder.h"
#include "support/test_hero.h"

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

class FileFaultsTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        makeTestHero();
    }
    void TearDown() override {
        endGameInProgress();
        GameTest::TearDown();
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
        screen.type(keys);
        EXPECT_FALSE(runUntilInputEnds([] { runLocationLoop(); }));
        EXPECT_EQ(screen.keysQueued(), 0u);
        return imageOfTheGame();
    }
    // From the main menu, as the player starts the game.
    void playFromTheMenu(const char* keys) {
        resetForNewGame();
        screen.type(keys);
        int status = -1;
        EXPECT_FALSE(runUntilInputEnds([&] { status = runProgram(); }));
        EXPECT_EQ(status, 0);
    }
};

GraveRecord grave(std::string name, int xp) { return {std::move(name), 0, 0, 5, LocationForest, 0, 1, xp, false}; }

// Each operation under each fault of its kind. The old file is found byte for byte where `keptAs` says
// (a vanished one is not brought back), only the files of `left` remain (`leftByEio` after a read
// error): no temporary file; `run` sees the player told and the game going on.
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
        std::function<void()> run;
        Files left, leftByEio;
        const char* keptAs = nullptr;  // the file's place afterwards, when not its own
    };
    std::vector<Operation> operations;
    const std::pair<int, const char*> places[] = {{LocationTown, "Jesteś w mieście."}, {LocationForest, "Jesteś w lesie."},
                                                  {LocationRoad, "Jesteś na drodze."},
                                                  {LocationDungeon, "Jesteś w podziemiach na 1 poziomie."}};
    for (const auto& [location, shown] : places) {
        const std::vector<unsigned char> untouched = playIn(location, "qn");
        // Save and quit; the save fails; a key; the same place again; quit without saving.
        operations.push_back({std::string("save in ") + shown, false, "save_Testowy", oldSave,
                              [=, this, location = location, shown = shown] {
                                  EXPECT_EQ(playIn(location, "qtkqn"), untouched);
                                  EXPECT_TRUE(showsInOrder("(tak/nie/anuluj)\n{clear}Nie mozna zapisac gry!{clear}", shown));
                              },
                              {"save_Testowy"}, {}});
    }
    operations.push_back({"crash save", false, "error_save_Testowy", oldSave,
                          [] {
                              for (const CrashSource source : {CrashSource::LiveHero, CrashSource::KeptCopy}) {
                                  beginGameInProgress();
                                  EXPECT_EQ(crashSaveHook(source), CrashSaveOutcome::Failed);
                              }
                              testing::internal::CaptureStderr();
                              reportCrashSave(false);
                              EXPECT_EQ(testing::internal::GetCapturedStderr(), "Nie mozna zapisac gry!\n");
                              EXPECT_FALSE(gameInProgress());
                          },
                          {"error_save_Testowy"}, {}});
    operations.push_back({"death", false, "cmentarz.dat", oldGraves,
                          [this] {
                              hero.xp = 50;
                              screen.type("k");
                              recordDeath();
                              EXPECT_EQ(screen.keysQueued(), 0u);
                              EXPECT_TRUE(showsInOrder("{clear}CMENTARZ\nMistrz", "*Testowy Człowiek Wojownik"));
                              EXPECT_TRUE(showsInOrder("*Testowy", "\nNie można zapisać cmentarza!"));
                          },
                          {"cmentarz.dat"}, {}});
    // The name of a saved hero; the failed load; the menu; quit.
    operations.push_back({"load", true, "save_Testowy", savedGame,
                          [this] {
                              resetForNewGame();
                              hero.name = "Testowy";
                              const std::vector<unsigned char> before = imageOfTheGame();
                              playFromTheMenu("1Testowy\nk0");
                              EXPECT_TRUE(showsInOrder("{clear}Nie mozna wczytac gry!\n{clear}Kelvrin v 0.2", "0. Wyjście"));
                              EXPECT_FALSE(gameInProgress());
                              EXPECT_EQ(imageOfTheGame(), before);
                          },
                          {"lock_Testowy"}, {"lock_Testowy", "save_Testowy"}});
    // A graveyard that cannot be read counts as empty.
    operations.push_back({"graveyard shown", true, "cmentarz.dat", oldGraves,
                          [this] {
                              screen.type("k");
                              showGraveyard();
                              EXPECT_EQ(screen.transcript(), "{clear}CMENTARZ\nCmentarz jest pusty...");
                          },
                          {}, {"cmentarz.dat"}});
    // A death over it: an unreadable one is kept aside, one that is gone begun anew; the death is stored.
    operations.push_back({"death over an unreadable graveyard", true, "cmentarz.dat", oldGraves,
                          [this] {
                              screen.type("k");
                              recordDeath();
                              EXPECT_TRUE(shows("*Testowy Człowiek Wojownik"));
                              EXPECT_FALSE(shows("Nie można zapisać cmentarza!"));
                              const auto now = decodeGraveyard(readBytes("cmentarz.dat"));
                              ASSERT_TRUE(now && now->size() == 1u);
                              EXPECT_EQ(now->front().name, "Testowy");
                          },
                          {"cmentarz.dat"}, {"cmentarz.dat", "cmentarz.dat.bak"}, "cmentarz.dat.bak"});
    for (const Operation& operation : operations) {
        for (const Fault fault : operation.reads ? ReadFaults : WriteFaults) {
            SCOPED_TRACE(operation.name + ", fault " + std::to_string(static_cast<int>(fault)));
            for (const std::string& name : filesIn(".")) std::filesystem::remove(pathOf(name));
            makeTestHero();
            screen.clearTranscript();
            writeBytes(operation.file, operation.old);
            {
                const FailingDisk disk(fault);
                operation.run();
            }
            EXPECT_EQ(filesIn("."), fault == Fault::ReadError ? operation.leftByEio : operation.left);
            if (fault != Fault::Vanishing) {
                EXPECT_EQ(readBytes(operation.keptAs ? operation.keptAs : operation.file), operation.old);
            }
        }
    }
    // With the disk sound again the same save goes through.
    for (const auto& place : places) {
        const std::vector<unsigned char> game = playIn(place.first, "qt");
        EXPECT_EQ(readBytes("save_Testowy"), game);
    }
}

#ifndef _WIN32  // Windows has no signal to raise
TEST_F(FileFaultsTest, TheSignalPathGoesThroughTheSameFileOperations) {
    EXPECT_EXIT(
        {
            installCrashHandlers();
            setCrashHooks({crashSaveHook, keepCrashCopy});
            beginGameInProgress();
            const FailingDisk disk(Fault::ReadOnlyFolder);
            raise(SIGTERM);
        },
        testing::KilledBySignal(SIGTERM), "Nie mozna zapisac gry!");
    EXPECT_TRUE(filesIn(".").empty());
}
#endif

// A hero another copy holds the lock of (a lock through an open of our own counts as another process's)
// is neither made anew nor loaded, his save left whole. A lock file left behind holds nothing, and a
// folder that allows no lock lets the game go on without one (its save, which cannot be deleted, whole).
TEST_F(FileFaultsTest, AHeroInPlayInAnotherCopyIsNotTaken) {
    hero.gold = 555;
    const std::vector<unsigned char> saved = imageOfTheGame();
    const int other = fileOperations().lockExclusive("lock_Testowy");
    ASSERT_GE(other, 0);
    for (const bool withSave : {false, true}) {
        if (withSave) writeBytes("save_Testowy", saved);
        screen.clearTranscript();
        playFromTheMenu("1Testowy\nk0");
        EXPECT_TRUE(showsInOrder("{clear}Ta postać jest już w grze w innym oknie.\n\n(ok){clear}Kelvrin v 0.2", "0. Wyjście"));
        EXPECT_EQ(hero.name, "") << withSave;
    }
    EXPECT_EQ(readBytes("save_Testowy"), saved);
    fileOperations().close(other);
    for (const Fault fault : {Fault::None, Fault::ReadOnlyFolder}) {
        SCOPED_TRACE(static_cast<int>(fault));
        writeBytes("save_Testowy", saved);
        screen.clearTranscript();
        {
            const FailingDisk disk(fault);
            playFromTheMenu("1Testowy\nqn0");
        }
        EXPECT_TRUE(showsInOrder("Jesteś w mieście.", "{clear}Kelvrin v 0.2"));
        EXPECT_EQ(hero.gold, 555);
        EXPECT_EQ(readBytes("save_Testowy"), fault == Fault::None ? std::vector<unsigned char>{} : saved);
        const int next = fileOperations().lockExclusive("lock_Testowy");  // free for the next copy
        EXPECT_GE(next, 0);
        if (next >= 0) fileOperations().close(next);
    }
}

// Reads and writes that move a few bytes at a time are no failure: every file comes out whole (the
// save and its load under them: SaveFileTest).
TEST_F(FileFaultsTest, ShortTransfersStillMoveWholeFiles) {
    const FailingDisk disk(Fault::ShortTransfers);
    hero.gold = 321;
    beginGameInProgress();
    ASSERT_TRUE(writeCrashSave());
    EXPECT_EQ(readBytes("error_save_Testowy"), imageOfTheGame());
    writeBytes("cmentarz.dat", encodeGraveyard({grave("Mistrz", 900), grave("Uczeń", 10)}));
    screen.type("k");
    recordDeath();
    EXPECT_TRUE(showsInOrder("Mistrz", "Testowy Człowiek Wojownik, 1 poziom"));
    EXPECT_EQ(decodeGraveyard(readBytes("cmentarz.dat"))->size(), 3u);
    EXPECT_EQ(filesIn("."), (Files{"cmentarz.dat", "error_save_Testowy"}));
}

// A pipe, a folder or a link where the game keeps or writes its files: nothing waits forever (a pipe
// with no writer would block an open), nothing outside the game's file is written, saving still works.
#ifndef _WIN32  // nor pipes in folders
TEST_F(FileFaultsTest, StrangeFilesInPlaceOfTheGameFiles) {
    // A test that hangs is stopped by the alarm instead of blocking the run.
    struct Alarm {
        Alarm() { ::alarm(20); }
        ~Alarm() { ::alarm(0); }
    } const alarm;
    ::mkfifo("save_Testowy", 0600);
    screen.type("k");
    EXPECT_FALSE(loadGame());
    EXPECT_TRUE(shows("Nie mozna wczytac gry!"));
    std::filesystem::remove("save_Testowy");
    // Shown as empty and put aside like any graveyard that cannot be read.
    for (const bool pipe : {true, false}) {
        pipe ? (void)::mkfifo("cmentarz.dat", 0600) : (void)std::filesystem::create_directory("cmentarz.dat");
        screen.clearTranscript();
        screen.type("kk");
        showGraveyard();
        EXPECT_EQ(screen.transcript(), "{clear}CMENTARZ\nCmentarz jest pusty...") << pipe;
        recordDeath();
        EXPECT_EQ(decodeGraveyard(readBytes("cmentarz.dat"))->size(), 1u);
        EXPECT_TRUE(pipe ? std::filesystem::is_fifo("cmentarz.dat.bak") : std::filesystem::is_directory("cmentarz.dat.bak"));
        std::filesystem::remove_all("cmentarz.dat.bak");
        std::filesystem::remove("cmentarz.dat");
    }
    // A pipe, or a link to a file not the game's, where the temporary file goes: the save replaces them.
    writeBytes("other", {1, 2, 3});
    for (const bool pipe : {true, false}) {
        SCOPED_TRACE(pipe ? "a pipe" : "a link");
        pipe ? (void)::mkfifo(".save_Testowy.tmp", 0600) : std::filesystem::create_symlink("other", ".save_Testowy.tmp");
        ASSERT_TRUE(saveGame(false));
        EXPECT_EQ(readBytes("save_Testowy"), imageOfTheGame());
        EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status("save_Testowy")));
        EXPECT_EQ(readBytes("other"), (std::vector<unsigned char>{1, 2, 3}));
        EXPECT_EQ(filesIn("."), (Files{"other", "save_Testowy"}));
    }
}
#endif

}  // namespace
}  // namespace kelvrin::test
