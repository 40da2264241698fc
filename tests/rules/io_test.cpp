// Below the screens: the console's readers and pager, the key decoder, the stream backend, UTF-8 and Windows-1250.
#include <gtest/gtest.h>
#include <signal.h>

#include <climits>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

#include "support/game_test.h"

#include "core/cp1250.h"
#include "core/utf8.h"
#include "platform/backend.h"
#include "platform/charset.h"
#include "platform/key_decoder.h"
#include "platform/stream_backend.h"
#include "platform/vt_backend.h"

namespace kelvrin::test {
namespace {

using ConsoleTest = GameTest;

// Yes/no and a choice of keys take only their own keys, small letters, Polish ones among them.
TEST_F(ConsoleTest, QuestionsTakeOnlyTheirKeys) {
    screen.type("TN\n");
    screen.press(KeyEscape);
    screen.press(KeyUp);
    screen.type("xnNt");
    EXPECT_EQ((std::tuple{askYesNo(), screen.keysQueued(), askYesNo()}), std::tuple(false, 2u, true));
    screen.type("TNAqaąź");
    EXPECT_EQ((std::pair{askKey("tna"), askKey("źx")}), std::pair(int{'a'}, static_cast<int>(U'ź')));
}

// A line with no number, or one beyond the int range, keeps the value.
TEST_F(ConsoleTest, ReadNumberKeepsTheValueWhenThereIsNoNumber) {
    int value = 7;
    screen.type("\n  \n 42abc\nabc\n-15\n+3\n2147483648\n-2147483649\n99999999999999999999999\n2147483647\n");
    for (const auto& [read, then] : std::initializer_list<std::pair<bool, int>>{
             {true, 42}, {false, 42}, {true, -15}, {true, 3}, {false, 3}, {false, 3}, {false, 3}, {true, INT_MAX}}) {
        EXPECT_EQ(readNumber(value), read);
        EXPECT_EQ(value, then);
    }
}

TEST_F(ConsoleTest, ReadLineIsBoundedAndCountsPolishLettersAsOne) {
    screen.type(std::string(5000, 'x') + "\nŁukasz Żółć\nab");
    screen.press(KeyBackspace);
    screen.type("c\n");
    EXPECT_EQ((std::tuple{readLine(30), readLine(8), readLine()}),
              std::tuple(std::string(30, 'x'), "Łukasz Ż", "ac"));
    EXPECT_THROW(readLine(), EndOfInput);
}

// Wrapped lines count by their screen rows; a key read starts the count again (24 lines between two keys never pause).
TEST_F(ConsoleTest, LongOutputPausesBeforeUnreadLinesScrollAway) {
    clearScreen();
    screen.type("kk");
    for (int round = 0; round < 2; ++round) {
        for (int i = 1; i <= 24; ++i) print("wiersz %d\n", i);
        EXPECT_EQ(getKey({}), 'k');
    }
    EXPECT_EQ(screen.transcript().find("-- dalej --"), std::string::npos);
    screen.clearTranscript();
    screen.type("k");
    for (int i = 1; i <= 40; ++i) print("wiersz %d\n", i);
    EXPECT_THROW(getKey({}), EndOfInput);  // the one key went to the pager
    EXPECT_NE(screen.transcript().find("wiersz 24\n-- dalej --"), std::string::npos);
    EXPECT_EQ(screen.rowText(23), "wiersz 40");  // the newest lines are on screen

    screen.clearTranscript();
    screen.type("kk");
    EXPECT_EQ(getKey({}), 'k');
    for (int i = 0; i < 13; ++i) print("%s\n", std::string(120, 'a' + i).c_str());  // 26 rows: the 13th line waits
    EXPECT_THROW(getKey({}), EndOfInput);
    EXPECT_NE(screen.transcript().find(std::string(40, 'l') + "\n-- dalej --"), std::string::npos);
    EXPECT_EQ(std::pair(screen.rowText(22), screen.rowText(23)), std::pair(std::string(80, 'm'), std::string(40, 'm')));
}

using Mode = KeyDecoder::Mode;

// Feeds the bytes, then lets the wait for more run out.
std::vector<int> decode(std::string_view bytes, Mode mode, const KeyDecoder::ByteTable* table = nullptr) {
    KeyDecoder decoder(mode);
    if (table != nullptr) decoder.setByteTable(table);
    decoder.feed(bytes);
    decoder.timeout();
    std::vector<int> keys;
    while (decoder.hasKey()) keys.push_back(decoder.takeKey());
    return keys;
}

struct Case { const char* name; std::string bytes; std::vector<int> keys; Mode mode = Mode::Terminal; };

TEST(KeyDecoder, BytesBecomeTheRightKeys) {
    const std::vector<Case> cases = {
        {"letters and digits", "a1Z", {'a', '1', 'Z'}}, {"carriage return is Enter", "\r\n", {KeyEnter, KeyEnter}},
        {"both backspaces", std::string("\x7f\x08"), {KeyBackspace, KeyBackspace}},
        {"CSI arrows", "\x1b[A\x1b[B\x1b[C\x1b[D", {KeyUp, KeyDown, KeyRight, KeyLeft}},
        {"SS3 arrows", "\x1bOA\x1bOB\x1bOC\x1bOD", {KeyUp, KeyDown, KeyRight, KeyLeft}},
        {"arrows with modifiers", "\x1b[1;5A\x1b[1;2D", {KeyUp, KeyLeft}},
        {"Home End PgUp Insert", "\x1b[H\x1b[F\x1b[1~\x1b[4~\x1b[5~\x1b[2~", {}},
        {"F-keys", "\x1bOP\x1bOS\x1b[15~\x1b[24~\x1b[1;2P", {}},
        {"Linux console F1, any final byte", "\x1b[[A\x1b[[E\x1b[[~\x1bO~", {}},
        {"bracketed paste marks", "\x1b[200~x\x1b[201~", {'x'}},
        {"keys around a dropped sequence", "1\x1b[3~2", {'1', '2'}},
        {"lone Escape", "\x1b", {KeyEscape}}, {"Escape then a letter", "\x1bq", {KeyEscape, 'q'}},
        {"Escape twice then an arrow", "\x1b\x1b\x1b[A", {KeyEscape, KeyEscape, KeyUp}},
        {"sequence cut by Enter", "\x1b[12\r", {KeyEnter}}, {"Polish letters", "łĄż", {0x142, 0x104, 0x17C}},
        {"three and four byte letters", "€😀", {0x20AC, 0x1F600}}, {"cut letter then a key", "\xc5" "a", {'a'}},
        {"stray continuation bytes", "\x80\xbf" "b", {'b'}},
        {"overlong forms", "\xc0\xaf\xe0\x80\xaf\xf0\x80\x80\xaf", {}},
        {"surrogates and beyond U+10FFFF", "\xed\xa0\x80\xf4\x90\x80\x80\xf5", {}},
        {"C1 control as UTF-8", "\xc2\x9b", {}}, {"letter cut by the end", "\xe2\x82", {}},
        // A stream (pipe or file) takes characters as they stand.
        {"stream line", "tak\r\n", {'t', 'a', 'k', KeyEnter}, Mode::Stream},
        {"stream Escape is no sequence", "\x1b[A", {KeyEscape, '[', 'A'}, Mode::Stream},
        {"stream bad byte", "ś\xff", {0x15B}, Mode::Stream},
    };
    for (const Case& c : cases) EXPECT_EQ(decode(c.bytes, c.mode), c.keys) << c.name;
}

TEST(KeyDecoder, EscapeWaitsForTheRestOfASequence) {
    KeyDecoder decoder;
    for (const char byte : std::string_view("\x1b[1")) {
        decoder.feed(static_cast<unsigned char>(byte));
        EXPECT_TRUE(decoder.waiting()) << byte;
        EXPECT_FALSE(decoder.hasKey()) << byte;
    }
    decoder.feed('B');
    EXPECT_EQ((std::pair{decoder.waiting(), decoder.hasKey() ? decoder.takeKey() : 0}), std::pair(false, int{KeyDown}));
    // A sequence cut short by the wait is dropped whole.
    decoder.feed("\x1b[");
    decoder.timeout();
    const bool dropped = !decoder.hasKey();
    decoder.feed('x');
    EXPECT_EQ(std::pair(dropped, decoder.takeKey()), std::pair(true, int{'x'}));
}

// Not on Windows, whose console gives and takes UTF-16, nor in a web page, whose terminal takes only UTF-8.
#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
TEST(KeyDecoder, SingleByteCharsetDecodesAndEncodesPolish) {
    const auto latin2 = ByteCharset::load("ISO-8859-2");
    const auto cp1250 = ByteCharset::load("CP1250");
    ASSERT_TRUE(latin2);
    ASSERT_TRUE(cp1250);
    // The C1 controls 0x80-0x9F are no keys (an echoed 0x9B starts a sequence); then no-break space, ł, ą, Ł.
    EXPECT_EQ(decode("\x80\x8c\x9b\x9f\xa0\xb3\xb1\xa3", Mode::Terminal, &latin2->table()),
              (std::vector<int>{0xA0, 0x142, 0x105, 0x141}));

    std::string out;
    latin2->encode("Wyjście €", out);  // no euro sign in ISO-8859-2
    cp1250->encode("ąśź", out);
    EXPECT_EQ(out, "Wyj\xb6" "cie ?\xb9\x9c\x9f");

    EXPECT_FALSE(ByteCharset::load("UTF-8"));  // UTF-8 is no single-byte set
    EXPECT_FALSE(ByteCharset::load("NO-SUCH-CODESET"));
    EXPECT_EQ(std::tuple(codesetIsUtf8("ANSI_X3.4-1968"), codesetIsUtf8("utf8"), codesetIsUtf8("ISO-8859-2")),
              std::tuple(true, true, false));
}
#endif

// Not in the web build: its streams are the process's own descriptors read through Node, not the runtime's pipes.
#ifndef __EMSCRIPTEN__
// The system's pipe calls: msvcrt's binary pipes on Windows.
#ifdef _WIN32
int makePipe(int fds[2]) { return _pipe(fds, 1 << 16, _O_BINARY); }
int writeTo(int fd, const char* data, std::size_t size) { return _write(fd, data, static_cast<unsigned>(size)); }
int readFrom(int fd, char* data, std::size_t size) { return _read(fd, data, static_cast<unsigned>(size)); }
void closePipe(int fd) { _close(fd); }
#else
int makePipe(int fds[2]) { return pipe(fds); }
int writeTo(int fd, const char* data, std::size_t size) { return static_cast<int>(::write(fd, data, size)); }
int readFrom(int fd, char* data, std::size_t size) { return static_cast<int>(::read(fd, data, size)); }
void closePipe(int fd) { close(fd); }
#endif

// A pipe for the input and one for the output, around a StreamBackend.
class StreamBackendTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(makePipe(input_), 0);
        ASSERT_EQ(makePipe(output_), 0);
    }
    void TearDown() override {
        for (int* ends : {input_, output_}) for (const int end : {0, 1}) closeFd(ends[end]);
    }
    // Typed bytes, then the end of the input.
    void type(std::string_view bytes) {
        ASSERT_EQ(writeTo(input_[1], bytes.data(), bytes.size()), static_cast<int>(bytes.size()));
        closeFd(input_[1]);
    }
    std::string written() {
        closeFd(output_[1]);
        std::string out;
        char buffer[512];
        for (int n; (n = readFrom(output_[0], buffer, sizeof buffer)) > 0;)
            out.append(buffer, static_cast<std::size_t>(n));
        return out;
    }
    static void closeFd(int& fd) { if (fd >= 0) closePipe(std::exchange(fd, -1)); }
    int input_[2] = {-1, -1};
    int output_[2] = {-1, -1};
};

