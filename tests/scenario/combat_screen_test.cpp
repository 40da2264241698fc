#include "support/game_test.h"
#include "support/test_hero.h"

#include "combat/combat_screen.h"
#include "core/utf8.h"
#include "data/feats.h"
#include "world/town.h"

namespace kelvrin::test {
namespace {

using CombatScreenTest = GameTest;

std::string cells(const ScriptedBackend& screen, int row, int col, int width) {
    std::string out;
    for (int c = col; c < col + width; ++c) appendUtf8(out, screen.charAt(row, c));
    return out;
}

TEST_F(CombatScreenTest, StatusBarCommandsShorteningAndCells) {
    makeTestHero();
    world.combatRound = 3;
    EXPECT_EQ(statusBarText(), "Testowy pw:13/13 exp:0/1000 złoto:50 runda:3 komendy:afuec?     ");
    hero.feats = FeatExpertise | FeatDodge | FeatPowerAttack;
    hero.ragesPerDay = 1;
    EXPECT_NE(statusBarText().find("komendy:afuecpwsd?"), std::string::npos);

    // Too long: the blanks go first, then the end of the name; only when the
    // figures alone are too long does their end go.
    hero.xp = hero.gold = 2000000000;
    EXPECT_EQ(statusBarText(), "Testowy pw:13/13 exp:2000000000/1000 złoto:2000000000 runda:3 komendy:afuecpwsd?");
    hero.name = "Żółćżółćżółćżółć Gęślą Jaźń Wi";  // 30 letters
    EXPECT_EQ(statusBarText(), "Żółćżół pw:13/13 exp:2000000000/1000 złoto:2000000000 runda:3 komendy:afuecpwsd?");
    hero.xpNext = 2000000000;
    world.combatRound = 12345;
    EXPECT_EQ(statusBarText(), "pw:13/13 exp:2000000000/2000000000 złoto:2000000000 runda:12345 komendy:afuecpws");
    drawStatusBar();
    for (int c = 0; c < StatusBarWidth; ++c) EXPECT_EQ(screen.attrAt(0, c), ColourHint) << c;
    EXPECT_EQ(screen.rowText(0), statusBarText());
    EXPECT_EQ(std::pair(screen.cursorRow(), screen.cursorColumn()), std::pair(0, 0)) << "the bar leaves the cursor";
}

TEST_F(CombatScreenTest, TheSheetWithItsHintBoxAndKeys) {
    makeTestHero();
    // The town's "s" shows it; the box's lines are 22 letters, not bytes.
    screen.type("sk");
    EXPECT_FALSE(runUntilInputEnds([] { townScreen(); }));
    const char* lines[] = {"e - ekwipunek         ", "p - potężny atak      ", "w - wyspecjalizowanie "};
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(cells(screen, r, HintBoxColumn, HintBoxWidth), lines[r]);
        for (int c = HintBoxColumn - 1; c < 80; ++c)
            EXPECT_EQ(screen.attrAt(r, c), c < HintBoxColumn ? ColourNormal : ColourHint) << r << "," << c;
    }

    // Without the feat: the refusal, and the next key goes to the caller.
    screen.type("pqwb");
    EXPECT_EQ(characterSheetWithHints(), 'q');
    EXPECT_TRUE(screen.transcript().ends_with("Nie masz atutu Potężny atak.\n"));
    EXPECT_EQ(characterSheetWithHints(), 'b');
    EXPECT_TRUE(screen.transcript().ends_with("Nie masz atutu Wyspecjalizowanie.\n"));
    // With the feats: their settings, then the sheet again; "e": the inventory, and its key back.
    hero.feats = FeatPowerAttack | FeatExpertise;
    screen.type("p1\nw0\nmex");
    EXPECT_EQ(characterSheetWithHints(), 'm');
    EXPECT_EQ(hero.powerAttack, 1);
    EXPECT_NE(screen.transcript().find("Ustawienia atutu Wyspecjalizowanie."), std::string::npos);
    EXPECT_EQ(characterSheetWithHints(), 'e');
    EXPECT_NE(screen.transcript().find("EKWIPUNEK"), std::string::npos);
}

}  // namespace
}  // namespace kelvrin::test
