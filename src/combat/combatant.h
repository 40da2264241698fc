// The creatures of one fight and the state the fight keeps while it runs.
// Combatants are referred to by their index in `combatants`: the list grows
// during a round (animated trees, called guards), so nothing may hold a
// pointer or reference into it across an action.
#pragma once

#include <array>
#include <vector>

#include "data/monsters.h"

namespace kelvrin {

constexpr int HeroSide = 0;
constexpr int EnemySide = 1;

// The Pw of a monster that ran away: below 1, so it no longer acts, and
// told apart from the dead by the rewards.
constexpr int FledMarker = -999;

// No combatant (a dodge target not chosen, a cancelled target choice).
constexpr int NoCombatant = -1;

struct Combatant {
    // Current Pw of a monster. The hero's Pw are Hero::hp itself; this
    // field is not used for the hero (see FightState::hpOf).
    int hp = 0;
    int initiative = 0;
    int side = HeroSide;
    const MonsterDef* def = nullptr;  // nullptr: the hero
    // The row the creature entered the fight as, kept when it changes into
    // another (a druid turned into a tiger still dies as the druid);
    // nullptr: the same as `def`.
    const MonsterDef* original = nullptr;

    bool isHero() const { return def == nullptr; }
    const MonsterDef* startedAs() const { return original != nullptr ? original : def; }
};

// A list of monster rows for a fight; the same row may repeat. A nullptr
// entry ends the list early.
using MonsterList = std::vector<const MonsterDef*>;
// The rows with these numbers, in order.
MonsterList monsterList(const std::vector<int>& rows);

enum class FightOutcome { Running, Won, Fled, Died };

enum class RageState { None, Raging, Fatigued };

struct FightState {
    std::vector<Combatant> combatants;  // in turn order
    std::vector<int> opponents;         // of the creature acting now, in turn order
    int heroSideLeft = 0;
    int enemiesLeft = 0;
    std::array<int, 2> morale{};
    int heroKp = 0;
    int heroAttack = 0;
    RageState rageState = RageState::None;
    int rageRoundsLeft = 0;
    int dodgeTarget = NoCombatant;
    bool cleaved = false;
    bool heroFled = false;
    FightOutcome outcome = FightOutcome::Running;

    bool running() const { return outcome == FightOutcome::Running; }

    // Pw of a combatant: Hero::hp for the hero.
    int& hpOf(int index);
    int hpOf(int index) const;
    bool alive(int index) const { return hpOf(index) > 0; }
    // The displayed name of a monster combatant.
    const char* nameOf(int index) const;
    int& sideCount(int side) { return side == HeroSide ? heroSideLeft : enemiesLeft; }

    // The living combatants not on the actor's side, in turn order.
    void rebuildOpponents(int actor);
    // A creature of `side` stopped fighting (killed, fled, or charmed away);
    // the fight is won when no enemy is left.
    void creatureLost(int side);
    // A creature joins the side (appended at the end of the turn order).
    void addCreature(const MonsterDef& row, int side, int initiative);
    // The dodge target no longer threatens the hero.
    void forgetDodgeTarget(int index) {
        if (dodgeTarget == index) dodgeTarget = NoCombatant;
    }
};

// Recomputes the hero's KP and attack bonus kept by the fight.
void recomputeHeroFigures(FightState& fight);

// Escape: the chance of a mover of one pace running from pursuers of
// another, by the difference (3 or more always, -3 or less never).
bool rollEscape(int moverPace, int pursuersPace);
// The pace of the fastest living opponent monster of a creature on `side`
// (its land or flying speed, whichever is greater); 0 when there is none.
// The hero never pursues.
int pursuersPace(const FightState& fight, int side);

// A draw that succeeds `num` times in `den`.
bool chance(int num, int den);

}  // namespace kelvrin
