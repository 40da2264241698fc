#include "support/game_test.h"
#include "support/temp_folder.h"
#include "support/test_hero.h"

#include "character/graveyard.h"
#include "data/monsters.h"

namespace kelvrin::test {
namespace {

using GraveyardTest = GameTest;

GraveRecord record(std::string name, int xp, int killer = 0, int location = LocationTown, int dungeonLevel = 0) {
    GraveRecord r;
    r.name = std::move(name);
    r.raceId = 1;
    r.classId = 0;
    r.level = 3;
    r.location = location;
    r.dungeonLevel = dungeonLevel;
    r.killer = killer;
    r.xp = xp;
    return r;
}

std::uint32_t le32(const std::vector<unsigned char>& b, std::size_t at) {
    return b.at(at) | b.at(at + 1) << 8 | b.at(at + 2) << 16 | static_cast<std::uint32_t>(b.at(at + 3)) << 24;
}

TEST_F(GraveyardTest, FileLayoutByteForByte) {
    GraveRecord polish = record("Łucja", 4321, -6, LocationCrypt, 2);
    polish.raceId = 6;
    polish.classId = 1;
    polish.level = 12;
    const std::vector<unsigned char> bytes = encodeGraveyard({polish, record(std::string(30, 'x'), 7)});
    ASSERT_EQ(bytes.size(), 4u + 2 * 58);
    EXPECT_EQ(le32(bytes, 0), 2u);
    // The name in Windows-1250 (Ł is 0xA3), padded with zeros to 30 bytes.
    const std::vector<unsigned char> name(bytes.begin() + 4, bytes.begin() + 34);
    std::vector<unsigned char> expectedName = {0xA3, 'u', 'c', 'j', 'a'};
    expectedName.resize(30, 0);
    EXPECT_EQ(name, expectedName);
    const std::uint32_t fields[] = {6, 1, 12, 7, 2, static_cast<std::uint32_t>(-6), 4321};
    for (std::size_t i = 0; i < 7; ++i) EXPECT_EQ(le32(bytes, 34 + 4 * i), fields[i]) << i;
    // A name of 30 characters fills its field with no terminator.
    EXPECT_EQ(std::string(bytes.begin() + 62, bytes.begin() + 92), std::string(30, 'x'));
    EXPECT_EQ(le32(bytes, 92), 1u);

    const std::optional<std::vector<GraveRecord>> back = decodeGraveyard(bytes);
    ASSERT_TRUE(back);
    ASSERT_EQ(back->size(), 2u);
    EXPECT_EQ((*back)[0].name, "Łucja");
    EXPECT_EQ((*back)[0].killer, -6);
    EXPECT_EQ((*back)[0].xp, 4321);
    EXPECT_EQ((*back)[1].name, std::string(30, 'x'));
}

TEST_F(GraveyardTest, ACountThatDoesNotMatchTheSizeIsDamage) {
    std::vector<unsigned char> one = encodeGraveyard({record("Ala", 5)});
    EXPECT_TRUE(decodeGraveyard(one));
    EXPECT_TRUE(decodeGraveyard(encodeGraveyard({})));
    auto withCount = [&](std::int32_t count) {
        std::vector<unsigned char> b = one;
        for (int i = 0; i < 4; ++i) b[static_cast<std::size_t>(i)] = static_cast<unsigned char>(static_cast<std::uint32_t>(count) >> (8 * i));
        return b;
    };
    EXPECT_FALSE(decodeGraveyard(withCount(2)));
    EXPECT_FALSE(decodeGraveyard(withCount(0)));
    EXPECT_FALSE(decodeGraveyard(withCount(-1)));
    EXPECT_FALSE(decodeGraveyard(withCount(0x7FFFFFFF)));
    one.pop_back();
    EXPECT_FALSE(decodeGraveyard(one));
    EXPECT_FALSE(decodeGraveyard(std::vector<unsigned char>{1, 0, 0}));
}

TEST_F(GraveyardTest, LinesNameKillerAndPlace) {
    struct Case {
        int killer, location, dungeonLevel;
        const char* ending;
    };
    const Case cases[] = {
        {MonsterRat, LocationTown, 0, "zabity przez Szczur w mieście.\n"},
        {59, LocationForest, 0, "zabity przez Ork wojownik w lesie.\n"},
        {-1, LocationRoad, 0, "zabity przez Trucizna na drodze.\n"},
        {-2, LocationDungeon, 2, "zabity przez Miksura uzdrowienia w podziemiach na 3 poziomie.\n"},
        {-3, LocationMine, 0, "zabity przez Mikstura zdrowia w kopalni.\n"},
        {-5, LocationHallsOfPain, 0, "zabity przez Mikstura lecznicza w salach bólu.\n"},
        {-6, LocationChallengeChamber, 0, "zabity przez Antidotum w komnacie wyzwań.\n"},
        {-99, LocationCrypt, 1, "zabity przez nieznana siła w krypcie na 2 poziomie.\n"},
        {-4, LocationWorldMap, 0, "zabity przez ?.\n"},
        {60, 8, 0, "zabity przez ? ?.\n"},
        {-100, LocationDungeon, 2147483647, "zabity przez ? w podziemiach na 2147483648 poziomie.\n"},
    };
    for (const Case& c : cases) {
        const std::string line = graveLine(record("Ala", 1, c.killer, c.location, c.dungeonLevel));
        EXPECT_EQ(line, std::string("Ala Elf Barbarzyńca, 3 poziom, ") + c.ending);
    }
    GraveRecord unknown = record("Ala", 1);
    unknown.raceId = 7;
    unknown.classId = -1;
    EXPECT_EQ(graveLine(unknown), "Ala ? ?, 3 poziom, zabity przez Szczur w mieście.\n");
}

TEST_F(GraveyardTest, DeathsAreOrderedByExperienceAndTheNewOneIsMarked) {
    const TempFolder folder;
    writeBytes("cmentarz.dat", encodeGraveyard({record("Stary", 500), record("Pierwszy", 100), record("Drugi", 100)}));
    makeTestHero();
    hero.xp = 100;
    hero.lastHarm = -1;
    world.location = LocationRoad;
    screen.type("k");
    recordDeath();
    EXPECT_EQ(screen.keysQueued(), 0u);
    const std::string expected =
        "{clear}CMENTARZ\n"
        "Stary Elf Barbarzyńca, 3 poziom, zabity przez Szczur w mieście.\n"
        "Pierwszy Elf Barbarzyńca, 3 poziom, zabity przez Szczur w mieście.\n"
        "Drugi Elf Barbarzyńca, 3 poziom, zabity przez Szczur w mieście.\n"
        "*Testowy Człowiek Wojownik, 1 poziom, zabity przez Trucizna na drodze.\n";
    EXPECT_EQ(screen.transcript(), expected);

    const std::optional<std::vector<GraveRecord>> stored = decodeGraveyard(readBytes("cmentarz.dat"));
    ASSERT_TRUE(stored);
    std::vector<std::string> names;
    for (const GraveRecord& r : *stored) names.push_back(r.name);
    EXPECT_EQ(names, (std::vector<std::string>{"Stary", "Pierwszy", "Drugi", "Testowy"}));
    EXPECT_EQ(stored->back().killer, -1);
    EXPECT_EQ(stored->back().location, LocationRoad);
    EXPECT_EQ(folder.files(), std::vector<std::string>{"cmentarz.dat"});
}

TEST_F(GraveyardTest, TheFirstDeathMakesTheFile) {
    const TempFolder folder;
    makeTestHero();
    hero.xp = 50;
    screen.type("k");
    recordDeath();
    EXPECT_TRUE(shows("*Testowy Człowiek Wojownik, 1 poziom, zabity przez nieznana siła w mieście."));
    EXPECT_EQ(readBytes("cmentarz.dat").size(), 4u + 58);
}

TEST_F(GraveyardTest, ADamagedGraveyardIsKeptAsideNotWrittenOver) {
    const TempFolder folder;
    std::vector<unsigned char> damaged = encodeGraveyard({record("Ala", 5), record("Ola", 3)});
    damaged[0] = 5;  // five records announced, two there
    writeBytes("cmentarz.dat", damaged);

    screen.type("k");
    showGraveyard();
    EXPECT_EQ(screen.transcript(), "{clear}CMENTARZ\nCmentarz jest pusty...");
    EXPECT_EQ(readBytes("cmentarz.dat"), damaged);

    makeTestHero();
    screen.type("kk");
    recordDeath();
    EXPECT_EQ(readBytes("cmentarz.dat.bak"), damaged);
    EXPECT_EQ(decodeGraveyard(readBytes("cmentarz.dat"))->size(), 1u);

    // A second damaged file does not replace the first backup.
    writeBytes("cmentarz.dat", {1, 2, 3});
    recordDeath();
    EXPECT_EQ(readBytes("cmentarz.dat.bak"), damaged);
    EXPECT_EQ(readBytes("cmentarz.dat.bak2"), (std::vector<unsigned char>{1, 2, 3}));
    EXPECT_EQ(decodeGraveyard(readBytes("cmentarz.dat"))->size(), 1u);
}

TEST_F(GraveyardTest, ControlBytesInAStoredNameNeverReachTheTerminal) {
    std::vector<unsigned char> bytes = encodeGraveyard({record("Ala", 1)});
    bytes[5] = 0x1B;  // ESC in the middle of the name
    EXPECT_EQ(decodeGraveyard(bytes)->front().name, "A?a");
}

}  // namespace
}  // namespace kelvrin::test
