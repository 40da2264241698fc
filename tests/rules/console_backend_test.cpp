// The Windows console backend on a console of the test's own in place of the real calls (under wine
// each start gets a fresh console, so only a fake shows the player's console given back as found).
#ifdef _WIN32

#include "platform/windows/console_backend.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/interrupt.h"

namespace kelvrin {
namespace {

const HANDLE In = reinterpret_cast<HANDLE>(0x10);
const HANDLE Out = reinterpret_cast<HANDLE>(0x20);
const HANDLE Game = reinterpret_cast<HANDLE>(0x30);

// What the player's console was before the game and must be after it.
struct ConsoleState {
    DWORD inMode = ENABLE_PROCESSED_INPUT | ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT | ENABLE_MOUSE_INPUT |
                   ENABLE_INSERT_MODE | ENABLE_QUICK_EDIT_MODE | ENABLE_EXTENDED_FLAGS;
    DWORD outMode = ENABLE_PROCESSED_OUTPUT | ENABLE_WRAP_AT_EOL_OUTPUT;
    HANDLE active = Out;
    WORD attributes = 0x1E;
    DWORD cursorSize = 100;
    BOOL cursorVisible = FALSE;
    UINT inputCodePage = 852;
    UINT outputCodePage = 1250;
    bool operator==(const ConsoleState&) const = default;
};

struct FakeConsole {
    ConsoleState state;
    bool interpretsSequences = false;  // what the game's buffer does with them
    DWORD gameMode = ENABLE_PROCESSED_OUTPUT | ENABLE_WRAP_AT_EOL_OUTPUT;
    bool gameOpen = false;
    SHORT rows = 25;
    SHORT columns = 80;
    SHORT probeColumn = 0;         // the game's cursor after the mode test
    std::wstring text;             // written with WriteConsoleW, in textWrites calls
    std::vector<CHAR_INFO> cells;  // the last WriteConsoleOutputW, of cellWrites
    int textWrites = 0;
    int cellWrites = 0;
    std::deque<INPUT_RECORD> input;
} fake;

// The mode kept for a handle, or none (a closed game buffer, an unknown handle).
DWORD* modeOf(HANDLE h) {
    if (h == In || h == Out) return h == In ? &fake.state.inMode : &fake.state.outMode;
    return h == Game && fake.gameOpen ? &fake.gameMode : nullptr;
}

// Keeps what a call of the fake console gives or is given; the call succeeds.
template <typename T>
BOOL keep(T& place, std::type_identity_t<T> value) {
    place = value;
    return TRUE;
}

// The console calls, on the fake console.
ConsoleCalls fakeCalls() {
    ConsoleCalls c;
    c.getMode = [](HANDLE h, LPDWORD mode) -> BOOL { return modeOf(h) ? keep(*mode, *modeOf(h)) : FALSE; };
    c.setMode = [](HANDLE h, DWORD mode) -> BOOL { return modeOf(h) ? keep(*modeOf(h), mode) : FALSE; };
    c.getInfo = [](HANDLE h, PCONSOLE_SCREEN_BUFFER_INFO info) -> BOOL {
        *info = {};
        info->dwSize = COORD{fake.columns, fake.rows};
        info->srWindow = SMALL_RECT{0, 0, static_cast<SHORT>(fake.columns - 1), static_cast<SHORT>(fake.rows - 1)};
        info->wAttributes = h == Out ? fake.state.attributes : 7;
        if (h == Game) info->dwCursorPosition.X = fake.probeColumn;
        return TRUE;
    };
    c.setBufferSize = [](HANDLE, COORD) -> BOOL { return TRUE; };
    // Only the player's buffer keeps its colour and cursor for the test to see.
    c.setAttribute = [](HANDLE h, WORD colour) -> BOOL {
        return h == Out ? keep(fake.state.attributes, colour) : TRUE;
    };
    c.getCursor = [](HANDLE, PCONSOLE_CURSOR_INFO cursor) -> BOOL {
        return keep(*cursor, CONSOLE_CURSOR_INFO{fake.state.cursorSize, fake.state.cursorVisible});
    };
    c.setCursor = [](HANDLE h, const CONSOLE_CURSOR_INFO* cursor) -> BOOL {
        if (h == Out) {
            fake.state.cursorSize = cursor->dwSize;
            fake.state.cursorVisible = cursor->bVisible;
        }
        return TRUE;
    };
    c.moveCursor = [](HANDLE, COORD) -> BOOL { return TRUE; };
    c.getInputCodePage = [] { return fake.state.inputCodePage; };
    c.setInputCodePage = [](UINT page) -> BOOL { return keep(fake.state.inputCodePage, page); };
    c.getOutputCodePage = [] { return fake.state.outputCodePage; };
    c.setOutputCodePage = [](UINT page) -> BOOL { return keep(fake.state.outputCodePage, page); };
    c.createBuffer = [](DWORD, DWORD, const SECURITY_ATTRIBUTES*, DWORD, LPVOID) {
        fake.gameOpen = true;
        return Game;
    };
    c.setActiveBuffer = [](HANDLE h) -> BOOL { return keep(fake.state.active, h); };
    c.closeHandle = [](HANDLE h) -> BOOL { return h == Game ? keep(fake.gameOpen, false) : TRUE; };
    c.writeText = [](HANDLE, const VOID* text, DWORD count, LPDWORD written, LPVOID) -> BOOL {
        const std::wstring part(static_cast<const wchar_t*>(text), count);
        *written = count;
        // A console that takes the mode but shows the sequences as text moves its cursor over them.
        if (part != L"\x1b[m") {
            fake.text += part;
            ++fake.textWrites;
        } else if (!fake.interpretsSequences) {
            fake.probeColumn = 3;
        }
        return TRUE;
    };
    c.writeCells = [](HANDLE, const CHAR_INFO* cells, COORD size, COORD, PSMALL_RECT) -> BOOL {
        fake.cells.assign(cells, cells + size.X * size.Y);
        ++fake.cellWrites;
        return TRUE;
    };
    c.readInput = [](HANDLE, PINPUT_RECORD records, DWORD, LPDWORD count) -> BOOL {
        if (fake.input.empty()) return FALSE;  // the console is gone
        records[0] = fake.input.front();
        fake.input.pop_front();
        return keep(*count, 1);
    };
    return c;
}

INPUT_RECORD key(WORD virtualKey, wchar_t ch, bool down = true, WORD repeat = 1) {
    return INPUT_RECORD{KEY_EVENT, {KEY_EVENT_RECORD{down, repeat, virtualKey, 0, {ch}, 0}}};  // KeyEvent comes first
}

INPUT_RECORD resizedTo(SHORT rows, SHORT columns) {
    fake.rows = rows;
    fake.columns = columns;
    INPUT_RECORD record{WINDOW_BUFFER_SIZE_EVENT, {}};
    record.Event.WindowBufferSizeEvent.dwSize = COORD{columns, rows};
    return record;
}

// One row of the last cells written, without trailing blanks.
std::wstring cellRow(int row) {
    std::wstring text;
    for (int c = 0; c < fake.columns; ++c)
        text += fake.cells[static_cast<std::size_t>(row * fake.columns + c)].Char.UnicodeChar;
    return text.erase(text.find_last_not_of(L' ') + 1);
}

class ConsoleBackendTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = std::exchange(consoleCalls(), fakeCalls());
        fake = FakeConsole{};
    }
    void TearDown() override {
        consoleCalls() = saved_;
        setInterruptHandler(nullptr);
    }
    ConsoleCalls saved_;
};

