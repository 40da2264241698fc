#include <climits>

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
        if (sturdy) state.combatants.back().hp = INT_MAX / 2;
        return static_cast<int>(state.combatants.size()) - 1;
    }
    Combatant& at(int index) { return state.combatants[static_cast<std::size_t>(index)]; }
    // One turn of the creature; returns what it printed.
    std::string turn(int actor) {
        screen.clearTranscript();
        state.rebuildOpponents(actor);
        monsterTurn(state, actor);
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
        EXPECT_GE(hero.hp, 65 + 25);
        EXPECT_LE(hero.hp, 65 + 100);
    }
    // A hurt friend is healed up to its own maximum at most.
    const int wolf = add(MonsterWolf, HeroSide);
    hero.hp = 200;
    at(wolf).hp = 3;  // 13 / 3 is 4
    EXPECT_EQ(turn(paladin), "Paladyn użył leczenia na Wilk.\n");
    EXPECT_EQ(at(wolf).hp, 13);

    // With nobody to heal, the undead are turned until they fall.
    state.combatants.resize(2);
    state.enemiesLeft = 0;
    const int zombie = add(MonsterZombie, EnemySide);
    std::string out;
    while (state.running()) out += turn(paladin);
    EXPECT_TRUE(has(out, "Paladyn użył porażenia nieumarłych na Zombie. Zadał "));
    EXPECT_TRUE(out.ends_with(" obrażeń.\nZombie umiera.\n")) << out;
    EXPECT_LT(at(zombie).hp, 1);
    EXPECT_EQ(state.outcome, FightOutcome::Won);
}

TEST_F(CombatMonsterTest, StrongDruidTurnsIntoTheTigerOnItsFirstTurn) {
    const int druid = add(MonsterStrongDruid, EnemySide);
    at(druid).hp = 10;
    EXPECT_EQ(turn(druid), "Druid zmienił się w Legendarny tygrys.\n");
    EXPECT_EQ(at(druid).def->id, MonsterLegendaryTiger);
    EXPECT_EQ(at(druid).hp, 299);
    EXPECT_TRUE(has(turn(druid), "Legendarny tygrys"));  // from then on, the tiger
}

TEST_F(CombatMonsterTest, CharmedAnimalsAndCalledHelpChangeTheSides) {
    world.location = LocationForest;
    const int druid = add(MonsterDruid, HeroSide);
    const int wolf = add(MonsterWolf, EnemySide);
    add(MonsterOgre, EnemySide, true);
    bool charmed = false;
    int trees = 0;
    for (int i = 0; i < 40 && !(charmed && trees > 0); ++i) {
        const std::string out = turn(druid);
        charmed = charmed || has(out, "Druid zauroczył Wilk.\n");
        trees += has(out, "Druid ożywia drzewo.\n");
    }
    ASSERT_TRUE(charmed);
    ASSERT_GT(trees, 0);
    EXPECT_EQ(at(wolf).side, HeroSide);
    EXPECT_EQ(state.enemiesLeft, 1);
    EXPECT_EQ(state.heroSideLeft, 3 + trees);
    const Combatant& tree = state.combatants.back();
    EXPECT_EQ(tree.def->id, MonsterAnimatedTree);
    EXPECT_EQ(tree.side, HeroSide);
    EXPECT_EQ(tree.hp, 66);
    EXPECT_TRUE(tree.initiative >= 0 && tree.initiative <= 19) << tree.initiative;

    // The mayor calls guards to his own side.
    world.location = LocationTown;
    const int mayor = add(MonsterMayor, EnemySide);
    const std::size_t before = state.combatants.size();
    int called = 0;
    for (int i = 0; i < 20; ++i) called += has(turn(mayor), "Burmistrz przywołuje strażnika.\n");
    ASSERT_GT(called, 0);
    EXPECT_EQ(state.enemiesLeft, 2 + called);
    ASSERT_EQ(state.combatants.size(), before + static_cast<std::size_t>(called));
    for (std::size_t i = before; i < state.combatants.size(); ++i) {
        EXPECT_TRUE(state.combatants[i].def->id == MonsterGuard || state.combatants[i].def->id == MonsterSergeant);
        EXPECT_EQ(state.combatants[i].side, EnemySide);
    }
}

TEST_F(CombatMonsterTest, MoraleFlight) {
    struct Case {
        int row;
        int hp;
        int morale;
        int location;
        bool pursued;  // a wolf (pace 10) on the hero's side
        const char* says;  // nullptr: it does not try to flee
    };
    const Case cases[] = {
        {MonsterOrc, 2, 0, LocationDungeon, false, nullptr},         // below a quarter: -2
        {MonsterOgre, 1, 0, LocationDungeon, false, "Ogr ucieka.\n"},  // below a tenth: -12
        {MonsterOgre, 1, 0, LocationDungeon, true, "Ogr próbuje uciec ale mu się nie udaje.\n"},
        {MonsterOgre, 1, 0, LocationTown, false, nullptr},           // nobody flees in the town
        {MonsterGhoul, 1, -20, LocationDungeon, false, nullptr},     // fearless
        {MonsterSergeant, 3, 0, LocationDungeon, false, nullptr},    // steadfast: -12 is not enough
        {MonsterSergeant, 3, -4, LocationDungeon, false, "Sierżant ucieka.\n"},  // -16
        {MonsterOgre, 26, -11, LocationDungeon, false, "Ogr ucieka.\n"},  // eleven of its side killed
        {MonsterOgre, 26, -10, LocationDungeon, false, nullptr},
    };
    for (const Case& c : cases) {
        state.combatants.resize(1);
        state.enemiesLeft = state.heroSideLeft = 1;
        state.outcome = FightOutcome::Running;
        state.heroKp = 100;
        world.location = c.location;
        const int m = add(c.row, EnemySide);
        if (c.pursued) add(MonsterWolf, HeroSide);
        state.enemiesLeft = 1;
        at(m).hp = c.hp;
        state.morale[EnemySide] = c.morale;
        const std::string out = turn(m);
        if (c.says == nullptr) {
            EXPECT_FALSE(has(out, "uciek") || has(out, "uciec")) << c.row << " " << out;
            continue;
        }
        EXPECT_EQ(out, c.says);
        const bool fled = !c.pursued;
        EXPECT_EQ(at(m).hp, fled ? FledMarker : c.hp);
        EXPECT_EQ(state.enemiesLeft, fled ? 0 : 1);
        EXPECT_EQ(state.outcome, fled ? FightOutcome::Won : FightOutcome::Running);
    }
}

