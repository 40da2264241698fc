#include <climits>
#include <utility>

#include "support/game_test.h"
#include "support/test_hero.h"

#include "character/derived_values.h"
#include "combat/combat_engine.h"
#include "combat/monster_actions.h"
#include "data/feats.h"
#include "items/potions.h"

namespace kelvrin::test {
namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The hero as combatant 0 of a fight in the dungeon, with Pw to spare.
class CombatRulesTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        screen.setPaging(false);  // thousands of swings with no key between them
        makeTestHero();
        hero.maxHp = hero.hp = 200;
        hero.improvedCritMask = 1u << 9;  // a rapier (9) threatens from 16 instead of 18
        world.location = LocationDungeon;
        state.combatants.push_back(Combatant{0, 0, HeroSide, nullptr});
        state.heroSideLeft = 1;
        state.heroKp = armourClass();
    }
    // Adds a creature (one that cannot die with `sturdy`); returns its index.
    int add(int row, int side, bool sturdy = false) {
        state.addCreature(monsterRow(row), side, 0);
        if (sturdy) state.combatants.back().hp = 1 << 30;
        return static_cast<int>(state.combatants.size()) - 1;
    }
    Combatant& at(int index) { return state.combatants[static_cast<std::size_t>(index)]; }
    // The hero and a monster of the row that cannot die, as combatant 1.
    void against(int row) {
        state.combatants.resize(1);
        add(row, EnemySide, true);
    }
    // The damage of a swing sure to reach the target's KP; the transcript holds what it printed.
    int swing() {
        screen.clearTranscript();
        state.heroAttack = 1000;
        const int before = state.combatants[1].hp;
        heroSwing(state, 1, 0);
        return before - state.combatants[1].hp;
    }
    // One turn of the creature, or its attacks on `target`; returns what it printed.
    std::string turn(int actor, int target = NoCombatant) {
        screen.clearTranscript();
        state.rebuildOpponents(actor);
        target == NoCombatant ? monsterTurn(state, actor) : monsterAttack(state, actor, target);
        return screen.transcript();
    }
    FightState state;
};

// Only a natural 20 rolls again and adds the second roll: a hero 30 points
// short of the KP hits only then, and only with a second roll of 10 or more.
TEST_F(CombatRulesTest, OnlyANaturalTwentyRollsAgain) {
    against(MonsterRat);
    seedRandom(11);
    int hits = 0;
    for (int i = 0; i < 400; ++i) {
        screen.clearTranscript();
        state.heroAttack = monsterRow(MonsterRat).kp - 30;
        heroSwing(state, 1, 0);
        hits += screen.transcript().find("Atakujesz lecz nie trafiasz") == std::string::npos;
    }
    EXPECT_GT(hits, 0);
    EXPECT_LT(hits, 30) << "about 400 × 1/20 × 11/20 = 11 hits";
}

TEST_F(CombatRulesTest, SwingsReductionsEscapesAndPursuers) {
    for (auto [base, swings] : {std::pair{0, 0}, {1, 1}, {5, 1}, {6, 2}, {11, 3}}) EXPECT_EQ(heroSwings(base), swings);
    // Every reduction the weapon does not beat is taken off; the sign bits are ordinary bits.
    const std::uint32_t balor = monsterRow(MonsterBalor).traits;
    for (auto [traits, bonus, reduction] :
         {std::tuple{TraitReduction5 | TraitReduction20 | TraitSteadfast, 0, 25}, {balor, 2, 30}, {balor, 3, 0},
          {monsterRow(MonsterTerrasque).traits, 4, 25}, {monsterRow(MonsterFireElemental).traits, 1, 10}})
        EXPECT_EQ(damageReductionAgainst(traits, bonus), reduction) << traits << " +" << bonus;

    seedRandom(7);
    const std::uint32_t before = randomState();
    EXPECT_TRUE(rollEscape(9, 6) && rollEscape(20, 0));
    EXPECT_FALSE(rollEscape(3, 6) || rollEscape(0, 16));
    EXPECT_EQ(randomState(), before) << "certain outcomes draw nothing";
    for (auto [d, share] : {std::pair{2, 0.9}, {1, 0.75}, {0, 0.5}, {-1, 0.25}, {-2, 0.1}}) {
        int escaped = 0;
        for (int i = 0; i < 4000; ++i) escaped += rollEscape(6 + d, 6);
        EXPECT_NEAR(escaped / 4000.0, share, 0.03) << d;
    }

    // Pursuers: the fastest living opposing monster, by the larger of its paces.
    against(MonsterZombie);          // 4
    add(MonsterGriffon, EnemySide);  // 6, flies 16
    add(MonsterWolf, HeroSide);      // 10
    EXPECT_EQ(pursuersPace(state, HeroSide), 16);
    state.combatants[2].hp = FledMarker;
    EXPECT_EQ(pursuersPace(state, HeroSide), 4);
    EXPECT_EQ(pursuersPace(state, EnemySide), 10);  // the hero never pursues
    state.combatants[3].hp = 0;
    EXPECT_EQ(pursuersPace(state, EnemySide), 0);
}

