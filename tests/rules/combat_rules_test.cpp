#include <climits>

#include "support/game_test.h"
#include "support/test_hero.h"

#include "combat/combat_engine.h"
#include "core/random.h"
#include "data/feats.h"

namespace kelvrin::test {
namespace {

TEST(CombatRulesTest, SwingsAndDamageReductions) {
    for (auto [base, swings] : {std::pair{0, 0}, {1, 1}, {5, 1}, {6, 2}, {11, 3}}) EXPECT_EQ(heroSwings(base), swings);
    // Every reduction the weapon does not beat is taken off; the sign bits
    // of the low byte and of the whole word are ordinary bits.
    EXPECT_EQ(damageReductionAgainst(TraitReduction5 | TraitReduction20 | TraitSteadfast, 0), 25);
    EXPECT_EQ(damageReductionAgainst(TraitReduction20, 1), 0);
    EXPECT_EQ(damageReductionAgainst(monsterRow(MonsterBalor).traits, 2), 30);
    EXPECT_EQ(damageReductionAgainst(monsterRow(MonsterBalor).traits, 3), 0);
    EXPECT_EQ(damageReductionAgainst(monsterRow(MonsterTerrasque).traits, 4), 25);
    EXPECT_EQ(damageReductionAgainst(monsterRow(MonsterFireElemental).traits, 1), 10);
}

TEST(CombatRulesTest, EscapeChancesByPaceDifference) {
    seedRandom(7);
    const std::uint32_t before = randomState();
    EXPECT_TRUE(rollEscape(9, 6));
    EXPECT_TRUE(rollEscape(20, 0));
    EXPECT_FALSE(rollEscape(3, 6));
    EXPECT_FALSE(rollEscape(0, 16));
    EXPECT_EQ(randomState(), before) << "certain outcomes draw nothing";

    const std::pair<int, double> expected[] = {{2, 0.9}, {1, 0.75}, {0, 0.5}, {-1, 0.25}, {-2, 0.1}};
    for (auto [d, share] : expected) {
        int escaped = 0;
        for (int i = 0; i < 4000; ++i) escaped += rollEscape(6 + d, 6);
        EXPECT_NEAR(escaped / 4000.0, share, 0.03) << d;
    }
}

class CombatSwingTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        screen.setPaging(false);  // thousands of swings with no key between them
        makeTestHero();
        state.combatants.push_back(Combatant{0, 0, HeroSide, nullptr});
        state.heroSideLeft = 1;
    }
    // A monster of the row that cannot die, as combatant 1.
    void against(int row) {
        state.combatants.resize(1);
        state.enemiesLeft = 0;
        state.addCreature(monsterRow(row), EnemySide, 0);
        state.combatants[1].hp = INT_MAX / 2;
    }
    // Damage of one swing that is sure to reach the target's KP.
    int swingDamage() {
        state.heroAttack = 1000;
        const int before = state.combatants[1].hp;
        heroSwing(state, 1, 0);
        return before - state.combatants[1].hp;
    }
    FightState state;
};

