#include <climits>
#include <cstring>
#include <functional>

#include "support/failing_disk.h"
#include "support/game_test.h"
#include "support/temp_folder.h"
#include "support/test_hero.h"

#include "character/derived_values.h"
#include "character/rules_tables.h"
#include "core/binary_file.h"
#include "core/save_file.h"
#include "data/monsters.h"
#include "items/item_display.h"

namespace kelvrin::test {
namespace {

class SaveFileTest : public GameTest {
protected:
    // A hero with a different value in nearly every field the file holds, on dungeon level 5 at (7, 13).
    void SetUp() override {
        GameTest::SetUp();
        makeTestHero();
        hero.attributes = {16, 13, 14, 9, 11, 8};
        hero.race = 2;
        hero.heroClass = 0;
        hero.hp = 23;
        hero.maxHp = 31;
        hero.gold = 1234;
        hero.level = 4;
        hero.xp = 6543;
        hero.lastChances = 2;
        hero.shield = ItemSlot{0, KindEmpty, 0, 0, 0};
        hero.weapon = ItemSlot{6, KindWeapon, 1, 2, Identified | Keen};
        hero.armour = ItemSlot{3, KindArmour, 0, 1, Identified};
        hero.inventory[0] = ItemSlot{4, KindPotion, 0, -1, Identified | StrengthKnown};
        hero.inventory[3] = ItemSlot{5, KindGem, 0, 0, 0};
        hero.inventory[19] = ItemSlot{1, KindShield, 1, 0, Identified};
        hero.powerAttack = 2;
        hero.expertise = 1;
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
        world.savedX = 7;
        world.savedY = 13;
        world.location = LocationDungeon;
        world.dungeonLevel = 4;
        world.day = 200;
        world.year = 114;
        world.startMarker = 1;
        world.questKind = 3;
        world.questStage = 5;
        world.storyFlags = LandOwned | MineFound | ChiefDead;
        world.killCounts[0] = 9;
        world.killCounts[59] = 2;
        world.levelSeeds[0] = {1300000123u, 0x5};
        world.levelSeeds[17] = {0xFFFFFFFFu, 0x80000000u};
    }
    static SaveImage image() {
        SaveImage bytes{};
        encodeSave(hero, world, false, bytes);
        return bytes;
    }
};

// Little-endian 32-bit words from `offset` on.
void put32(std::vector<unsigned char>& bytes, std::size_t offset, const std::vector<std::int64_t>& words) {
    for (const std::int64_t word : words)
        for (int i = 0; i < 4; ++i)
            bytes.at(offset++) = static_cast<unsigned char>(static_cast<std::uint32_t>(word) >> (8 * i));
}

// The image is written by hand at the offsets of the file layout, not by the code under test.
TEST_F(SaveFileTest, ImageOfAKnownHeroByteForByte) {
    std::vector<unsigned char> expected(SaveFileSize, 0);
    std::memcpy(expected.data(), "HERO", 4);
    put32(expected, 8, {16, 13, 14, 9, 11, 8, 2, 0, 23, 31, 1234, 4, 6543});  // scores ... experience
    put32(expected, 60, {6, 1, 1, 2, 0x0A, 3, 2, 0, 1, 0x08});               // weapon, armour; no shield
    put32(expected, 120, {4, 4, 0, -1, 0x18});                               // backpack slot 0, 20 bytes a slot
    put32(expected, 180, {5, 5});                                            // slot 3
    put32(expected, 500, {1, 3, 1, 0, 0x08});                                // slot 19
    put32(expected, 520, {0x80000011u, 2, 1, 1, 1, 2, 1, 3, 0x40, 0x41, 0x2000, 1, 2, 4, -7});  // feats, counters
    put32(expected, 580, {7, 13, 3, 4, 200, 114, 1, 2, 3, 0x200401, 5, 9});  // world, the first kill count
    put32(expected, 860, {2});                                               // kill count 59, 4 bytes each from 624
    put32(expected, 864, {1300000123u, 5});                                  // level seed 0, 8 bytes each
    put32(expected, 1000, {0xFFFFFFFFu, 0x80000000u});                       // level seed 17
    const SaveImage bytes = image();
    EXPECT_EQ(std::vector<unsigned char>(bytes.begin(), bytes.end()), expected);
}

// Through short reads and writes; what the file does not hold is rebuilt; a crash image takes off the fight's gains.
TEST_F(SaveFileTest, SaveAndLoadGiveBackTheSameGame) {
    const FailingDisk disk(Fault::ShortTransfers);
    hero.kpModifier = -2;  // saved during a rage
    const SaveImage saved = image();
    ASSERT_TRUE(saveGame(false));
    EXPECT_EQ(filesIn("."), std::vector<std::string>{"save_Testowy"});
    resetForNewGame();
    hero.name = "Testowy";
    world.inCombat = true;
    ASSERT_TRUE(loadGame());
    ASSERT_EQ(image(), saved);
    EXPECT_EQ(std::pair(hero.name, hero.xpNext), std::pair(std::string("Testowy"), xpForNextLevel(4)));
    // The attack pool is the base attack 4 less power attack 2 and expertise 1.
    EXPECT_EQ(std::pair(hero.baseAttack, hero.attackPool), std::pair(4, 1));
    EXPECT_EQ(std::tuple(hero.kpModifier, world.inCombat, world.resumeDungeon), std::tuple(0, false, true));
    EXPECT_TRUE(filesIn(".").empty());  // the hero is in memory now, not on disk
    world.fightChanges.attributes = {4, 0, 4, 0, 0, 0};
    world.fightChanges.hp = world.fightChanges.maxHp = 8;
    SaveImage crash{};
    encodeSave(hero, world, true, crash);
    const std::optional<LoadedGame> game = decodeSave(crash, hero, world);
    ASSERT_TRUE(game);
    EXPECT_EQ(std::tuple(game->hero.attributes, game->hero.hp, game->hero.maxHp, game->world.fightChanges.hp),
              std::tuple(std::array<int, 6>{12, 13, 10, 9, 11, 8}, 15, 23, 0));
    EXPECT_EQ(decodeSave(image(), hero, world)->hero.hp, 23);
}

using Bytes = std::vector<unsigned char>;
using Words = std::pair<std::size_t, std::vector<std::int64_t>>;  // words put from an offset

// Loading says so, waits for a key, changes nothing; gold and experience, which a game takes to INT_MAX, are no damage.
TEST_F(SaveFileTest, DamagedFilesAreRefusedAndLeftAlone) {
    const SaveImage good = image();
    const int baseAttack = hero.baseAttack;
    const bool resume = world.resumeDungeon;
    const auto check = [&](const std::string& what, const std::function<void(Bytes&)>& change, bool loads) {
        SCOPED_TRACE(what);
        Bytes bytes(good.begin(), good.end());
        change(bytes);
        EXPECT_EQ(decodeSave(bytes, hero, world).has_value(), loads);
        if (loads) return;
        writeBytes("save_Testowy", bytes);
        screen.clearTranscript();
        screen.type("k");
        EXPECT_FALSE(loadGame());
        EXPECT_TRUE(has(screen.transcript(), "{clear}Pilk zapisu 'save_Testowy' jest uszkodzony!\n"))
            << screen.transcript();
        EXPECT_EQ(screen.keysQueued(), 0u);
        EXPECT_EQ(readBytes("save_Testowy"), bytes);
        EXPECT_EQ(image(), good);
        EXPECT_EQ(std::pair(hero.baseAttack, world.resumeDungeon), std::pair(baseAttack, resume));
    };
    const std::size_t slot = 120 + 20 * 7;  // an empty backpack slot
    const std::vector<Words> refused = {
        {32, {7}}, {32, {-1}}, {36, {2}}, {52, {0}}, {52, {31}},                              // race, class, level
        {64, {KindArmour}}, {60, {14}}, {84, {KindWeapon}}, {80, {12}}, {104, {KindWeapon}},  // kind or row of a slot
        {100, {2, KindShield}}, {slot + 4, {6}}, {slot + 4, {-1}}, {slot, {6, KindPotion}}, {slot, {-1, KindGem}},
        {572, {-7}}, {572, {-100}}, {572, {60}},                                              // the last harm
        {588, {8}}, {588, {-2}}, {592, {12}}, {592, {-1}}, {588, {LocationMine, 1}},          // place and level
        {588, {LocationChallengeChamber, 1}}, {588, {LocationCrypt, 3}}, {580, {20}}, {584, {-1}}, {596, {0}},
        // Strength, charisma, hp, weapon bonus and masterwork, an empty slot's bonus, power attack,
        // alignment, quest stage, the last kill count, the year, a day that runs the year past the limit.
        {8, {INT_MIN}}, {28, {-1000001}}, {40, {INT_MAX}}, {72, {INT_MAX}}, {68, {INT_MIN}}, {332, {INT_MAX}},
        {524, {INT_MIN}}, {576, {2000000}}, {620, {INT_MAX}}, {860, {INT_MAX}}, {600, {INT_MAX}}, {596, {INT_MAX}},
    };
    const std::vector<Words> loaded = {
        {572, {HarmNothingYet}}, {572, {-4}}, {572, {-6}}, {572, {59}}, {52, {30}}, {40, {-40}}, {48, {-5}}, {8, {0}},
        {580, {999, 13, LocationWorldMap, 77}}, {588, {LocationHallsOfPain, 0}}, {580, {19, 13, LocationCrypt, 2}},
        {100, {9}}, {8, {1000000}}, {596, {365 * 40 + 7}}, {48, {INT_MAX}}, {56, {INT_MAX}},  // an odd empty shield
    };
    for (const bool loads : {false, true}) {
        for (const auto& [at, words] : loads ? loaded : refused)
            check(std::to_string(words[0]) + " at " + std::to_string(at),
                  [at = at, &words = words](Bytes& b) { put32(b, at, words); }, loads);
    }
    for (const std::size_t size : {0, 4, 8, 520, 1007})
        check("truncated to " + std::to_string(size), [=](Bytes& b) { b.resize(size); }, false);
    check("a byte too many", [](Bytes& b) { b.push_back(0); }, false);
    check("wrong magic", [](Bytes& b) { b[3] = 'A'; }, false);
    check("fifth byte not zero", [](Bytes& b) { b[4] = 'S'; }, false);
    check("bytes 5 to 7 of the magic", [](Bytes& b) { std::memcpy(&b[5], "XY", 2); }, true);
    // Days past the year's end belong to the next years.
    for (const auto& [day, year, toDay, toYear] :
         {std::array{365, 113, 365, 113}, {366, 113, 1, 114}, {3 * 365 + 5, 113, 5, 116}, {730, 200, 365, 201}}) {
        world.day = day;
        world.year = year;
        const std::optional<LoadedGame> game = decodeSave(image(), hero, world);
        EXPECT_EQ(game ? std::pair(game->world.day, game->world.year) : std::pair(0, 0), std::pair(toDay, toYear))
            << day;
    }
}

// A fuzz finding: the sheet and derived values of the largest scores a file may hold do not overflow.
TEST_F(SaveFileTest, TheLargestScoresAFileMayHoldAreShown) {
    hero.attributes.fill(-1000000);
    hero.weapon.bonus = 1000000;
    const std::optional<LoadedGame> game = decodeSave(image(), hero, world);
    ASSERT_TRUE(game);
    hero = game->hero;
    printItem(hero.weapon, ShowSheet);
    EXPECT_TRUE(has(screen.transcript(), "+1000000")) << screen.transcript();
    EXPECT_LT(armourClass(), 0);
    (void)attackBonus();
    (void)poisonResistance();
}

// Hidden temporary names ("Ala.tmp" is no save's); a field that does not fit is dropped whole, one past the end
// reads 0.
TEST(BinaryFile, TemporaryNamesFieldsPastTheEndAndWholeFiles) {
    EXPECT_EQ(std::pair(temporaryNameFor("save_Ala"), temporaryNameFor("dir/cmentarz.dat")),
              std::pair(std::string(".save_Ala.tmp"), std::string("dir/.cmentarz.dat.tmp")));

    unsigned char buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), 0xEE);
    ByteWriter writer(buffer, 6);
    writer.putU32(0x04030201);
    EXPECT_TRUE(writer.ok());
    writer.putU32(0xFFFFFFFF);
    writer.putZeros(3);
    EXPECT_FALSE(writer.ok());
    EXPECT_EQ(std::vector<unsigned char>(buffer, buffer + 8),
              (std::vector<unsigned char>{1, 2, 3, 4, 0xEE, 0xEE, 0xEE, 0xEE}));
    buffer[4] = buffer[5] = 9;
    ByteReader reader(buffer, 6);
    EXPECT_EQ((std::tuple{reader.u32(), reader.ok(), reader.u32(), reader.ok()}),
              std::tuple(0x04030201u, true, 0u, false));

    const TempFolder folder;
    const std::vector<unsigned char> big(200000, 7);
    writeBytes("big", big);
    std::filesystem::create_directory("folder");
    EXPECT_EQ(std::tuple(readWholeFile("nothing", 10).status, readWholeFile("folder", 10).status,
                         readWholeFile("big", 199999).status),
              std::tuple(ReadStatus::Missing, ReadStatus::Unreadable, ReadStatus::TooLarge));
    EXPECT_EQ(readWholeFile("big", 200000).bytes, big);
}

}  // namespace
}  // namespace kelvrin::test
