#include "world/road.h"

#include "character/derived_values.h"
#include "character/program.h"
#include "combat/combat_engine.h"
#include "combat/combat_screen.h"
#include "combat/encounters.h"
#include "combat/treasure.h"
#include "core/console.h"
#include "core/game_state.h"
#include "core/random.h"
#include "data/monsters.h"
#include "data/surface_events.h"
#include "world/forest.h"

namespace kelvrin {

namespace {

constexpr const char* RoadWalkText = "Patrolujesz drogę przez jakiś czas, jednak nikogo nie spotykasz.\n\n(ok)";
constexpr const char* CaughtText = "Próbowałeś uciec ale cie dogonili.\n\n(ok)";

MonsterList pack(int row, int count) { return MonsterList(static_cast<std::size_t>(count), &monsterRow(row)); }

void roadEncounter() { randomEncounter(RoadHabitat, hero.level - RoadDepthBelowLevel); }

// Whether the hero outruns pursuers of the row: only a strictly greater
// speed gets away.
bool outruns(int row) { return speedSteps() > monsterRow(row).speed; }

void caravanRemains() {
    print("Znalazłeś szczątki karawany.\n");
    treasureFind(CaravanLowestChallenge + randomNext() % CaravanChallenges, CaravanLoot);
}

void traveller() {
    print("Natrafiłeś na podróżnika zmierzającego w przeciwnym kierunku.\nCzy chcesz go zaatakować? (t/n)\n");
    if (!askYesNo()) {
        print("Zamieniliście kilka słow i każdy ruszył w swoją stronę.\n\n(ok)");
        pauseOk();
        return;
    }
    --hero.alignment;
    const int bonus = hero.alignment > GoodAlignment    ? TravellerInitiativeGood
                      : hero.alignment > EvilAlignment ? TravellerInitiativeNeutral
                                                       : 0;
    clearScreen();
    print("\nZaatakowałeś podróżnika.\n");
    fight(pack(MonsterTraveller, 1), {}, bonus);
}

// Two to four guards and their sergeant.
void guardFight() {
    const int guards = randomNext() % 4 == 0 ? 4 : 2 + randomNext() % 2;
    MonsterList patrol = pack(MonsterGuard, guards);
    patrol.push_back(&monsterRow(MonsterSergeant));
    const int bonus = hero.alignment > GoodAlignment    ? GuardInitiativeGood
                      : hero.alignment > EvilAlignment ? GuardInitiativeNeutral
                                                       : 0;
    clearScreen();
    print("\nZaatakowałeś strażników.\n");
    fightWithCompanions(patrol, bonus);
}

void guardPatrol() {
    print("Trafiłeś na patrol straży na drodzę. Czy chcesz ich zaatakować? (t/n)\n");
    if (askYesNo()) {
        --hero.alignment;
        guardFight();
        return;
    }
    if (hero.alignment > EvilAlignment) return;
    print("Już mijałeś strażników gdy jeden z nich cię rozpoznał!\nCzy chcesz próbować uciekać? (t/n)\n");
    if (askYesNo()) {
        if (outruns(MonsterGuard)) {
            print("Uciekłeś przed strażnikami.\n\n(ok)");
            pauseOk();
            return;
        }
        print("%s", CaughtText);
        pauseOk();
    }
    guardFight();
}

void banditFight() {
    const int bandits = BanditGroupSmallest + randomNext() % 2;
    clearScreen();
    print("\nZaatakowałeś bandytów.\n");
    if (fightWithCompanions(pack(MonsterBandit, bandits), 0) == FightWon && world.questKind == QuestBandits)
        world.questStage = 1;
}

void payToll() {
    if (hero.gold >= BanditToll) {
        print("Dobrze możesz przejść, tylko ani słowa straży.\nStraciłeś %d sztuk złota.\n\n(ok)", BanditToll);
        addGold(-BanditToll);
    } else if (hero.gold >= 1) {
        print("Dobra, dawaj co tam masz i spadaj!\nStraciłeś %d sztuk złota.\n\n(ok)", hero.gold);
        addGold(-static_cast<long long>(hero.gold));
    } else {
        print("Cholera, nawet złota nie masz! Jeszcze raz cię tu spotkam to pożałujesz.\n\n(ok)");
    }
    pauseOk();
}

void tollDemand() {
    print("Podchodzą do ciebie i mówia:\n-\"Jeśli chcesz przejść, musisz zaplacić *podatek*!\"\n\nCo chcesz "
          "zrobić?\nz - zapłać 10 sztuk złota\na - atakuj\nu - uciekaj\n");
    switch (askKey("zau")) {
        case 'z':
            payToll();
            return;
        case 'u':
            if (outruns(MonsterBandit)) {
                print("Uciekłeś przed bandytami.\n\n(ok)");
                pauseOk();
                return;
            }
            print("%s", CaughtText);
            pauseOk();
            banditFight();
            return;
        default:  // 'a'
            banditFight();
            return;
    }
}

// Nine bandits, and their chief when the mayor has asked for his head.
void campFight() {
    clearScreen();
    print("\nZaatakowałeś bandytów.\n");
    MonsterList camp = pack(MonsterBandit, CampBandits);
    if (world.questKind == QuestBanditChief) camp.push_back(&monsterRow(MonsterBanditChief));
    fightWithCompanions(camp, 0);
}

// Walking into the camp: the bandits fall on an honest hero; an evil one is
// taken to the chief, who offers him the mayor's head, or, with the mayor
// already dead, has no more use for him.
void approachCamp() {
    if (hero.alignment > EvilAlignment) {
        print("Bandyci rzucili się na ciebie.\n\n(ok)");
        pauseOk();
        campFight();
        return;
    }
    if (world.has(MayorDead)) {
        print("Bandyci zaprowadzili cię do swojego herszta.\n-\"Dobra robota, teraz mogę cie zabić! "
              "Hahaha!.\n\n(ok)");
        pauseOk();
        campFight();
        return;
    }
    print("Bandyci zaprowadzili cię do swojego herszta.\n-\"Chcesz zarobic? Zabij dla mnie burmistrza a dam ci "
          "10.000 sztuk złota.\n\n(ok)");
    world.set(ChiefOffer);
    pauseOk();
}

void bandits(int draw) {
    if (world.has(ChiefDead)) {
        // Without their chief the bandits only come to collect the toll.
        switch (draw - FirstBanditDraw) {
            case 0: quietWalk(RoadWalkText); return;
            case 1: roadEncounter(); return;
            default: tollDemand(); return;
        }
    }
    print("Trafiłeś na kilku bandytów. ");
    if (hero.alignment >= EvilAlignment) {
        tollDemand();
        return;
    }
    print("Podchodzą do ciebie i mówia:\n-\"Słyszeliśmy o tobie, niebezpieczny z ciebie %s! Jeśli chcesz "
          "zaprowadzimy cię do naszego szefa.\"\n\nCo chcesz zrobić?s - idź z nimi\na - atakuj\n\no - odejdź\n",
          FearedHeroTitle);
    switch (askKey("sao")) {
        case 's':
            approachCamp();
            return;
        case 'a':
            banditFight();
            return;
        default:  // 'o'
            return;
    }
}

void banditCamp() {
    if (world.has(ChiefDead)) {
        roadEncounter();
        return;
    }
    print("Z daleka dostrzegasz niewielki obóz bandytów. Znajduje się tu około 10 bandytów.\nCo chcesz zrobić:\np "
          "- podejdź\na - atakuj\no - odejdź\n");
    switch (askKey("pao")) {
        case 'p':
            approachCamp();
            return;
        case 'a':
            campFight();
            return;
        default:  // 'o'
            return;
    }
}

void exploreRoad() {
    const int draw = randomNext() % static_cast<int>(roadEvents.size());
    switch (roadEvents[static_cast<std::size_t>(draw)]) {
        case RoadEvent::QuietWalk:
            quietWalk(RoadWalkText);
            break;
        case RoadEvent::Caravan:
            caravanRemains();
            break;
        case RoadEvent::Traveller:
            traveller();
            break;
        case RoadEvent::GuardPatrol:
            guardPatrol();
            break;
        case RoadEvent::Encounter:
            roadEncounter();
            break;
        case RoadEvent::Bandits:
            bandits(draw);
            break;
        case RoadEvent::BanditCamp:
            banditCamp();
            break;
    }
}

}  // namespace

void roadScreen() {
    print("Jesteś na drodze. Masz %d/%d pw, %d złota.\n", hero.hp, hero.maxHp, hero.gold);
    print("Dostepne komendy:\ns - informacje o postaci\nq - zapis i wyjście\ne - eksploruj\nm - mapa\n\n");
    switch (askKey("sqem")) {
        case 's':
            characterSheetWithHints();
            return;
        case 'q':
            saveAndQuitPrompt();
            return;
        case 'e':
            exploreRoad();
            return;
        default:  // 'm'
            world.location = LocationWorldMap;
            return;
    }
}

}  // namespace kelvrin
