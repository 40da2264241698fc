#include <algorithm>
#include <cstring>
#include <functional>

#include "support/game_test.h"
#include "support/temp_folder.h"
#include "support/test_hero.h"

#include "character/rules_tables.h"
#include "core/binary_file.h"
#include "core/save_file.h"
#include "data/monsters.h"
#include "platform/file_system.h"

namespace kelvrin::test {
namespace {

class SaveFileTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        makeKnownHero();
    }

    // A hero with a different value in nearly every field, on the fifth
    // dungeon level, standing at (7, 13).
    static void makeKnownHero() {
        makeTestHero();
        hero.attributes = {16, 13, 14, 9, 11, 8};
        hero.race = 2;
        hero.heroClass = 0;
        hero.hp = 23;
        hero.maxHp = 31;
        hero.gold = 1234;
        hero.level = 4;
        hero.xp = 6543;
        hero.xpNext = xpForNextLevel(4);
        hero.weapon = ItemSlot{6, KindWeapon, 1, 2, Identified | Keen};
        hero.armour = ItemSlot{3, KindArmour, 0, 1, Identified};
        hero.shield = ItemSlot{0, KindEmpty, 0, 0, 0};
        hero.inventory[0] = ItemSlot{4, KindPotion, 0, -1, Identified | StrengthKnown};
        hero.inventory[3] = ItemSlot{5, KindGem, 0, 0, 0};
        hero.inventory[19] = ItemSlot{1, KindShield, 1, 0, Identified};
        hero.baseAttack = 4;
        hero.powerAttack = 2;
        hero.expertise = 1;
        hero.attackPool = 1;
        hero.feats = 0x80000011u;
        hero.toughnessCount = 1;
        hero.ragesLeft = 1;
        hero.ragesPerDay = 2;
        hero.extraRageCount = 1;
        hero.extendedRageCount = 3;
        hero.weaponFocusMask = 0x40;
        hero.weaponSpecMask = 0x41;
        hero.improvedCritMask = 0x2000;
        hero.damageReduction = 1;
        hero.poison = 2;
        hero.lastHarm = MonsterOgre;
        hero.alignment = -7;
        hero.lastChances = 2;
        hero.capacity = computeCapacity();
        world.savedX = 7;
        world.savedY = 13;
        world.location = LocationDungeon;
        world.dungeonLevel = 4;
        world.day = 200;
        world.year = 114;
        world.startMarker = 1;
        world.questKind = 3;
        world.storyFlags = LandOwned | MineFound | ChiefDead;
        world.questStage = 5;
        world.killCounts[0] = 9;
        world.killCounts[59] = 2;
        world.levelSeeds[0] = {1300000123u, 0x5};
        world.levelSeeds[17] = {0xFFFFFFFFu, 0x80000000u};
    }

    SaveImage image() const {
        SaveImage bytes{};
        encodeSave(hero, world, false, bytes);
        return bytes;
    }
};

// Little-endian 32-bit values at the offsets of the file layout, written by
// hand rather than by the code under test.
struct ExpectedImage {
    std::vector<unsigned char> bytes = std::vector<unsigned char>(1008, 0);
    void put(std::size_t offset, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) bytes.at(offset + static_cast<std::size_t>(i)) = static_cast<unsigned char>(value >> (8 * i));
    }
    void slot(std::size_t offset, std::int32_t id, std::int32_t kind, std::int32_t masterwork, std::int32_t bonus,
              std::uint32_t flags) {
        put(offset, static_cast<std::uint32_t>(id));
        put(offset + 4, static_cast<std::uint32_t>(kind));
        put(offset + 8, static_cast<std::uint32_t>(masterwork));
        put(offset + 12, static_cast<std::uint32_t>(bonus));
        put(offset + 16, flags);
    }
};

