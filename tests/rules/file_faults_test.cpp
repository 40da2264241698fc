// The disk failing under every writer and reader of the game's files: the
// save, the crash save, the graveyard and loading. Whatever fails, the
// player is told, the game goes on, and no file that was there is lost or
// left half-written.
#include <signal.h>
#include <sys/stat.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <map>
#include <optional>

#include "support/game_test.h"
#include "support/temp_folder.h"
#include "support/test_hero.h"

#include "character/graveyard.h"
#include "character/program.h"
#include "core/binary_file.h"
#include "core/crash_save.h"
#include "core/save_file.h"
#include "platform/crash_handler.h"
#include "platform/file_system.h"

namespace kelvrin::test {
namespace {

enum class Fault {
    ShortTransfers,  // every read and write moves only a few bytes
    FullDisk,        // 64 bytes free: a write goes part of the way, then ENOSPC
    ReadOnlyFolder,  // nothing can be created, renamed or deleted
    FailedRename,    // the temporary file cannot replace the old one
    ReadError,       // reading stops half-way with an I/O error
    Vanishing,       // the file is deleted between the check and the open
};

const char* nameOf(Fault fault) {
    switch (fault) {
        case Fault::ShortTransfers: return "short transfers";
        case Fault::FullDisk: return "full disk";
        case Fault::ReadOnlyFolder: return "read-only folder";
        case Fault::FailedRename: return "failed rename";
        case Fault::ReadError: return "read error";
        case Fault::Vanishing: return "vanishing file";
    }
    return "?";
}

constexpr Fault WriteFaults[] = {Fault::FullDisk, Fault::ReadOnlyFolder, Fault::FailedRename};
constexpr Fault ReadFaults[] = {Fault::ReadError, Fault::Vanishing};

// The system's own operations with the fault of the moment. Plain
// functions (the table holds function pointers), so the fault lives in
// globals.
Fault currentFault = Fault::ShortTransfers;
std::size_t bytesFree = 0;
std::map<int, int> readsPerFile;

const FileOperations& real() { return systemFileOperations(); }

int faultyOpen(const char* path) {
    if (currentFault == Fault::Vanishing) real().remove(path);
    const int fd = real().openForReading(path);
    readsPerFile[fd] = 0;
    return fd;
}

int faultyCreate(const char* path) {
    if (currentFault == Fault::ReadOnlyFolder) {
        errno = EROFS;
        return -1;
    }
    return real().createForWriting(path);
}

long faultyRead(int fd, void* data, std::size_t size) {
    if (currentFault == Fault::ShortTransfers) return real().read(fd, data, std::min<std::size_t>(size, 3));
    if (currentFault == Fault::ReadError && readsPerFile[fd]++ > 0) {
        errno = EIO;
        return -1;
    }
    return real().read(fd, data, currentFault == Fault::ReadError ? std::min<std::size_t>(size, 16) : size);
}

long faultyWrite(int fd, const void* data, std::size_t size) {
    if (currentFault == Fault::ShortTransfers) return real().write(fd, data, std::min<std::size_t>(size, 7));
    if (currentFault == Fault::FullDisk) {
        if (bytesFree == 0) {
            errno = ENOSPC;
            return -1;
        }
        size = std::min(size, bytesFree);
        bytesFree -= size;
    }
    return real().write(fd, data, size);
}

bool faultyRename(const char* from, const char* to) {
    if (currentFault == Fault::ReadOnlyFolder || currentFault == Fault::FailedRename) return false;
    return real().rename(from, to);
}

bool faultyRemove(const char* path) { return currentFault != Fault::ReadOnlyFolder && real().remove(path); }

int faultyLock(const char* path) {
    if (currentFault == Fault::ReadOnlyFolder) {
        errno = EROFS;
        return -1;
    }
    return real().lockExclusive(path);
}

const FileOperations faultyOperations{
    faultyOpen,   faultyCreate, faultyRead,    faultyWrite, real().flushToDisk,
    real().close, faultyRename, faultyRemove, real().exists, real().flushFolderOf,
    faultyLock,
};

// The disk fails with `fault` for the lifetime of the object.
class FaultyDisk {
public:
    explicit FaultyDisk(Fault fault) {
        currentFault = fault;
        bytesFree = 64;
        readsPerFile.clear();
        setFileOperations(&faultyOperations);
    }
    ~FaultyDisk() { setFileOperations(nullptr); }
    FaultyDisk(const FaultyDisk&) = delete;
    FaultyDisk& operator=(const FaultyDisk&) = delete;
};

class FileFaultsTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        makeTestHero();
    }
    void TearDown() override {
        endGameInProgress();
        setFileOperations(nullptr);
        GameTest::TearDown();
    }

