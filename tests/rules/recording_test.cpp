// Recordings: what the reader refuses, and a game whose disk failed, replayed with no disk at all.
#include "core/command_line.h"
#include "support/failing_disk.h"
#include "support/game_test.h"
#include "support/recorded_game.h"

namespace kelvrin::test {
namespace {

// Each damaged or foreign file's reason names its line, and shows nothing of it a terminal would take raw.
TEST(Recording, DamagedAndForeignFilesAreRefusedWithTheirLine) {
    const std::string header = "kelvrin-recording 1\ngame 0.3.0\nmode stream\n";
    const std::string window = "window 80 25 pages echoes\n";
    const std::string check = " 0123456789abcdef\n";
    const std::pair<std::string, std::string> refused[] = {
        {"GIF89a\n", "not a recording of the game (its first line is not \"kelvrin-recording\")"},
        {"kelvrin-recording 2\n", "line 1: a recording of format 2; this game plays format 1"},
        {header + window + "key 0 \x1b[2J" + check, "line 5: not an event: \"key 0 \\x1b[2J 0123456789abcdef\""},
        {header + "window 1001 25 pages echoes\n",
         "line 4: expected the starting window (at most 1000×1000), found \"window 1001 25 pages echoes\""},
        {header + window + "key 5 a" + check + "line 4 \"Ala\"" + check,
         "line 6: a time before the one of the event before it"},
    };
    for (const auto& [text, reason] : refused) {
        std::string error;
        EXPECT_FALSE(parseRecording(text, error)) << text;
        EXPECT_EQ(error, reason);
    }
}

// The check value is FNV-1a 64 over the bytes the format's description gives: text, a colour, a block of cells.
TEST(Recording, TheCheckValueIsFnv1aOfTheDescribedBytes) {
    endGameInProgress();
    CheckValue check;
    check.write("a");
    EXPECT_EQ(check.take(), 0xaf63dc4c8601ec8cull);
    check.write("Kelvrin");
    check.setColour(0x87);
    check.putCells(24, 2, 2, {Cell{U'ł', 12}, Cell{U'\u0100', 7}});
    EXPECT_EQ(check.take(), 0x6167861d91841ac1ull);
}

// --daily's seed is the UTC date: the first and the last second of a day, a leap day.
TEST(Recording, TheDailySeedIsTheDateInUtc) {
    EXPECT_EQ(dailySeed(1796774400), 20261209u);
    EXPECT_EQ(dailySeed(1796860799), 20261209u);
    EXPECT_EQ(dailySeed(951782400), 20000229u);
}

using RecordingTest = GameTest;

// A save the full disk refused, recorded; replayed on a fresh console with no disk beneath, the game shows the same
// and writes nothing; a check value changed in the file stops the replay at its line.
TEST_F(RecordingTest, AFailedSaveReplaysTheSameWithoutTheDisk) {
    {
        const FailingDisk disk(Fault::FullDisk, true);
        screen.type("1Ala\nt1t1\nt1\nw1\nw qtkqn0");
        recordGame(screen, "gra.rec", 7);
    }
    EXPECT_TRUE(has(screen.transcript(), "Nie mozna zapisac gry!"));
    const std::vector<unsigned char> bytes = readBytes("gra.rec");
    std::string text(bytes.begin(), bytes.end());
    ScriptedBackend replayed;
    const auto [status, verdict] = replayGame(text, replayed);
    EXPECT_EQ(status, 0) << verdict;
    EXPECT_EQ(replayed.screenText(), screen.screenText());
    EXPECT_EQ(files(), std::vector<std::string>{"gra.rec"});

    // The check value ending the line of the key typed at the message of the failed save.
    const std::string failed = "write \"save_Ala\" failed\n";
    ASSERT_NE(text.find(failed), std::string::npos) << text;
    const std::size_t told = text.find('\n', text.find(failed) + failed.size());
    text[told - 1] = text[told - 1] == '0' ? '1' : '0';
    const std::string line = std::to_string(count(text.substr(0, told), "\n") + 1);
    ScriptedBackend differing;
    const auto [changedStatus, changedVerdict] = replayGame(text, differing);
    EXPECT_EQ(changedStatus, 1);
    EXPECT_TRUE(has(changedVerdict, "the screen differs at line " + line + " ")) << changedVerdict;
}

}  // namespace
}  // namespace kelvrin::test
