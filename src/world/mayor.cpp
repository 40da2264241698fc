#include "world/mayor.h"

#include <cstddef>

#include "combat/combat_engine.h"
#include "combat/combatant.h"
#include "combat/rewards.h"
#include "core/console.h"
#include "core/game_state.h"
#include "data/classes.h"
#include "data/monsters.h"

namespace kelvrin {

namespace {

constexpr int LandPrice = 1000;
constexpr int MineReopeningPrice = 20000;
// Alignment lost by attacking the mayor, whether the hero wins or flees.
constexpr int MayorAttackAlignment = 4;

// One quest of the chain: done once questStage reaches `stageNeeded`.
struct Quest {
    int kind;
    int stageNeeded;
    const char* request;
    const char* success;  // nullptr: the first quest's, which names the hero's class
    int experience;
    int gold;
    int alignment;
};

constexpr Quest quests[] = {
    {QuestFiveFoes, 5, "Pokonaj 5 wrogów aby udowodnić, że nadajesz się do czegokolwiek.\n\n(ok)",
     nullptr, 300, 100, 1},
    {QuestBandits, 1,
     "Bandyci polują na podróżnych na drodze, pobierają od nich opłaty. Jeśli możesz, spróbuj pokonać jedną taką "
     "grupę.\n\n(ok)",
     "Dzięki tobie na drogach jest bezpieczniej.\n", 600, 250, 1},
    {QuestFifthLevel, 1,
     "Czasami potwory wychodzą z podziemi znajdujących się w pobliżu miasto, wejdź tam i oczyść drogę do 5 poziomu. "
     "To powinno zrobić potworom troche miejsca i nie będą wychodzić na powierzchnie.\n\n(ok)",
     "Słyszałem, że doszedłeś na 5 poziom podziemi, oto twoja nagroda.\n", 1500, 500, 1},
    {QuestBanditChief, 1,
     "Bandyci rozbili obóz tuż obok drogi! Jest tam ich herszt, jeśli ktoś go zabije, bandyci przestaną gnębić "
     "podróżnych.\n",
     "Herszt bandytów nie żyje! Dzięki tobie na drogach będzie o wiele bezpieczniej. Weź to w nagrodę.\n", 6000, 2000,
     1},
    {QuestDeathKnights, 2,
     "W podziemiach znajduję się wejście do krypty. Podobno niedawno weszło tam kilku rycerzy śmierci. Pokonaj "
     "przynajmniej dwóch.\n\n(ok)",
     "Udało ci się zabić dwóch rycerzy śmierci? To dobrze. Spotkałeś tam może po drodze paladyna?\n", 8000, 25000, 2},
};

// The orc raid's reward, paid like a quest's.
constexpr int RaidExperience = 4500;
constexpr int RaidGold = 1200;
constexpr int RaidAlignment = 1;

// The reward of a finished quest: its experience and gold, each with its
// own line, then the alignment, and the chain moves on to the next quest.
// The success text is already printed.
void payReward(int experience, int gold, int alignment) {
    gainExperience(experience);
    gainGold(gold);
    print("\n(ok)");
    hero.alignment += alignment;
    ++world.questKind;
    world.questStage = 0;
    pauseOk();
}

// Hands out the quest (the first visit switches the kind from "ready" to
// "running") and rewards it when its condition is met.
bool runQuest(const Quest& quest) {
    world.questKind = quest.kind;
    if (world.questStage < quest.stageNeeded) {
        print("%s", quest.request);
        pauseOk();
        return true;
    }
    if (quest.success == nullptr) {
        print("Dobra robota, może będzie z ciebie %s.\n",
              classTable.at(static_cast<std::size_t>(hero.heroClass)).name);
    } else {
        print("%s", quest.success);
    }
    payReward(quest.experience, quest.gold, quest.alignment);
    return true;
}

// The orcs attack the town; the hero fights beside its defenders.
bool orcRaid() {
    print("Co to za dźwięki? Słyszysz to? Jakby ktoś grał na bębnach... Cholera, orkowie atakują miasto! Straż! "
          "Przygotować się do obrony miasta!\n\n(ok)");
    pauseOk();
    clearScreen();
    print("\nOrkowie zaatakowali miasto.\n");
    const MonsterList orcs = monsterList({MonsterOrcChief, MonsterOrcWarrior, MonsterOrcWarrior, MonsterOrcWarrior,
                                          MonsterOrcWarrior, MonsterOrcWarrior, MonsterOrc, MonsterOrc, MonsterOrc,
                                          MonsterOrc, MonsterOrc});
    const MonsterList defenders =
        monsterList({MonsterMayor, MonsterCommander, MonsterGuard, MonsterGuard, MonsterGuard});
    switch (fight(orcs, defenders, 0)) {
        case FightWon:
            print("Dobrze, że byłeś w pobliżu. Może ci orkowie czegoś się nauczą...\n");
            payReward(RaidExperience, RaidGold, RaidAlignment);
            return true;
        case FightFled:
            print("Ty cholerny tchórzu. My tu walczymy a ty sobie uciekasz z walki! Żebym cie tu więcej nie "
                  "widział!\n\n(ok)");
            world.questKind = QuestCoward;
            pauseOk();
            return true;
        default:
            return false;  // the hero died
    }
}

bool questsMenu() {
    const int kind = world.questKind;
    if (kind < QuestNone) {
        print("Jesteś tchórzem! Nie mam dla ciebie żadnych zadań!\n\n(ok)");
        pauseOk();
        return true;
    }
    if (kind >= QuestChainFinished) {
        print("W tej chwili nie mam dla ciebie żadnych zadań.\n\n(ok)");
        pauseOk();
        return true;
    }
    if (kind == QuestOrcRaid) return orcRaid();
    // The running quest, or the one that is ready to be handed out (0 before
    // 1, 2 before 3, 4 before 5, 7 before 8, 9 before 10).
    for (const Quest& quest : quests)
        if (kind <= quest.kind) return runQuest(quest);
    return true;
}

bool attackMayor() {
    clearScreen();
    print("\nAtakujesz burmistrza.\n");
    const int result = fightWithCompanions(
        monsterList({MonsterMayor, MonsterCommander, MonsterGuard, MonsterGuard, MonsterGuard}), 0);
    if (result == FightWon) {
        world.set(MayorDead);
        if (!world.has(LandOwned)) {
            print("W domu burmistrza znalazłeś akt własności ziemi.\n\n(ok)");
            world.set(LandOwned);
            pauseOk();
        }
        hero.alignment -= MayorAttackAlignment;
    } else if (result == FightFled) {
        hero.alignment -= MayorAttackAlignment;
    }
    return false;
}

bool buyLand() {
    if (world.has(LandOwned)) {
        print("Kupiłeś już ziemię, daj innym szansę na osiedlenie się tutaj.\n\n(ok)");
    } else {
        print("Mogę ci sprzedać ziemię pod dom za 1000 sztuk złota. Chcesz kupić? (t/n)\n\n");
        if (!askYesNo()) return true;
        if (hero.gold >= LandPrice) {
            world.set(LandOwned);
            addGold(-LandPrice);
            print("Podpisz tylko tutaj... Dobrze, twoja ziemia znajduje się w północno zachodniej częsci "
                  "miasta.\n\n(ok)");
        } else {
            print("Brakuje ci %d sztuk złota.\n\n(ok)", goldShortOf(LandPrice));
        }
    }
    pauseOk();
    return true;
}

bool reopenMine() {
    if (!world.has(MineCleared)) {
        print("Nikt nie będzie chciał pracować w kopalni pełnej potworów.\n\n(ok)");
    } else if (world.has(MineWorking)) {
        print("Kopalnia znów działa, i generuje spore zyski Szef górników będzie ci przynosił codziennie 500 sztuk "
              "złota.\n\n(ok)");
    } else {
        print("W kopalni nie ma już potworów. Jeśli chcesz możesz wznowić wydobycie. Przywrócenie kopalni do stanu "
              "używalności będzie kosztowało 20.000 sztuk złota, będzie generowała 500 sztuk złota dziennie. Czy "
              "chcesz wznowić wydobycie? (t/n)\n");
        if (!askYesNo()) return true;
        if (hero.gold >= MineReopeningPrice) {
            // From now on every passing day pays (see advanceDays).
            world.set(MineWorking);
            addGold(-MineReopeningPrice);
            print("Od jutra powinienieś zacząć dostawać pieniądze.\n\n(ok)");
        } else {
            print("Brakuje ci %d sztuk złota.\n\n(ok)", goldShortOf(MineReopeningPrice));
        }
    }
    pauseOk();
    return true;
}

}  // namespace

bool mayorScreen() {
    clearScreen();
    if (world.has(MayorDead)) {
        print("DOM BURMISTRZA\nBurmistrz nie żyje, dom stoi pusty.\n\n(ok)");
        pauseOk();
        return false;
    }
    print("DOM BURMISTRZA\nMieszka tu burmistrz miasta Blackrock. Co chcesz zrobić?\n");
    if (world.has(ChiefOffer)) print("a - atakuj\n");
    print("z - zadania\nk - kup ziemie\n");
    if (world.has(MineFound)) print("r - zatrudnij robotników do kopalni\n");
    print("w - wyjdź\n\n");
    for (;;) {
        switch (askKey("azkrw")) {
            case 'a':
                if (!world.has(ChiefOffer)) continue;
                return attackMayor();
            case 'z': return questsMenu();
            case 'k': return buyLand();
            case 'r':
                if (!world.has(MineFound)) continue;
                return reopenMine();
            default: return false;
        }
    }
}

}  // namespace kelvrin