    // Only the game's own files are in the folder: no temporary file left.
    static std::vector<std::string> files() { return filesIn("."); }
    static void removeAllFiles() {
        for (const std::string& name : files()) std::filesystem::remove(pathOf(name));
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
};

GraveRecord grave(std::string name, int xp) {
    GraveRecord record;
    record.name = std::move(name);
    record.raceId = 0;
    record.classId = 0;
    record.level = 5;
    record.location = LocationForest;
    record.killer = 1;
    record.xp = xp;
    return record;
}

const std::vector<unsigned char> OldSave(SaveFileSize, 0x55);

TEST_F(FileFaultsTest, AFailedSaveKeepsTheHeroInTheGame) {
    struct Place {
        int location;
        const char* screen;
    };
    const Place places[] = {{LocationTown, "Jesteś w mieście."},
                            {LocationForest, "Jesteś w lesie."},
                            {LocationRoad, "Jesteś na drodze."},
                            {LocationDungeon, "Jesteś w podziemiach na 1 poziomie."}};
    // Plays `keys` in the place, always from the same start; gives the game
    // as the loop left it.
    const auto play = [&](int location, const char* keys) {
        makeTestHero();
        world.location = location;
        seedRandom(12345);
        screen.clearTranscript();
        screen.type(keys);
        EXPECT_FALSE(runUntilInputEnds([] { runLocationLoop(); }));
        EXPECT_EQ(screen.keysQueued(), 0u);
        return imageOfTheGame();
    };
    for (const Place& place : places) {
        const std::vector<unsigned char> untouched = play(place.location, "qn");
        for (const Fault fault : WriteFaults) {
            SCOPED_TRACE(std::string(place.screen) + " " + nameOf(fault));
            writeBytes("save_Testowy", OldSave);
            std::vector<unsigned char> game;
            {
                const FaultyDisk disk(fault);
                // Save and quit; the save fails; a key; the same place
                // again; quit without saving.
                game = play(place.location, "qtkqn");
            }
            EXPECT_TRUE(showsInOrder("(tak/nie/anuluj)\n{clear}Nie mozna zapisac gry!{clear}", place.screen))
                << screen.transcript();
            EXPECT_EQ(readBytes("save_Testowy"), OldSave);
            EXPECT_EQ(files(), std::vector<std::string>{"save_Testowy"});
            EXPECT_EQ(game, untouched);
        }
        // With the disk sound again the same save goes through.
        EXPECT_EQ(readBytes("save_Testowy"), OldSave);
        const std::vector<unsigned char> game = play(place.location, "qt");
        EXPECT_EQ(readBytes("save_Testowy"), game);
        EXPECT_EQ(files(), std::vector<std::string>{"save_Testowy"});
        removeAllFiles();
    }
}

TEST_F(FileFaultsTest, ACrashSaveThatCannotBeWrittenLeavesTheOlderOne) {
    for (const Fault fault : WriteFaults) {
        SCOPED_TRACE(nameOf(fault));
        writeBytes("error_save_Testowy", OldSave);
        for (const CrashSource source : {CrashSource::LiveHero, CrashSource::KeptCopy}) {
            beginGameInProgress();
            const FaultyDisk disk(fault);
            EXPECT_EQ(crashSaveHook(source), CrashSaveOutcome::Failed);
        }
        testing::internal::CaptureStderr();
        reportCrashSave(false);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "Nie mozna zapisac gry!\n");
        EXPECT_FALSE(gameInProgress());
        EXPECT_EQ(readBytes("error_save_Testowy"), OldSave);
        EXPECT_EQ(files(), std::vector<std::string>{"error_save_Testowy"});
    }
}