TEST_F(CombatRulesTest, DamageRulesOfTheTarget) {
    // Long sword (7) 3-10 slashing, club (2) 3-8 bludgeoning, rapier (9) 3-8 piercing, ×2 on a critical.
    const struct { int row, weapon, bonus, low, high; } cases[] = {
        {MonsterSkeleton, 7, 0, 1, 5},   {MonsterSkeleton, 2, 0, 3, 8},     // resists slashing: half
        {MonsterMummy, 7, 0, 0, 0},      {MonsterMummy, 7, 1, 2, 5},        // half, then DR 5 unless +1
        {MonsterClayGolem, 7, 5, 0, 0},  {MonsterClayGolem, 2, 1, 4, 9},    // bludgeoning only; +1 beats DR 20
        {MonsterStoneGolem, 7, 1, 0, 0}, {MonsterStoneGolem, 7, 2, 5, 12},  // DR 30 needs +2
        {MonsterOgre, 9, 0, 3, 16},      {MonsterGhoul, 9, 0, 3, 8},        // a critical; one immune to it
        {MonsterShadow, 7, -1, 2, 9},    {MonsterShadow, 7, 0, 0, 0}};      // incorporeal: no plain weapon
    for (const auto& c : cases) {
        hero.weapon = ItemSlot{c.weapon, KindWeapon, 0, c.bonus, Identified};
        against(c.row);
        int low = INT_MAX, high = INT_MIN;
        for (int i = 0; i < 300; ++i) {
            const int damage = swing();
            low = std::min(low, damage), high = std::max(high, damage);
        }
        EXPECT_EQ(std::pair(low, high), std::pair(c.low, c.high)) << c.row << " " << c.weapon << " " << c.bonus;
    }
    EXPECT_EQ(screen.transcript(), "Twoja broń przenika przez wroga jak przez powietrze.\n"
                                   "Trafiasz wroga lecz nie zadajesz żadnych obrażeń.\n");
}

TEST_F(CombatRulesTest, SharesOfMissesAndCriticals) {
    for (auto [row, weapon, blindFight, text, share] :
         {std::tuple{MonsterInvisibleStalker, 7, false, "Atakujesz na ślepo, nie trafiasz wroga.\n", 0.5},
          {MonsterInvisibleStalker, 7, true, "Atakujesz na ślepo, nie trafiasz wroga.\n", 0.25},
          {MonsterDisplacerBeast, 7, false, "Atakujesz wroga, lecz on znika.\n", 0.25},
          {MonsterDisplacerBeast, 7, true, "Atakujesz wroga, lecz on znika.\n", 0.25},
          {MonsterOgre, 9, false, "Trafiasz krytycznie Ogr", 0.25}}) {
        hero.feats = blindFight ? std::uint32_t{FeatBlindFight} : 0u;
        hero.weapon = ItemSlot{weapon, KindWeapon, 0, 0, Identified};
        against(row);
        int seen = 0;
        for (int i = 0; i < 2000; ++i) {
            swing();
            seen += screen.transcript().find(text) != std::string::npos;
        }
        EXPECT_NEAR(seen / 2000.0, share, 0.035) << row << " " << blindFight;
    }
}

