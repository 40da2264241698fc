#include "combat/loot.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

#include "core/console.h"
#include "core/game_state.h"
#include "items/inventory.h"
#include "items/item_display.h"

namespace kelvrin {
namespace {

// The number a typed line starts with (after blanks), as "%d" reads it;
// nothing when it does not start with one or it is out of range.
bool parseNumber(const std::string& line, int& value) {
    const char* begin = line.c_str();
    while (*begin != '\0' && std::isspace(static_cast<unsigned char>(*begin))) ++begin;
    char* end = nullptr;
    errno = 0;
    const long number = std::strtol(begin, &end, 10);
    if (end == begin || errno == ERANGE || number < INT_MIN || number > INT_MAX) return false;
    value = static_cast<int>(number);
    return true;
}

void showList(const LootList& loot) {
    clearScreen();
    print("Co chcesz zrobić (liczba - podnieś, e - ekwipunek, p - podnieś wszystko, w - odejdź\n");
    for (std::size_t i = 0; i < loot.size(); ++i) {
        print("%d) ", static_cast<int>(i) + 1);
        printItem(loot[i], ShowShopStock);
        print("\n");
    }
}

// Takes items from the top of the list until one does not fit.
void takeAll(LootList& loot) {
    while (!loot.empty() && addItem(loot.front(), true)) loot.erase(loot.begin());
    if (!loot.empty()) {
        print("Nie możesz nieść więcej przedmiotów.\n\n(ok)");
        pauseOk();
    }
}

void takeOne(LootList& loot, std::size_t index) {
    if (addItem(loot[index], true)) {
        loot.erase(loot.begin() + static_cast<std::ptrdiff_t>(index));
        return;
    }
    print("Nie możesz podnieść tego przedmiotu.\n\n(ok)");
    pauseOk();
}

}  // namespace

bool lootScreen(LootList& loot) {
    while (!loot.empty()) {
        showList(loot);
        const std::string line = readLine(200, "0123456789epw");
        const char first = line.empty() ? '\0' : line.front();
        if (first == 'e') {
            inventoryScreen();
            if (hero.hp <= 0) return true;
        } else if (first == 'w') {
            return false;
        } else if (first == 'p') {
            takeAll(loot);
        } else {
            int number = 0;
            if (parseNumber(line, number) && number >= 1 && number <= static_cast<int>(loot.size()))
                takeOne(loot, static_cast<std::size_t>(number - 1));
        }
    }
    return false;
}

}  // namespace kelvrin