#ifdef _WIN32
TEST_F(FileFaultsTest, TheSignalPath_SkippedOnWindowsWhichHasNoSignalToRaise) { GTEST_SKIP(); }
#else
TEST_F(FileFaultsTest, TheSignalPathGoesThroughTheSameFileOperations) {
    EXPECT_EXIT(
        {
            installCrashHandlers();
            setCrashHooks({crashSaveHook, keepCrashCopy});
            beginGameInProgress();
            currentFault = Fault::ReadOnlyFolder;
            setFileOperations(&faultyOperations);
            raise(SIGTERM);
        },
        testing::KilledBySignal(SIGTERM), "Nie mozna zapisac gry!");
    EXPECT_TRUE(files().empty());
}
#endif

TEST_F(FileFaultsTest, ADeathThatCannotBeStoredIsStillShownAndTold) {
    const std::vector<unsigned char> old = encodeGraveyard({grave("Mistrz", 900), grave("Uczeń", 10)});
    for (const Fault fault : WriteFaults) {
        SCOPED_TRACE(nameOf(fault));
        writeBytes("cmentarz.dat", old);
        hero.xp = 50;
        screen.clearTranscript();
        screen.type("k");
        {
            const FaultyDisk disk(fault);
            recordDeath();
        }
        EXPECT_EQ(screen.keysQueued(), 0u);
        EXPECT_TRUE(showsInOrder("{clear}CMENTARZ\nMistrz", "*Testowy Człowiek Wojownik"));
        EXPECT_TRUE(showsInOrder("*Testowy", "\nNie można zapisać cmentarza!"));
        EXPECT_EQ(readBytes("cmentarz.dat"), old);
        EXPECT_EQ(files(), std::vector<std::string>{"cmentarz.dat"});
    }
}

TEST_F(FileFaultsTest, ASaveThatCannotBeReadLeadsBackToTheMenu) {
    for (const Fault fault : ReadFaults) {
        SCOPED_TRACE(nameOf(fault));
        makeTestHero();
        hero.gold = 777;
        const std::vector<unsigned char> saved = imageOfTheGame();
        writeBytes("save_Testowy", saved);
        resetForNewGame();
        hero.name = "Testowy";
        const std::vector<unsigned char> before = imageOfTheGame();
        screen.clearTranscript();
        int status = -1;
        {
            const FaultyDisk disk(fault);
            // The name of a saved hero; the failed load; the menu; quit.
            screen.type("1Testowy\nk0");
            EXPECT_FALSE(runUntilInputEnds([&] { status = runProgram(); }));
        }
        EXPECT_EQ(status, 0);
        EXPECT_TRUE(showsInOrder("{clear}Nie mozna wczytac gry!\n{clear}Kelvrin v 0.2", "0. Wyjście"));
        EXPECT_FALSE(gameInProgress());
        EXPECT_EQ(imageOfTheGame(), before);
        // A file the game could not read stays as it was; one that vanished
        // is not brought back.
        if (fault == Fault::ReadError) {
            EXPECT_EQ(readBytes("save_Testowy"), saved);
        }
        EXPECT_EQ(files(), (fault == Fault::ReadError ? std::vector<std::string>{"lock_Testowy", "save_Testowy"}
                                                      : std::vector<std::string>{"lock_Testowy"}));
        removeAllFiles();
    }
}

