#include "support/game_test.h"
#include "support/temp_folder.h"
#include "support/test_hero.h"

#include "character/graveyard.h"
#include "data/monsters.h"

namespace kelvrin::test {
namespace {

using GraveyardTest = GameTest;

GraveRecord record(std::string name, int xp, int killer = 0, int location = LocationTown, int dungeonLevel = 0) {
    return {std::move(name), 1, 0, 3, location, dungeonLevel, killer, xp, false};
}

// The count, then per record the Windows-1250 name (Ł is 0xA3) in 30 bytes, unterminated if full, and seven words.
TEST_F(GraveyardTest, FileLayoutByteForByte) {
    const GraveRecord polish{"Łucja", 6, 1, 12, LocationCrypt, 2, -6, 4321, false};
    const std::vector<unsigned char> bytes = encodeGraveyard({polish, record(std::string(30, 'x'), 7)});
    std::vector<unsigned char> expected{2, 0, 0, 0, 0xA3, 'u', 'c', 'j', 'a'};
    expected.resize(34, 0);
    const auto words = [&](std::initializer_list<std::int64_t> values) {
        for (const std::int64_t value : values)
            for (int i = 0; i < 4; ++i)
                expected.push_back(static_cast<unsigned char>(static_cast<std::uint32_t>(value) >> (8 * i)));
    };
    words({6, 1, 12, 7, 2, -6, 4321});
    expected.insert(expected.end(), 30, 'x');
    words({1, 0, 3, 0, 0, 0, 7});
    EXPECT_EQ(bytes, expected);

    const std::vector<GraveRecord> back = decodeGraveyard(bytes).value_or(std::vector<GraveRecord>{});
    EXPECT_EQ(std::pair(back.size() == 2u ? back[0].name : "", encodeGraveyard(back)),  // every field comes back
              std::pair(std::string("Łucja"), bytes));
    // A count that does not match the size is damage, found before any record is read; none is not.
    EXPECT_TRUE(decodeGraveyard(encodeGraveyard({})));
    for (const std::uint32_t count : {3u, 1u, 0u, 0xFFFFFFFFu, 0x7FFFFFFFu}) {
        std::vector<unsigned char> b = bytes;
        for (int i = 0; i < 4; ++i) b[static_cast<std::size_t>(i)] = static_cast<unsigned char>(count >> (8 * i));
        EXPECT_FALSE(decodeGraveyard(b)) << count;
    }
    EXPECT_FALSE(decodeGraveyard(std::vector<unsigned char>(bytes.begin(), bytes.end() - 1)));
    EXPECT_FALSE(decodeGraveyard(std::vector<unsigned char>{1, 0, 0}));
    // Control bytes in a stored name never reach the terminal.
    std::vector<unsigned char> escape = encodeGraveyard({record("Ala", 1)});
    escape[5] = 0x1B;
    EXPECT_EQ(decodeGraveyard(escape)->front().name, "A?a");
}

TEST_F(GraveyardTest, LinesNameKillerAndPlace) {
    const std::tuple<int, int, int, const char*> cases[] = {
        // The last monster; the potions' codes, the first with the misspelt name the files hold; an
        // unknown force; holes and codes out of range as "?"; the level shown one up, even the last int.
        {59, LocationForest, 0, "zabity przez Ork wojownik w lesie.\n"},
        {-1, LocationRoad, 0, "zabity przez Trucizna na drodze.\n"},
        {-2, LocationDungeon, 2, "zabity przez Miksura uzdrowienia w podziemiach na 3 poziomie.\n"},
        {-6, LocationChallengeChamber, 0, "zabity przez Antidotum w komnacie wyzwań.\n"},
        {-99, LocationCrypt, 1, "zabity przez nieznana siła w krypcie na 2 poziomie.\n"},
        {-4, LocationWorldMap, 0, "zabity przez ?.\n"},
        {60, 8, 0, "zabity przez ? ?.\n"},
        {-100, LocationDungeon, 2147483647, "zabity przez ? w podziemiach na 2147483648 poziomie.\n"},
    };
    for (const auto& [killer, location, dungeonLevel, ending] : cases)
        EXPECT_EQ(graveLine(record("Ala", 1, killer, location, dungeonLevel)),
                  "Ala Elf Barbarzyńca, 3 poziom, " + std::string(ending));
    const GraveRecord unknown{"Ala", 7, -1, 3, LocationTown, 0, 0, 1, false};
    EXPECT_EQ(graveLine(unknown), "Ala ? ?, 3 poziom, zabity przez Szczur w mieście.\n");
}

// Equal experience keeps the older death first; the file holds the screen's records in its order.
TEST_F(GraveyardTest, DeathsAreOrderedByExperienceAndTheNewOneIsMarked) {
    writeBytes("cmentarz.dat", encodeGraveyard({record("Stary", 500), record("Pierwszy", 100), record("Drugi", 100)}));
    makeTestHero();
    hero.xp = 100;
    hero.lastHarm = -1;
    world.location = LocationRoad;
    screen.type("k");
    recordDeath();
    EXPECT_EQ(screen.keysQueued(), 0u);
    std::string older;
    for (const char* name : {"Stary", "Pierwszy", "Drugi"})
        older += std::string(name) + " Elf Barbarzyńca, 3 poziom, zabity przez Szczur w mieście.\n";
    const std::string dead = "Testowy Człowiek Wojownik, 1 poziom, zabity przez Trucizna na drodze.\n";
    EXPECT_EQ(screen.transcript(), "{clear}CMENTARZ\n" + older + "*" + dead);

    std::string lines;
    for (const GraveRecord& r : decodeGraveyard(readBytes("cmentarz.dat")).value_or(std::vector<GraveRecord>{}))
        lines += graveLine(r);
    EXPECT_EQ(std::pair(lines, filesIn(".")), std::pair(older + dead, std::vector<std::string>{"cmentarz.dat"}));
}

TEST_F(GraveyardTest, ADamagedGraveyardIsKeptAsideNotWrittenOver) {
    std::vector<unsigned char> damaged = encodeGraveyard({record("Ala", 5), record("Ola", 3)});
    damaged[0] = 5;  // five records announced, two there
    writeBytes("cmentarz.dat", damaged);

    screen.type("k");
    showGraveyard();
    EXPECT_EQ(std::pair(screen.transcript(), readBytes("cmentarz.dat")),
              std::pair(std::string("{clear}CMENTARZ\nCmentarz jest pusty..."), damaged));

    makeTestHero();
    screen.type("kk");
    recordDeath();
    const auto graves = [] {
        return decodeGraveyard(readBytes("cmentarz.dat")).value_or(std::vector<GraveRecord>{}).size();
    };
    EXPECT_EQ(std::pair(readBytes("cmentarz.dat.bak"), graves()), std::pair(damaged, std::size_t{1}));

    // A second damaged file does not replace the first backup.
    writeBytes("cmentarz.dat", {1, 2, 3});
    recordDeath();
    EXPECT_EQ(std::tuple(readBytes("cmentarz.dat.bak"), readBytes("cmentarz.dat.bak2"), graves()),
              std::tuple(damaged, std::vector<unsigned char>{1, 2, 3}, 1u));
}

}  // namespace
}  // namespace kelvrin::test
