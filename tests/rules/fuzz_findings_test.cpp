// Faults the fuzz targets (fuzz/) found in the readers of outside data,
// each pinned down by the input that showed it.
#include <climits>
#include <string>
#include <vector>

#include "support/game_test.h"
#include "support/test_hero.h"

#include "character/derived_values.h"
#include "core/save_file.h"
#include "items/item_display.h"
#include "platform/charset.h"
#include "platform/key_decoder.h"

namespace kelvrin::test {
namespace {

// An ISO-8859-2 terminal sends the C1 controls 0x80-0x9F as single bytes;
// they were keys, so a typed line could hold 0x9B, which the terminal reads
// as the start of an escape sequence when the line is echoed.
#ifdef _WIN32
TEST(FuzzFindings, C1Controls_SkippedOnWindowsWhoseConsoleIsUtf16) { GTEST_SKIP(); }
#else
TEST(FuzzFindings, C1ControlsOfASingleByteTerminalAreNoKeys) {
    const auto latin2 = ByteCharset::load("ISO-8859-2");
    ASSERT_TRUE(latin2);
    KeyDecoder decoder;
    decoder.setByteTable(&latin2->table());
    decoder.feed("\x80\x8c\x9b\x9f");
    EXPECT_FALSE(decoder.hasKey());
    decoder.feed("\xa0\xb3");
    ASSERT_TRUE(decoder.hasKey());
    EXPECT_EQ(decoder.takeKey(), 0xA0);   // no-break space
    EXPECT_EQ(decoder.takeKey(), 0x142);  // ł
    EXPECT_FALSE(decoder.hasKey());
}
#endif

class FuzzFindingsSave : public GameTest {
protected:
    static std::vector<unsigned char> imageWith(std::size_t offset, std::int32_t value) {
        SaveImage image{};
        encodeSave(hero, world, false, image);
        std::vector<unsigned char> bytes(image.begin(), image.end());
        for (int i = 0; i < 4; ++i)
            bytes[offset + static_cast<std::size_t>(i)] =
                static_cast<unsigned char>(static_cast<std::uint32_t>(value) >> (8 * i));
        return bytes;
    }
};

// Scores, counts and item words no game can reach were loaded as they
// stood and overflowed the rules later: an attribute of INT_MIN in the
// modifier, a weapon bonus of INT_MAX in the sheet's damage, an hp or a
// kill count of INT_MAX at the next increment. Such files are damaged now;
// gold and experience, which a game takes to INT_MAX, still load.
TEST_F(FuzzFindingsSave, ValuesNoGameReachesAreRefused) {
    makeTestHero();
    struct Case {
        const char* what;
        std::size_t offset;
        std::int32_t value;
        bool loads;
    };
    const Case cases[] = {
        {"strength INT_MIN", 8, INT_MIN, false},
        {"charisma -1000001", 28, -1000001, false},
        {"strength 1000000", 8, 1000000, true},
        {"hp INT_MAX", 40, INT_MAX, false},
        {"weapon bonus INT_MAX", 72, INT_MAX, false},
        {"weapon masterwork INT_MIN", 68, INT_MIN, false},
        {"empty backpack slot bonus INT_MAX", 120 + 20 * 10 + 12, INT_MAX, false},
        {"power attack INT_MIN", 524, INT_MIN, false},
        {"alignment 2000000", 576, 2000000, false},
        {"quest stage INT_MAX", 620, INT_MAX, false},
        {"last kill count INT_MAX", 624 + 4 * 59, INT_MAX, false},
        {"year INT_MAX", 600, INT_MAX, false},
        {"a day that runs the year past the limit", 596, INT_MAX, false},
        {"a day some years on", 596, 365 * 40 + 7, true},
        {"gold INT_MAX", 48, INT_MAX, true},
        {"experience INT_MAX", 56, INT_MAX, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(decodeSave(imageWith(c.offset, c.value), hero, world).has_value(), c.loads);
    }
}

// The sheet and the derived values of a hero with the largest scores a
// file may hold work out without overflow.
TEST_F(FuzzFindingsSave, TheLargestScoresAFileMayHoldAreShown) {
    makeTestHero();
    std::vector<unsigned char> bytes = imageWith(72, 1000000);  // weapon bonus
    for (std::size_t offset = 8; offset < 32; offset += 4) {
        const std::vector<unsigned char> score = imageWith(offset, -1000000);
        std::copy(score.begin() + static_cast<long>(offset), score.begin() + static_cast<long>(offset) + 4,
                  bytes.begin() + static_cast<long>(offset));
    }
    const std::optional<LoadedGame> game = decodeSave(bytes, hero, world);
    ASSERT_TRUE(game);
    hero = game->hero;
    printItem(hero.weapon, ShowSheet);
    EXPECT_NE(screen.transcript().find("+1000000"), std::string::npos);
    EXPECT_LT(armourClass(), 0);
    (void)attackBonus();
    (void)poisonResistance();
}

}  // namespace
}  // namespace kelvrin::test