TEST_F(CombatSwingTest, DamageRulesOfTheTarget) {
    // The test hero deals 3-10 with a long sword (slashing), 3-8 with a club
    // (bludgeoning); both +2 from SIŁ, plus the weapon's bonus.
    struct Case {
        int row;
        int weapon;
        int bonus;
        int low;
        int high;  // 0 and 0: never any damage
    };
    const Case cases[] = {
        {MonsterSkeleton, 7, 0, 1, 5},       // resists slashing: half
        {MonsterSkeleton, 2, 0, 3, 8},       // bludgeoning gets through
        {MonsterMummy, 7, 0, 0, 0},          // half, then DR 5
        {MonsterMummy, 7, 1, 2, 5},          // half; +1 beats DR 5
        {MonsterClayGolem, 7, 5, 0, 0},      // only bludgeoning harms it
        {MonsterClayGolem, 2, 1, 4, 9},      // +1 beats DR 20
        {MonsterStoneGolem, 7, 1, 0, 0},     // DR 30 needs +2
        {MonsterStoneGolem, 7, 2, 5, 12},
        {MonsterShadow, 7, 0, 0, 0},         // incorporeal: a plain weapon passes through
        {MonsterShadow, 7, -1, 2, 9},        // a cursed one harms it
    };
    for (const Case& c : cases) {
        hero.weapon = ItemSlot{c.weapon, KindWeapon, 0, c.bonus, Identified};
        against(c.row);
        int low = INT_MAX, high = INT_MIN;
        for (int i = 0; i < 300; ++i) {
            const int damage = swingDamage();
            low = std::min(low, damage);
            high = std::max(high, damage);
        }
        EXPECT_EQ(low, c.low) << c.row << " " << c.weapon << " " << c.bonus;
        EXPECT_EQ(high, c.high) << c.row << " " << c.weapon << " " << c.bonus;
    }
    screen.clearTranscript();
    hero.weapon = ItemSlot{7, KindWeapon, 0, 0, Identified};
    against(MonsterShadow);
    swingDamage();
    EXPECT_EQ(screen.transcript(),
              "Twoja broń przenika przez wroga jak przez powietrze.\n"
              "Trafiasz wroga lecz nie zadajesz żadnych obrażeń.\n");
}

TEST_F(CombatSwingTest, InvisibleAndBlinkingTargetsMissOutright) {
    const struct {
        int row;
        bool blindFight;
        const char* miss;
        double share;
    } cases[] = {
        {MonsterInvisibleStalker, false, "Atakujesz na ślepo, nie trafiasz wroga.\n", 0.5},
        {MonsterInvisibleStalker, true, "Atakujesz na ślepo, nie trafiasz wroga.\n", 0.25},
        {MonsterDisplacerBeast, false, "Atakujesz wroga, lecz on znika.\n", 0.25},
        {MonsterDisplacerBeast, true, "Atakujesz wroga, lecz on znika.\n", 0.25},
    };
    for (const auto& c : cases) {
        hero.feats = c.blindFight ? std::uint32_t{FeatBlindFight} : 0u;
        against(c.row);
        int misses = 0;
        constexpr int swings = 2000;
        for (int i = 0; i < swings; ++i) {
            screen.clearTranscript();
            if (swingDamage() == 0) {
                EXPECT_EQ(screen.transcript(), c.miss);
                ++misses;
            }
        }
        EXPECT_NEAR(misses / double(swings), c.share, 0.035) << c.row << " " << c.blindFight;
    }
}

TEST_F(CombatSwingTest, CriticalsMultiplyUnlessTheTargetIsImmune) {
    // A rapier threatens from 18; with Improved Critical from 16.
    hero.weapon = ItemSlot{9, KindWeapon, 0, 0, Identified};
    hero.improvedCritMask = 1u << 9;
    against(MonsterOgre);
    int crits = 0, high = 0;
    for (int i = 0; i < 2000; ++i) {
        screen.clearTranscript();
        high = std::max(high, swingDamage());
        crits += screen.transcript().find("Trafiasz krytycznie Ogr") != std::string::npos;
    }
    EXPECT_NEAR(crits / 2000.0, 0.25, 0.03);
    EXPECT_EQ(high, 16);  // (1-6 + 2) × 2
    against(MonsterGhoul);
    for (int i = 0; i < 500; ++i) EXPECT_LE(swingDamage(), 8);
}

TEST_F(CombatSwingTest, PursuersArePacedByTheFastestLivingMonster) {
    against(MonsterZombie);  // 4
    state.addCreature(monsterRow(MonsterGriffon), EnemySide, 0);  // 6, flies 16
    state.addCreature(monsterRow(MonsterWolf), HeroSide, 0);      // 10, but on the hero's side
    EXPECT_EQ(pursuersPace(state, HeroSide), 16);
    state.combatants[2].hp = FledMarker;
    EXPECT_EQ(pursuersPace(state, HeroSide), 4);
    // A fleeing enemy is chased by the hero's monsters, never by the hero.
    EXPECT_EQ(pursuersPace(state, EnemySide), 10);
    state.combatants[3].hp = 0;
    EXPECT_EQ(pursuersPace(state, EnemySide), 0);
}

}  // namespace
}  // namespace kelvrin::test