TEST_F(ConsoleBackendTest, KeyPressesBecomeTheGamesKeysAndTypedLinesAreEdited) {
    ConsoleBackend console(In, Out);
    // A release, Shift and F1 are no keys, nor a C1 control; AltGr+a; Alt and keypad digits give their
    // letter on the release; one letter in two halves; a repeat count.
    for (const INPUT_RECORD& record :
         {key('A', L'a'), key('A', L'a', false), key(VK_UP, 0), key(VK_DOWN, 0), key(VK_LEFT, 0), key(VK_RIGHT, 0),
          key(VK_SHIFT, 0), key(VK_F1, 0), key('A', L'ą'), key(VK_RETURN, L'\r'), key(VK_ESCAPE, 27), key(VK_BACK, 8),
          key(VK_MENU, L'ł', false), key(0, 0xD83D), key(0, 0xDE00), key(0, 0x85), key('X', L'x', true, 2)})
        console.takeRecord(record);
    for (const int expected : {int{'a'}, int{KeyUp}, int{KeyDown}, int{KeyLeft}, int{KeyRight}, 0x105, int{KeyEnter},
                               int{KeyEscape}, int{KeyBackspace}, 0x142, 0x1F600, int{'x'}, int{'x'}})
        EXPECT_EQ(console.readKey(), expected);

    for (const wchar_t ch : std::wstring(L"Zaż\bą\r")) fake.input.push_back(key(0, ch));
    EXPECT_EQ(console.readLine(30), "Zaą");
    EXPECT_EQ(cellRow(0), L"Zaą");
    EXPECT_EQ(console.readKey(), KeyEnd);  // the console is gone
}