TEST_F(CombatMonsterTest, AttacksStopWhenTheTargetFalls) {
    const int wyvern = add(MonsterWyvern, EnemySide);
    hero.hp = 1;
    hero.lastChances = 0;
    state.heroKp = -100;
    screen.type("k");
    monsterAttack(state, wyvern, 0);
    const std::string out = screen.transcript();
    EXPECT_TRUE(has(out, "{12} Umierasz!{7}\n\n(ok)")) << out;
    EXPECT_EQ(out.find("Wywern trafia cię"), out.rfind("Wywern trafia cię"));
    EXPECT_EQ(state.outcome, FightOutcome::Died);
    EXPECT_EQ(hero.lastHarm, MonsterWyvern);
    EXPECT_EQ(screen.keysQueued(), 0u);

    // A monster killed by another: its side loses morale and a fighter.
    state.outcome = FightOutcome::Running;
    const int rat = add(MonsterRat, HeroSide);
    const int ogre = add(MonsterOgre, EnemySide);
    screen.clearTranscript();
    while (state.alive(rat)) monsterAttack(state, ogre, rat);
    EXPECT_TRUE(has(screen.transcript(), "Ogr trafia Szczur i zadaje ")) << screen.transcript();
    EXPECT_TRUE(screen.transcript().ends_with(" punktów obrażeń. Szczur umiera.\n"));
    EXPECT_EQ(state.morale[HeroSide], -1);
    EXPECT_EQ(state.heroSideLeft, 1);  // the hero alone
}

TEST_F(CombatMonsterTest, WhatTakesTheSharpnessOffAHit) {
    // A rat's bite (1, or 2 on a critical) against a paladin's 5.
    const int rat = add(MonsterRat, EnemySide);
    const int paladin = add(MonsterPaladin, HeroSide);
    int hits = 0;
    for (int i = 0; i < 60; ++i) {
        screen.clearTranscript();
        monsterAttack(state, rat, paladin);
        hits += has(screen.transcript(), "Szczur trafia");
    }
    EXPECT_GT(hits, 0);
    EXPECT_EQ(at(paladin).hp, 43);

    // The hero's last chances, then damage reduction and the armour's bonus.
    const int ogre = add(MonsterOgre, EnemySide);  // 9-19
    state.heroKp = -100;
    hero.hp = 5;
    hero.lastChances = 2;
    screen.clearTranscript();
    monsterAttack(state, ogre, 0);
    monsterAttack(state, ogre, 0);
    EXPECT_EQ(screen.transcript(), "Udaje ci się uniknać ciosu!\nUdaje ci się uniknać ciosu!\n");
    EXPECT_EQ(hero.hp, 5);
    EXPECT_EQ(hero.lastChances, 0);
    hero.damageReduction = 15;
    hero.armour.bonus = 5;
    screen.clearTranscript();
    monsterAttack(state, ogre, 0);
    EXPECT_EQ(screen.transcript(), "Ogr trafia cię lecz nie zadaje żadnych obrażeń.\n");

    // "Uniki": the first attacker becomes the dodged one, and stays so.
    hero.feats = FeatDodge;
    const int goblin = add(MonsterGoblin, EnemySide);
    monsterAttack(state, ogre, 0);
    monsterAttack(state, goblin, 0);
    EXPECT_EQ(state.dodgeTarget, ogre);
}

TEST_F(CombatMonsterTest, PoisonedBites) {
    const int viper = add(MonsterViper, EnemySide);  // +5 1-4, medium poison
    state.heroKp = -100;
    const auto base = hero.attributes;
    // A hero who resists: d20 + resistance never falls below 15.
    hero.attributes[Con] = 40;
    for (int i = 0; i < 30; ++i) monsterAttack(state, viper, 0);
    EXPECT_EQ(hero.poison, 0);
    hero.attributes = base;
    screen.clearTranscript();
    for (int i = 0; i < 60 && hero.poison == 0; ++i) monsterAttack(state, viper, 0);
    ASSERT_GT(hero.poison, 0);
    ASSERT_LE(hero.poison, 2);
    EXPECT_TRUE(has(screen.transcript(), " punktów obrażeń.Czujesz się słabo, ulegasz zatruciu!\n\n"));
    EXPECT_EQ(hero.attributes[Str], base[Str] - hero.poison);
    EXPECT_EQ(hero.attributes[Con], base[Con] - hero.poison);
    EXPECT_EQ(hero.lastHarm, HarmPoison);
}

}  // namespace
}  // namespace kelvrin::test
