#include "character/feat_screens.h"

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "character/feats.h"
#include "core/console.h"
#include "core/cp1250.h"
#include "core/game_state.h"
#include "data/classes.h"
#include "data/races.h"
#include "data/item_tables.h"

namespace kelvrin {

bool showAllFeats = false;

namespace {

struct FeatEntry {
    const FeatDef* feat;
    bool available;
};

std::vector<FeatEntry> buildFeatList(int kind) {
    std::vector<FeatEntry> list;
    for (const FeatDef& feat : featTable) {
        const bool available = canTakeFeat(feat) && (kind == FeatGeneral || feat.type == FeatFighter);
        if (available || showAllFeats) list.push_back({&feat, available});
    }
    // Sorted by the Windows-1250 bytes of the names, the order players know.
    std::sort(list.begin(), list.end(),
              [](const FeatEntry& a, const FeatEntry& b) { return cp1250Less(a.feat->name, b.feat->name); });
    return list;
}

void printRequirement(int kind, int value) {
    switch (kind) {
        case RequireBaseAttack: print("* bazowy atak %d\n", value); break;
        case RequireFeat: print("* posiadanie atutu %s\n", featByBit(static_cast<std::uint32_t>(value)).name); break;
        case RequireStrength: print("* minimalna siła %d\n", value); break;
        case RequireIntelligence: print("* minimalna inteligencja %d\n", value); break;
        case RequireDexterity: print("* minimalna zręczność %d\n", value); break;
        case RequireConstitution: print("* minimalna kondycja %d\n", value); break;
        case RequireClass:
            if (value >= 0 && value < static_cast<int>(classTable.size()))
                print("* klasa %s\n", classTable[static_cast<std::size_t>(value)].name);
            break;
        case RequireRage: print("* umiejętność wpadania w szał\n"); break;
        default: break;
    }
}

// The feat's own screen. Returns true when the player chose to take it.
bool confirmFeat(const FeatEntry& entry) {
    const FeatDef& feat = *entry.feat;
    clearScreen();
    print("Nazwa: %s\nOpis: %s\nTyp: %s\nWymagania:\n", feat.name, feat.description,
          featTypeNames[static_cast<std::size_t>(feat.type)]);
    if (feat.req1Kind == RequireNothing && feat.req2Kind == RequireNothing) print("* brak\n");
    printRequirement(feat.req1Kind, feat.req1Value);
    printRequirement(feat.req2Kind, feat.req2Value);
    print("\n");
    if (!entry.available) {
        print("(ok)");
        pauseOk();
        return false;
    }
    print("w - wybierz, inny - anuluj");
    return getKey("w") == 'w';
}

// Adds the feat to the hero. False when a per-weapon feat was not taken
// after all (the player went back or already has it for that weapon).
bool takeFeat(const FeatDef& feat) {
    switch (feat.bit) {
        case FeatImprovedCritical:
        case FeatWeaponFocus:
        case FeatWeaponSpecialization: {
            const int row = chooseWeapon(true, false);
            if (row < 0) return false;
            std::uint32_t& mask = feat.bit == FeatImprovedCritical ? hero.improvedCritMask
                                  : feat.bit == FeatWeaponFocus    ? hero.weaponFocusMask
                                                                   : hero.weaponSpecMask;
            const std::uint32_t weaponBit = 1u << row;
            if ((mask & weaponBit) != 0) {
                print("Posiadasz już atut %s (%s)!\n\n(ok)", feat.name, weaponTable[static_cast<std::size_t>(row)].name);
                pauseOk();
                return false;
            }
            mask |= weaponBit;
            return true;
        }
        case FeatToughness:
            ++hero.toughnessCount;
            hero.maxHp += 3;
            hero.hp += 3;
            return true;
        case FeatExtraRage:
            ++hero.extraRageCount;
            ++hero.ragesLeft;
            ++hero.ragesPerDay;
            return true;
        case FeatExtendedRage:
            ++hero.extendedRageCount;
            return true;
        default:
            hero.feats |= feat.bit;
            return true;
    }
}

// One settings screen; `setting` is Hero::powerAttack or Hero::expertise.
void attackSettings(int& setting, bool powerAttack) {
    for (;;) {
        clearScreen();
        const int maximum = setting + hero.attackPool;
        if (powerAttack) {
            print("Ustawienia atutu Potężny atak.\nAktualna premia do obrażeń: %d\nMaksymalna premia: %d\nZmiana: ",
                  setting, maximum);
        } else {
            print("Ustawienia atutu Wyspecjalizowanie.\nAktualna premia do KP: %d\nMaksymalna premia: %d\nZmiana: ",
                  setting, maximum);
        }
        int wanted = 0;
        readNumber(wanted);
        if (wanted > maximum) {
            print("Nie możesz przekroczyć kary do trafienia poniżej bazowego ataku który wynosi %d. Ta właściwość "
                  "rozdziela się pomiędzy Potężny atak i Wyspecjalizowanie.\n\n(ok)",
                  hero.baseAttack);
            pauseOk();
            continue;
        }
        if (wanted < 0) continue;
        hero.attackPool += setting - wanted;
        setting = wanted;
        return;
    }
}

}  // namespace

ChoiceLine parseChoiceLine(std::string_view line) {
    ChoiceLine parsed;
    if (line.empty()) return parsed;
    parsed.hasFirst = true;
    parsed.first = line[0];

    std::size_t pos = 0;
    while (pos < line.size() && (line[pos] == ' ' || (line[pos] >= '\t' && line[pos] <= '\r'))) ++pos;
    bool negative = false;
    if (pos < line.size() && (line[pos] == '+' || line[pos] == '-')) negative = line[pos++] == '-';
    if (pos >= line.size() || line[pos] < '0' || line[pos] > '9') return parsed;
    long long value = 0;
    for (; pos < line.size() && line[pos] >= '0' && line[pos] <= '9'; ++pos) {
        value = value * 10 + (line[pos] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) return parsed;  // beyond int: no number
    }
    if (negative) value = -value;
    if (value > INT_MAX || value < INT_MIN) return parsed;
    parsed.hasNumber = true;
    parsed.number = static_cast<int>(value);
    return parsed;
}

ChoiceLine readChoiceLine(std::string_view keys) { return parseChoiceLine(readLine(200, keys)); }

void chooseFeat(int kind) {
    for (;;) {
        const std::vector<FeatEntry> list = buildFeatList(kind);
        clearScreen();
        print(kind == FeatFighter ? "Wybierz dodatkowy atut wojownika:\n" : "Wybierz nowy atut:\n");
        for (std::size_t i = 0; i < list.size(); ++i) {
            setColour(list[i].available ? ColourNormal : ColourGrey);
            print("%d) %s\n", static_cast<int>(i + 1), list[i].feat->name);
        }
        setColour(ColourNormal);
        print("\nliczba - wybór, p - pokaż %s", showAllFeats ? "dostępne\n" : "wszystkie\n");

        const ChoiceLine line = readChoiceLine("0123456789p");
        if (line.hasFirst && line.first == 'p') {
            showAllFeats = !showAllFeats;
            continue;
        }
        if (!line.hasNumber || line.number < 1 || line.number > static_cast<int>(list.size())) continue;
        const FeatEntry& entry = list[static_cast<std::size_t>(line.number - 1)];
        if (confirmFeat(entry) && takeFeat(*entry.feat)) return;
    }
}

int chooseWeapon(bool smallSizeFilter, bool skipFists) {
    const bool leaveOutLarge = smallSizeFilter && raceHasTrait(hero.race, TraitSmall);
    std::vector<int> list;
    for (const WeaponDef& weapon : weaponTable) {
        if (skipFists && weapon.id == 0) continue;
        if (leaveOutLarge && weapon.size == 1) continue;
        list.push_back(weapon.id);
    }
    std::sort(list.begin(), list.end(), [](int a, int b) {
        return cp1250Less(weaponTable[static_cast<std::size_t>(a)].name, weaponTable[static_cast<std::size_t>(b)].name);
    });

    for (;;) {
        clearScreen();
        print("Wybierz broń: \n");
        for (std::size_t i = 0; i < list.size(); ++i)
            print("%d) %s\n", static_cast<int>(i + 1), weaponTable[static_cast<std::size_t>(list[i])].name);
        print("liczba - wybór, c - cofnij\n");
        const ChoiceLine line = readChoiceLine("0123456789c");
        if (line.hasFirst && line.first == 'c') return -1;
        if (line.hasNumber && line.number >= 1 && line.number <= static_cast<int>(list.size()))
            return list[static_cast<std::size_t>(line.number - 1)];
    }
}

void powerAttackSettings() { attackSettings(hero.powerAttack, true); }

void expertiseSettings() { attackSettings(hero.expertise, false); }

}  // namespace kelvrin