TEST_F(CombatRulesTest, HealerHealsBelowAThirdAndTurnsUndead) {
    const int paladin = add(MonsterPaladin, HeroSide);
    add(MonsterOrc, EnemySide, true);
    for (int i = 0; i < 40; ++i) {
        hero.hp = 66;  // 200 / 3: not below a third
        EXPECT_FALSE(has(turn(paladin), "leczenia")) << i;
        hero.hp = 65;
        EXPECT_EQ(turn(paladin), "Paladyn użył leczenia na tobie.\n");
        EXPECT_TRUE(hero.hp >= 65 + 25 && hero.hp <= 65 + 100) << hero.hp;
    }
    const int wolf = add(MonsterWolf, HeroSide);  // a friend at 3 of 13 is healed to its own maximum
    hero.hp = 200;
    at(wolf).hp = 3;
    EXPECT_EQ(turn(paladin), "Paladyn użył leczenia na Wilk.\n");
    EXPECT_EQ(at(wolf).hp, 13);

    // With nobody to heal, the undead are turned until they fall and the fight is won.
    state.combatants.resize(2);
    state.enemiesLeft = 0;
    add(MonsterZombie, EnemySide);
    std::string out;
    while (state.running()) out += turn(paladin);
    EXPECT_TRUE(out.starts_with("Paladyn użył porażenia nieumarłych na Zombie. Zadał ")) << out;
    EXPECT_TRUE(out.ends_with(" obrażeń.\nZombie umiera.\n")) << out;
}

TEST_F(CombatRulesTest, DruidsTigersAndTheMayorsGuards) {
    const int strong = add(MonsterStrongDruid, EnemySide);  // he turns into the tiger, whole, at once
    at(strong).hp = 10;
    EXPECT_EQ(turn(strong), "Druid zmienił się w Legendarny tygrys.\n");
    EXPECT_EQ(std::tuple(at(strong).def->id, at(strong).hp), std::tuple(int(MonsterLegendaryTiger), 299));

    // A druid charms animals and, in the forest, brings trees to life at his side.
    state.combatants.resize(1);
    state.enemiesLeft = 0;
    world.location = LocationForest;
    const int druid = add(MonsterDruid, HeroSide);
    const int wolf = add(MonsterWolf, EnemySide);
    add(MonsterOgre, EnemySide, true);
    std::string out;
    for (int i = 0; i < 40 && (at(wolf).side == EnemySide || !has(out, "drzewo")); ++i) out += turn(druid);
    const int trees = count(out, "Druid ożywia drzewo.\n");
    ASSERT_GT(trees, 0);
    EXPECT_EQ(count(out, "Druid zauroczył Wilk.\n"), 1);
    EXPECT_EQ(std::tuple(at(wolf).side, state.enemiesLeft, state.heroSideLeft), std::tuple(HeroSide, 1, 3 + trees));
    EXPECT_EQ(state.combatants.back().def->id, MonsterAnimatedTree);

    // The mayor calls guards to his own side.
    world.location = LocationTown;
    const int mayor = add(MonsterMayor, EnemySide);
    int called = 0;
    for (int i = 0; i < 20; ++i) called += has(turn(mayor), "Burmistrz przywołuje strażnika.\n");
    ASSERT_GT(called, 0);
    EXPECT_EQ(state.enemiesLeft, 2 + called);
    const Combatant& guard = state.combatants.back();
    EXPECT_TRUE((guard.def->id == MonsterGuard || guard.def->id == MonsterSergeant) && guard.side == EnemySide);
}

TEST_F(CombatRulesTest, MoraleFlight) {
    // Below a quarter of its Pw -2, below a tenth 10 more; it runs below -10 (-15 when steadfast), but
    // never in the town, nor when fearless. F flees; P tries, with a wolf (pace 10) in pursuit; - stays.
    for (auto [row, hp, morale, location, what] :
         {std::tuple{MonsterOrc, 2, 0, LocationDungeon, '-'}, {MonsterOgre, 1, 0, LocationDungeon, 'F'},
          {MonsterOgre, 1, 0, LocationDungeon, 'P'}, {MonsterOgre, 1, 0, LocationTown, '-'},
          {MonsterGhoul, 1, -20, LocationDungeon, '-'}, {MonsterSergeant, 3, 0, LocationDungeon, '-'},
          {MonsterSergeant, 3, -4, LocationDungeon, 'F'}, {MonsterOgre, 26, -11, LocationDungeon, 'F'},
          {MonsterOgre, 26, -10, LocationDungeon, '-'}}) {
        state.combatants.resize(1);
        state.outcome = FightOutcome::Running;
        world.location = location;
        const int m = add(row, EnemySide);
        if (what == 'P') add(MonsterWolf, HeroSide);
        state.enemiesLeft = 1;
        at(m).hp = hp;
        state.morale[EnemySide] = morale;
        const std::string out = turn(m);
        if (what == '-') {
            EXPECT_FALSE(has(out, "uciek") || has(out, "uciec")) << row << " " << out;
            continue;
        }
        const bool fled = what == 'F';
        EXPECT_EQ(out, std::string(monsterRow(row).name) +
                           (fled ? " ucieka.\n" : " próbuje uciec ale mu się nie udaje.\n"));
        EXPECT_EQ(std::pair(at(m).hp == FledMarker, state.outcome == FightOutcome::Won), std::pair(fled, fled));
    }
}

