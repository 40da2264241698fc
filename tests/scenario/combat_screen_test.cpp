#include "support/game_test.h"
#include "support/test_hero.h"

#include "combat/combat_screen.h"
#include "core/utf8.h"
#include "data/feats.h"
#include "world/town.h"

namespace kelvrin::test {
namespace {

class CombatScreenTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        makeTestHero();
    }
    std::string cells(int row, int col, int width) const {
        std::string out;
        for (int c = col; c < col + width; ++c) appendUtf8(out, screen.charAt(row, c));
        return out;
    }
};

TEST_F(CombatScreenTest, StatusBarCommandsFollowFeatsAndRages) {
    world.combatRound = 3;
    EXPECT_EQ(statusBarText(), "Testowy pw:13/13 exp:0/1000 złoto:50 runda:3 komendy:afuec?     ");
    hero.feats = FeatExpertise | FeatDodge;
    EXPECT_NE(statusBarText().find("komendy:afuecwd?"), std::string::npos);
    hero.feats |= FeatPowerAttack;
    hero.ragesPerDay = 1;
    EXPECT_NE(statusBarText().find("komendy:afuecpwsd?"), std::string::npos);
}

TEST_F(CombatScreenTest, StatusBarCellsKeepWhatAShorterTextLeaves) {
    hero.maxHp = hero.hp = 100;
    // The cells live as long as the program: compare the text's own cells,
    // its five blanks included.
    drawStatusBar();
    EXPECT_EQ(cells(0, 0, 66), "Testowy pw:100/100 exp:0/1000 złoto:50 runda:0 komendy:afuec?     ");
    hero.hp = 99;
    drawStatusBar();
    EXPECT_EQ(cells(0, 0, 66), "Testowy pw:99/100 exp:0/1000 złoto:50 runda:0 komendy:afuec?      ");
    for (int c = 0; c < StatusBarWidth; ++c) EXPECT_EQ(screen.attrAt(0, c), ColourHint) << c;
    EXPECT_EQ(screen.cursorRow(), 0);
    EXPECT_EQ(screen.cursorColumn(), 0) << "the bar does not move the cursor";

    // A name long enough to pass the 80 columns: cut at 80 letters.
    hero.name = "Żółćżółćżółćżółć Gęślą Jaźń Wielki z Zamościa i Przemyśla";
    hero.gold = 1234567890;
    const std::string full = statusBarText();
    EXPECT_EQ(utf8Length(full), 80u);
    drawStatusBar();
    EXPECT_EQ(cells(0, 0, 80), full);
    // A short text after it leaves the long one's tail beyond its five blanks.
    hero.name = "Ala";
    hero.gold = 5;
    drawStatusBar();
    const std::string shortText = statusBarText();
    const std::size_t shortLength = utf8Length(shortText);
    EXPECT_EQ(cells(0, 0, static_cast<int>(shortLength)), shortText);
    const int tail = static_cast<int>(shortLength);
    EXPECT_EQ(cells(0, tail, 80 - tail), utf8Prefix(full.substr(full.size() - (80 - tail)), 80));
}

TEST_F(CombatScreenTest, SheetKeys) {
    // Without the feats: the refusal, and the next key goes to the caller.
    screen.type("pq");
    EXPECT_EQ(characterSheetWithHints(), 'q');
    EXPECT_TRUE(screen.transcript().ends_with("Nie masz atutu Potężny atak.\n"));
    screen.type("wb");
    EXPECT_EQ(characterSheetWithHints(), 'b');
    EXPECT_TRUE(screen.transcript().ends_with("Nie masz atutu Wyspecjalizowanie.\n"));

    // With them: the settings, then the sheet again.
    hero.feats = FeatPowerAttack | FeatExpertise;
    screen.clearTranscript();
    screen.type("p1\nw0\nm");
    EXPECT_EQ(characterSheetWithHints(), 'm');
    EXPECT_EQ(hero.powerAttack, 1);
    EXPECT_EQ(hero.attackPool, 0);
    EXPECT_NE(screen.transcript().find("Ustawienia atutu Wyspecjalizowanie."), std::string::npos);
    EXPECT_EQ(screen.transcript().find("Nie masz atutu"), std::string::npos);

    // "e": the inventory, and its key back.
    screen.clearTranscript();
    screen.type("ex");
    EXPECT_EQ(characterSheetWithHints(), 'e');
    EXPECT_NE(screen.transcript().find("EKWIPUNEK"), std::string::npos);
    EXPECT_EQ(screen.keysQueued(), 0u);
}

TEST_F(CombatScreenTest, TheTownsSheetKeyShowsTheSheetWithItsHintBox) {
    screen.type("sk");
    EXPECT_FALSE(runUntilInputEnds([] { townScreen(); }));
    EXPECT_EQ(screen.keysQueued(), 0u);
    EXPECT_EQ(screen.rowText(0).rfind("Testowy ", 0), 0u);
    const char* lines[] = {"e - ekwipunek         ", "p - potężny atak      ", "w - wyspecjalizowanie "};
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(cells(r, HintBoxColumn, HintBoxWidth), lines[r]);
        for (int c = HintBoxColumn; c < HintBoxColumn + HintBoxWidth; ++c) EXPECT_EQ(screen.attrAt(r, c), ColourHint);
        EXPECT_EQ(screen.attrAt(r, HintBoxColumn - 1), ColourNormal);
    }
    EXPECT_EQ(screen.attrAt(3, HintBoxColumn), ColourNormal);
}

}  // namespace
}  // namespace kelvrin::test