// A hero another copy of the game has in play (it holds his lock) is not
// taken: neither made anew nor loaded, his save left whole. The lock file
// a game leaves behind holds nothing, and a folder that allows no lock
// lets the game go on without one.
TEST_F(FileFaultsTest, AHeroInPlayInAnotherCopyIsNotTaken) {
    hero.gold = 555;
    const std::vector<unsigned char> saved = imageOfTheGame();
    const auto playFromTheMenu = [&](const char* keys) {
        resetForNewGame();
        screen.clearTranscript();
        screen.type(keys);
        int status = -1;
        EXPECT_FALSE(runUntilInputEnds([&] { status = runProgram(); }));
        EXPECT_EQ(status, 0);
    };
    // The other copy: a lock taken through an open of its own is refused
    // as another process's would be.
    const int other = real().lockExclusive("lock_Testowy");
    ASSERT_GE(other, 0);
    for (const bool withSave : {false, true}) {
        SCOPED_TRACE(withSave ? "a saved hero" : "a new hero");
        if (withSave) writeBytes("save_Testowy", saved);
        playFromTheMenu("1Testowy\nk0");
        EXPECT_TRUE(showsInOrder("{clear}Ta postać jest już w grze w innym oknie.\n\n(ok){clear}Kelvrin v 0.2",
                                 "0. Wyjście"));
        EXPECT_EQ(hero.name, "");
    }
    EXPECT_EQ(readBytes("save_Testowy"), saved);
    real().close(other);

    for (const bool readOnly : {false, true}) {
        SCOPED_TRACE(readOnly ? "a read-only folder" : "a lock file left behind");
        writeBytes("save_Testowy", saved);
        {
            std::optional<FaultyDisk> disk;
            if (readOnly) disk.emplace(Fault::ReadOnlyFolder);
            playFromTheMenu("1Testowy\nqn0");
        }
        EXPECT_TRUE(showsInOrder("Jesteś w mieście.", "{clear}Kelvrin v 0.2"));
        EXPECT_EQ(hero.gold, 555);
        // The game over, the hero is free for the next copy.
        const int next = real().lockExclusive("lock_Testowy");
        EXPECT_GE(next, 0);
        if (next >= 0) real().close(next);
    }
}

TEST_F(FileFaultsTest, AGraveyardThatCannotBeReadIsNeverLost) {
    const std::vector<unsigned char> old = encodeGraveyard({grave("Mistrz", 900)});
    for (const Fault fault : ReadFaults) {
        SCOPED_TRACE(nameOf(fault));
        writeBytes("cmentarz.dat", old);
        screen.clearTranscript();
        screen.type("k");
        {
            const FaultyDisk disk(fault);
            showGraveyard();
        }
        // A graveyard that cannot be read counts as empty.
        EXPECT_EQ(screen.transcript(), "{clear}CMENTARZ\nCmentarz jest pusty...");

        // A death: a graveyard that is there but unreadable is kept aside;
        // one that is gone is simply begun anew. Either way the death is
        // stored.
        writeBytes("cmentarz.dat", old);
        screen.type("k");
        {
            const FaultyDisk disk(fault);
            recordDeath();
        }
        EXPECT_TRUE(shows("*Testowy Człowiek Wojownik"));
        EXPECT_FALSE(shows("Nie można zapisać cmentarza!"));
        const std::optional<std::vector<GraveRecord>> now = decodeGraveyard(readBytes("cmentarz.dat"));
        ASSERT_TRUE(now);
        ASSERT_EQ(now->size(), 1u);
        EXPECT_EQ(now->front().name, "Testowy");
        if (fault == Fault::ReadError) {
            EXPECT_EQ(readBytes("cmentarz.dat.bak"), old);
            EXPECT_EQ(files(), (std::vector<std::string>{"cmentarz.dat", "cmentarz.dat.bak"}));
        } else {
            EXPECT_EQ(files(), std::vector<std::string>{"cmentarz.dat"});
        }
        removeAllFiles();
    }
}

// Reads and writes that move a few bytes at a time are no failure: every
// file comes out whole.
TEST_F(FileFaultsTest, ShortTransfersStillMoveWholeFiles) {
    const FaultyDisk disk(Fault::ShortTransfers);
    hero.gold = 321;
    hero.xp = 40;
    const std::vector<unsigned char> game = imageOfTheGame();
    ASSERT_TRUE(saveGame(false));
    EXPECT_EQ(readBytes("save_Testowy"), game);
    beginGameInProgress();
    ASSERT_TRUE(writeCrashSave());
    EXPECT_EQ(readBytes("error_save_Testowy"), game);

    resetForNewGame();
    hero.name = "Testowy";
    ASSERT_TRUE(loadGame());
    EXPECT_EQ(imageOfTheGame(), game);
    EXPECT_EQ(files(), std::vector<std::string>{"error_save_Testowy"});

    writeBytes("cmentarz.dat", encodeGraveyard({grave("Mistrz", 900), grave("Uczeń", 10)}));
    screen.type("kk");
    recordDeath();
    showGraveyard();
    EXPECT_TRUE(showsInOrder("Mistrz", "Testowy Człowiek Wojownik, 1 poziom"));
    EXPECT_TRUE(showsInOrder("Testowy Człowiek Wojownik, 1 poziom", "Uczeń"));
    const std::optional<std::vector<GraveRecord>> stored = decodeGraveyard(readBytes("cmentarz.dat"));
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->size(), 3u);
}

