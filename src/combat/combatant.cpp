#include "combat/combatant.h"

#include <algorithm>

#include "character/derived_values.h"
#include "core/game_state.h"
#include "core/random.h"

namespace kelvrin {

MonsterList monsterList(const std::vector<int>& rows) {
    MonsterList list;
    list.reserve(rows.size());
    for (int row : rows) list.push_back(&monsterRow(row));
    return list;
}

int& FightState::hpOf(int index) {
    Combatant& c = combatants[static_cast<std::size_t>(index)];
    return c.isHero() ? hero.hp : c.hp;
}

int FightState::hpOf(int index) const {
    const Combatant& c = combatants[static_cast<std::size_t>(index)];
    return c.isHero() ? hero.hp : c.hp;
}

const char* FightState::nameOf(int index) const {
    const Combatant& c = combatants[static_cast<std::size_t>(index)];
    return c.isHero() ? hero.name.c_str() : c.def->name;
}

void FightState::rebuildOpponents(int actor) {
    const int side = combatants[static_cast<std::size_t>(actor)].side;
    opponents.clear();
    for (int i = 0; i < static_cast<int>(combatants.size()); ++i) {
        if (combatants[static_cast<std::size_t>(i)].side != side && alive(i)) opponents.push_back(i);
    }
}

void FightState::creatureLost(int side) {
    --sideCount(side);
    if (side == EnemySide && enemiesLeft <= 0 && running()) outcome = FightOutcome::Won;
}

void FightState::addCreature(const MonsterDef& row, int side, int initiative) {
    combatants.push_back(Combatant{row.maxHp, initiative, side, &row, &row});
    ++sideCount(side);
}

void recomputeHeroFigures(FightState& fight) {
    fight.heroKp = armourClass();
    fight.heroAttack = attackBonus();
}

bool chance(int num, int den) { return randomNext() % den < num; }

bool rollEscape(int moverPace, int pursuersPace) {
    const int d = moverPace - pursuersPace;
    if (d >= 3) return true;
    if (d <= -3) return false;
    switch (d) {
        case 2: return chance(9, 10);
        case 1: return chance(3, 4);
        case 0: return chance(1, 2);
        case -1: return chance(1, 4);
        default: return chance(1, 10);  // -2
    }
}

int pursuersPace(const FightState& fight, int side) {
    int pace = 0;
    for (int i = 0; i < static_cast<int>(fight.combatants.size()); ++i) {
        const Combatant& c = fight.combatants[static_cast<std::size_t>(i)];
        if (c.isHero() || c.side == side || !fight.alive(i)) continue;
        pace = std::max({pace, c.def->speed, c.def->flySpeed});
    }
    return pace;
}

}  // namespace kelvrin
