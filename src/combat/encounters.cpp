#include "combat/encounters.h"

#include <algorithm>

#include "character/feats.h"
#include "combat/combat_engine.h"
#include "core/console.h"
#include "core/game_state.h"
#include "core/random.h"
#include "data/feats.h"
#include "data/monsters.h"
#include "data/races.h"

namespace kelvrin {

namespace {

// How much weaker than the target a row is: fractional challenges (stored
// as -n for 1/n) count as a fixed step below the target.
int marginOf(int challenge, int target) {
    switch (challenge) {
        case -8:
        case -6: return target + 3;
        case -4:
        case -3: return target + 2;
        case -2: return target + 1;
        default: return target - challenge;
    }
}

enum class Meeting { Plain, Surprise, Ambush };

Meeting decideMeeting() {
    const int r = randomRange(0, 9);
    const bool keenEyes = raceHasTrait(hero.race, TraitLowLightVision) || raceHasTrait(hero.race, TraitDarkvision);
    const bool alert = hasFeat(FeatAlertness);
    switch (r) {
        case 0: return keenEyes ? Meeting::Surprise : Meeting::Plain;
        case 1: return Meeting::Surprise;
        case 2:
            if (keenEyes) return Meeting::Plain;
            [[fallthrough]];
        case 3: return alert ? Meeting::Plain : Meeting::Ambush;
        default: return Meeting::Plain;
    }
}

// "%d " before the name when more than one comes.
void printGroupSize(int size) {
    if (size > 1) print("%d ", size);
}

}  // namespace

std::vector<EncounterCandidate> encounterCandidates(std::uint32_t habitatMask, int targetChallenge) {
    std::vector<EncounterCandidate> candidates;
    for (const MonsterDef& row : monsterTable) {
        if ((row.habitat & habitatMask) == 0 || (row.habitat & HabitatNeverRandom) != 0) continue;
        if (row.challenge > targetChallenge) continue;
        const int margin = marginOf(row.challenge, targetChallenge);
        if (margin < 0 || margin > 5) continue;
        candidates.push_back({row.id, margin});
    }
    return candidates;
}

int encounterGroupSize(int margin) {
    switch (margin) {
        case 0: return 1;
        case 1: return randomRange(1, 2);
        case 2: return randomRange(1, 3);
        case 3: return randomRange(2, 4);
        case 4: return randomRange(3, 5);
        default: return randomRange(4, 7);
    }
}

bool randomEncounter(std::uint32_t habitatMask, int depth) {
    int target = std::min(depth, hero.level - 1);
    if (randomNext() % 4 == 0) target -= 1;

    const std::vector<EncounterCandidate> candidates = encounterCandidates(habitatMask, target);
    if (candidates.empty()) return true;
    const EncounterCandidate picked = candidates[static_cast<std::size_t>(randomNext()) % candidates.size()];
    const int size = encounterGroupSize(picked.margin);
    const MonsterDef& row = monsterRow(picked.row);
    const MonsterList enemies(static_cast<std::size_t>(size), &row);

    int initiativeBonus = 0;
    if ((row.traits & TraitStatue) != 0) {
        clearScreen();
        print("\nWszedłeś do sali z posągami. Nagle kilka z nich się na ciebie rzuciło.\n");
        initiativeBonus = 10;
    } else {
        switch (decideMeeting()) {
            case Meeting::Surprise:
                print("Zauważyłeś przeciwnika, on ciebie nie. To ");
                printGroupSize(size);
                print("%s. Czy chcesz zaatakować? (t/n)\n", row.name);
                if (!askYesNo()) return true;
                clearScreen();
                print("\nAtakujesz przeciwników z zaskoczenia.\n");
                initiativeBonus = -10;
                break;
            case Meeting::Ambush:
                clearScreen();
                print("\nCzujesz ciarki na plecach, odwracasz się w chwili gdy ");
                printGroupSize(size);
                print("%s cię atakują.\n", row.name);
                initiativeBonus = 10;
                break;
            case Meeting::Plain:
                clearScreen();
                print("\nNatrafiłeś na ");
                printGroupSize(size);
                print("%s. Atakują cie.\n", row.name);
                break;
        }
    }
    return fightWithCompanions(enemies, initiativeBonus) == FightWon;
}

}  // namespace kelvrin
