// One fight from the first initiative roll to its end: rounds in
// initiative order, the hero's commands, the monsters' turns, rage and
// fleeing, and the rewards at the end.
#pragma once

#include "combat/combatant.h"

namespace kelvrin {

enum FightResult : int {
    FightWon = 1,     // no enemy is left and the hero stands
    FightFled = -1,   // the hero ran away
    FightDied = -2,   // the hero is dead; the caller ends the game
};

// Runs a fight of the hero and the companions against the enemies.
// `enemyInitiativeBonus` is added to every enemy's initiative (-10 when the
// hero surprised them, +10 when they ambushed him). Returns a FightResult.
int fight(const MonsterList& enemies, const MonsterList& companions, int enemyInitiativeBonus);

// The same, with the companions the story gives: the druid in the forest
// and the paladin in the crypt, once they have joined the hero.
int fightWithCompanions(const MonsterList& enemies, int enemyInitiativeBonus);

// One swing of the hero at a monster, with the penalty of the swing's
// place in the turn (0, 5, 10 ...); true when it killed.
bool heroSwing(FightState& fight, int target, int penalty);

// The swings the hero makes in a turn: one per 5 points of base attack
// begun (none below 1).
int heroSwings(int baseAttack);

// What the monster's damage reduction takes off a hit of a weapon with
// this enchantment.
int damageReductionAgainst(std::uint32_t traits, int weaponBonus);

}  // namespace kelvrin
