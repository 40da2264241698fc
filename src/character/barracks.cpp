#include "character/barracks.h"

#include <algorithm>
#include <vector>

#include "character/level_up.h"
#include "core/console.h"
#include "core/game_state.h"
#include "data/monsters.h"

namespace kelvrin {

namespace {

// Experience only qualifies: the level comes with training, one level at a
// time. Experience is never spent, since the table holds totals.
void train() {
    if (!belowMaxLevel()) {
        print("Osiągnąłeś już najwyższy poziom.\n\n(ok)");
        pauseOk();
        return;
    }
    if (hero.xp < hero.xpNext) {
        print("Potrzebujesz %lld doswiadczenia.\n\n(ok)", static_cast<long long>(hero.xpNext) - hero.xp);
        pauseOk();
        return;
    }
    levelUp();
}

// The monsters killed, weakest first. A stored challenge of -n means 1/n,
// so the stored values already sort as the challenges do; monsters of the
// same challenge keep the catalogue's order.
void showTrophies() {
    clearScreen();
    print("Pokonani przeciwnicy:\n");
    std::vector<const MonsterDef*> killed;
    long long total = 0;
    for (const MonsterDef& monster : monsterTable) {
        const int count = world.killCounts[static_cast<std::size_t>(monster.id)];
        if (count <= 0) continue;
        killed.push_back(&monster);
        total += count;
    }
    std::stable_sort(killed.begin(), killed.end(),
                     [](const MonsterDef* a, const MonsterDef* b) { return a->challenge < b->challenge; });
    if (killed.empty()) {
        print("(brak)\n\n(ok)");
    } else {
        for (const MonsterDef* monster : killed)
            print("%s: %d\n", monster->name, world.killCounts[static_cast<std::size_t>(monster->id)]);
        print("Suma: %lld\n\n(ok)", total);
    }
    pauseOk();
}

}  // namespace

bool barracksScreen() {
    clearScreen();
    print("BARAKI\nWchodzisz na spory plac, trenuje tu kilku wojowników oraz strażników. Możesz tu trenować aby "
          "zdobyć nowy poziom lub oglądać zdobyte trofea.\nMasz %d/%d doświadczenia i %d poziom.\nt - trenuj\n"
          "s - oglądaj trofea\nw - wyjdź\n",
          hero.xp, hero.xpNext, hero.level);
    switch (askKey("tsw")) {
        case 't':
            train();
            return true;
        case 's':
            showTrophies();
            return true;
        default:
            return false;
    }
}

}  // namespace kelvrin