TEST_F(CombatRulesTest, AttacksStopWhenTheTargetFalls) {
    const int wyvern = add(MonsterWyvern, EnemySide);  // more than one attack
    hero.hp = 1;
    hero.lastChances = 0;
    state.heroKp = -100;
    screen.type("k");
    const std::string out = turn(wyvern, 0);
    EXPECT_EQ(count(out, "Wywern trafia cię"), 1);
    EXPECT_TRUE(out.ends_with("{12} Umierasz!{7}\n\n(ok)")) << out;
    EXPECT_EQ(state.outcome, FightOutcome::Died);

    // A monster killed by another: its side loses morale and a fighter.
    state.outcome = FightOutcome::Running;
    const int rat = add(MonsterRat, HeroSide);
    const int ogre = add(MonsterOgre, EnemySide);
    std::string blow;
    while (state.alive(rat)) blow = turn(ogre, rat);
    EXPECT_TRUE(blow.starts_with("Ogr trafia Szczur i zadaje ") && blow.ends_with(" punktów obrażeń. Szczur umiera.\n"))
        << blow;
    EXPECT_EQ(std::tuple(state.morale[HeroSide], state.heroSideLeft), std::tuple(-1, 1));
}

TEST_F(CombatRulesTest, WhatAMonstersHitsDoToTheHero) {
    state.heroKp = -100;
    // The hero's damage reduction and his armour's bonus take all of an ogre's 9-19.
    const int ogre = add(MonsterOgre, EnemySide);
    hero.damageReduction = 15;
    hero.armour.bonus = 5;
    EXPECT_EQ(turn(ogre, 0), "Ogr trafia cię lecz nie zadaje żadnych obrażeń.\n");

    // "Uniki": the first attacker becomes the dodged one, and stays so.
    hero.feats = FeatDodge;
    const int goblin = add(MonsterGoblin, EnemySide);
    turn(ogre, 0);
    turn(goblin, 0);
    EXPECT_EQ(state.dodgeTarget, ogre);
    // Only the dodged one attacks at -2: of two goblins alike, he hits less.
    const int dodged = add(MonsterGoblin, EnemySide), other = add(MonsterGoblin, EnemySide);
    const int savedKp = std::exchange(state.heroKp, 12);
    hero.maxHp = hero.hp = 1 << 20;
    state.dodgeTarget = dodged;
    int hits[2] = {};
    for (int i = 0; i < 400; ++i)
        for (const int goblinIndex : {0, 1})
            hits[goblinIndex] += turn(goblinIndex == 0 ? dodged : other, 0).find("lecz nie trafia") == std::string::npos;
    EXPECT_LT(hits[0] + 15, hits[1]) << "about 10 % of 400 fewer";
    state.heroKp = savedKp;

    // A viper's bite (+5 1-4, medium poison): resisted by d20 + a resistance that never falls below 15.
    hero.damageReduction = hero.armour.bonus = 0;
    const int viper = add(MonsterViper, EnemySide);
    const auto base = hero.attributes;
    hero.attributes[Con] = 40;
    for (int i = 0; i < 30; ++i) turn(viper, 0);
    EXPECT_EQ(hero.poison, 0);
    hero.attributes = base;
    std::string out;
    for (int i = 0; i < 60 && hero.poison == 0; ++i) out = turn(viper, 0);
    ASSERT_TRUE(hero.poison == 1 || hero.poison == 2) << hero.poison;
    EXPECT_TRUE(has(out, " punktów obrażeń.Czujesz się słabo, ulegasz zatruciu!\n\n")) << out;
    EXPECT_EQ(std::tuple(hero.attributes[Str], hero.attributes[Con], hero.lastHarm),
              std::tuple(base[Str] - hero.poison, base[Con] - hero.poison, int(HarmPoison)));
}

}  // namespace
}  // namespace kelvrin::test