TEST_F(SaveFileTest, ImageOfAKnownHeroByteForByte) {
    ExpectedImage e;
    std::memcpy(e.bytes.data(), "HERO", 4);
    const std::uint32_t attributes[] = {16, 13, 14, 9, 11, 8};
    for (std::size_t i = 0; i < 6; ++i) e.put(8 + 4 * i, attributes[i]);
    e.put(32, 2);
    e.put(36, 0);
    e.put(40, 23);
    e.put(44, 31);
    e.put(48, 1234);
    e.put(52, 4);
    e.put(56, 6543);
    e.slot(60, 6, 1, 1, 2, 0x0A);
    e.slot(80, 3, 2, 0, 1, 0x08);
    e.slot(100, 0, 0, 0, 0, 0);
    e.slot(120, 4, 4, 0, -1, 0x18);
    e.slot(120 + 3 * 20, 5, 5, 0, 0, 0);
    e.slot(120 + 19 * 20, 1, 3, 1, 0, 0x08);
    e.put(520, 0x80000011u);
    const std::uint32_t counters[] = {2, 1, 1, 1, 2, 1, 3, 0x40, 0x41, 0x2000, 1, 2, 4, static_cast<std::uint32_t>(-7)};
    for (std::size_t i = 0; i < std::size(counters); ++i) e.put(524 + 4 * i, counters[i]);
    const std::uint32_t world[] = {7, 13, 3, 4, 200, 114, 1, 2, 3, 0x200401, 5};
    for (std::size_t i = 0; i < std::size(world); ++i) e.put(580 + 4 * i, world[i]);
    e.put(624, 9);
    e.put(624 + 59 * 4, 2);
    e.put(864, 1300000123u);
    e.put(868, 5);
    e.put(864 + 17 * 8, 0xFFFFFFFFu);
    e.put(868 + 17 * 8, 0x80000000u);

    const SaveImage bytes = image();
    EXPECT_EQ(std::vector<unsigned char>(bytes.begin(), bytes.end()), e.bytes);
}

// Everything the file holds comes back; what it does not hold is rebuilt.
void expectLoadedAsSaved(const Hero& saved, const WorldState& savedWorld) {
    EXPECT_EQ(hero.name, saved.name);
    EXPECT_EQ(hero.attributes, saved.attributes);
    EXPECT_EQ(hero.race, saved.race);
    EXPECT_EQ(hero.heroClass, saved.heroClass);
    EXPECT_EQ(hero.hp, saved.hp);
    EXPECT_EQ(hero.maxHp, saved.maxHp);
    EXPECT_EQ(hero.gold, saved.gold);
    EXPECT_EQ(hero.level, saved.level);
    EXPECT_EQ(hero.xp, saved.xp);
    EXPECT_EQ(hero.xpNext, xpForNextLevel(saved.level));
    EXPECT_EQ(hero.weapon, saved.weapon);
    EXPECT_EQ(hero.armour, saved.armour);
    EXPECT_EQ(hero.shield, saved.shield);
    EXPECT_EQ(hero.inventory, saved.inventory);
    EXPECT_EQ(hero.baseAttack, saved.level);
    EXPECT_EQ(hero.attackPool, saved.level - saved.powerAttack - saved.expertise);
    EXPECT_EQ(hero.feats, saved.feats);
    EXPECT_EQ(hero.powerAttack, saved.powerAttack);
    EXPECT_EQ(hero.expertise, saved.expertise);
    EXPECT_EQ(hero.toughnessCount, saved.toughnessCount);
    EXPECT_EQ(hero.ragesLeft, saved.ragesLeft);
    EXPECT_EQ(hero.ragesPerDay, saved.ragesPerDay);
    EXPECT_EQ(hero.extraRageCount, saved.extraRageCount);
    EXPECT_EQ(hero.extendedRageCount, saved.extendedRageCount);
    EXPECT_EQ(hero.weaponFocusMask, saved.weaponFocusMask);
    EXPECT_EQ(hero.weaponSpecMask, saved.weaponSpecMask);
    EXPECT_EQ(hero.improvedCritMask, saved.improvedCritMask);
    EXPECT_EQ(hero.damageReduction, saved.damageReduction);
    EXPECT_EQ(hero.kpModifier, 0);
    EXPECT_EQ(hero.poison, saved.poison);
    EXPECT_EQ(hero.lastHarm, saved.lastHarm);
    EXPECT_EQ(hero.alignment, saved.alignment);
    EXPECT_EQ(hero.lastChances, saved.lastChances);
    EXPECT_EQ(world.questStage, savedWorld.questStage);
    EXPECT_EQ(world.storyFlags, savedWorld.storyFlags);
    EXPECT_EQ(world.questKind, savedWorld.questKind);
    EXPECT_EQ(world.killCounts, savedWorld.killCounts);
    EXPECT_EQ(world.levelSeeds, savedWorld.levelSeeds);
    EXPECT_EQ(world.savedX, savedWorld.savedX);
    EXPECT_EQ(world.savedY, savedWorld.savedY);
    EXPECT_EQ(world.startMarker, savedWorld.startMarker);
    EXPECT_EQ(world.dungeonLevel, savedWorld.dungeonLevel);
    EXPECT_EQ(world.location, savedWorld.location);
    EXPECT_EQ(world.year, savedWorld.year);
    EXPECT_EQ(world.day, savedWorld.day);
    EXPECT_FALSE(world.inCombat);
    EXPECT_TRUE(world.resumeDungeon);
}