// Keys and lines share one input, and its end is final.
TEST_F(StreamBackendTest, KeysAndLinesShareOneInput) {
    type("1ł\r\nZażółć gęślą\r\nabcdef\n\xff" "t\x1bkoniec bez końca linii");
    StreamBackend stream(input_[0], output_[1]);
    for (const int key : {int{'1'}, 0x142, int{KeyEnter}}) EXPECT_EQ(stream.readKey(), key);  // "\r\n" is one Enter
    // A line cut at its bound is still read to its end; the invalid byte is dropped; a last line without its end is
    // no line, but its letters are keys.
    EXPECT_EQ(stream.readLine(200), "Zażółć gęślą");
    EXPECT_EQ(stream.readLine(3), "abc");
    EXPECT_EQ(stream.readKey(), 't');
    EXPECT_EQ(stream.readKey(), KeyEscape);
    EXPECT_EQ(stream.readLine(200), std::nullopt);
    int letters = 0;
    while (stream.readKey() != KeyEnd && letters < 100) ++letters;
    EXPECT_EQ(letters, 22);
    const std::tuple after{stream.readKey(), stream.readKey(), stream.readLine(10)};
    EXPECT_EQ(after, std::tuple(KeyEnd, KeyEnd, std::nullopt));
}

TEST_F(StreamBackendTest, OutputIsPlainText) {
    {
        StreamBackend stream(input_[0], output_[1]);
        stream.clear();  // at the start of a line: nothing
        stream.write("Gdzie chcesz iść:\n");
        stream.setColour(12);
        stream.moveCursor(3, 4);
        stream.setScrollRegion(2, 24);
        stream.write("Umierasz...");
        stream.setColour(7);
        stream.clear();  // ends the unfinished line
        stream.write("Wybierz: ");
        stream.putCells(5, 10, 3, {{U'#', 8}, {U'ł', 10}, {U' ', 7}, {U'@', 0x87}, {U' ', 7}, {U' ', 7}});
    }  // the destructor flushes
    EXPECT_EQ(written(), "Gdzie chcesz iść:\nUmierasz...\nWybierz: \n#ł\n@\n");
}

