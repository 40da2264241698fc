#include <climits>

#include "support/game_test.h"
#include "support/test_hero.h"

#include "combat/combat_engine.h"
#include "data/feats.h"

namespace kelvrin::test {
namespace {

class CombatRulesTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        screen.setPaging(false);  // thousands of swings with no key between them
        makeTestHero();
        hero.improvedCritMask = 1u << 9;  // a rapier (9) threatens from 16 instead of 18
    }
    // A monster of the row that cannot die, as combatant 1.
    void against(int row) {
        state.combatants.assign(1, Combatant{0, 0, HeroSide, nullptr});
        state.addCreature(monsterRow(row), EnemySide, 0);
        state.combatants[1].hp = INT_MAX / 2;
    }
    // The damage of a swing sure to reach the target's KP; the transcript holds what it printed.
    int swing() {
        screen.clearTranscript();
        state.heroAttack = 1000;
        const int before = state.combatants[1].hp;
        heroSwing(state, 1, 0);
        return before - state.combatants[1].hp;
    }
    FightState state;
};

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
    against(MonsterZombie);                                       // 4
    state.addCreature(monsterRow(MonsterGriffon), EnemySide, 0);  // 6, flies 16
    state.addCreature(monsterRow(MonsterWolf), HeroSide, 0);      // 10
    EXPECT_EQ(pursuersPace(state, HeroSide), 16);
    state.combatants[2].hp = FledMarker;
    EXPECT_EQ(pursuersPace(state, HeroSide), 4);
    EXPECT_EQ(pursuersPace(state, EnemySide), 10);  // the hero never pursues
    state.combatants[3].hp = 0;
    EXPECT_EQ(pursuersPace(state, EnemySide), 0);
}

TEST_F(CombatRulesTest, DamageRulesOfTheTarget) {
    // Long sword (7) 3-10 slashing, club (2) 3-8 bludgeoning, rapier (9) 3-8 piercing, ×2 on a critical.
    const struct {
        int row, weapon, bonus, low, high;
    } cases[] = {
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

}  // namespace
}  // namespace kelvrin::test