TEST_F(SaveFileTest, SaveAndLoadGiveBackTheSameGame) {
    const TempFolder folder;
    hero.kpModifier = -2;  // saved during a rage
    hero.baseAttack = 4;
    const Hero saved = hero;
    const WorldState savedWorld = world;
    ASSERT_TRUE(saveGame(false));
    EXPECT_EQ(folder.files(), std::vector<std::string>{"save_Testowy"});
    EXPECT_EQ(readBytes("save_Testowy").size(), 1008u);

    resetForNewGame();
    hero.name = "Testowy";
    world.inCombat = true;
    ASSERT_TRUE(loadGame());
    expectLoadedAsSaved(saved, savedWorld);
    EXPECT_FLOAT_EQ(hero.capacity, computeCapacity(16, 2));
    EXPECT_GT(hero.load, 0.0f);
    EXPECT_TRUE(folder.files().empty());  // the hero is in memory now, not on disk
}

TEST_F(SaveFileTest, TheCrashImageTakesOffWhatTheRunningFightGave) {
    world.fightChanges.attributes = {4, 0, 4, 0, 0, 0};
    world.fightChanges.hp = 8;
    world.fightChanges.maxHp = 8;
    SaveImage crash{};
    encodeSave(hero, world, true, crash);
    const std::optional<LoadedGame> game = decodeSave(crash, hero, world);
    ASSERT_TRUE(game);
    EXPECT_EQ(game->hero.attributes, (std::array<int, 6>{12, 13, 10, 9, 11, 8}));
    EXPECT_EQ(game->hero.hp, 15);
    EXPECT_EQ(game->hero.maxHp, 23);
    EXPECT_EQ(game->world.fightChanges.hp, 0);
    // A normal save never takes them off.
    EXPECT_EQ(decodeSave(image(), hero, world)->hero.hp, 23);
}

struct Corruption {
    const char* what;
    std::function<void(std::vector<unsigned char>&)> apply;
};

void put32(std::vector<unsigned char>& bytes, std::size_t offset, std::int32_t value) {
    for (int i = 0; i < 4; ++i) bytes.at(offset + static_cast<std::size_t>(i)) = static_cast<unsigned char>(static_cast<std::uint32_t>(value) >> (8 * i));
}

Corruption field(const char* what, std::size_t offset, std::int32_t value) {
    return {what, [=](std::vector<unsigned char>& b) { put32(b, offset, value); }};
}

Corruption truncated(std::size_t size) {
    return {"truncated", [=](std::vector<unsigned char>& b) { b.resize(size); }};
}

