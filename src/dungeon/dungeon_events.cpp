#include "dungeon/dungeon_events.h"

#include <cstddef>

#include "combat/combat_engine.h"
#include "combat/rewards.h"
#include "core/console.h"
#include "core/game_state.h"
#include "data/classes.h"
#include "data/item_tables.h"
#include "data/monsters.h"
#include "items/inventory.h"

namespace kelvrin {

namespace {

constexpr int CryptSwordLevel = 2;  // the crypt's third level
constexpr int FarewellAfterFights = 20;
constexpr int FarewellExperience = 3000;

// What a fight's result means for the dungeon view: a lost fight is the
// hero's death, a flight takes him back where he came from.
EventOutcome afterFight(int result, EventOutcome whenWon) {
    if (result == FightDied || hero.hp < 1) return EventOutcome::Died;
    if (result == FightFled) return EventOutcome::StepBack;
    return whenWon;
}

EventOutcome ironGolems() {
    print("Przed sobą widzisz niewielki postument i dwa stojące obok niego żelazne golemy. Czy chcesz podejść? "
          "(t/n)\n");
    if (!askYesNo()) return EventOutcome::StepBack;
    print("Gdy tylko podeszłes na odległość kilku metrów golemy rzuciły się na ciebie.\n\n(ok)");
    pauseOk();
    // The crystal on the pedestal is the reward of this fight.
    world.dungeonEventFight = true;
    const int result = fightWithCompanions(monsterList({MonsterIronGolem, MonsterIronGolem}), 0);
    // Only a won fight hands the crystal out; after a flight it stays on
    // the pedestal, and no later fight may find it.
    world.dungeonEventFight = false;
    if (result != FightWon || hero.hp < 1) return afterFight(result, EventOutcome::Stay);
    world.set(GolemsDefeated);
    print("Postument jest pusty!\n\n(ok)");
    pauseOk();
    return EventOutcome::Stay;
}

// The druid and the paladin take sides by what the hero did before.
void gatherAtTerrasque(MonsterList& enemies, MonsterList& allies) {
    if (!world.has(DruidDead)) {
        if (world.has(DruidHostile)) {
            print("Pojawia się portal i wychodzi z niego druid, nie jest przyjaźnie nastawiony.\n");
            enemies.push_back(&monsterRow(MonsterStrongDruid));
        } else if (world.has(DruidFriend)) {
            print("Pojawia się poratl i wychodzi z niego druid, chce ci pomoć w walce z potworem.\n");
            allies.push_back(&monsterRow(MonsterStrongDruid));
        }
    }
    if (!world.has(PaladinDead)) {
        if (world.has(PaladinHostile)) {
            print("Słyszysz odgłosy metalowej zbroji dochodzące z korytarza, zza rogu wychodzi paladyn. Nie jest "
                  "przyjaźnie nastawiony.\n");
            enemies.push_back(&monsterRow(MonsterStrongPaladin));
        } else if (world.has(PaladinFriend)) {
            print("Słyszysz odgłosy metalowej zbroji dochodzące z korytarza, zza rogu wychodzi paladyn. Chce ci "
                  "pomów w walce z potworem.\n");
            allies.push_back(&monsterRow(MonsterStrongPaladin));
        }
    }
}

EventOutcome terrasque() {
    print("Widzisz przed sobą COŚ. Potwór jest olbrzymi, ale chyba śpi. Czy chcesz go zaatakować? (t/n)\n");
    if (!askYesNo()) return EventOutcome::StepBack;
    MonsterList enemies;
    MonsterList allies;
    gatherAtTerrasque(enemies, allies);
    if (!enemies.empty()) {
        // Those who came against the hero fight him first; Terrasque sleeps
        // on, and the hero must come back to wake him.
        pauseOk();
        clearScreen();
        print("\n");
        return afterFight(fight(enemies, allies, 0), EventOutcome::StepBack);
    }
    if (!allies.empty()) pauseOk();
    clearScreen();
    print("\n");
    const int result = fight(monsterList({MonsterTerrasque}), allies, 0);
    if (result != FightWon || hero.hp < 1) return afterFight(result, EventOutcome::Stay);
    world.set(TerrasqueDead);
    print("Udało ci się! Terrasque nie żyje!\n\n(ok)");
    pauseOk();
    return EventOutcome::Stay;
}

// The strange sword: a cursed long sword of the gods, not yet identified.
// Left where it lies while the hero cannot carry it.
void strangeSword() {
    const ItemSlot sword{LongSwordRow, KindWeapon, 1, -5, OfTheGods};
    if (!addItem(sword, true)) return;
    // Taken for good before the message waits, so that a game kept at that
    // moment cannot find the sword a second time.
    world.set(SwordTaken);
    print("Znalazłeś dziwny miecz na ziemi. Na pewno jest magiczny.\n\n(ok)");
    pauseOk();
}

}  // namespace

EventOutcome specialPlace() {
    switch (world.location) {
        case LocationChallengeChamber:
            if (!world.has(GolemsDefeated)) return ironGolems();
            break;
        case LocationHallsOfPain:
            if (!world.has(TerrasqueDead)) return terrasque();
            break;
        case LocationCrypt:
            if (world.dungeonLevel == CryptSwordLevel && !world.has(SwordTaken)) strangeSword();
            break;
        default:
            break;
    }
    return EventOutcome::Stay;
}

bool paladinWaitsHere() {
    return world.location == LocationCrypt && world.dungeonLevel == 0 && !world.has(PaladinDead) &&
           !world.has(PaladinFriend) && !world.has(PaladinCompanion);
}

EventOutcome paladinMeeting() {
    if (world.has(PaladinHostile)) {
        print("Słyszysz dźwięk metalu i zza rogu wychodzi odziany w zbroje wojownik. Rzuca się na ciebie krzycząc: "
              "\"Parszywy sługusie zła! Zapłacisz za wyżądzone zło!\"\n\n(ok)");
    } else {
        print("Słyszysz dźwięk metalu i zza rogu wychodzi odziany w zbroje wojownik. Podchodzi do ciebie i mówi: ");
        if (hero.alignment >= -5) {
            print("\"Witaj %s %s! Jeśli ci to nieprzeszkadza będe ci towarzyszył tak długo jak będziesz wędrował po "
                  "korytarzach tej krypty. Przysiągłem zabić tyle nieumarłych potworów ilu dzielnych wojowników "
                  "zginęło w obronie zamku Blackrock.\"\n\n(ok)",
                  hero.name.c_str(), classTable[static_cast<std::size_t>(hero.heroClass)].name);
            world.set(PaladinCompanion);
            pauseOk();
            return EventOutcome::Stay;
        }
        print("\"Nie podoba mi się twoje postępowanie, zeszłeś na ścieżke zła i musisz zapłacić za wyrządzone "
              "krzywdy!\"\n\n(ok)");
    }
    // Once he has raised his sword against the hero the paladin stays an
    // enemy: he attacks at every meeting and stands against the hero at
    // Terrasque, whatever the hero does later.
    world.set(PaladinHostile);
    pauseOk();
    clearScreen();
    print("\nPaladyn cię atakuje!\n");
    return afterFight(fightWithCompanions(monsterList({MonsterPaladin}), 0), EventOutcome::Stay);
}

bool paladinFarewellDue(int fightsOnLevel) {
    return world.location == LocationCrypt && fightsOnLevel == FarewellAfterFights && world.has(PaladinCompanion) &&
           !world.has(PaladinFriend);
}

void paladinFarewell() {
    world.set(PaladinFriend);
    print("Paladyn:\n-\"Dziękuje za pomoc w zwalczaniu tych plugawych potworów. Jeśli będziesz mnie kiedyś "
          "potrzebował, z chęcią ci pomogę.\n\n(ok)");
    gainExperience(FarewellExperience);
    // He leaves now; only the wait for the key is left.
    world.clear(PaladinCompanion);
    pauseOk();
}

}  // namespace kelvrin
