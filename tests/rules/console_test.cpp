#include <climits>

#include "support/game_test.h"

#include "core/rules.h"

namespace kelvrin::test {
namespace {

using ConsoleTest = GameTest;

TEST_F(ConsoleTest, YesNoIgnoresCapitalsEnterAndEscape) {
    screen.type("TN\n");
    screen.press(KeyEscape);
    screen.press(KeyUp);
    screen.type("xn");
    EXPECT_FALSE(askYesNo());
    EXPECT_EQ(screen.keysQueued(), 0u);
    screen.type("Nt");
    EXPECT_TRUE(askYesNo());
}

TEST_F(ConsoleTest, AskKeyReturnsOnlyListedKeys) {
    screen.type("TNAqa");
    EXPECT_EQ(askKey("tna"), 'a');
    screen.type("ąź");
    EXPECT_EQ(askKey("źx"), static_cast<int>(U'ź'));
}

TEST_F(ConsoleTest, ReadNumberKeepsTheValueWhenThereIsNoNumber) {
    int value = 7;
    screen.type("\n  \n 42abc\n");
    EXPECT_TRUE(readNumber(value));
    EXPECT_EQ(value, 42);
    screen.type("abc\n");
    EXPECT_FALSE(readNumber(value));
    EXPECT_EQ(value, 42);
    screen.type("-15\n+3\n");
    EXPECT_TRUE(readNumber(value));
    EXPECT_EQ(value, -15);
    EXPECT_TRUE(readNumber(value));
    EXPECT_EQ(value, 3);
    // Beyond the int range counts as no number at all.
    screen.type("2147483648\n-2147483649\n99999999999999999999999\n2147483647\n");
    EXPECT_FALSE(readNumber(value));
    EXPECT_FALSE(readNumber(value));
    EXPECT_FALSE(readNumber(value));
    EXPECT_EQ(value, 3);
    EXPECT_TRUE(readNumber(value));
    EXPECT_EQ(value, INT_MAX);
}

TEST_F(ConsoleTest, ReadLineIsBoundedAndCountsPolishLettersAsOne) {
    screen.type(std::string(5000, 'x') + "\n");
    EXPECT_EQ(readLine(30), std::string(30, 'x'));
    screen.type("Łukasz Żółć\n");
    EXPECT_EQ(readLine(8), "Łukasz Ż");
    screen.type("ab");
    screen.press(KeyBackspace);
    screen.type("c\n");
    EXPECT_EQ(readLine(), "ac");
    EXPECT_THROW(readLine(), EndOfInput);
}

TEST_F(ConsoleTest, ModifiersAreColouredBySign) {
    printModifier("SIŁ", 14);
    printModifier("ZRĘ", 7);
    printModifier("KON", 11);
    EXPECT_EQ(screen.transcript(), "SIŁ: 14 ({10}+2{7})ZRĘ:  7 ({12}-2{7})KON: 11 ( 0)");
}

TEST_F(ConsoleTest, LongOutputPausesBeforeUnreadLinesScrollAway) {
    clearScreen();
    screen.type("k");
    for (int i = 1; i <= 40; ++i) print("wiersz %d\n", i);
    EXPECT_THROW(getKey(), EndOfInput);  // the one key went to the pager
    // The first pause came when 24 lines filled the screen above the prompt.
    EXPECT_NE(screen.transcript().find("wiersz 24\n-- dalej --"), std::string::npos);
    // After it, the rest was written and the newest lines are on screen.
    EXPECT_EQ(screen.rowText(23), "wiersz 40");
}

TEST_F(ConsoleTest, ShortOutputNeverPauses) {
    clearScreen();
    for (int i = 1; i <= 24; ++i) print("wiersz %d\n", i);
    screen.type("kk");
    EXPECT_EQ(getKey(), 'k');
    EXPECT_EQ(screen.transcript().find("-- dalej --"), std::string::npos);
    // A key read resets the count: 24 more lines fit before the next pause.
    for (int i = 25; i <= 48; ++i) print("wiersz %d\n", i);
    EXPECT_EQ(getKey(), 'k');
    EXPECT_EQ(screen.transcript().find("-- dalej --"), std::string::npos);
}

TEST_F(ConsoleTest, PagerCountsWrappedLines) {
    clearScreen();
    screen.type("k");
    for (int i = 0; i < 13; ++i) print("%s\n", std::string(120, 'a' + i).c_str());  // 26 screen rows
    EXPECT_THROW(getKey(), EndOfInput);
    // Twelve wrapped lines filled 24 rows: the thirteenth waited.
    EXPECT_NE(screen.transcript().find(std::string(40, 'l') + "\n-- dalej --"), std::string::npos);
    EXPECT_EQ(screen.rowText(22), std::string(80, 'm'));
    EXPECT_EQ(screen.rowText(23), std::string(40, 'm'));
}

}  // namespace
}  // namespace kelvrin::test
