#include "combat/combat_engine.h"

#include <algorithm>

#include "character/derived_values.h"
#include "character/feat_screens.h"
#include "character/feats.h"
#include "combat/combat_screen.h"
#include "combat/monster_actions.h"
#include "combat/rewards.h"
#include "core/console.h"
#include "core/game_state.h"
#include "core/random.h"
#include "core/rules.h"
#include "data/item_tables.h"
#include "items/catalogue.h"
#include "items/inventory.h"
#include "items/weapon_damage.h"

namespace kelvrin {

namespace {

// From level 15 the rage is greater; from level 20 it leaves no fatigue.
int rageAttributeBonus() { return hero.level >= 15 ? 6 : 4; }
int rageHpBonus() { return (hero.level >= 15 ? 3 : 2) * hero.level; }

// Takes away what a rage gave (it ended, or the fight did).
void rageWearsOff() {
    hero.attributes[Str] -= rageAttributeBonus();
    hero.attributes[Con] -= rageAttributeBonus();
    hero.maxHp -= rageHpBonus();
    hero.hp = std::min(hero.hp, hero.maxHp);
    hero.kpModifier = 0;
}

// What the end of the fight would take back from the hero now (a running
// rage, or the fatigue after it), kept in the world for a save written
// before the fight ends.
void noteFightChanges(const FightState& fight) {
    FightChanges changes;
    if (fight.rageState == RageState::Raging) {
        changes.attributes[Str] = changes.attributes[Con] = rageAttributeBonus();
        changes.maxHp = rageHpBonus();
        changes.hp = std::max(0, hero.hp - (hero.maxHp - rageHpBonus()));
    } else if (fight.rageState == RageState::Fatigued) {
        changes.attributes[Str] = changes.attributes[Dex] = -2;
    }
    world.fightChanges = changes;
}

// Puts the hero back as he was before the fight, apart from what the fight
// really did to him: on every way out, so that neither a rage nor fatigue
// outlives the fight, not even in a save written when the input ends.
class FightGuard {
public:
    explicit FightGuard(FightState& fight) : fight_(fight) {
        world.combatRound = 0;
        world.inCombat = true;
        world.fightChanges = FightChanges{};
        setScrollTop(1);
        if (cursorRow() == 0) moveCursor(1, 0);
    }
    ~FightGuard() { restore(); }
    FightGuard(const FightGuard&) = delete;
    FightGuard& operator=(const FightGuard&) = delete;

