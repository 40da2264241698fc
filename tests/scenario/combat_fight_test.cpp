#include "support/game_test.h"
#include "support/test_hero.h"

#include "character/derived_values.h"
#include "combat/combat_engine.h"
#include "combat/combat_screen.h"
#include "data/feats.h"
#include "items/potions.h"

namespace kelvrin::test {
namespace {

class CombatFightTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        makeTestHero();
        world.location = LocationDungeon;
    }
    // Runs a fight with the keys; the result, or 0 when the keys ran out.
    int run(const std::vector<int>& rows, const std::string& keys, const MonsterList& companions = {}) {
        screen.type(keys);
        int result = 0;
        runUntilInputEnds([&] { result = fight(monsterList(rows), companions, 0); });
        return result;
    }
    void expectStatusBarOnTop() {
        EXPECT_EQ(screen.rowText(0).rfind("Testowy pw:", 0), 0u) << screen.rowText(0);
        for (int c = 0; c < StatusBarWidth; ++c) EXPECT_EQ(screen.attrAt(0, c), ColourHint) << c;
    }
    // Out of reach of a rat: even its critical hits miss.
    void untouchable() {
        hero.shield.bonus = 60;
        hero.maxHp = hero.hp = 100;
    }
};

TEST_F(CombatFightTest, AWonFightKeepsItsStatusBarAboveTheScrollingMessages) {
    hero.maxHp = hero.hp = 100;
    // At every key wait of the fight the bar is on the top row, however
    // many messages went by below it.
    int waits = 0;
    int barMissing = 0;
    screen.setBeforeKey([&] {
        if (!world.inCombat) return;
        ++waits;
        if (screen.rowText(0).rfind("Testowy pw:", 0) != 0 || screen.attrAt(0, 79) != ColourHint) ++barMissing;
    });
    EXPECT_EQ(run({MonsterRat}, std::string(30, 'c') + std::string(30, 'f')), FightWon);
    screen.setBeforeKey({});
    const std::string& out = screen.transcript();
    EXPECT_EQ(count(out, "Szczur umiera.\n"), 1);
    EXPECT_GE(world.combatRound, 31);
    EXPECT_GE(waits, 31);
    EXPECT_EQ(barMissing, 0);
    EXPECT_GT(count(out, "\n"), 30);
    EXPECT_FALSE(world.inCombat);
    // After the fight the whole screen scrolls again.
    for (int i = 0; i < 30; ++i) print("linia %d\n", i);
    EXPECT_EQ(screen.rowText(0), "linia 6");
}

TEST_F(CombatFightTest, FleeingFromSlowAndFromFlyingPursuers) {
    hero.feats = FeatRun;  // pace 7 against a zombie's 4: sure to escape
    EXPECT_EQ(run({MonsterZombie, MonsterZombie}, "uk"), FightFled);
    EXPECT_TRUE(screen.transcript().ends_with("Uciekłeś z walki.\n\n(ok)")) << screen.transcript();
    EXPECT_EQ(screen.keysQueued(), 0u);

    // A griffon flies at 16: no escape. The input ends in the middle of a
    // rage, and the hero is still given back as he was.
    makeTestHero();
    hero.maxHp = hero.hp = 500;
    hero.ragesLeft = hero.ragesPerDay = 1;
    const auto attributes = hero.attributes;
    screen.clearTranscript();
    EXPECT_EQ(run({MonsterGriffon}, "suuu"), 0);
    EXPECT_EQ(count(screen.transcript(), "Próbujesz uciec ale ci się nie udaje.\n"), 3);
    EXPECT_EQ(hero.attributes, attributes);
    EXPECT_EQ(hero.maxHp, 500);
    EXPECT_LE(hero.hp, 500);
    EXPECT_EQ(hero.kpModifier, 0);
    EXPECT_FALSE(world.inCombat);
}

TEST_F(CombatFightTest, TheHerosDeath) {
    hero.hp = 1;
    hero.lastChances = 0;
    EXPECT_EQ(run({MonsterOgre}, std::string(30, 'c') + "\x01"), FightDied);
    const std::string& out = screen.transcript();
    EXPECT_EQ(count(out, "Ogr trafia cię"), 1);
    EXPECT_TRUE(out.ends_with(" punktów obrażeń.{12} Umierasz!{7}\n\n(ok)")) << out;
    EXPECT_EQ(hero.lastHarm, MonsterOgre);
    EXPECT_FALSE(world.inCombat);
}

