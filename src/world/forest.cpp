#include "world/forest.h"

#include <algorithm>

#include "character/program.h"
#include "combat/combat_engine.h"
#include "combat/combat_screen.h"
#include "combat/encounters.h"
#include "combat/rewards.h"
#include "core/console.h"
#include "core/game_state.h"
#include "core/random.h"
#include "data/item_tables.h"
#include "data/monsters.h"
#include "data/surface_events.h"
#include "dungeon/dungeon_view.h"
#include "items/inventory.h"
#include "world/druid_grove.h"

namespace kelvrin {

namespace {

constexpr const char* ForestWalkText =
    "Przechadzasz się przez jakiś czas po lesie, nie natrafiasz na nic niezwykłego.\n\n(ok)";

// `count` creatures of one row.
MonsterList pack(int row, int count) { return MonsterList(static_cast<std::size_t>(count), &monsterRow(row)); }

// The druid's grove, shown again for as long as it asks (and the hero lives).
void visitGrove() {
    while (hero.hp > 0 && druidGroveScreen()) {
    }
}

// The first crystal in the backpack, or nullptr.
ItemSlot* carriedCrystal() {
    for (ItemSlot& slot : hero.inventory)
        if (slot.kind == KindGem && slot.ref == CrystalRow) return &slot;
    return nullptr;
}

void mineOrWell() {
    if (!world.has(MineFound)) {
        print("Znalazłeś wejście do kopalni.\n\n(ok)");
        world.set(MineFound);
        pauseOk();
        return;
    }
    ItemSlot* crystal = carriedCrystal();
    if (crystal == nullptr) {
        quietWalk(ForestWalkText);
        return;
    }
    print("Chodząc po lesie, znalazłeś niewielką polanę. Na jej środku znajduje się studnia. Gdy podchodzisz do "
          "niej kryształ który masz przy sobie zaczyna pulsować. Czy chcesz go wrzucić do studni? (t/n)\n");
    if (!askYesNo()) return;
    print("Wrzucasz kryształ do studni, słyszysz plusk gdy wpada do wody. Przez chwile zastanawiasz się nad tym... "
          "Czujesz się mądrzejszy!\n\n(ok)");
    hero.attributes[Wis] += WellWisdomGain;
    hero.attributes[Cha] += WellCharismaGain;
    *crystal = ItemSlot{};
    recomputeLoad();
    pauseOk();
}

// The dog attacked by wolves: saved, it leads the hero to the druid.
void dogAndWolves() {
    print("Natrafiasz na psa zaatakowanego przez kilka wilków. Czy chcesz mu pomóc? (t/n)\n");
    if (!askYesNo()) return;
    clearScreen();
    print("\nAtakujesz wilki.\n");
    if (fight(pack(MonsterWolf, WolfPack), {&monsterRow(MonsterDog)}, 0) != FightWon) return;
    print("\n\nPies wesoło merda ogonem, szczeka na ciebie i ucieka w głąb lasu. Czy chcesz iść za nim? (t/n)\n");
    if (!askYesNo()) return;
    world.set(GroveKnown);
    print("Biegniesz za psem i trafiasz na niewielką polanę. Leżą tam ułożone kamienie tworzące krąg. Dostrzegasz "
          "druida.\n-\"Czekałem na ciebie, podejdź tu.\"\n\n(ok)");
    pauseOk();
    visitGrove();
}

// The druid's first quest: the pack of worgs.
void worgs() {
    clearScreen();
    print("\nSłyszysz wycie, obracasz się dookoła i widzisz, że stado worgów próbuje cię otoczyć.\n");
    if (fightWithCompanions(pack(MonsterWorg, WorgPack), WorgInitiativeBonus) != FightWon) return;
    clearScreen();
    print("Dziękuje za pomoc ale jest jeszcze jeden problem. Jeden z drzewców oszalał i zabija wszystkie "
          "zwierzęta. Trzeba go powstrzymać, jest gdzieś w lesie.\n");
    gainExperience(WorgsExperience);
    print("\n(ok)");
    world.set(WorgsBeaten);
    pauseOk();
}

// The druid's second quest: the mad treant. Done, the druid is a friend
// and no longer walks with the hero.
void madTreant() {
    clearScreen();
    print("\nIdziesz przez las gdy nagle korzenie pobliskiego drzewa zaczynają cie oplątać. To drzewiec!\n");
    if (fightWithCompanions(pack(MonsterTreant, 1), TreantInitiativeBonus) != FightWon) return;
    clearScreen();
    print("Dzięki tobie las jest znów bezpieczny, dziękujec ci. Jeśli będziesz kiedyś potrzebował pomocy, znajdę "
          "cie.\n");
    gainExperience(TreantExperience);
    print("\n(ok)");
    world.set(DruidFriend);
    world.clear(DruidCompanion);
    world.clear(WorgsBeaten);
    pauseOk();
}

void druidStory() {
    if (!world.has(GroveKnown)) {
        dogAndWolves();
    } else if (!world.has(DruidCompanion)) {
        quietWalk(ForestWalkText);
    } else if (!world.has(WorgsBeaten)) {
        worgs();
    } else {
        madTreant();
    }
}

void exploreForest() {
    switch (forestEvents[static_cast<std::size_t>(randomNext()) % forestEvents.size()]) {
        case ForestEvent::QuietWalk:
            quietWalk(ForestWalkText);
            break;
        case ForestEvent::MineOrWell:
            mineOrWell();
            break;
        case ForestEvent::DruidStory:
            druidStory();
            break;
        case ForestEvent::Encounter:
            randomEncounter(ForestHabitat, hero.level - ForestDepthBelowLevel);
            break;
    }
}

}  // namespace

void quietWalk(const char* text) {
    printText(text);
    pauseOk();
    if (hero.hp < hero.maxHp) hero.hp = std::min(hero.maxHp, hero.hp + hero.level / 2);
}

void forestScreen() {
    print("Jesteś w lesie. Masz %d/%d pw, %d złota.\n", hero.hp, hero.maxHp, hero.gold);
    print("Dostepne komendy:\ns - informacje o postaci\nq - zapis i wyjście\ne - eksploruj\n");
    if (world.has(MineFound)) print("k - kopalnia\n");
    if (world.has(GroveKnown)) print("d - gaj druida\n");
    print("m - mapa\n\n");

    for (;;) {
        switch (askKey("sqekdm")) {
            case 's':
                characterSheetWithHints();
                return;
            case 'q':
                saveAndQuitPrompt();
                return;
            case 'e':
                exploreForest();
                return;
            case 'k':
                if (!world.has(MineFound)) continue;
                world.location = LocationMine;
                world.dungeonLevel = 0;
                enterDungeon(false);
                return;
            case 'd':
                if (!world.has(GroveKnown)) continue;
                visitGrove();
                return;
            default:  // 'm'
                world.location = LocationWorldMap;
                return;
        }
    }
}

}  // namespace kelvrin
