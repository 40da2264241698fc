#include "support/game_test.h"
#include "support/test_hero.h"

#include "character/derived_values.h"
#include "combat/monster_actions.h"
#include "data/feats.h"
#include "items/potions.h"

namespace kelvrin::test {
namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class CombatMonsterTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        screen.setPaging(false);
        makeTestHero();
        hero.maxHp = hero.hp = 200;
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
    // One turn of the creature, or its attacks on `target`; returns what it printed.
    std::string turn(int actor, int target = NoCombatant) {
        screen.clearTranscript();
        state.rebuildOpponents(actor);
        target == NoCombatant ? monsterTurn(state, actor) : monsterAttack(state, actor, target);
        return screen.transcript();
    }
    FightState state;
};

TEST_F(CombatMonsterTest, HealerHealsBelowAThirdAndTurnsUndead) {
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

TEST_F(CombatMonsterTest, DruidsTigersAndTheMayorsGuards) {
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

TEST_F(CombatMonsterTest, MoraleFlight) {
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

TEST_F(CombatMonsterTest, AttacksStopWhenTheTargetFalls) {
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

TEST_F(CombatMonsterTest, WhatTakesTheSharpnessOffAHit) {
    // The hero's damage reduction and his armour's bonus.
    const int ogre = add(MonsterOgre, EnemySide);  // 9-19
    state.heroKp = -100;
    hero.damageReduction = 15;
    hero.armour.bonus = 5;
    EXPECT_EQ(turn(ogre, 0), "Ogr trafia cię lecz nie zadaje żadnych obrażeń.\n");

    // "Uniki": the first attacker becomes the dodged one, and stays so.
    hero.feats = FeatDodge;
    const int goblin = add(MonsterGoblin, EnemySide);
    turn(ogre, 0);
    turn(goblin, 0);
    EXPECT_EQ(state.dodgeTarget, ogre);
}

TEST_F(CombatMonsterTest, PoisonedBites) {
    const int viper = add(MonsterViper, EnemySide);  // +5 1-4, medium poison
    state.heroKp = -100;
    const auto base = hero.attributes;
    hero.attributes[Con] = 40;  // d20 + this resistance never falls below 15
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