TEST_F(StreamBackendTest, ClosedOutputEndsTheInput) {
    type("abc");
#ifndef _WIN32
    const auto previous = signal(SIGPIPE, SIG_IGN);  // Windows has no such signal
#endif
    closeFd(output_[0]);
    StreamBackend stream(input_[0], output_[1]);
    stream.write("nikt tego nie czyta\n");
    // The flush fails.
    EXPECT_EQ((std::tuple{stream.readKey(), stream.readLine(10)}), std::tuple(KeyEnd, std::nullopt));
#ifndef _WIN32
    signal(SIGPIPE, previous);
#endif
}
#endif  // __EMSCRIPTEN__

// The terminal's drawing without a terminal: a redraw sends no blank cell at a row's end nor an empty row.
struct RecordingVt : VtBackend {
    using VtBackend::followWindowSize, VtBackend::redraw;
    std::string sent;
    bool send(std::string_view bytes) override {
        sent += bytes;
        return true;
    }
    int nextKey() override { return KeyEnd; }
};

TEST(VtBackendTest, RedrawLeavesOutBlankCellsAndASmallWindowKeepsTheScreen) {
    RecordingVt vt;
    vt.followWindowSize(25, 80);
    vt.write("ab");
    vt.moveCursor(2, 0);
    vt.setColour(0x17);
    vt.write(" ");
    vt.flush();
    vt.sent.clear();
    vt.redraw();
    EXPECT_NE(vt.sent.find("\x1b[1;1Hab\x1b[3;1H"), std::string::npos) << vt.sent;
    // Too few rows alone make a small window; growing past 80x25 takes the new size.
    EXPECT_TRUE(vt.followWindowSize(20, 80));
    EXPECT_TRUE(vt.takeSmallWindowNotice());
    EXPECT_EQ(vt.rows(), 20);
    EXPECT_EQ((std::tuple{vt.followWindowSize(30, 80), vt.rows(), vt.columns()}), std::tuple(true, 30, 80));
}

