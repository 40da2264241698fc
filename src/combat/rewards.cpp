#include "combat/rewards.h"

#include <algorithm>
#include <climits>

#include "core/console.h"
#include "core/game_state.h"
#include "core/rules.h"
#include "data/item_tables.h"

namespace kelvrin {
namespace {

constexpr int ExperiencePerChallenge = 300;

int clampToInt(long long value) { return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX)); }

// Experience for one creature of the row, weighed against the hero's
// level: a challenge other than the level scales it by (r + 1) / level.
int experienceFor(const MonsterDef& row) {
    int base = 0;
    int rating = 1;
    if (row.challenge < 0) {
        base = ExperiencePerChallenge / -row.challenge;
    } else {
        base = ExperiencePerChallenge * row.challenge;
        rating = row.challenge;
    }
    const int level = std::max(hero.level, 1);
    if (rating != level) base = (rating + 1) * base / level;
    return base;
}

// The druid or the paladin is dead for good: that character leaves the
// story (no more help, friendship or hostility), and the rest of the
// world's progress stays as it was.
void endStoryOf(const MonsterDef& row) {
    if (hasTrait(row, TraitDruid)) {
        world.clear(DruidCompanion);
        world.clear(DruidFriend);
        world.clear(DruidHostile);
        world.set(DruidDead);
    }
    if (hasTrait(row, TraitHealer)) {
        world.clear(PaladinCompanion);
        world.clear(PaladinFriend);
        world.clear(PaladinHostile);
        world.set(PaladinDead);
    }
}

// Trophies, alignment, the story and the mayor's quests after a kill.
void recordKill(const Combatant& killed) {
    const MonsterDef& row = *killed.def;
    ++world.killCounts[static_cast<std::size_t>(row.id)];
    if (hasTrait(row, TraitInnocent)) --hero.alignment;
    // A druid who turned into a beast still dies as the druid.
    endStoryOf(*killed.startedAs());
    if (world.questKind == QuestFiveFoes) ++world.questStage;
    if (world.questKind == QuestDeathKnights && row.id == MonsterDeathKnight) ++world.questStage;
    if (world.questKind == QuestBanditChief && row.id == MonsterBanditChief) {
        world.set(ChiefDead);
        world.questStage = 1;
    }
}

bool isEnemy(const Combatant& c) { return !c.isHero() && c.side == EnemySide; }

// The experience of the fight's fallen and fled enemies, before MĄDROŚĆ;
// the killed ones are booked on the way.
long long experienceOfFight(const std::vector<Combatant>& combatants) {
    long long sum = 0;
    for (const Combatant& c : combatants) {
        if (!isEnemy(c) || c.hp >= 1) continue;
        const int base = experienceFor(*c.def);
        if (c.hp == FledMarker) {
            sum += base / 10;
            continue;
        }
        sum += base;
        recordKill(c);
    }
    return sum;
}

// A wise hero learns more: × (1 + m / 20) above MĄDROŚĆ 11, with the factor
// in single precision and the product truncated (300 gives 314 at +1).
long long withWisdom(long long experience) {
    const int wisdom = hero.attributes[Wis];
    if (wisdom <= 11) return experience;
    const float factor = 1.0f + static_cast<float>(attributeModifier(wisdom)) / 20.0f;
    return static_cast<long long>(static_cast<double>(experience) * static_cast<double>(factor));
}

// The treasure of every enemy that did not run away, and the loot screen.
bool collectTreasure(const std::vector<Combatant>& combatants, bool eventFight) {
    LootList loot;
    long long gold = 0;
    for (const Combatant& c : combatants) {
        if (!isEnemy(c) || c.hp == FledMarker || c.def->loot == 0) continue;
        gold += rollTreasure(c.def->challenge, c.def->loot, loot);
    }
    if (eventFight) loot.push_back(ItemSlot{CrystalRow, KindGem, 0, 0, Identified});
    reportTreasure(clampToInt(gold), loot);
    return lootScreen(loot);
}

}  // namespace

bool awardFight(const std::vector<Combatant>& combatants, bool heroFled, bool won) {
    long long experience = withWisdom(experienceOfFight(combatants));
    if (heroFled) experience /= 2;
    if (experience != 0) gainExperience(clampToInt(experience));

    // The event fight's mark lasts one fight, won or not: a crystal is
    // never paid by a later, unrelated victory.
    const bool eventFight = world.dungeonEventFight;
    world.dungeonEventFight = false;
    if (!won) return false;
    return collectTreasure(combatants, eventFight);
}

void gainExperience(int amount) {
    print("Zdobyłeś ");
    printColoured(ColourGreen, "%d", amount);
    print(" doświadczenia.");
    addExperience(amount);
    if (hero.xpNext < hero.xp) print(" Możesz awansować na %d poziom.", hero.level + 1);
    print("\n");
}

void gainGold(int amount) {
    print("Dostałeś ");
    printColoured(ColourYellow, "%d", amount);
    print(" złota.\n");
    addGold(amount);
}

}  // namespace kelvrin