TEST_F(SaveFileTest, DamagedFilesAreRefusedAndLeftAlone) {
    const TempFolder folder;
    const std::size_t backpack = 120 + 20 * 7;  // an empty backpack slot
    const Corruption corruptions[] = {
        truncated(0), truncated(4), truncated(8), truncated(520), truncated(1007),
        {"a byte too many", [](auto& b) { b.push_back(0); }},
        {"wrong magic", [](auto& b) { b[3] = 'A'; }},
        {"fifth byte not zero", [](auto& b) { b[4] = 'S'; }},
        field("race 7", 32, 7), field("race -1", 32, -1), field("class 2", 36, 2),
        field("level 0", 52, 0), field("level 31", 52, 31),
        field("weapon slot holds armour", 64, KindArmour), field("weapon row 14", 60, 14),
        field("armour slot holds a weapon", 84, KindWeapon), field("armour row 12", 80, 12),
        field("shield slot holds a weapon", 104, KindWeapon),
        {"shield row 2", [](auto& b) { put32(b, 100, 2); put32(b, 104, KindShield); }},
        field("backpack kind 6", backpack + 4, 6), field("backpack kind -1", backpack + 4, -1),
        {"potion row 6", [=](auto& b) { put32(b, backpack, 6); put32(b, backpack + 4, KindPotion); }},
        {"gem row -1", [=](auto& b) { put32(b, backpack, -1); put32(b, backpack + 4, KindGem); }},
        field("lastHarm -7", 572, -7), field("lastHarm -100", 572, -100), field("lastHarm 60", 572, 60),
        field("location 8", 588, 8), field("location -2", 588, -2),
        field("dungeon level 12", 592, 12), field("dungeon level -1", 592, -1),
        {"mine level 1", [](auto& b) { put32(b, 588, LocationMine); put32(b, 592, 1); }},
        {"chamber level 1", [](auto& b) { put32(b, 588, LocationChallengeChamber); put32(b, 592, 1); }},
        {"crypt level 3", [](auto& b) { put32(b, 588, LocationCrypt); put32(b, 592, 3); }},
        field("x 20", 580, 20), field("y -1", 584, -1),
        field("day 0", 596, 0),
    };
    const SaveImage good = image();
    const Hero before = hero;
    const WorldState worldBefore = world;
    for (const Corruption& corruption : corruptions) {
        SCOPED_TRACE(corruption.what);
        std::vector<unsigned char> bytes(good.begin(), good.end());
        corruption.apply(bytes);
        writeBytes("save_Testowy", bytes);
        screen.type("k");
        EXPECT_FALSE(loadGame());
        EXPECT_NE(screen.transcript().find("{clear}Pilk zapisu 'save_Testowy' jest uszkodzony!\n"), std::string::npos);
        screen.clearTranscript();
        EXPECT_EQ(screen.keysQueued(), 0u);
        EXPECT_EQ(readBytes("save_Testowy"), bytes);
        SaveImage now{};
        encodeSave(hero, world, false, now);
        EXPECT_EQ(now, good);
        EXPECT_EQ(hero.baseAttack, before.baseAttack);
        EXPECT_EQ(world.resumeDungeon, worldBefore.resumeDungeon);
    }
}

TEST_F(SaveFileTest, ValuesAGameCanReachAreLoaded) {
    const Corruption accepted[] = {
        {"bytes 5 to 7 of the magic", [](auto& b) { b[5] = 'X'; b[6] = 'Y'; }},
        field("lastHarm -99", 572, HarmNothingYet), field("lastHarm -4", 572, -4), field("lastHarm -6", 572, -6),
        field("lastHarm 59", 572, 59), field("level 30", 52, 30), field("hp -40", 40, -40),
        field("negative gold", 48, -5), field("strength 0", 8, 0),
        {"on the world map, anywhere", [](auto& b) { put32(b, 588, LocationWorldMap); put32(b, 580, 999); put32(b, 592, 77); }},
        {"halls of pain", [](auto& b) { put32(b, 588, LocationHallsOfPain); put32(b, 592, 0); }},
        {"the crypt's last level", [](auto& b) { put32(b, 588, LocationCrypt); put32(b, 592, 2); put32(b, 580, 19); }},
        {"shield slot empty with an odd id", [](auto& b) { put32(b, 100, 9); }},
    };
    const SaveImage good = image();
    for (const Corruption& change : accepted) {
        SCOPED_TRACE(change.what);
        std::vector<unsigned char> bytes(good.begin(), good.end());
        change.apply(bytes);
        EXPECT_TRUE(decodeSave(bytes, hero, world));
    }
}

TEST_F(SaveFileTest, DaysPastTheYearEndBelongToTheNextYears) {
    struct Case {
        int day, year, expectedDay, expectedYear;
    };
    for (const Case c : {Case{365, 113, 365, 113}, Case{366, 113, 1, 114}, Case{3 * 365 + 5, 113, 5, 116},
                         Case{730, 200, 365, 201}}) {
        world.day = c.day;
        world.year = c.year;
        const std::optional<LoadedGame> game = decodeSave(image(), hero, world);
        ASSERT_TRUE(game);
        EXPECT_EQ(game->world.day, c.expectedDay) << c.day;
        EXPECT_EQ(game->world.year, c.expectedYear) << c.day;
    }
}