TEST_F(ConsoleBackendTest, AChangeOfSizeIsFollowedAsOnLinux) {
    ConsoleBackend console(In, Out);
    console.moveCursor(24, 0);
    console.write("Ruch - strzałki");
    console.flush();
    console.takeRecord(resizedTo(20, 60));
    EXPECT_EQ(std::pair(console.rows(), console.takeSmallWindowNotice()), std::pair(20, true));
    console.takeRecord(resizedTo(25, 80));
    EXPECT_EQ(std::pair(console.takeSmallWindowNotice(), cellRow(24)),
              std::pair(false, std::wstring(L"Ruch - strzałki"))) << "the whole screen is back";
}

TEST_F(ConsoleBackendTest, TheConsoleIsLeftAsItWasFound) {
    const ConsoleState found = fake.state;
    static ConsoleState atInterrupt;
    {
        ConsoleBackend console(In, Out);
        EXPECT_EQ(std::pair(console.drawing(), fake.state.active), std::pair(ConsoleBackend::Drawing::Cells, Game));
        const DWORD modes = ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT | ENABLE_PROCESSED_INPUT | ENABLE_WINDOW_INPUT;
        EXPECT_EQ(fake.state.inMode & modes, DWORD{ENABLE_WINDOW_INPUT});
        fake.cellWrites = 0;
        console.setColour(12);
        console.write("Trafiłeś ");
        console.write("krytycznie!");
        console.flush();  // one write per screen
        const CHAR_INFO third = fake.cells.size() > 2 ? fake.cells[2] : CHAR_INFO{};
        EXPECT_EQ(std::tuple(fake.cellWrites, third.Char.UnicodeChar, third.Attributes), std::tuple(1, L'a', WORD{12}));

        // Ctrl-C read as a key: the console is given back before whatever ends the game runs; an
        // ignored interrupt goes back to the game.
        setInterruptHandler([] { atInterrupt = fake.state; });
        fake.input = {key('C', 3), key('K', L'k')};
        EXPECT_EQ(console.readKey(), 'k');
        EXPECT_EQ(std::pair(atInterrupt, fake.state.active), std::pair(found, Game));

        releaseConsole();  // as a crash does, on any thread
        EXPECT_EQ(fake.state, found);
    }
    EXPECT_EQ(std::pair(fake.state, fake.gameOpen), std::pair(found, false));
}

// With NO_COLOR the cells on a background (the status bar, the hints) take the console's reverse video.
TEST_F(ConsoleBackendTest, WithoutColoursTheBarsAreInReverseVideo) {
    _putenv_s("NO_COLOR", "1");
    ConsoleBackend console(In, Out);
    _putenv_s("NO_COLOR", "");
    console.setColour(0x87);
    console.write("b");
    console.setColour(12);
    console.write("c");
    console.flush();
    EXPECT_EQ(std::pair(fake.cells[0].Attributes, fake.cells[1].Attributes),
              std::pair(WORD{7 | COMMON_LVB_REVERSE_VIDEO}, WORD{7}));
}

TEST_F(ConsoleBackendTest, AConsoleThatUnderstandsSequencesGetsTheTerminalsBytes) {
    fake.interpretsSequences = true;
    ConsoleBackend console(In, Out);
    ASSERT_EQ(console.drawing(), ConsoleBackend::Drawing::Sequences);
    EXPECT_TRUE(fake.gameMode & DISABLE_NEWLINE_AUTO_RETURN);
    fake.text.clear();
    fake.textWrites = 0;
    console.setColour(10);
    console.write("Zażółć\n");
    console.setScrollRegion(1, 24);
    console.flush();
    EXPECT_EQ(std::pair(fake.textWrites, fake.text),
              std::pair(1, std::wstring(L"\x1b[0;92mZażółć\r\n\x1b" L"7\x1b[2;25r\x1b" L"8")));
}

}  // namespace
}  // namespace kelvrin

#endif  // _WIN32
