#include "items/seer.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "character/derived_values.h"
#include "core/console.h"
#include "core/game_state.h"
#include "core/polish_case.h"
#include "data/classes.h"

namespace kelvrin {

namespace {

constexpr const char* Blanks = " \t\r\v\f";

// The seer's words for a trait, in the order he tells them (the damage
// reduction comes first, apart; the fly line and the speed comparison come
// after the fearless one).
struct TraitLine {
    MonsterTrait trait;
    const char* text;
};

constexpr std::array<TraitLine, 5> traitsBeforeFlying{{
    {TraitRegenerating, "Rany tego przeciwnika szybko się leczą.\n"},
    {TraitFastRegenerating, "Rany tego przeciwnika bardzo szybko się leczą.\n"},
    {TraitInvisible, "Tego przeciwnika nie można zobaczyć wzrokiem.\n"},
    {TraitCritImmune, "Ten przeciwnik jest odporny na trafienia krytyczne.\n"},
    {TraitFearless, "Ten przeciwnik nie wie co to strach.\n"},
}};

constexpr std::array<TraitLine, 13> traitsAfterFlying{{
    {TraitFireAura, "Ten przeciwnik jest otoczony płomieniami.\n"},
    {TraitMimic, "Ta istota potrafi udawać skrzynię.\n"},
    {TraitStatue, "Ta istota potrafi udawać posąg.\n"},
    {TraitAnimal, "Ta istota jest zwierzęciem.\n"},
    {TraitUndead, "Ta istota jest nieumarła.\n"},
    {TraitResistsPiercing, "Ta istota jest odporna na obrażenia kłute.\n"},
    {TraitResistsSlashing, "Ta istota jest odporna na obrażenia cięte.\n"},
    {TraitResistsBludgeoning, "Ta istota jest odporna na obrażenia miażdżone.\n"},
    {TraitBludgeoningOnly, "Tą istotę można zaatakować tylko bronią miażdżoną.\n"},
    {TraitIncorporeal, "Ta istota jest bezcielesna. Potrzebujesz magicznej broni żeby ją trafić.\n"},
    {TraitBlinking, "Ta istota potrafi znikać. Jest szansa że jej nietrafisz.\n"},
    {TraitTreeAnimator, "Ta istota potrafi ożywiać drzewa.\n"},
    {TraitHalfDamage, "Ta istota otrzymuję połowę obrażeń od fizycznych ciosów.\n"},
}};

// The reduction traits in the order they are looked at, each overwriting
// the enchantment found before it.
constexpr std::array<std::pair<MonsterTrait, int>, 7> reductionSteps{{
    {TraitReduction5, 1},
    {TraitReduction20, 1},
    {TraitReduction30, 2},
    {TraitReduction50, 3},
    {TraitReduction10, 2},
    {TraitReduction30Plus3, 3},
    {TraitReduction25, 5},
}};

void printTraits(const MonsterDef& monster, const TraitLine* begin, const TraitLine* end) {
    for (const TraitLine* line = begin; line != end; ++line)
        if (hasTrait(monster, line->trait)) print("%s", line->text);
}

// One word as scanf's "%s" reads it: blank lines and leading blanks are
// skipped, the word ends at the first blank, the rest of the line is dropped.
std::string readWord() {
    for (;;) {
        const std::string line = readLine();
        const std::size_t begin = line.find_first_not_of(Blanks);
        if (begin == std::string::npos) continue;
        const std::size_t end = line.find_first_of(Blanks, begin);
        return line.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
    }
}

void printWhereFound(const MonsterDef& monster) {
    if (monster.habitat == 0) {
        print("Nie wiem gdzie możesz go znaleźć.\n");
        return;
    }
    print("Możesz go znaleźć w ");
    bool first = true;
    // The crypt and the scripted-only bits name no place.
    auto place = [&](MonsterHabitat bit, const std::string& words) {
        if (!livesIn(monster, bit)) return;
        if (!first) print(" i ");
        first = false;
        printText(words);
    };
    place(HabitatForest, "lesie");
    place(HabitatDungeon, formatText("podziemiach w okolicach %d poziomu", std::max(monster.challenge, 1)));
    place(HabitatRoad, "drodze");
    place(HabitatTown, "mieście");
    place(HabitatChallengeChamber, "komnacie wyzwań");
    place(HabitatHallsOfPain, "salach bólu");
    print(".\n");
}

// What the seer tells, once paid.
void tellAbout(const MonsterDef& monster) {
    // A fractional challenge is stored as a negative number: every hero is above it.
    if (hero.level > monster.challenge)
        print("Jesteś silniejszy niż %s.\n", monster.name);
    else if (hero.level == monster.challenge)
        print("Jesteś równie silny jak %s.\n", monster.name);
    else
        print("Jesteś słabszy niż %s.\n", monster.name);

    const int reduction = reductionBeatenBy(monster);
    if (reduction != 0)
        print("Ten przeciwnik posiada redukcje obrażeń. Potrzebujesz minimum %+d umagicznienia broni aby pokonać "
              "redukcję.\n",
              reduction);
    printTraits(monster, traitsBeforeFlying.begin(), traitsBeforeFlying.end());
    if (monster.flySpeed != 0) print("Ten przeciwnik potrafi latać.\n");
    const int speed = speedSteps();
    if (speed > monster.speed)
        print("Jesteś szybszy niż ta istota.\n");
    else if (speed < monster.speed)
        print("Jesteś wolniejszy niż ta istota.\n");
    printTraits(monster, traitsAfterFlying.begin(), traitsAfterFlying.end());
    printWhereFound(monster);
}

}  // namespace

int findMonsterByName(std::string_view word) {
    int found = -1;
    for (const MonsterDef& monster : monsterTable)
        if (equalIgnoringCase(word, monster.name)) found = monster.id;
    return found;
}

int seerFee(const MonsterDef& monster) {
    if (monster.challenge >= 0) return 10 * monster.challenge;
    return 10 / -monster.challenge;
}

int reductionBeatenBy(const MonsterDef& monster) {
    int needed = 0;
    for (const auto& [trait, enchantment] : reductionSteps)
        if (hasTrait(monster, trait)) needed = enchantment;
    if (hasTrait(monster, TraitReduction15)) needed = 1;
    return needed;
}

void seerScreen() {
    for (;;) {
        clearScreen();
        print("Wchodzisz do małego pomieszczenia w którym przy stole siedzi siwy mag z długą brodą. Na stole leży "
              "magiczna kula. Mag mówi:\n-\"Witaj %s %s.\"\nCo chcesz zrobić:\ng - gdzie znajdę potwora?\nx - "
              "wyjdź\n\n",
              hero.name.c_str(), classTable.at(static_cast<std::size_t>(hero.heroClass)).name);
        if (askKey("gx") == 'x') return;
        print("Nazwa potwora: ");
        const std::string word = readWord();
        print("Czekaj, nie mów. Chcesz wiedzieć gdzie znajdziesz %s, tak?\n", word.c_str());
        const int row = findMonsterByName(word);
        if (row < 0) {
            print("Przykro mi ale nigdy nie słyszałem o czymś takim.\n\n(ok)");
            pauseOk();
            continue;
        }
        const MonsterDef& monster = monsterRow(row);
        const int fee = seerFee(monster);
        if (hero.gold < fee) {
            print("Nie stać cię na to, potrzebujesz %d sztuk złota.\n\n(ok)", goldShortOf(fee));
            pauseOk();
            continue;
        }
        print("Chcesz zapłacić %d sztuk złota? (t/n)\n", fee);
        if (!askYesNo()) continue;
        hero.gold -= fee;
        tellAbout(monster);
        print("\n(ok)");
        pauseOk();
    }
}

}  // namespace kelvrin