TEST_F(SaveFileTest, AMissingFileCannotBeLoaded) {
    const TempFolder folder;
    screen.type("k");
    const Hero before = hero;
    EXPECT_FALSE(loadGame());
    EXPECT_NE(screen.transcript().find("{clear}Nie mozna wczytac gry!\n"), std::string::npos);
    EXPECT_EQ(screen.keysQueued(), 0u);
    EXPECT_EQ(hero.gold, before.gold);
}

// The file operations with one step made to fail.
long failingWrite(int, const void*, std::size_t) { return -1; }
long stuckWrite(int, const void*, std::size_t) { return 0; }
int halfWriteCalls = 0;
long halfWrite(int fd, const void* data, std::size_t size) {
    if (halfWriteCalls++ > 0) return -1;
    return systemFileOperations().write(fd, data, std::min<std::size_t>(size, 500));
}
bool failingRename(const char*, const char*) { return false; }
bool failingFlush(int) { return false; }
int failingCreate(const char*) { return -1; }

TEST_F(SaveFileTest, AFailedSaveLeavesTheOldFileWhole) {
    const TempFolder folder;
    const std::vector<unsigned char> old(1008, 0x55);
    writeBytes("save_Testowy", old);
    struct Fault {
        const char* what;
        FileOperations operations;
    };
    FileOperations base = systemFileOperations();
    std::vector<Fault> faults;
    faults.push_back({"create", base});
    faults.back().operations.createForWriting = failingCreate;
    faults.push_back({"full disk", base});
    faults.back().operations.write = failingWrite;
    faults.push_back({"no progress", base});
    faults.back().operations.write = stuckWrite;
    faults.push_back({"half written", base});
    faults.back().operations.write = halfWrite;
    faults.push_back({"flush", base});
    faults.back().operations.flushToDisk = failingFlush;
    faults.push_back({"rename", base});
    faults.back().operations.rename = failingRename;
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.what);
        setFileOperations(&fault.operations);
        EXPECT_FALSE(saveGame(false));
        setFileOperations(nullptr);
        EXPECT_NE(screen.transcript().find("{clear}Nie mozna zapisac gry!"), std::string::npos);
        screen.clearTranscript();
        EXPECT_EQ(readBytes("save_Testowy"), old);
        EXPECT_EQ(folder.files(), std::vector<std::string>{"save_Testowy"});  // no temporary file left
    }
    EXPECT_TRUE(saveGame(false));
    EXPECT_EQ(readBytes("save_Testowy").size(), 1008u);
}

TEST(BinaryFile, TemporaryNamesStayInTheFolderAndNeverLookLikeAGameFile) {
    EXPECT_EQ(temporaryNameFor("save_Ala"), ".save_Ala.tmp");
    EXPECT_EQ(temporaryNameFor("dir/cmentarz.dat"), "dir/.cmentarz.dat.tmp");
    // A hero called "Ala.tmp" never shares a file with the temporary file of "Ala".
    EXPECT_NE(temporaryNameFor("save_Ala"), "save_Ala.tmp");
}

TEST(BinaryFile, ReadingAWholeFileKnowsMissingTooLargeAndUnreadable) {
    const TempFolder folder;
    writeBytes("five", {1, 2, 3, 4, 5});
    std::filesystem::create_directory("folder");
    EXPECT_EQ(readWholeFile("nothing", 10).status, ReadStatus::Missing);
    EXPECT_EQ(readWholeFile("five", 4).status, ReadStatus::TooLarge);
    EXPECT_EQ(readWholeFile("five", 5).bytes, (std::vector<unsigned char>{1, 2, 3, 4, 5}));
    EXPECT_EQ(readWholeFile("folder", 10).status, ReadStatus::Unreadable);
    const std::vector<unsigned char> big(200000, 7);
    writeBytes("big", big);
    EXPECT_EQ(readWholeFile("big", 200000).bytes, big);
    EXPECT_EQ(readWholeFile("big", 199999).status, ReadStatus::TooLarge);
}

}  // namespace
}  // namespace kelvrin::test
