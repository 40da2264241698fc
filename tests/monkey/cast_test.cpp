// A recorded game replayed into an asciicast, and the cast played in a terminal emulator (libvterm): a header, events
// whose times never go back, and at the end the screen the game drew when it was recorded.
#ifdef KELVRIN_EMULATED_TERMINAL
#include <gtest/gtest.h>
#include <vterm.h>

#include <sstream>

#include "core/hero_lock.h"
#include "core/utf8.h"
#include "platform/cast_backend.h"
#include "platform/scripted_backend.h"
#include "support/recorded_game.h"
#include "support/temp_folder.h"

namespace kelvrin::test {
namespace {

// A new hero made, who hears a rumour in the inn (its quotes escaped in the cast) as the keys run out.
TEST(Cast, AReplayedGamesCastEndsOnTheScreenItsGameDrew) {
    const TempFolder folder;
    ScriptedBackend played;
    played.type("1Ala\nt1t1\nt1\nw1\nw gs");
    recordGame(played, "gra.rec", 7);
    releaseHeroLock();
    const std::vector<unsigned char> bytes = readBytes("gra.rec");
    const std::string recording(bytes.begin(), bytes.end());
    CastBackend cast(80, 25);
    const auto [status, verdict] = replayGame(recording, cast, [&cast](Replay& replay) {
        replay.setOnKey([&cast](std::int64_t millis) { cast.at(millis); });
    });
    EXPECT_EQ(status, 0) << verdict;

    std::istringstream lines(cast.finish());
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, R"({"version": 2, "width": 80, "height": 25, "title": "Kelvrin"})");
    const std::unique_ptr<VTerm, void (*)(VTerm*)> vt(vterm_new(25, 80), vterm_free);
    vterm_set_utf8(vt.get(), 1);
    vterm_screen_reset(vterm_obtain_screen(vt.get()), 1);
    double last = 0;
    // [seconds, "o" or "r", "text"], no control character raw, the text with the escapes the cast's writer makes.
    while (std::getline(lines, line)) {
        const std::size_t at = line.find(", \"");
        ASSERT_NE(at, std::string::npos) << line;
        const double time = std::stod(line.substr(1, at - 1));
        EXPECT_GE(time, last) << line;
        last = time;
        EXPECT_EQ(line.front(), '[') << line;
        EXPECT_TRUE(line.compare(at, 8, ", \"o\", \"") == 0 || line.compare(at, 8, ", \"r\", \"") == 0) << line;
        const auto control = [](unsigned char c) { return c < 0x20 || c == 0x7F; };
        EXPECT_TRUE(std::none_of(line.begin(), line.end(), control)) << line;
        std::string text;
        std::size_t end = at + 8;
        for (; line.at(end) != '"'; ++end) {
            if (line[end] != '\\') {
                text += line[end];
            } else if (line.at(++end) == 'u') {
                text += static_cast<char>(std::stoi(line.substr(end + 1, 4), nullptr, 16));
                end += 4;
            } else {
                text += line[end] == 'n' ? '\n' : line[end] == 'r' ? '\r' : line[end];
            }
        }
        EXPECT_EQ(line.substr(end), "\"]") << line;
        if (line[at + 3] == 'o') vterm_input_write(vt.get(), text.data(), text.size());
    }
    for (int row = 0; row < 25; ++row) {
        std::string shown;
        for (int col = 0; col < 80; ++col) {
            VTermScreenCell cell{};
            vterm_screen_get_cell(vterm_obtain_screen(vt.get()), VTermPos{row, col}, &cell);
            appendUtf8(shown, cell.chars[0] == 0 ? U' ' : static_cast<char32_t>(cell.chars[0]));
        }
        EXPECT_EQ(shown.erase(shown.find_last_not_of(' ') + 1), played.rowText(row)) << "row " << row;
    }
    // The last drawing follows the last key, at its recorded time.
    EXPECT_EQ(last, std::stoll(recording.substr(recording.rfind("\nkey ") + 5)) / 1000.0);
}

}  // namespace
}  // namespace kelvrin::test
#endif