// A window made smaller while the game waits for a key keeps the console's cursor inside it, as the terminal does.
TEST_F(ConsoleTest, AWindowMadeSmallerKeepsTheCursorInside) {
    RecordingVt vt;
    vt.followWindowSize(30, 80);
    setBackend(&vt);
    for (int i = 0; i < 28; ++i) printText("linia\n");
    vt.followWindowSize(25, 80);
    EXPECT_THROW(getKey({}), EndOfInput);
    EXPECT_EQ(cursorRow(), 24);
    setBackend(&screen);
}

// Overlong forms, surrogates and values past U+10FFFF are malformed: each of their bytes decodes as U+FFFD.
TEST(Utf8Test, OnlyWellFormedLettersDecode) {
    const std::u32string bad(4, U'\uFFFD');
    for (const auto& [bytes, letters] : std::vector<std::pair<std::string, std::u32string>>{
             {"aż€😀\xf4\x8f\xbf\xbf", U"aż€😀\U0010FFFF"}, {"\xc0\xaf", bad.substr(2)},
             {"\xe0\x80\xaf", bad.substr(1)}, {"\xf0\x80\x80\xaf", bad}, {"\xed\xa0\x80", bad.substr(1)},
             {"\xf4\x90\x80\x80", bad}, {"\xf5\x80\x80\x80", bad}}) {
        std::vector<char32_t> got;
        for (std::size_t pos = 0; pos < bytes.size();) got.push_back(decodeUtf8(bytes, pos));
        EXPECT_EQ(got, std::vector<char32_t>(letters.begin(), letters.end())) << bytes;
    }
}

