#include "character/creation.h"

#include <algorithm>
#include <array>
#include <string>

#include "character/character_sheet.h"
#include "character/feat_screens.h"
#include "character/rules_tables.h"
#include "core/binary_file.h"
#include "core/console.h"
#include "core/cp1250.h"
#include "core/game_state.h"
#include "core/hero_lock.h"
#include "core/random.h"
#include "core/rules.h"
#include "core/save_file.h"
#include "core/utf8.h"
#include "data/attributes.h"
#include "data/classes.h"
#include "data/races.h"
#include "items/inventory.h"

namespace kelvrin {

namespace {

using Scores = std::array<int, AttributeCount>;

// The keys of the race list: a race by its number, n cancel, c back.
constexpr std::string_view RaceKeys = "1234567nc";
static_assert(RaceKeys.size() == raceTable.size() + 2);

// What each class's screen lists under "Specjalne cechy:", by class row.
constexpr std::array<const char*, 2> classFeatureTexts{{
    "* umiejętność wpadania w szał (+4 siły, +4 kondycji, -2 kp na 3+modyfikator z budowy, po tym czasie barbarzyńca "
    "jest zmęczony)\n* zwiększona szybkość ruchu\n* co 4 poziomy możesz wpaść w szał jeden raz dziennie więcej\n* od "
    "11 poziomu otrzymujesz redukcje obrażeń\n* od 15 poziomu twój szał jest potężniejszy (+6 siły, +6 budowy)\n* od "
    "20 poziomu nie jesteś zmęczony po szale",
    "* na 1 poziomie i na co drugim poziomie otrzymujesz dodatkowy atut wojownik do wyboru",
}};

constexpr const char* AttributeHelp =
    "SIŁA:\n* szansa trafienia\n* zwiększone obrażenia\n* udźwig\nZRĘCZNOŚĆ:\n* klasa pancerza\nKONDYCJA:\n* "
    "dodatkowe punkty wytrzymałości\n* odporność na trucizny\n* szybkość leczenia\nMĄDROŚĆ:\n* premia do "
    "doświadczenia\nCHARYZMA:\n* modyfikator cen\n\n(ok)";

std::string askName() {
    clearScreen();
    print("Podaj swoje imię śmiałku: ");
    for (;;) {
        std::string name = readLine(MaxNameLength, {}, InputOffer::Name);
        if (isAllowedName(name)) return name;
        print("Niedozwolone imię, wybierz inne.\n");
        print("Podaj swoje imię śmiałku: ");
    }
}

// Four dice per attribute, the three highest kept; a set whose modifiers add
// up to less than +2 is thrown away unseen and rolled again.
Scores rollAttributes() {
    for (;;) {
        Scores scores{};
        int modifierSum = 0;
        for (int& score : scores) {
            std::array<int, 4> dice{};
            for (int& die : dice) die = randomNext() % 6 + 1;
            std::sort(dice.begin(), dice.end());
            score = dice[1] + dice[2] + dice[3];
            modifierSum += attributeModifier(score);
        }
        if (modifierSum > 1) return scores;
    }
}

// The attribute screen; returns 't', 'n' or 'r'.
int attributeScreen(const Scores& scores) {
    for (;;) {
        clearScreen();
        print("CECHY:\n");
        for (int i = 0; i < AttributeCount; ++i) {
            printModifier(attributeShortNames[static_cast<std::size_t>(i)], scores[static_cast<std::size_t>(i)]);
            print("\n");
        }
        print("\nt - ok, n - anuluj, r - przerzuć cechy, ? - informacje.\n");
        const int key = askKey("tnr?");
        if (key != '?') return key;
        clearScreen();
        print("%s", AttributeHelp);
        pauseOk();
    }
}

void printRaceList() {
    clearScreen();
    print("WYBIERZ RASĘ:\n");
    for (const RaceDef& race : raceTable) print("%d. %s\n", race.id + 1, race.name);
    print("\nliczba - wybierz, n - anuluj, c - cofnij.\n");
}

// The race's screen with the rolled scores; true when the player takes it.
bool raceScreen(const Scores& scores, int raceRow) {
    const RaceDef& race = raceTable[static_cast<std::size_t>(raceRow)];
    clearScreen();
    print("Rasa: %s\nOpis: %s\n", race.name, race.description);
    for (std::size_t i = 0; i < AttributeCount; ++i) {
        const int modifier = race.modifiers[i];
        print("%s: %2d ", attributeShortNames[i], scores[i] + modifier);
        if (modifier > 0) {
            printColoured(ColourGreen, "%+d\n", modifier);
        } else if (modifier < 0) {
            printColoured(ColourRed, "%+d\n", modifier);
        } else {
            print("%+d\n", modifier);
        }
    }
    print("\nCechy:\n");
    for (const RaceTraitText& trait : raceTraitTexts)
        if ((race.traits & trait.bit) != 0) print("%s", trait.screenLine);
    print("\n");
    if (scores[Int] + race.modifiers[Int] < 3) {
        print("Nie możesz grać jako %s bo miałbyś zbyt mało inteligencji!\n\n(ok)", race.name);
        pauseOk();
        return false;
    }
    print("Czy chcesz grać jako %s? (t/n)\n", race.name);
    return askYesNo();
}

void addRaceModifiers(Scores& scores, int raceRow, int sign) {
    for (std::size_t i = 0; i < AttributeCount; ++i)
        scores[i] += sign * raceTable[static_cast<std::size_t>(raceRow)].modifiers[i];
}

void printClassList() {
    clearScreen();
    print("Wybierz klasę: \n");
    for (const ClassDef& heroClass : classTable) print("%d) %s\n", heroClass.id + 1, heroClass.name);
    print("\nliczba - wybór, n - anuluj, c - cofnij.\n");
}

bool classScreen(int classRow) {
    const ClassDef& heroClass = classTable[static_cast<std::size_t>(classRow)];
    clearScreen();
    print("Klasa: %s\nNajważniejsze atrybuty: SIŁ, KON, ZRĘ\nOpis: %s\nSpecjalne cechy:\n", heroClass.name,
          heroClass.description);
    print("%s", classFeatureTexts[static_cast<std::size_t>(classRow)]);
    print("\n\nCzy chcesz grać jako %s? (t/n)", heroClass.name);
    return askYesNo();
}

// Fills Hero and WorldState with the new game, lets the player choose the
// first feats and shows the finished hero.
void makeHero(const std::string& name, const Scores& scores, int raceRow, int classRow) {
    resetForNewGame();
    const ClassDef& heroClass = classTable[static_cast<std::size_t>(classRow)];
    const bool small = raceHasTrait(raceRow, TraitSmall);

    hero.heroClass = classRow;
    hero.name = name;
    hero.attributes = scores;
    hero.race = raceRow;
    // 12, the hit die of the first class row, for both classes.
    hero.maxHp = 12 + attributeModifier(hero.attributes[Con]);
    hero.hp = hero.maxHp;

    hero.weapon = ItemSlot{small ? heroClass.startWeaponSmall : heroClass.startWeapon, KindWeapon, 0, 0, Identified};
    hero.armour = ItemSlot{heroClass.startArmour, KindArmour, 0, 0, small ? Identified | SmallSize : Identified};
    hero.shield = heroClass.startShield >= 0 ? ItemSlot{heroClass.startShield, KindShield, 0, 0, Identified}
                                             : ItemSlot{0, KindEmpty, 0, 0, 0};
    hero.capacity = computeCapacity();
    recomputeLoad();

    if ((heroClass.levelOneFeatures & FeatureRage) != 0) hero.ragesPerDay = hero.ragesLeft = 1;
    chooseFeat(FeatGeneral);
    if (raceHasTrait(raceRow, TraitExtraFeat)) chooseFeat(FeatGeneral);
    if ((heroClass.levelOneFeatures & FeatureFighterFeat) != 0) chooseFeat(FeatFighter);

    showCharacterSheet();
    print("\n(ok)");
    pauseOk();
}

}  // namespace

bool isAllowedName(std::string_view name) {
    // Windows drops a final dot or space from a file name ("save_Ala." would
    // open "save_Ala"); "." and ".." are caught by the same rule.
    if (!name.empty() && (name.back() == '.' || name.back() == ' ')) return false;
    for (std::size_t pos = 0; pos < name.size();) {
        const char32_t cp = decodeUtf8(name, pos);
        // Path separators, and what a Windows file name cannot hold: saves
        // are copied between machines, so the rule is the same everywhere.
        if (std::u32string_view(U"/\\:*?\"<>|").find(cp) != std::u32string_view::npos) return false;
        if (cp < 0x20 || (cp >= 0x7F && cp <= 0x9F)) return false;  // control characters
        if (!cp1250Byte(cp)) return false;
    }
    return true;
}

int createCharacter() {
    const std::string name = askName();
    // A hero another copy of the game has in play is neither made anew nor
    // loaded: whichever copy saved last would wipe out the other's game.
    if (!lockHero(name)) {
        clearScreen();
        print("Ta postać jest już w grze w innym oknie.\n\n(ok)");
        pauseOk();
        return CreationCancelled;
    }
    if (fileExists(saveFileName(name))) {
        hero.name = name;
        return CreationSaveExists;
    }

    enum class Step { Roll, Attributes, Races, Classes };
    Step step = Step::Roll;
    Scores scores{};
    int raceRow = 0;
    for (;;) {
        switch (step) {
            case Step::Roll:
                scores = rollAttributes();
                step = Step::Attributes;
                break;
            case Step::Attributes: {
                const int key = attributeScreen(scores);
                if (key == 'n') return CreationCancelled;
                step = key == 't' ? Step::Races : Step::Roll;
                break;
            }
            case Step::Races: {
                printRaceList();
                const int key = getKey(RaceKeys);
                if (key == 'n') return CreationCancelled;
                if (key == 'c') {
                    step = Step::Roll;
                } else if (key >= '1' && key < '1' + static_cast<int>(raceTable.size()) &&
                           raceScreen(scores, key - '1')) {
                    raceRow = key - '1';
                    addRaceModifiers(scores, raceRow, +1);
                    step = Step::Classes;
                }
                break;
            }
            case Step::Classes: {
                printClassList();
                const ChoiceLine line = readChoiceLine("12nc");
                if (line.hasFirst && line.first == 'n') return CreationCancelled;
                if (line.hasFirst && line.first == 'c') {
                    addRaceModifiers(scores, raceRow, -1);
                    step = Step::Races;
                } else if (line.hasNumber && (line.number == 1 || line.number == 2) && classScreen(line.number - 1)) {
                    makeHero(name, scores, raceRow, line.number - 1);
                    return CreationDone;
                }
                break;
            }
        }
    }
}

}  // namespace kelvrin