TEST_F(CombatFightTest, LastChancesAbsorbACriticalKillingBlow) {
    // Only a rat's critical (2 Pw) can bring 2 Pw to 0, and only a
    // critical reaches KP 37.
    hero.shield.bonus = 20;
    ASSERT_EQ(armourClass(), 37);
    hero.hp = 2;
    hero.lastChances = 1;
    EXPECT_EQ(run({MonsterRat}, std::string(1000, 'c') + "\x01"), FightDied);
    const std::string& out = screen.transcript();
    const std::size_t saved = out.find("Udaje ci się uniknać ciosu!\n");
    ASSERT_NE(saved, std::string::npos);
    EXPECT_EQ(count(out, "Udaje ci się uniknać ciosu!"), 1);
    EXPECT_EQ(count(out, "Szczur trafia cię i"), 0);
    EXPECT_GT(out.find("Szczur trafia cię krytycznie i zadaje {12}2{7} punktów obrażeń.{12} Umierasz!"), saved);
    EXPECT_EQ(hero.lastChances, 0);
}

TEST_F(CombatFightTest, RageAndItsFatigueByLevel) {
    struct Case {
        int level;
        int bonus;        // to SIŁ and KON
        int hpPerLevel;
        bool fatigue;
        const char* lastRefusal;  // "s" pressed once the rage is over
    };
    const Case cases[] = {
        {1, 4, 2, true, "Nie możesz wpaść w szał, jesteś zmęczony.\n"},
        {15, 6, 3, true, "Nie możesz wpaść w szał, jesteś zmęczony.\n"},
        {20, 6, 3, false, "Wpadasz w szał bojowy! Możesz wpaść w szał jeszcze 0 razy.\n"},
    };
    for (const Case& c : cases) {
        makeTestHero();
        untouchable();
        hero.level = c.level;
        hero.ragesLeft = 2;
        hero.ragesPerDay = 2;
        const Hero before = hero;
        std::vector<Hero> seen;
        screen.setBeforeKey([&] {
            // A save written now would hold the hero as the fight will leave him.
            Hero saved = hero;
            for (int a = 0; a < AttributeCount; ++a) saved.attributes[a] -= world.fightChanges.attributes[a];
            saved.hp -= world.fightChanges.hp;
            saved.maxHp -= world.fightChanges.maxHp;
            EXPECT_EQ(saved.attributes, before.attributes) << c.level << " key " << seen.size();
            EXPECT_EQ(saved.maxHp, before.maxHp);
            EXPECT_EQ(saved.hp, before.hp);
            seen.push_back(hero);
        });
        screen.clearTranscript();
        // KON 12 raised by the bonus: modifier 3 or 4, and 3 more rounds.
        const int rounds = (12 + c.bonus - 10) / 2 + 3;
        EXPECT_EQ(run({MonsterRat}, "ss" + std::string(static_cast<std::size_t>(rounds), 'c') + "suk"), FightFled)
            << c.level;
        screen.setBeforeKey(nullptr);
        ASSERT_EQ(seen.size(), static_cast<std::size_t>(rounds) + 5);
        const std::string& out = screen.transcript();
        EXPECT_TRUE(out.find("Wpadasz w szał bojowy! Możesz wpaść w szał jeszcze 1 razy.\nJuż wpadłeś w szał bojowy.\n") !=
                    std::string::npos) << out;
        EXPECT_NE(out.find(c.lastRefusal, out.find("Już wpadłeś")), std::string::npos) << c.level;

        for (int i = 1; i <= rounds + 1; ++i) {  // raging from the "s" to the last of its rounds
            const Hero& h = seen[static_cast<std::size_t>(i)];
            EXPECT_EQ(h.attributes[Str], before.attributes[Str] + c.bonus) << c.level << " " << i;
            EXPECT_EQ(h.attributes[Con], before.attributes[Con] + c.bonus);
            EXPECT_EQ(h.maxHp, before.maxHp + c.hpPerLevel * c.level);
            EXPECT_EQ(h.hp, before.hp + c.hpPerLevel * c.level);
            EXPECT_EQ(h.kpModifier, -2);
        }
        const Hero& after = seen[static_cast<std::size_t>(rounds) + 2];  // the rage is over
        EXPECT_EQ(after.attributes[Str], before.attributes[Str] - (c.fatigue ? 2 : 0)) << c.level;
        EXPECT_EQ(after.attributes[Dex], before.attributes[Dex] - (c.fatigue ? 2 : 0));
        EXPECT_EQ(after.attributes[Con], before.attributes[Con]);
        EXPECT_EQ(after.maxHp, before.maxHp);
        EXPECT_EQ(after.kpModifier, 0);
        // After the fight neither rage nor fatigue is left.
        EXPECT_EQ(hero.attributes, before.attributes) << c.level;
        EXPECT_EQ(hero.maxHp, before.maxHp);
        EXPECT_EQ(hero.hp, before.hp);
        EXPECT_EQ(hero.kpModifier, 0);
        EXPECT_EQ(world.fightChanges.attributes, (std::array<int, AttributeCount>{}));
        EXPECT_EQ(world.fightChanges.hp, 0);
    }
    // No rage in heavy armour; no message at all for a hero without rages.
    makeTestHero();
    untouchable();
    hero.armour = ItemSlot{10, KindArmour, 0, 0, Identified};
    hero.ragesLeft = hero.ragesPerDay = 1;
    screen.clearTranscript();
    run({MonsterRat}, "s");
    EXPECT_EQ(count(screen.transcript(), "Nie możesz wpaść w szał bojowy jeśli masz na sobie ciężką zbroję.\n"), 1);
    hero.ragesLeft = hero.ragesPerDay = 0;
    screen.clearTranscript();
    run({MonsterRat}, "s");
    EXPECT_EQ(count(screen.transcript(), "szał"), 0);
}