// Every defined byte comes back, the five undefined give U+FFFD; characters outside the code page are refused.
TEST(Cp1250Test, LettersBothWaysOutsideTheCodePageAndTheirOrder) {
    const std::string utf8 = "ąćęłńóśźż ĄĆĘŁŃÓŚŹŻ Kelvrin";
    const std::string bytes = "\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF \xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF Kelvrin";
    EXPECT_EQ(std::tuple(toCp1250(utf8), fromCp1250(bytes), fitsCp1250(utf8), toCp1250("")),
              std::tuple(bytes, utf8, true, std::string()));
    for (int byte = 1; byte < 256; ++byte) {
        const std::string one(1, static_cast<char>(byte));
        const std::string back = fromCp1250(one);
        const bool undefined = byte == 0x81 || byte == 0x83 || byte == 0x88 || byte == 0x90 || byte == 0x98;
        EXPECT_EQ(std::pair(back == "\xEF\xBF\xBD", toCp1250(back)),
                  std::pair(undefined, undefined ? std::nullopt : std::optional(one))) << byte;
    }
    for (const char* text : {"Bjørn", "Жорж", "漢", "smok🐉", "a\xFFz", "\xC5"}) {
        EXPECT_EQ(toCp1250(text), std::nullopt) << text;
        EXPECT_FALSE(fitsCp1250(text)) << text;
    }
    EXPECT_EQ(std::tuple(cp1250Byte(U'ø'), cp1250Byte(U'€')), std::tuple(std::nullopt, 0x80));
    // Ś is 0x8C and Ó 0xD3 in Windows-1250, the reverse in UTF-8; letters past 0x7F follow ASCII; a prefix first.
    for (const auto& [less, more] : {std::pair{"Śmiałość", "Ósemka"}, {"Zbroja", "Żelazo"},
                                     {"Atak", "Atak potężny"}, {"Zwinność", "ąb"}}) {
        EXPECT_TRUE(cp1250Less(less, more)) << less;
        EXPECT_FALSE(cp1250Less(more, less)) << more;
    }
    EXPECT_FALSE(cp1250Less("Atak", "Atak"));
}

}  // namespace
}  // namespace kelvrin::test
