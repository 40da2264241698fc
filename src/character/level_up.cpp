#include "character/level_up.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "character/feat_screens.h"
#include "character/rules_tables.h"
#include "core/console.h"
#include "core/game_state.h"
#include "core/rules.h"
#include "data/classes.h"
#include "data/feats.h"
#include "data/progression.h"

namespace kelvrin {

namespace {

// The attribute trained on every fourth level. A KON that reaches an even
// score raises its modifier, and with it the Pw of every level so far.
void trainAttribute() {
    print("Wybierz atrybut który chcesz trenować.\nSiła, Zręczność, Kondycja, Inteligencja, Mądrość, Charyzma\n");
    constexpr std::string_view keys = "szkimc";  // in attribute order
    // askKey returns only one of the keys, so the position is always found.
    const std::size_t attribute = std::min(keys.find(static_cast<char>(askKey(keys))), keys.size() - 1);
    const int oldModifier = attributeModifier(hero.attributes[Con]);
    ++hero.attributes[attribute];
    if (attribute == Con && attributeModifier(hero.attributes[Con]) > oldModifier) {
        hero.maxHp += hero.level;
        hero.hp += hero.level;
    }
    // Carrying capacity is not recomputed here: the inventory, the market,
    // the mages' tower and a load bring it up to date.
}

void applyClassFeatures(std::uint32_t features) {
    if ((features & FeatureFighterFeat) != 0) chooseFeat(FeatFighter);
    if ((features & FeatureRage) != 0) {
        ++hero.ragesLeft;
        ++hero.ragesPerDay;
    }
    if ((features & FeatureDamageReduction) != 0) ++hero.damageReduction;
    // Greater and tireless rage are read from the level by combat itself.
}

}  // namespace

int trainingDays(int level) { return 2 * level + 2; }

int trainingRest(int level) { return level * (level + 1); }

bool belowMaxLevel() { return hero.level < MaxLevel; }

void levelUp() {
    const int level = hero.level;
    const int days = trainingDays(level);
    print("Trening na poziom %d zajął ci %d dni.\n", level + 1, days);
    advanceDays(days);

    // The rest during training heals, but never takes away Pw above the maximum.
    hero.hp = std::max(hero.hp, std::min(hero.hp + trainingRest(level), hero.maxHp));

    hero.level = level + 1;
    hero.lastChances = 3;

    const ClassDef& row = classTable.at(static_cast<std::size_t>(hero.heroClass));
    const int gained = attributeModifier(hero.attributes[Con]) + rollHitDie(row.hitDie);
    print("Zdobyłeś %d punktów wytrzymałości.\n", gained);

    hero.xpNext = xpForNextLevel(hero.level);
    ++hero.baseAttack;
    ++hero.attackPool;
    hero.maxHp += gained;
    hero.hp += gained;
    if (gained < 0) {
        // A very low KON can make the gain negative; training may cost Pw
        // but never the hero's life.
        hero.maxHp = std::max(hero.maxHp, 1);
        hero.hp = std::max(hero.hp, 1);
    }

    if (hero.level % 4 == 0) {
        trainAttribute();
    } else {
        pauseOk();
    }
    if (hero.level % 3 == 0) chooseFeat(FeatGeneral);
    applyClassFeatures(classFeaturesAt(hero.heroClass, hero.level));
}

}  // namespace kelvrin
