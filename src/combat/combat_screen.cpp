#include "combat/combat_screen.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "character/character_sheet.h"
#include "character/feat_screens.h"
#include "character/feats.h"
#include "core/console.h"
#include "core/game_state.h"
#include "core/utf8.h"
#include "items/inventory.h"

namespace kelvrin {

namespace {

constexpr std::array<const char*, 3> hintLines{"e - ekwipunek", "p - potężny atak", "w - wyspecjalizowanie"};

// The blanks the bar's text ends with when there is room for them.
constexpr std::size_t StatusBarBlanks = 5;

// Cells of a text in the hint colour (the bar's and the box's), padded with
// blanks to `width`.
void appendPaddedCells(std::vector<Cell>& cells, std::string_view text, int width) {
    int used = 0;
    for (std::size_t pos = 0; pos < text.size() && used < width; ++used) {
        cells.push_back(Cell{decodeUtf8(text, pos), ColourHint});
    }
    for (; used < width; ++used) cells.push_back(Cell{U' ', ColourHint});
}

void drawHintBox() {
    std::vector<Cell> cells;
    for (const char* line : hintLines) appendPaddedCells(cells, line, HintBoxWidth);
    putCells(0, HintBoxColumn, HintBoxWidth, cells);
}

}  // namespace

std::string statusBarText() {
    // Everything after the name, which gives way first when the bar is full.
    const std::string figures =
        formatText(" pw:%d/%d exp:%d/%d złoto:%d runda:%d komendy:afuec%s%s%s%s?", hero.hp, hero.maxHp, hero.xp,
                   hero.xpNext, hero.gold, world.combatRound, hasFeat(FeatPowerAttack) ? "p" : "",
                   hasFeat(FeatExpertise) ? "w" : "", hero.ragesPerDay > 0 ? "s" : "", hasFeat(FeatDodge) ? "d" : "");
    constexpr std::size_t width = StatusBarWidth;
    const std::size_t figuresLength = utf8Length(figures);
    const std::size_t used = utf8Length(hero.name) + figuresLength;
    // Too long for the row: the blanks go, then the end of the name, and
    // only then the end of the figures, so the commands stay in sight.
    if (used <= width) return hero.name + figures + std::string(std::min(StatusBarBlanks, width - used), ' ');
    if (figuresLength < width) return utf8Prefix(hero.name, width - figuresLength) + figures;
    // Not even the figures fit: without a name they need no blank before them.
    return utf8Prefix(std::string_view(figures).substr(1), width);
}

namespace {

// The bar as a screen reader last heard it in this fight.
std::string statusBarTold;

std::string statusBarWithoutBlanks() {
    std::string text = statusBarText();
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

}  // namespace

void drawStatusBar() {
    // The whole row each time: nothing of an earlier, longer bar stays.
    std::vector<Cell> cells;
    appendPaddedCells(cells, statusBarText(), StatusBarWidth);
    putCells(0, 0, StatusBarWidth, cells);
    // A screen reader hears the bar when it changed.
    if (!screenReader()) return;
    if (std::string told = statusBarWithoutBlanks(); told != statusBarTold) {
        statusBarTold = std::move(told);
        tellReader(statusBarTold);
    }
}

StatusBarForReader::StatusBarForReader() : scope_(ReaderStatusKey, statusBarWithoutBlanks) { statusBarTold.clear(); }

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
        const int key = getKey("pwe");
        if (key == 'p') {
            if (hasFeat(FeatPowerAttack)) {
                powerAttackSettings();
                continue;
            }
            print("Nie masz atutu Potężny atak.\n");
            return getKey({});
        }
        if (key == 'w') {
            if (hasFeat(FeatExpertise)) {
                expertiseSettings();
                continue;
            }
            print("Nie masz atutu Wyspecjalizowanie.\n");
            return getKey({});
        }
        if (key == 'e') inventoryScreen();
        return key;
    }
}

}  // namespace kelvrin
