#include "combat/monster_actions.h"

#include <algorithm>

#include "character/derived_values.h"
#include "character/feats.h"
#include "core/console.h"
#include "core/game_state.h"
#include "core/random.h"
#include "items/potions.h"

namespace kelvrin {

namespace {

enum class Action { Undecided, Attack, Flee, Wait, Heal, TurnUndead, AnimateTree, Charm, Transform, CallGuard };

const MonsterDef& rowOf(const FightState& fight, int index) { return *fight.combatants[static_cast<std::size_t>(index)].def; }

bool monsterHas(const FightState& fight, int index, MonsterTrait trait) {
    const Combatant& c = fight.combatants[static_cast<std::size_t>(index)];
    return !c.isHero() && hasTrait(*c.def, trait);
}

int pickOne(const std::vector<int>& list) { return list[static_cast<std::size_t>(randomNext()) % list.size()]; }

// The most a combatant can be healed to.
int maxHpOf(const FightState& fight, int index) {
    const Combatant& c = fight.combatants[static_cast<std::size_t>(index)];
    return c.isHero() ? hero.maxHp : c.def->maxHp;
}

void regenerate(FightState& fight, int actor) {
    Combatant& m = fight.combatants[static_cast<std::size_t>(actor)];
    if (m.hp == m.def->maxHp) return;
    if (hasTrait(*m.def, TraitRegenerating)) {
        print("Rany które otrzymał %s, zasklepiają się.\n", m.def->name);
        m.hp += 5;
    }
    if (hasTrait(*m.def, TraitFastRegenerating)) {
        print("Rany które otrzymał %s, szybko sie zasklepiają.\n", m.def->name);
        m.hp += 40;
    }
    m.hp = std::min(m.hp, m.def->maxHp);
}

// The side's morale, lowered further for a badly hurt creature; below -10
// (-15 for the steadfast) it runs. Nobody runs in the town, nor the fearless.
bool moraleBroken(const FightState& fight, int actor) {
    const Combatant& m = fight.combatants[static_cast<std::size_t>(actor)];
    if (hasTrait(*m.def, TraitFearless) || world.location == LocationTown) return false;
    int morale = fight.morale[static_cast<std::size_t>(m.side)];
    if (m.hp < m.def->maxHp / 4) {
        morale -= 2;
        if (m.hp < m.def->maxHp / 10) morale -= 10;
    }
    return hasTrait(*m.def, TraitSteadfast) ? morale < -15 : morale < -10;
}

struct Decision {
    Action action = Action::Undecided;
    int target = NoCombatant;
};

// Opponents that are monsters with the trait.
std::vector<int> opponentsWith(const FightState& fight, MonsterTrait trait) {
    std::vector<int> found;
    for (int i : fight.opponents)
        if (monsterHas(fight, i, trait)) found.push_back(i);
    return found;
}

Decision decide(const FightState& fight, int actor) {
    const Combatant& m = fight.combatants[static_cast<std::size_t>(actor)];
    const MonsterDef& row = *m.def;
    Decision d;
    if (moraleBroken(fight, actor)) d.action = Action::Flee;

    if (d.action == Action::Undecided && hasTrait(row, TraitHealer)) {
        std::vector<int> inNeed;
        for (int i = 0; i < static_cast<int>(fight.combatants.size()); ++i) {
            if (fight.combatants[static_cast<std::size_t>(i)].side != m.side || !fight.alive(i)) continue;
            if (fight.hpOf(i) < maxHpOf(fight, i) / 3) inNeed.push_back(i);
        }
        if (!inNeed.empty()) {
            d = {Action::Heal, pickOne(inNeed)};
        } else if (const std::vector<int> undead = opponentsWith(fight, TraitUndead); !undead.empty()) {
            d = {Action::TurnUndead, pickOne(undead)};
        }
    }

    if (d.action == Action::Undecided && hasTrait(row, TraitDruid)) {
        if (row.challenge == 12) {
            d.action = Action::Transform;
        } else {
            if (chance(1, 2)) {
                if (const std::vector<int> animals = opponentsWith(fight, TraitAnimal); !animals.empty())
                    d = {Action::Charm, pickOne(animals)};
            }
            if (d.action == Action::Undecided && world.location == LocationForest && chance(1, 2))
                d.action = Action::AnimateTree;
        }
    }

    if (d.action == Action::Undecided && hasTrait(row, TraitGuardCaller) && chance(1, 2)) d.action = Action::CallGuard;

    if (d.action == Action::Undecided) {
        if (chance(1, 9) || fight.opponents.empty()) {
            d.action = Action::Wait;
        } else {
            d = {Action::Attack, pickOne(fight.opponents)};
        }
    }
    return d;
}

void flee(FightState& fight, int actor) {
    Combatant& m = fight.combatants[static_cast<std::size_t>(actor)];
    if (!rollEscape(m.def->speed, pursuersPace(fight, m.side))) {
        print("%s próbuje uciec ale mu się nie udaje.\n", m.def->name);
        return;
    }
    print("%s ucieka.\n", m.def->name);
    m.hp = FledMarker;
    fight.forgetDodgeTarget(actor);
    fight.creatureLost(m.side);
}

void heal(FightState& fight, int actor, int friendIndex) {
    const bool healsHero = fight.combatants[static_cast<std::size_t>(friendIndex)].isHero();
    print("%s użył leczenia na %s.\n", fight.nameOf(actor), healsHero ? "tobie" : fight.nameOf(friendIndex));
    int& hp = fight.hpOf(friendIndex);
    hp = std::min(hp + randomRange(25, 100), maxHpOf(fight, friendIndex));
}

void turnUndead(FightState& fight, int actor, int target) {
    print("%s użył porażenia nieumarłych na %s. ", fight.nameOf(actor), fight.nameOf(target));
    const int damage = randomRange(10, 100);
    print("Zadał %d obrażeń.\n", damage);
    int& hp = fight.hpOf(target);
    hp -= damage;
    if (hp < 1) {
        print("%s umiera.\n", fight.nameOf(target));
        fight.forgetDodgeTarget(target);
        fight.creatureLost(fight.combatants[static_cast<std::size_t>(target)].side);
    }
}

// A tree or a guard joins the actor's side; it acts at the end of rounds.
void summon(FightState& fight, int actor, int row) {
    const MonsterDef& def = monsterRow(row);
    const int side = fight.combatants[static_cast<std::size_t>(actor)].side;
    fight.addCreature(def, side, def.initiative + rollD20());
}

void charm(FightState& fight, int actor, int target) {
    print("%s zauroczył %s.\n", fight.nameOf(actor), fight.nameOf(target));
    const int newSide = fight.combatants[static_cast<std::size_t>(actor)].side;
    Combatant& animal = fight.combatants[static_cast<std::size_t>(target)];
    const int oldSide = animal.side;
    animal.side = newSide;
    ++fight.sideCount(newSide);
    fight.forgetDodgeTarget(target);
    fight.creatureLost(oldSide);
}

void transform(FightState& fight, int actor) {
    Combatant& m = fight.combatants[static_cast<std::size_t>(actor)];
    print("%s zmienił się w ", m.def->name);
    if (m.original == nullptr) m.original = m.def;
    m.def = &monsterRow(MonsterLegendaryTiger);
    m.hp = m.def->maxHp;
    print("%s.\n", m.def->name);
}

// Each poison of the attack, in order, against the level the hero has now.
void poisonHero(std::uint32_t poison) {
    if ((poison & AttackPoisonLight) && rollD20() + poisonResistance() < 10) setPoison(hero.poison + 1);
    if ((poison & AttackPoisonMedium) && rollD20() + poisonResistance() < 15) setPoison(hero.poison + randomRange(1, 2));
    if ((poison & AttackPoisonStrong) && rollD20() + poisonResistance() < 20) setPoison(hero.poison + randomRange(1, 6));
}

void strikeHero(FightState& fight, int actor, const MonsterAttack& attack, int total, bool threat) {
    const MonsterDef& row = rowOf(fight, actor);
    bool miss = (hero.armour.flags & Blinking) != 0 && chance(1, 4);
    if (!miss) {
        if (hasFeat(FeatDodge)) {
            if (fight.dodgeTarget == NoCombatant) fight.dodgeTarget = actor;
            if (fight.dodgeTarget == actor) total -= 2;
        }
        miss = !hasTrait(row, TraitIncorporeal) && total < fight.heroKp;
    }
    if (miss) {
        print("%s próbuje cię zaatakować lecz nie trafia.\n", row.name);
        return;
    }
    int damage = randomRange(attack.minDamage, attack.maxDamage);
    if (threat) damage *= 2;
    damage -= hero.damageReduction;
    if (hero.armour.bonus > 0) damage -= hero.armour.bonus;
    if (damage <= 0) {
        print("%s trafia cię lecz nie zadaje żadnych obrażeń.\n", row.name);
        return;
    }
    if (hero.hp - damage < 1 && hero.lastChances > 0) {
        --hero.lastChances;
        print("Udaje ci się uniknać ciosu!\n");
        return;
    }
    hero.hp -= damage;
    print("%s trafia cię%s i zadaje ", row.name, threat ? " krytycznie" : "");
    printColoured(ColourRed, "%d", damage);
    print(" punktów obrażeń.");
    poisonHero(attack.poison);
    if (hero.hp < 1) {
        printColoured(ColourRed, " Umierasz!");
        print("\n\n(ok)");
        hero.lastHarm = row.id;
        pauseOk();
        fight.outcome = FightOutcome::Died;
        return;
    }
    print("\n");
}

void strikeMonster(FightState& fight, int actor, int target, const MonsterAttack& attack, int total, bool threat) {
    const MonsterDef& row = rowOf(fight, actor);
    const MonsterDef& victim = rowOf(fight, target);
    if (hasTrait(victim, TraitCritImmune)) threat = false;
    bool miss = hasTrait(victim, TraitInvisible) && chance(1, 2);
    if (!miss && hasTrait(victim, TraitBlinking)) miss = chance(1, 4);
    if (miss || total < victim.kp) {
        print("%s próbuje zaatakować %s lecz nie trafia.\n", row.name, victim.name);
        return;
    }
    int damage = randomRange(attack.minDamage, attack.maxDamage);
    if (threat) damage *= 2;
    if (hasTrait(victim, TraitHalfDamage)) damage /= 2;
    if (hasTrait(victim, TraitHealer)) damage -= 5;
    if (hasTrait(victim, TraitDruid)) damage -= 1;
    damage = std::max(damage, 0);
    int& hp = fight.hpOf(target);
    hp -= damage;
    print("%s trafia%s %s i zadaje %d punktów obrażeń.", row.name, threat ? " krytycznie" : "", victim.name, damage);
    if (hp < 1) {
        const int side = fight.combatants[static_cast<std::size_t>(target)].side;
        --fight.morale[static_cast<std::size_t>(side)];
        print(" %s umiera.", victim.name);
        fight.forgetDodgeTarget(target);
        fight.creatureLost(side);
    }
    print("\n");
}

}  // namespace

void monsterAttack(FightState& fight, int actor, int target) {
    const MonsterDef& row = rowOf(fight, actor);
    for (const MonsterAttack& attack : row.attacks) {
        if (attack.maxDamage == 0 || !fight.running() || !fight.alive(target)) break;
        const int natural = rollD20();
        int roll = natural;
        if (natural == 20) {
            roll = 20 + rollD20();
        } else if (natural == 1) {
            roll = -(rollD20() - 1);
        }
        const int total = roll + attack.bonus;
        if (fight.combatants[static_cast<std::size_t>(target)].isHero()) {
            strikeHero(fight, actor, attack, total, natural == 20);
        } else {
            strikeMonster(fight, actor, target, attack, total, natural == 20);
        }
    }
}

void monsterTurn(FightState& fight, int actor) {
    regenerate(fight, actor);
    const Decision d = decide(fight, actor);
    switch (d.action) {
        case Action::Attack: monsterAttack(fight, actor, d.target); break;
        case Action::Flee: flee(fight, actor); break;
        case Action::Wait: print("%s czeka.\n", fight.nameOf(actor)); break;
        case Action::Heal: heal(fight, actor, d.target); break;
        case Action::TurnUndead: turnUndead(fight, actor, d.target); break;
        case Action::AnimateTree:
            print("%s ożywia drzewo.\n", fight.nameOf(actor));
            summon(fight, actor, MonsterAnimatedTree);
            break;
        case Action::Charm: charm(fight, actor, d.target); break;
        case Action::Transform: transform(fight, actor); break;
        case Action::CallGuard:
            print("%s przywołuje strażnika.\n", fight.nameOf(actor));
            summon(fight, actor, chance(3, 4) ? MonsterGuard : MonsterSergeant);
            break;
        case Action::Undecided: break;
    }
}

}  // namespace kelvrin