// In a read-only folder a saved hero still loads and plays; the file,
// which cannot be deleted, stays whole.
TEST_F(FileFaultsTest, AReadOnlyFolderStillLoadsAGame) {
    hero.gold = 555;
    const std::vector<unsigned char> game = imageOfTheGame();
    writeBytes("save_Testowy", game);
    resetForNewGame();
    hero.name = "Testowy";
    const FaultyDisk disk(Fault::ReadOnlyFolder);
    ASSERT_TRUE(loadGame());
    EXPECT_EQ(hero.gold, 555);
    EXPECT_EQ(readBytes("save_Testowy"), game);
}

// Something other than a plain file where the game keeps or writes its
// files: a pipe, a folder, a link. Nothing waits forever (a pipe with no
// writer would block an open), nothing outside the game's file is written,
// and saving still works.
#ifdef _WIN32
TEST_F(FileFaultsTest, StrangeFiles_SkippedOnWindowsWhichHasNoPipesInFolders) { GTEST_SKIP(); }
#else
TEST_F(FileFaultsTest, StrangeFilesInPlaceOfTheGameFiles) {
    // A test that hangs is stopped by the alarm instead of blocking the run.
    struct Alarm {
        Alarm() { ::alarm(20); }
        ~Alarm() { ::alarm(0); }
    } const alarm;
    ::mkfifo("save_Testowy", 0600);
    screen.type("k");
    EXPECT_FALSE(loadGame());
    EXPECT_NE(screen.transcript().find("{clear}Nie mozna wczytac gry!\n"), std::string::npos);
    std::filesystem::remove("save_Testowy");

    for (const bool pipe : {true, false}) {
        SCOPED_TRACE(pipe ? "a pipe" : "a folder");
        if (pipe) {
            ::mkfifo("cmentarz.dat", 0600);
        } else {
            std::filesystem::create_directory("cmentarz.dat");
        }
        screen.clearTranscript();
        screen.type("kk");
        showGraveyard();
        EXPECT_EQ(screen.transcript(), "{clear}CMENTARZ\nCmentarz jest pusty...");
        // Put aside like any graveyard that cannot be read.
        recordDeath();
        EXPECT_EQ(decodeGraveyard(readBytes("cmentarz.dat"))->size(), 1u);
        EXPECT_TRUE(pipe ? std::filesystem::is_fifo("cmentarz.dat.bak") : std::filesystem::is_directory("cmentarz.dat.bak"));
        removeAllFiles();
    }

    // Where the temporary file goes: a pipe, or a link to a file that is
    // not the game's. The save replaces them and leaves the other file be.
    writeBytes("other", {1, 2, 3});
    for (const bool pipe : {true, false}) {
        SCOPED_TRACE(pipe ? "a pipe" : "a link");
        if (pipe) {
            ::mkfifo(".save_Testowy.tmp", 0600);
        } else {
            std::filesystem::create_symlink("other", ".save_Testowy.tmp");
        }
        ASSERT_TRUE(saveGame(false));
        EXPECT_EQ(readBytes("save_Testowy"), imageOfTheGame());
        EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status("save_Testowy")));
        EXPECT_EQ(readBytes("other"), (std::vector<unsigned char>{1, 2, 3}));
        EXPECT_EQ(files(), (std::vector<std::string>{"other", "save_Testowy"}));
    }
}
#endif

}  // namespace
}  // namespace kelvrin::test