TEST_F(CombatFightTest, CleaveAndGreatCleave) {
    untouchable();
    hero.weapon.bonus = 40;  // every swing hits and kills a rat
    hero.feats = FeatPowerAttack | FeatCleave;
    EXPECT_EQ(run({MonsterRat, MonsterRat, MonsterRat, MonsterRat}, "f"), 0);
    EXPECT_EQ(count(screen.transcript(), "Rozszczepienie: "), 1);
    EXPECT_EQ(count(screen.transcript(), "Szczur umiera.\n"), 2);

    hero.feats |= FeatGreatCleave;
    screen.clearTranscript();
    EXPECT_EQ(run({MonsterRat, MonsterRat, MonsterRat, MonsterRat}, "fk"), FightWon);  // k: the rewards' (ok)
    EXPECT_EQ(count(screen.transcript(), "Rozszczepienie: Trafiasz "), 3);
    EXPECT_EQ(count(screen.transcript(), "Szczur umiera.\n"), 4);
}

TEST_F(CombatFightTest, TargetsHelpAndKeysThatDoNotUseTheTurn) {
    untouchable();
    const std::string list = "\nWybierz cel: (0-anuluj)\n1) Goblin\n2) Goblin\n";
    EXPECT_EQ(run({MonsterGoblin, MonsterGoblin}, "xpwd" "a3\n-1\n0\n" "?k"), 0);
    const std::string& out = screen.transcript();
    EXPECT_EQ(count(out, list), 3);
    EXPECT_NE(out.find("{clear}DOSTĘPNE KOMENDY:\na - atakuj\nf - walcz (nie wybieraj celu)\nu - uciekaj\n"
                       "e - ekwipunek\nc - czekaj\np - potężny atak (atut)\nw - wyspecjalizowanie (atut)\n"
                       "s - szał (zdolność)\nd - uniki (atut)\n\n(ok){clear}\n{clear}"),
              std::string::npos)
        << out;
    // Nothing happened in the fight: still the first round, no swing made.
    EXPECT_EQ(world.combatRound, 1);
    EXPECT_EQ(count(out, "Trafiasz"), 0);
    expectStatusBarOnTop();
    EXPECT_TRUE(screen.rowText(0).starts_with("Testowy pw:100/100 exp:0/1000 złoto:50 runda:1 komendy:afuec?"))
        << screen.rowText(0);
    EXPECT_NE(screen.cursorRow(), 0);
}

TEST_F(CombatFightTest, AnAntidoteDrunkInTheMiddleOfAFight) {
    untouchable();
    const auto attributes = hero.attributes;
    setPoison(2);
    hero.inventory[0] = ItemSlot{1, KindPotion, 0, 0, Identified};
    screen.clearTranscript();
    EXPECT_EQ(run({MonsterRat}, "eu1\nkx"), 0);
    EXPECT_NE(screen.transcript().find("Wypijasz Antidotum +?. Czujesz się lepiej. Już nie jesteś zatruty.\n"),
              std::string::npos);
    EXPECT_EQ(hero.poison, 0);
    EXPECT_EQ(hero.attributes, attributes);
    EXPECT_TRUE(hero.inventory[0].empty());
    expectStatusBarOnTop();
}

TEST_F(CombatFightTest, CompanionsByStoryAndPlace) {
    untouchable();
    world.set(PaladinCompanion);
    world.location = LocationCrypt;
    screen.type("c");
    runUntilInputEnds([] { fightWithCompanions(monsterList({MonsterZombie}), -10); });
    // The paladin fights: it either turns the zombie, heals or strikes.
    EXPECT_NE(screen.transcript().find("Paladyn "), std::string::npos) << screen.transcript();
    world.location = LocationDungeon;
    screen.clearTranscript();
    screen.type(std::string(5, 'c'));
    runUntilInputEnds([] { fightWithCompanions(monsterList({MonsterZombie}), 0); });
    EXPECT_EQ(screen.transcript().find("Paladyn "), std::string::npos);
}

}  // namespace
}  // namespace kelvrin::test
