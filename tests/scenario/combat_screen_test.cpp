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

TEST_F(CombatScreenTest, StatusBarCommandsCutAndCells) {
    world.combatRound = 3;
    EXPECT_EQ(statusBarText(), "Testowy pw:13/13 exp:0/1000 złoto:50 runda:3 komendy:afuec?     ");
    hero.feats = FeatExpertise | FeatDodge | FeatPowerAttack;
    hero.ragesPerDay = 1;
    EXPECT_NE(statusBarText().find("komendy:afuecpwsd?"), std::string::npos);

    // Cut at 80 letters; the cells live as long as the program, so a shorter
    // text drawn later leaves the longer one's tail beyond its end.
    hero.name = "Żółćżółćżółćżółć Gęślą Jaźń Wielki z Zamościa i Przemyśla";
    hero.gold = 1234567890;
    const std::string full = statusBarText();
    EXPECT_EQ(utf8Length(full), 80u);
    drawStatusBar();
    EXPECT_EQ(cells(0, 0, 80), full);
    hero.name = "Ala";
    drawStatusBar();
    const std::string now = statusBarText();
    EXPECT_EQ(cells(0, 0, 80), now + full.substr(utf8Prefix(full, utf8Length(now)).size()));
    for (int c = 0; c < StatusBarWidth; ++c) EXPECT_EQ(screen.attrAt(0, c), ColourHint) << c;
    EXPECT_EQ(std::pair(screen.cursorRow(), screen.cursorColumn()), std::pair(0, 0)) << "the bar leaves the cursor";
}

TEST_F(CombatScreenTest, SheetKeys) {
    // Without the feat: the refusal, and the next key goes to the caller.
    for (auto [keys, next, refusal] : {std::tuple{"pq", 'q', "Nie masz atutu Potężny atak.\n"},
                                       {"wb", 'b', "Nie masz atutu Wyspecjalizowanie.\n"}}) {
        screen.type(keys);
        EXPECT_EQ(characterSheetWithHints(), next);
        EXPECT_TRUE(screen.transcript().ends_with(refusal)) << keys;
    }
    // With the feats: their settings, then the sheet again.
    hero.feats = FeatPowerAttack | FeatExpertise;
    screen.type("p1\nw0\nm");
    EXPECT_EQ(characterSheetWithHints(), 'm');
    EXPECT_EQ(hero.powerAttack, 1);
    EXPECT_NE(screen.transcript().find("Ustawienia atutu Wyspecjalizowanie."), std::string::npos);
    // "e": the inventory, and its key back.
    screen.clearTranscript();
    screen.type("ex");
    EXPECT_EQ(characterSheetWithHints(), 'e');
    EXPECT_NE(screen.transcript().find("EKWIPUNEK"), std::string::npos);
}

TEST_F(CombatScreenTest, TheTownsSheetKeyShowsTheSheetWithItsHintBox) {
    screen.type("sk");
    EXPECT_FALSE(runUntilInputEnds([] { townScreen(); }));
    EXPECT_TRUE(screen.rowText(0).starts_with("Testowy "));
    const char* lines[] = {"e - ekwipunek         ", "p - potężny atak      ", "w - wyspecjalizowanie "};
    for (int r = 0; r < 3; ++r) EXPECT_EQ(cells(r, HintBoxColumn, HintBoxWidth), lines[r]);  // 22 letters, not bytes
    for (int r = 0; r < 4; ++r)
        for (int c = HintBoxColumn - 1; c < 80; ++c)
            EXPECT_EQ(screen.attrAt(r, c), r < 3 && c >= HintBoxColumn ? ColourHint : ColourNormal) << r << "," << c;
}

}  // namespace
}  // namespace kelvrin::test
