#include "world/inn.h"

#include <algorithm>

#include "core/console.h"
#include "core/game_state.h"
#include "core/random.h"
#include "data/rumours.h"
#include "world/rest.h"

namespace kelvrin {

namespace {

constexpr int BeerPrice = 3;

bool rest() {
    print("Ile dni chcesz odpoczywać (kosz 1 sztuka złota za 2 dni pobytu, podaj -1 dla pełnego uzdrowienia.\nMasz "
          "%d sztuk złota i %d/%d pw.\nIle dni chcesz odpoczywać: ",
          hero.gold, hero.hp, hero.maxHp);
    int typed = 0;
    readNumber(typed);
    const int days = restDays(typed, static_cast<float>(hero.level));
    if (days == 0) return true;
    const int cost = (days + 1) / 2;
    print("\nCzy chcesz odpoczywać %d dni za %d zlota? (t/n)\n", days, cost);
    if (!askYesNo()) return false;
    if (hero.gold < cost) {
        print("Nie masz dość złota, brakuje ci %d.\n\n(ok)", goldShortOf(cost));
        pauseOk();
        return true;
    }
    advanceDays(days);
    if (hero.hp < hero.maxHp)
        hero.hp = static_cast<int>(
            std::min(static_cast<long long>(hero.hp) + static_cast<long long>(days) * hero.level,
                     static_cast<long long>(hero.maxHp)));
    hero.gold -= cost;
    hero.ragesLeft = hero.ragesPerDay;
    hero.lastChances = 3;
    print("Odpoczywales %d dni, masz %d/%d pw.\n\n(ok)", days, hero.hp, hero.maxHp);
    pauseOk();
    return true;
}

bool beer() {
    print("Czy chcesz kupić piwo za 3 sztuki złota? (t/n)\n");
    if (!askYesNo()) return true;
    if (hero.gold < BeerPrice) {
        print("Nie masz tyle złota. Karczmarz wyrzucił cię na ulicę!\n\n(ok)");
        pauseOk();
        return false;
    }
    hero.gold -= BeerPrice;
    print("Wypijasz zimne piwo. Ma jakiś dziwny posmak...\n\n(ok)");
    pauseOk();
    return true;
}

bool rumour() {
    print("%s", rumourTable[static_cast<std::size_t>(randomNext() % static_cast<int>(rumourTable.size()))]);
    pauseOk();
    return true;
}

}  // namespace

bool innScreen() {
    clearScreen();
    print("GOSPODA\nWchodzisz do zatłoczonej gospody. Podchodzi do ciebie karczmarz i pyta czego ci potrzeba.\no - "
          "odpoczynek\np - kup piwo\ns - słuchaj plotek\nw - wyjdź\n\n");
    switch (askKey("opsw")) {
        case 'o': return rest();
        case 'p': return beer();
        case 's': return rumour();
        default: return false;
    }
}

}  // namespace kelvrin