    void restore() {
        if (restored_) return;
        restored_ = true;
        if (fight_.rageState == RageState::Raging) {
            rageWearsOff();
        } else if (fight_.rageState == RageState::Fatigued) {
            hero.attributes[Str] += 2;
            hero.attributes[Dex] += 2;
        }
        fight_.rageState = RageState::None;
        hero.hp = std::min(hero.hp, hero.maxHp);
        world.fightChanges = FightChanges{};
        world.inCombat = false;
        setScrollTop(0);
    }

private:
    FightState& fight_;
    bool restored_ = false;
};

void startRage(FightState& fight) {
    if (hero.ragesLeft <= 0) {
        if (hero.ragesPerDay != 0) print("Wykorzystałeś dzisiejszy limit wpadania w szał.\n");
        return;
    }
    if (fight.rageState == RageState::Raging) {
        print("Już wpadłeś w szał bojowy.\n");
        return;
    }
    if (fight.rageState == RageState::Fatigued) {
        print("Nie możesz wpaść w szał, jesteś zmęczony.\n");
        return;
    }
    if (armourRow(hero.armour).armourType == ArmourTypeHeavy) {
        print("Nie możesz wpaść w szał bojowy jeśli masz na sobie ciężką zbroję.\n");
        return;
    }
    --hero.ragesLeft;
    print("Wpadasz w szał bojowy! Możesz wpaść w szał jeszcze %d razy.\n", hero.ragesLeft);
    hero.kpModifier = -2;
    hero.attributes[Str] += rageAttributeBonus();
    hero.attributes[Con] += rageAttributeBonus();
    hero.hp += rageHpBonus();
    hero.maxHp += rageHpBonus();
    fight.rageRoundsLeft = attributeModifier(hero.attributes[Con]) + 3 * hero.extendedRageCount + 3;
    fight.rageState = RageState::Raging;
    noteFightChanges(fight);
    recomputeHeroFigures(fight);
}

void rageCountdown(FightState& fight) {
    if (fight.rageState != RageState::Raging) return;
    // A rage of no rounds at all (KON very low) ends on the next turn too.
    if (--fight.rageRoundsLeft > 0) return;
    rageWearsOff();
    if (hero.level < 20) {
        hero.attributes[Str] -= 2;
        hero.attributes[Dex] -= 2;
        fight.rageState = RageState::Fatigued;
    } else {
        fight.rageState = RageState::None;
    }
    noteFightChanges(fight);
}

// Bits of the weapon's damage types that the creature resists.
std::uint32_t resistedTypes(const MonsterDef& target) {
    std::uint32_t resisted = 0;
    if (hasTrait(target, TraitResistsSlashing)) resisted |= DamageSlashing;
    if (hasTrait(target, TraitResistsPiercing)) resisted |= DamagePiercing;
    if (hasTrait(target, TraitResistsBludgeoning)) resisted |= DamageBludgeoning;
    return resisted;
}

}  // namespace

bool heroSwing(FightState& fight, int target, int penalty) {
    const ItemSlot& weapon = hero.weapon;
    const WeaponDef& arm = weaponRow(weapon);
    const MonsterDef& victim = *fight.combatants[static_cast<std::size_t>(target)].def;
    const bool improvedCritical = ((hero.improvedCritMask >> arm.id) & 1u) != 0;
    const int threatFrom = threatRangeStart(weapon, false, improvedCritical);

    const int natural = rollD20();
    bool threat = natural >= threatFrom;
    int roll = natural;
    if (natural == 20) {
        roll = 20 + rollD20();
    } else if (natural == 1) {
        roll = -(rollD20() - 1);
    }
    const int total = roll + ((weapon.flags & Accurate) != 0 ? 2 : 0) + fight.heroAttack - penalty;
    if (hasTrait(victim, TraitCritImmune)) threat = false;

    if (hasTrait(victim, TraitInvisible) && chance(1, 2) && !(hasFeat(FeatBlindFight) && chance(1, 2))) {
        print("Atakujesz na ślepo, nie trafiasz wroga.\n");
        return false;
    }
    if (hasTrait(victim, TraitBlinking) && chance(1, 4)) {
        print("Atakujesz wroga, lecz on znika.\n");
        return false;
    }
    if (total < victim.kp) {
        print("Atakujesz lecz nie trafiasz przeciwnika.\n");
        return false;
    }

    int damage = rollDamage();
    if (threat) damage *= arm.critMultiplier;
    if (hasTrait(victim, TraitHalfDamage)) damage /= 2;
    if (hasTrait(victim, TraitBludgeoningOnly) && (arm.damageTypes & DamageBludgeoning) == 0) damage = 0;
    if ((arm.damageTypes & ~resistedTypes(victim)) == 0) damage /= 2;
    if (hasTrait(victim, TraitIncorporeal) && weapon.bonus == 0) {
        print("Twoja broń przenika przez wroga jak przez powietrze.\n");
        damage = 0;
    }
    damage -= damageReductionAgainst(victim.traits, weapon.bonus);
    if (damage <= 0) {
        print("Trafiasz wroga lecz nie zadajesz żadnych obrażeń.\n");
        return false;
    }

    print("Trafiasz %s%s i zadajesz ", threat ? "krytycznie " : "", victim.name);
    printColoured(ColourGreen, "%d", damage);
    print(" obrażeń. ");
    int& hp = fight.hpOf(target);
    hp -= damage;
    if (hp >= 1) {
        print("\n");
        return false;
    }
    --fight.morale[EnemySide];
    print("%s umiera.\n", victim.name);
    fight.forgetDodgeTarget(target);
    fight.creatureLost(fight.combatants[static_cast<std::size_t>(target)].side);
    return true;
}

namespace {

// May the hero swing again at once after a kill?
bool mayCleave(const FightState& fight) {
    return hasFeat(FeatGreatCleave) || (hasFeat(FeatCleave) && !fight.cleaved);
}

void heroAttack(FightState& fight, int self, int target) {
    const int swings = heroSwings(hero.baseAttack);
    for (int n = 0, penalty = 0; n < swings; ++n, penalty += 5) {
        bool killed = heroSwing(fight, target, penalty);
        // A kill ends the turn unless the hero may cleave into the next
        // foe, with one swing at the bonus of the one that killed.
        while (killed) {
            if (!fight.running() || !mayCleave(fight)) return;
            fight.cleaved = true;
            fight.rebuildOpponents(self);
            if (fight.opponents.empty()) return;
            target = fight.opponents[static_cast<std::size_t>(randomNext()) % fight.opponents.size()];
            print("Rozszczepienie: ");
            killed = heroSwing(fight, target, penalty);
        }
    }
}

void heroFlee(FightState& fight) {
    if (rollEscape(speedSteps(), pursuersPace(fight, HeroSide))) {
        print("Uciekłeś z walki.\n");
        fight.heroFled = true;
        fight.outcome = FightOutcome::Fled;
    } else {
        print("Próbujesz uciec ale ci się nie udaje.\n");
    }
}

// The commands of the hero's turn that do something for this hero: the
// feats' commands only with their feat, the rage only for a hero who has
// rages at all.
std::string fightKeys() {
    std::string keys = "afuce";
    if (hasFeat(FeatPowerAttack)) keys += 'p';
    if (hasFeat(FeatExpertise)) keys += 'w';
    if (hero.ragesPerDay > 0) keys += 's';
    if (hasFeat(FeatDodge)) keys += 'd';
    return keys + '?';
}

void heroTurn(FightState& fight, int self) {
    fight.cleaved = false;
    rageCountdown(fight);
    // Poison or the end of a rage may have changed what the figures rest on.
    recomputeHeroFigures(fight);
    for (;;) {
        noteFightChanges(fight);
        drawStatusBar();
        switch (getKey(fightKeys())) {
            case 'a': {
                const int target = chooseTarget(fight, fight.opponents);
                if (target != NoCombatant) {
                    heroAttack(fight, self, target);
                    return;
                }
                break;
            }
            case 'f':
                if (!fight.opponents.empty()) heroAttack(fight, self, fight.opponents.front());
                return;
            case 'u': heroFlee(fight); return;
            case 'c': return;
            case 'e':
                inventoryScreen();
                if (hero.hp <= 0) {
                    fight.outcome = FightOutcome::Died;
                    return;
                }
                recomputeHeroFigures(fight);
                break;
            case 'p':
                if (!hasFeat(FeatPowerAttack)) continue;
                powerAttackSettings();
                recomputeHeroFigures(fight);
                break;
            case 'w':
                if (!hasFeat(FeatExpertise)) continue;
                expertiseSettings();
                recomputeHeroFigures(fight);
                break;
            case 's': startRage(fight); continue;
            case 'd': {
                if (!hasFeat(FeatDodge)) continue;
                const int target = chooseTarget(fight, fight.opponents);
                if (target != NoCombatant) fight.dodgeTarget = target;
                break;
            }
            case '?': showHelp(); break;
            default: continue;
        }
        // A command that did not use the turn: a fresh screen under the bar.
        clearFightScreen();
    }
}

void rollInitiatives(FightState& fight, const MonsterList& enemies, const MonsterList& companions,
                     int enemyInitiativeBonus) {
    int heroInitiative = attributeModifier(hero.attributes[Dex]) + rollD20();
    if (hasFeat(FeatImprovedInitiative)) heroInitiative += 4;
    fight.combatants.push_back(Combatant{0, heroInitiative, HeroSide, nullptr});
    fight.heroSideLeft = 1;
    for (const MonsterDef* row : companions) {
        if (row == nullptr) break;
        fight.addCreature(*row, HeroSide, row->initiative + rollD20());
    }
    for (const MonsterDef* row : enemies) {
        if (row == nullptr) break;
        fight.addCreature(*row, EnemySide, row->initiative + rollD20() + enemyInitiativeBonus);
    }
    // Highest first; ties keep the hero ahead of companions ahead of enemies.
    std::stable_sort(fight.combatants.begin(), fight.combatants.end(),
                     [](const Combatant& a, const Combatant& b) { return a.initiative > b.initiative; });
}

}  // namespace

int heroSwings(int baseAttack) { return baseAttack < 1 ? 0 : (baseAttack + 4) / 5; }

int damageReductionAgainst(std::uint32_t traits, int weaponBonus) {
    int reduction = 0;
    if (weaponBonus < 1) {
        if (traits & TraitReduction5) reduction += 5;
        if (traits & TraitReduction20) reduction += 20;
        if (traits & TraitReduction15) reduction += 15;
    }
    if (weaponBonus < 2) {
        if (traits & TraitReduction30) reduction += 30;
        if (traits & TraitReduction10) reduction += 10;
    }
    if (weaponBonus < 3) {
        if (traits & TraitReduction50) reduction += 50;
        if (traits & TraitReduction30Plus3) reduction += 30;
    }
    if (weaponBonus < 5 && (traits & TraitReduction25)) reduction += 25;
    return reduction;
}

int fight(const MonsterList& enemies, const MonsterList& companions, int enemyInitiativeBonus) {
    FightState state;
    FightGuard guard(state);
    const StatusBarForReader statusForReader;
    recomputeHeroFigures(state);
    rollInitiatives(state, enemies, companions, enemyInitiativeBonus);
    if (hero.hp < 1) {
        state.outcome = FightOutcome::Died;
    } else if (state.enemiesLeft == 0) {
        state.outcome = FightOutcome::Won;
    }

    while (state.running()) {
        ++world.combatRound;
        // Creatures that join during the round act at its end.
        for (int i = 0; i < static_cast<int>(state.combatants.size()) && state.running(); ++i) {
            if (!state.alive(i)) continue;
            state.rebuildOpponents(i);
            if (state.combatants[static_cast<std::size_t>(i)].isHero()) {
                heroTurn(state, i);
            } else {
                monsterTurn(state, i);
            }
            // However the hero fell, the fight is over for him.
            if (hero.hp < 1 && state.running()) state.outcome = FightOutcome::Died;
            noteFightChanges(state);
        }
    }

    guard.restore();
    if (state.outcome == FightOutcome::Died) return FightDied;
    const bool diedOnLoot = awardFight(state.combatants, state.heroFled, state.outcome == FightOutcome::Won);
    if (state.heroFled) {
        print("\n(ok)");
        pauseOk();
    }
    if (diedOnLoot) return FightDied;
    return state.heroFled ? FightFled : FightWon;
}

int fightWithCompanions(const MonsterList& enemies, int enemyInitiativeBonus) {
    MonsterList companions;
    if (world.has(DruidCompanion) && world.location == LocationForest) companions.push_back(&monsterRow(MonsterDruid));
    if (world.has(PaladinCompanion) && world.location == LocationCrypt)
        companions.push_back(&monsterRow(MonsterPaladin));
    return fight(enemies, companions, enemyInitiativeBonus);
}

}  // namespace kelvrin
