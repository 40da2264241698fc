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

// The text of an event's JSON string starting at `pos`, with the escapes the cast's writer makes; `pos` ends on its
// closing quote.
std::string jsonText(const std::string& line, std::size_t& pos) {
    std::string text;
    for (; line.at(pos) != '"'; ++pos) {
        if (line[pos] != '\\') {
            text += line[pos];
        } else if (line.at(++pos) == 'u') {
            text += static_cast<char>(std::stoi(line.substr(pos + 1, 4), nullptr, 16));
            pos += 4;
        } else {
            text += line[pos] == 'n' ? '\n' : line[pos] == 'r' ? '\r' : line[pos];
        }
    }
    return text;
}

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
        replay.setOnInput([&cast](const RecordingEvent& input) { cast.at(input.time); });
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
    // [seconds, "o", "text"] (the window never changes here), no control character raw.
    while (std::getline(lines, line)) {
        const std::size_t at = line.find(", \"");
        ASSERT_NE(at, std::string::npos) << line;
        EXPECT_EQ(line.substr(0, 1) + line.substr(at, 8), "[, \"o\", \"") << line;
        EXPECT_GE(std::stod(line.substr(1, at - 1)), last) << line;
        last = std::stod(line.substr(1, at - 1));
        EXPECT_EQ(std::count_if(line.begin(), line.end(), [](unsigned char c) { return c < 0x20 || c == 0x7F; }), 0);
        std::size_t end = at + 8;
        const std::string text = jsonText(line, end);
        EXPECT_EQ(line.substr(end), "\"]") << line;
        vterm_input_write(vt.get(), text.data(), text.size());
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
