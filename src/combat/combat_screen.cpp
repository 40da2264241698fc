#include "combat/combat_screen.h"

#include <array>

#include "character/character_sheet.h"
#include "character/feat_screens.h"
#include "character/feats.h"
#include "core/console.h"
#include "core/game_state.h"
#include "core/utf8.h"
#include "items/inventory.h"

namespace kelvrin {

namespace {

// The bar's cells live as long as the program: each drawing replaces only
// as many characters as its text has.
std::array<Cell, StatusBarWidth> statusBarCells;
bool statusBarReady = false;

constexpr std::array<const char*, 3> hintLines{"e - ekwipunek", "p - potężny atak", "w - wyspecjalizowanie"};

// Cells of a text in the hint colour, padded with blanks to `width`.
void appendHintCells(std::vector<Cell>& cells, std::string_view text, int width) {
    int used = 0;
    for (std::size_t pos = 0; pos < text.size() && used < width; ++used) {
        cells.push_back(Cell{decodeUtf8(text, pos), ColourHint});
    }
    for (; used < width; ++used) cells.push_back(Cell{U' ', ColourHint});
}

void drawHintBox() {
    std::vector<Cell> cells;
    for (const char* line : hintLines) appendHintCells(cells, line, HintBoxWidth);
    putCells(0, HintBoxColumn, HintBoxWidth, cells);
}

}  // namespace

std::string statusBarText() {
    const std::string text =
        formatText("%s pw:%d/%d exp:%d/%d złoto:%d runda:%d komendy:afuec%s%s%s%s?     ", hero.name.c_str(),
                   hero.hp, hero.maxHp, hero.xp, hero.xpNext, hero.gold, world.combatRound,
                   hasFeat(FeatPowerAttack) ? "p" : "", hasFeat(FeatExpertise) ? "w" : "",
                   hero.ragesPerDay > 0 ? "s" : "", hasFeat(FeatDodge) ? "d" : "");
    return utf8Prefix(text, StatusBarWidth);
}

void drawStatusBar() {
    if (!statusBarReady) {
        for (Cell& cell : statusBarCells) cell = Cell{U' ', ColourHint};
        statusBarReady = true;
    }
    const std::string text = statusBarText();
    std::size_t cell = 0;
    for (std::size_t pos = 0; pos < text.size() && cell < statusBarCells.size(); ++cell) {
        statusBarCells[cell].ch = decodeUtf8(text, pos);
    }
    putCells(0, 0, StatusBarWidth, std::vector<Cell>(statusBarCells.begin(), statusBarCells.end()));
}

void clearFightScreen() {
    clearScreen();
    setScrollTop(1);
    moveCursor(1, 0);
}

int chooseTarget(const FightState& fight, const std::vector<int>& opponents) {
    for (;;) {
        clearScreen();
        setScrollTop(1);
        drawStatusBar();
        print("\n");
        print("Wybierz cel: (0-anuluj)\n");
        for (std::size_t i = 0; i < opponents.size(); ++i) print("%d) %s\n", static_cast<int>(i) + 1, fight.nameOf(opponents[i]));
        int number = 0;
        readNumber(number);
        if (number == 0) return NoCombatant;
        if (number > 0 && number <= static_cast<int>(opponents.size())) return opponents[static_cast<std::size_t>(number - 1)];
    }
}

void showHelp() {
    clearScreen();
    print("DOSTĘPNE KOMENDY:\na - atakuj\nf - walcz (nie wybieraj celu)\nu - uciekaj\ne - ekwipunek\nc - czekaj\n"
          "p - potężny atak (atut)\nw - wyspecjalizowanie (atut)\ns - szał (zdolność)\nd - uniki (atut)\n\n(ok)");
    pauseOk();
    clearScreen();
    print("\n");
}

int characterSheetWithHints() {
    for (;;) {
        showCharacterSheet();
        drawHintBox();
        const int key = getKey();
        if (key == 'p') {
            if (hasFeat(FeatPowerAttack)) {
                powerAttackSettings();
                continue;
            }
            print("Nie masz atutu Potężny atak.\n");
            return getKey();
        }
        if (key == 'w') {
            if (hasFeat(FeatExpertise)) {
                expertiseSettings();
                continue;
            }
            print("Nie masz atutu Wyspecjalizowanie.\n");
            return getKey();
        }
        if (key == 'e') inventoryScreen();
        return key;
    }
}

}  // namespace kelvrin
