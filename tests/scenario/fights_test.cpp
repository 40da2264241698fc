// Fights and what they leave: the combat screen, the rewards and the loot.
#include "support/scenario.h"

#include "character/derived_values.h"
#include "combat/combat_engine.h"
#include "combat/combat_screen.h"
#include "combat/encounters.h"
#include "combat/rewards.h"
#include "core/utf8.h"
#include "data/item_tables.h"
#include "items/inventory.h"
#include "world/town.h"

namespace kelvrin::test {
namespace {

class FightTest : public ScenarioTest {
protected:
    void SetUp() override {
        ScenarioTest::SetUp();
        world.location = LocationDungeon;
    }
    // A fight with the keys, from a fresh transcript; the result, or 0 when the keys ran out.
    int run(const std::vector<int>& rows, const std::string& keys) {
        int result = 0;
        play([&] { result = fight(monsterList(rows), {}, 0); }, keys);
        return result;
    }
    // Out of a rat's reach, and killing one a swing.
    static void ratSlayer() {
        hero.shield.bonus = 60;
        hero.weapon.bonus = 40;
    }
};

// At every key wait the bar holds the top row; too long, it loses its blanks, the name's end, then the figures' end.
TEST_F(FightTest, TheStatusBarHoldsTheTopRowAndAFlightEndsTheFight) {
    std::vector<std::string> bars;
    int plainEnds = 0;
    screen.setBeforeKey([&] {
        if (!world.inCombat) return;
        bars.push_back(screen.rowText(0));
        plainEnds += screen.attrAt(0, 79) != ColourHint;
    });
    hero.name = "Testowy z Zamościa";
    // Pace 7 against 4: sure to escape.
    hero.feats = FeatRun | FeatPowerAttack | FeatExpertise | FeatDodge;
    hero.ragesPerDay = 1;
    EXPECT_EQ(run({MonsterZombie}, "uk"), FightFled);
    EXPECT_TRUE(screen.transcript().ends_with("Uciekłeś z walki.\n\n(ok)"));
    makeTestHero();
    hero.maxHp = hero.hp = 100;
    EXPECT_EQ(run({MonsterRat}, std::string(30, 'c') + std::string(30, 'f')), FightWon);
    screen.setBeforeKey({});
    ASSERT_GE(bars.size(), 32u);
    EXPECT_EQ(std::tuple(bars[0], bars[1], plainEnds),
              std::tuple("Testowy z Zamościa pw:13/13 exp:0/1000 złoto:50 runda:1 komendy:afuecpwsd?",
                         "Testowy pw:100/100 exp:0/1000 złoto:50 runda:1 komendy:afuec?", 0));
    for (std::size_t i = 2; i < bars.size(); ++i) EXPECT_TRUE(bars[i].starts_with("Testowy pw:")) << bars[i];
    for (int i = 0; i < 30; ++i) print("linia %d\n", i);
    EXPECT_EQ(screen.rowText(0), "linia 6") << "after the fight the whole screen scrolls";
    makeTestHero();
    world.combatRound = 3;
    EXPECT_EQ(statusBarText(), "Testowy pw:13/13 exp:0/1000 złoto:50 runda:3 komendy:afuec?     ");
    hero.feats = FeatExpertise | FeatDodge | FeatPowerAttack;
    hero.ragesPerDay = 1;
    hero.xp = 2000000000;
    hero.gold = 2000000000;
    EXPECT_EQ(statusBarText(), "Testowy pw:13/13 exp:2000000000/1000 złoto:2000000000 runda:3 komendy:afuecpwsd?");
    hero.name = "Żółćżółćżółćżółć Gęślą Jaźń Wi";  // 30 letters
    EXPECT_EQ(statusBarText(), "Żółćżół pw:13/13 exp:2000000000/1000 złoto:2000000000 runda:3 komendy:afuecpwsd?");
    hero.xpNext = 2000000000;
    world.combatRound = 12345;
    EXPECT_EQ(statusBarText(), "pw:13/13 exp:2000000000/2000000000 złoto:2000000000 runda:12345 komendy:afuecpws");
    const auto cursor = std::pair(screen.cursorRow(), screen.cursorColumn());
    drawStatusBar();
    for (int c = 0; c < StatusBarWidth; ++c) EXPECT_EQ(screen.attrAt(0, c), ColourHint) << c;
    EXPECT_EQ(std::tuple(screen.rowText(0), std::pair(screen.cursorRow(), screen.cursorColumn())),
              std::tuple(statusBarText(), cursor)) << "the bar leaves the cursor";
}

TEST_F(FightTest, TargetsHelpAndKeysThatDoNotUseTheTurn) {
    untouchable();
    EXPECT_EQ(run({MonsterGoblin, MonsterGoblin}, "xpwd" "a3\n-1\n0\n" "?k"), 0);
    EXPECT_EQ(seen("\nWybierz cel: (0-anuluj)\n1) Goblin\n2) Goblin\n"), 3);
    EXPECT_TRUE(said("{clear}DOSTĘPNE KOMENDY:\na - atakuj\nf - walcz (nie wybieraj celu)\nu - uciekaj\n"
                     "e - ekwipunek\nc - czekaj\np - potężny atak (atut)\nw - wyspecjalizowanie (atut)\n"
                     "s - szał (zdolność)\nd - uniki (atut)\n\n(ok){clear}\n{clear}"));
    // Still the hero's first turn, with the cursor below the bar.
    EXPECT_TRUE(screen.rowText(0).starts_with("Testowy pw:100/100 exp:0/1000 złoto:50 runda:1 komendy:afuec?"));
    EXPECT_NE(screen.cursorRow(), 0);
    // The last of the list is a target too; a hurt troll closes its wounds on its own turn.
    hero.baseAttack = hero.attackPool = 5;  // one swing a turn
    seedRandom(3);  // the troll is listed last, and hit
    run({MonsterGoblin, MonsterTroll}, "a2\n");
    EXPECT_EQ(std::pair(seen("2) Troll\n2\nTrafiasz Troll i"), seen("Rany które otrzymał Troll, zasklepiają się.\n")),
              std::pair(1, 1));
}

TEST_F(FightTest, TheSheetWithItsHintBoxAndKeys) {
    // The town's "s" shows it; the box's lines are 22 letters, not bytes.
    play(townScreen, "sk");
    const char* lines[] = {"e - ekwipunek         ", "p - potężny atak      ", "w - wyspecjalizowanie "};
    for (int r = 0; r < 3; ++r) {
        std::string box;
        for (int c = HintBoxColumn; c < HintBoxColumn + HintBoxWidth; ++c) appendUtf8(box, screen.charAt(r, c));
        EXPECT_EQ(box, lines[r]);
        for (int c = HintBoxColumn - 1; c < 80; ++c)
            EXPECT_EQ(screen.attrAt(r, c), c < HintBoxColumn ? ColourNormal : ColourHint) << r << "," << c;
    }
    // Without the feat the refusal and the next key back; with it its settings; "e": the inventory, and its key back.
    int key = 0;
    for (const auto& [feats, keys, last, shown] :
         {std::tuple<std::uint32_t, const char*, int, const char*>{0, "pq", 'q', "Nie masz atutu Potężny atak.\n"},
          {0, "wb", 'b', "Nie masz atutu Wyspecjalizowanie.\n"},
          {FeatPowerAttack | FeatExpertise, "p1\nw0\nm", 'm', "Ustawienia atutu Wyspecjalizowanie."},
          {FeatPowerAttack | FeatExpertise, "ex", 'e', "EKWIPUNEK"}}) {
        hero.feats = feats;
        EXPECT_FALSE(play([&] { key = characterSheetWithHints(); }, keys));
        EXPECT_EQ(std::pair(key, said(shown)), std::pair(last, true)) << shown;
    }
    EXPECT_EQ(hero.powerAttack, 1);
}

// A griffon flies at 16: no escape; input ending in the middle of a rage still gives the hero back as he was.
TEST_F(FightTest, RageAndItsFatigueByLevelAndARageCutShortIsUndone) {
    hero.maxHp = hero.hp = 500;
    hero.ragesLeft = hero.ragesPerDay = 1;
    const auto attributes = hero.attributes;
    EXPECT_EQ(run({MonsterGriffon}, "suuu"), 0);
    EXPECT_EQ(seen("Próbujesz uciec ale ci się nie udaje.\n"), 3);
    EXPECT_EQ(std::tuple(hero.attributes, hero.maxHp, hero.kpModifier, world.inCombat),
              std::tuple(attributes, 500, 0, false));
    // "ss", a wait a round of rage (3 + KON modifier) and of fatigue, "s", "u", "(ok)". Before each key: R raging,
    // T tired, - as before, ! when a save written then would not hold the hero as the fight leaves him.
    for (auto [level, bonus, hpPerLevel, trace, lastAnswer] :
         {std::tuple{1, 4, 2, "-RRRRRRRTT-", "Nie możesz wpaść w szał, jesteś zmęczony.\n"},
          {15, 6, 3, "-RRRRRRRRTT-", "Nie możesz wpaść w szał, jesteś zmęczony.\n"},
          {20, 6, 3, "-RRRRRRRR-R-", "Wpadasz w szał bojowy! Możesz wpaść w szał jeszcze 0 razy.\n"}}) {
        makeTestHero();
        untouchable();
        hero.level = level;
        hero.ragesLeft = hero.ragesPerDay = 2;
        const Hero before = hero;
        const int gain = hpPerLevel * level;
        std::string trail;
        screen.setBeforeKey([&, bonus = bonus] {
            const FightChanges& fc = world.fightChanges;
            const std::array now{hero.attributes[Str] - before.attributes[Str],
                                 hero.attributes[Dex] - before.attributes[Dex],
                                 hero.attributes[Con] - before.attributes[Con], hero.maxHp - before.maxHp,
                                 hero.hp - before.hp, hero.kpModifier};
            if (now != std::array{fc.attributes[Str], fc.attributes[Dex], fc.attributes[Con], fc.maxHp, fc.hp, now[5]})
                trail += '!';
            else if (now == std::array{bonus, 0, bonus, gain, gain, -2}) trail += 'R';
            else if (now == std::array{-2, -2, 0, 0, 0, 0}) trail += 'T';
            else trail += now == std::array{0, 0, 0, 0, 0, 0} ? '-' : '?';
        });
        EXPECT_EQ(run({MonsterRat}, "ss" + std::string(std::string_view(trace).size() - 5, 'c') + "suk"), FightFled);
        screen.setBeforeKey(nullptr);
        EXPECT_EQ(trail, trace) << level;
        const std::string& out = screen.transcript();
        EXPECT_TRUE(has(out, "Wpadasz w szał bojowy! Możesz wpaść w szał jeszcze 1 razy.\n"
                             "Już wpadłeś w szał bojowy.\n"));
        EXPECT_NE(out.find(lastAnswer, out.find("Już wpadłeś")), std::string::npos) << level;
    }
    hero.armour = ItemSlot{10, KindArmour, 0, 0, Identified};  // no rage in heavy armour; no word of it without rages
    for (int rages : {1, 0}) {
        hero.ragesLeft = hero.ragesPerDay = rages;
        run({MonsterRat}, "s");
        EXPECT_EQ(seen(rages ? "Nie możesz wpaść w szał bojowy jeśli masz na sobie ciężką zbroję.\n" : "szał"), rages);
    }
}

TEST_F(FightTest, ALastChanceAbsorbsAKillingBlowThenTheHeroDies) {
    hero.shield.bonus = 20;  // only a rat's critical (2 Pw) reaches KP 37, and it kills 2 Pw
    ASSERT_EQ(armourClass(), 37);
    hero.hp = 2;
    hero.lastChances = 1;
    EXPECT_EQ(run({MonsterRat}, std::string(1000, 'c') + "\x01"), FightDied);
    EXPECT_TRUE(screen.transcript().ends_with(
        "Szczur trafia cię krytycznie i zadaje {12}2{7} punktów obrażeń.{12} Umierasz!{7}\n\n(ok)"));
    EXPECT_EQ(std::tuple(seen("Udaje ci się uniknać ciosu!\n"), seen("Szczur trafia cię i"), hero.lastChances,
                         hero.lastHarm), std::tuple(1, 0, 0, int(MonsterRat)));
}

TEST_F(FightTest, CleaveOnceATurnGreatCleaveOnAndOn) {
    ratSlayer();
    hero.feats = FeatPowerAttack | FeatCleave;
    EXPECT_EQ(run({MonsterRat, MonsterRat, MonsterRat, MonsterRat}, "f"), 0);
    EXPECT_EQ(seen("Szczur umiera.\n"), 2);
    hero.feats |= FeatGreatCleave;
    EXPECT_EQ((std::pair{run({MonsterRat, MonsterRat, MonsterRat, MonsterRat}, "fk"),
                         seen("Rozszczepienie: Trafiasz ")}),
              std::pair(int(FightWon), 3));  // k: the rewards' (ok)
}

// The paladin fights in the crypt only; after an ambush the enemies mostly strike first, after a surprise mostly not.
TEST_F(FightTest, CompanionsAndTheMeetingDecideWhoActsFirst) {
    untouchable();
    world.set(PaladinCompanion);
    for (auto [location, joins] : {std::pair{LocationCrypt, true}, {LocationDungeon, false}}) {
        world.location = location;
        // He acts in the first round; the golem's KP 30 is out of his reach but for a natural 20.
        play([] { fightWithCompanions(monsterList({MonsterIronGolem}), -10); }, "c");
        EXPECT_EQ(said("Paladyn próbuje zaatakować Żelazny golem lecz nie trafia.\n"), joins) << location;
    }
    world.storyFlags = 0;
    std::array<int, 2> fights{}, enemiesFirst{};  // after an ambush, after a surprise
    for (std::uint32_t seed = 1; seed < 3000 && std::min(fights[0], fights[1]) < 30; ++seed) {
        seedRandom(seed);
        bool first = false;
        screen.setBeforeKey([&] { first = first || (world.inCombat && seen(" cię") > 0); });
        play([] { randomEncounter(HabitatForest, 0); }, "t");  // yes to a surprise; the first command ends the input
        for (int m : {0, 1}) {
            if (said(m ? "Zauważyłeś przeciwnika, on ciebie nie. To " : "Czujesz ciarki")) {
                ++fights[m];
                enemiesFirst[m] += first;
            }
        }
    }
    screen.setBeforeKey({});
    ASSERT_GE(std::min(fights[0], fights[1]), 30);
    EXPECT_GE(enemiesFirst[0] * 10, fights[0] * 8) << enemiesFirst[0] << " of " << fights[0];
    EXPECT_LE(enemiesFirst[1] * 10, fights[1] * 2) << enemiesFirst[1] << " of " << fights[1];
}

const std::string LootPrompt = "Co chcesz zrobić (liczba - podnieś, e - ekwipunek, p - podnieś wszystko, w - odejdź\n";

ItemSlot gem(int row) { return ItemSlot{row, KindGem, 0, 0, Identified}; }

TEST_F(FightTest, AWonFightShowsTheExperienceThenTheLootAndDyingInItIsADeath) {
    ratSlayer();
    hero.xp = 990;
    EXPECT_EQ(run({MonsterRat}, "fk"), FightWon);
    EXPECT_TRUE(screen.transcript().ends_with(
        "Szczur umiera.\nZdobyłeś {10}37{7} doświadczenia. Możesz awansować na 2 poziom.\n\n(ok)"));
    // An event fight leaves the crystal; taking it ends the loot screen.
    world.dungeonEventFight = true;
    EXPECT_EQ(run({MonsterRat}, "fk1\n"), FightWon);
    EXPECT_EQ(seen("Znalazłeś 1 przedmiotów.\n\n(ok){clear}" + LootPrompt + "1) Kryształ (Waga: 0.1 kg)\n"), 1);
    EXPECT_EQ(std::tuple(hero.inventory[0], world.dungeonEventFight, world.killCounts[MonsterRat]),
              std::tuple(gem(CrystalRow), false, 2));
    // A spoiled elixir of health drunk from the loot's inventory ends the fight as a death.
    hero.maxHp = hero.hp = 1;
    world.dungeonEventFight = true;
    hero.inventory[0] = ItemSlot{4, KindPotion, 0, 0, Identified | StrengthKnown};
    EXPECT_EQ(run({MonsterRat}, "fk" "e\n" "u1\n" "k"), FightDied);
    EXPECT_EQ(std::pair(hero.hp < 1, screen.keysQueued()), std::pair(true, std::size_t{0}));
}

TEST_F(FightTest, GoldFoundIsTheTotalOfAllEnemiesAndIsPaid) {
    std::vector<Combatant> combatants{Combatant{0, 0, HeroSide, nullptr}};
    const std::vector<int> rows{MonsterKobold, MonsterGoblin, MonsterKobold, MonsterOgre};
    for (int row : rows) combatants.push_back(Combatant{0, 0, EnemySide, &monsterRow(row)});
    combatants.push_back(Combatant{0, 0, EnemySide, &monsterRow(MonsterRat)});             // no loot
    combatants.push_back(Combatant{FledMarker, 0, EnemySide, &monsterRow(MonsterOgre)});  // took it along
    seedRandom(77);  // 579 gold and two items, none of them the fled ogre's
    EXPECT_FALSE(play([&] { EXPECT_FALSE(awardFight(combatants, false, true)); }, "kw\n"));
    EXPECT_EQ(seen("Znalazłeś {14}579{7} złota.\nZnalazłeś 2 przedmiotów.\n\n(ok)"), 1);
    EXPECT_EQ(hero.gold, 629);
    // Outside a fight; without the gold bit, no gold.
    EXPECT_FALSE(play([] { treasureFind(1, LootGold); }, "k"));
    EXPECT_EQ(screen.transcript(), "Znalazłeś {14}619{7} złota.\n\n(ok)");
    const int before = hero.gold;
    EXPECT_FALSE(play([] { treasureFind(12, LootItem | LootGems); }, "kp\n"));
    EXPECT_EQ(std::pair(hero.gold, hero.inventory[0].empty()), std::pair(before, false));
}

TEST_F(FightTest, LootTakeLeaveAndRefuse) {
    LootList list{ItemSlot{LongSwordRow, KindWeapon, 0, 0, Identified},
                  ItemSlot{HealingPotionRow, KindPotion, 0, 0, Identified | StrengthKnown}, gem(3)};
    const auto loot = [&, this](const std::string& keys) {
        EXPECT_FALSE(play([&] { lootScreen(list); }, keys)) << keys;
    };
    loot("2\n" "x\n" "9\n" "4294967297\n" "w\n");  // a number past the int range is no number
    EXPECT_EQ(seen(LootPrompt + "1) Długi miecz (Obr:3-10 cięte Kry:19-20/x2 Waga: 2 kg, średni)\n"
                                "2) Mikstura lecznicza +0 (Waga: 0.25 kg)\n\n3) Diament (Waga: 0.1 kg)\n"), 1);
    // Wrong numbers show the list again.
    EXPECT_EQ(std::tuple(seen(LootPrompt), hero.inventory[0].kind, list.size()), std::tuple(5, int(KindPotion), 2u));
    // A full backpack: "p" refuses once, and so does a number.
    for (ItemSlot& slot : hero.inventory) slot = gem(0);
    loot("p\n" "k" "1\n" "k" "w\n");
    EXPECT_EQ(std::pair(seen("Nie możesz nieść więcej przedmiotów.\n\n(ok)"),
                        seen("Nie możesz podnieść tego przedmiotu.\n\n(ok)")),
              std::pair(1, 1));
    // Room, but plate armour is too heavy: "p" stops at the top of the list; a lighter item below is taken.
    hero.inventory = {};
    recomputeLoad();
    hero.capacity = hero.load + 1.0f;
    list = {ItemSlot{11, KindArmour, 0, 0, Identified}, gem(0)};
    loot("p\n" "k" "2\n" "w\n");
    EXPECT_EQ(std::tuple(hero.inventory[0], hero.inventory[1].empty(), list.size()), std::tuple(gem(0), true, 1u));
}

}  // namespace
}  // namespace kelvrin::test
