// What the fuzz targets share: an in-memory disk behind the file seam (so a
// run never touches the real disk and costs no fsync), a fresh game on the
// scripted console for every input, and a check that stops the run with a
// message when a reader breaks one of its promises.
#pragma once

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "character/rules_tables.h"
#include "core/binary_file.h"
#include "core/clock.h"
#include "core/console.h"
#include "core/game_state.h"
#include "core/hero_lock.h"
#include "core/random.h"
#include "data/classes.h"
#include "data/races.h"
#include "items/inventory.h"
#include "platform/scripted_backend.h"

// Stops the run as a crash, so that libFuzzer keeps the input that did it.
#define FUZZ_CHECK(condition)                                                                     \
    do {                                                                                          \
        if (!(condition)) {                                                                       \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                                         \
        }                                                                                         \
    } while (0)

namespace kelvrin::fuzz {

// Files by name, and the descriptors open on them.
class MemoryDisk {
public:
    using Files = std::map<std::string, std::vector<unsigned char>>;

    static Files& files() {
        static Files all;
        return all;
    }

    static const FileOperations& operations() {
        static const FileOperations table{openForReading, createForWriting, read,   write,         flushToDisk,
                                          close,          rename,           remove, exists,        flushFolderOf,
                                          lockExclusive};
        return table;
    }

    // An empty disk, in use from now on.
    static void install() {
        files().clear();
        open().clear();
        setFileOperations(&operations());
    }
    static void uninstall() { setFileOperations(nullptr); }

    static bool has(const std::string& path) { return files().count(path) != 0; }

private:
    struct OpenFile {
        std::string path;
        std::size_t pos = 0;
        bool locked = false;
    };

    static std::map<int, OpenFile>& open() {
        static std::map<int, OpenFile> descriptors;
        return descriptors;
    }

    static int newDescriptor(const char* path) {
        const int fd = open().empty() ? 3 : open().rbegin()->first + 1;
        open()[fd] = OpenFile{path, 0};
        return fd;
    }

    static int openForReading(const char* path) { return has(path) ? newDescriptor(path) : -1; }
    static int createForWriting(const char* path) {
        files()[path].clear();
        return newDescriptor(path);
    }
    static long read(int fd, void* data, std::size_t size) {
        const auto file = open().find(fd);
        if (file == open().end() || !has(file->second.path)) return -1;
        const std::vector<unsigned char>& bytes = files()[file->second.path];
        const std::size_t left = bytes.size() - std::min(bytes.size(), file->second.pos);
        const std::size_t count = std::min(left, size);
        if (count > 0) std::copy_n(bytes.begin() + static_cast<long>(file->second.pos), count, static_cast<unsigned char*>(data));
        file->second.pos += count;
        return static_cast<long>(count);
    }
    static long write(int fd, const void* data, std::size_t size) {
        const auto file = open().find(fd);
        if (file == open().end() || !has(file->second.path)) return -1;
        const auto* bytes = static_cast<const unsigned char*>(data);
        files()[file->second.path].insert(files()[file->second.path].end(), bytes, bytes + size);
        return static_cast<long>(size);
    }
    static bool flushToDisk(int fd) { return open().count(fd) != 0; }
    static bool close(int fd) { return open().erase(fd) != 0; }
    static bool rename(const char* from, const char* to) {
        const auto file = files().find(from);
        if (file == files().end()) return false;
        std::vector<unsigned char> bytes = std::move(file->second);
        files().erase(file);
        files()[to] = std::move(bytes);
        return true;
    }
    static bool remove(const char* path) { return files().erase(path) != 0; }
    static bool exists(const char* path) { return has(path); }
    static void flushFolderOf(const char*) {}
    // As flock: a lock taken through another descriptor, even of this
    // process, is someone else's.
    static int lockExclusive(const char* path) {
        for (const auto& [fd, file] : open()) {
            if (file.locked && file.path == path) {
                errno = EWOULDBLOCK;
                return -1;
            }
        }
        files()[path];  // an empty file if there was none
        const int fd = newDescriptor(path);
        open()[fd].locked = true;
        return fd;
    }
};

// A new game for one input: the in-memory disk, the scripted console, the
// generator and the clock fixed. Keys come from the script first, then
// from `spare` (at most `spareCount` of them), then the input ends, so no
// reader can wait for ever.
class FuzzGame {
public:
    explicit FuzzGame(int spareCount = 0, std::function<int()> spare = [] { return ' '; })
        : spareLeft_(spareCount), spare_(std::move(spare)) {
        MemoryDisk::install();
        setBackend(&screen);
        seedRandom(20240601);
        setFixedClock(1300000000);
        resetForNewGame();
        screen.setKeySource([this] {
            if (spareLeft_ <= 0) return static_cast<int>(KeyEnd);
            --spareLeft_;
            return spare_();
        });
    }
    ~FuzzGame() {
        releaseHeroLock();
        setBackend(nullptr);
        setFixedClock(std::nullopt);
        MemoryDisk::uninstall();
    }
    FuzzGame(const FuzzGame&) = delete;
    FuzzGame& operator=(const FuzzGame&) = delete;

    // Runs a screen until it returns (true) or the keys run out (false).
    static bool runUntilInputEnds(const std::function<void()>& screenLoop) {
        try {
            screenLoop();
        } catch (const EndOfInput&) {
            return false;
        }
        return true;
    }

    bool shows(const std::string& text) const { return screen.transcript().find(text) != std::string::npos; }

    ScriptedBackend screen;

private:
    int spareLeft_;
    std::function<int()> spare_;
};

// A hero in the middle of a game: a human fighter of the third level with
// a sword, armour, a shield and a few things in the backpack, in the town.
inline void makeFuzzHero(const std::string& name) {
    resetForNewGame();
    hero.name = name;
    hero.race = RaceHuman;
    hero.heroClass = ClassFighter;
    hero.attributes = {15, 12, 13, 10, 11, 9};
    hero.level = 3;
    hero.baseAttack = 3;
    hero.attackPool = 3;
    hero.xp = 3100;
    hero.xpNext = xpForNextLevel(3);
    hero.maxHp = 27;
    hero.hp = 19;
    hero.gold = 412;
    hero.weapon = ItemSlot{7, KindWeapon, 1, 1, Identified};
    hero.armour = ItemSlot{6, KindArmour, 0, 0, Identified};
    hero.shield = ItemSlot{1, KindShield, 0, 0, Identified};
    hero.inventory[0] = ItemSlot{2, KindPotion, 0, 0, Identified};
    hero.inventory[1] = ItemSlot{3, KindGem, 0, 0, 0};
    hero.inventory[2] = ItemSlot{4, KindWeapon, 0, 2, 0};
    hero.lastHarm = 5;
    world.day = 40;
    world.killCounts[5] = 3;
    world.levelSeeds[0] = {1300000042u, 0x3u};
    hero.capacity = computeCapacity();
    recomputeLoad();
}

}  // namespace kelvrin::fuzz
