// Fights and what they leave: the combat screen, the rewards and the loot.
#include <map>

#include "support/scenario.h"

#include "character/derived_values.h"
#include "combat/combat_engine.h"
#include "combat/combat_screen.h"
#include "combat/encounters.h"
#include "combat/rewards.h"
#include "core/utf8.h"
#include "data/feats.h"
#include "data/item_tables.h"
#include "items/inventory.h"
#include "world/town.h"

namespace kelvrin::test {
namespace {

class CombatFightTest : public ScenarioTest {
protected:
    void SetUp() override {
        ScenarioTest::SetUp();
        world.location = LocationDungeon;
    }
    // Runs a fight with the keys; the result, or 0 when the keys ran out.
    int run(const std::vector<int>& rows, const std::string& keys) {
        screen.type(keys);
        int result = 0;
        runUntilInputEnds([&] { result = fight(monsterList(rows), {}, 0); });
        return result;
    }
    // The letters of a row of the screen from a column on.
    std::string cells(int row, int col, int width) const {
        std::string out;
        for (int c = col; c < col + width; ++c) appendUtf8(out, screen.charAt(row, c));
        return out;
    }
};

// At every key wait of a fight, however many messages went by, the bar holds
// the top row; each drawing clears the whole row, so a shorter bar shows
// nothing of the last one's name and commands.
TEST_F(CombatFightTest, TheStatusBarHoldsTheTopRowAndAFlightEndsTheFight) {
    std::vector<std::string> bars;
    int plainEnds = 0;
    screen.setBeforeKey([&] {
        if (!world.inCombat) return;
        bars.push_back(screen.rowText(0));
        plainEnds += screen.attrAt(0, 79) != ColourHint;
    });
    hero.name = "Testowy z Zamościa";
    hero.feats = FeatRun | FeatPowerAttack | FeatExpertise | FeatDodge;  // pace 7 against 4: sure to escape
    hero.ragesPerDay = 1;
    EXPECT_EQ(run({MonsterZombie}, "uk"), FightFled);
    EXPECT_TRUE(screen.transcript().ends_with("Uciekłeś z walki.\n\n(ok)")) << screen.transcript();
    EXPECT_EQ(screen.keysQueued(), 0u);
    hero.name = "Testowy";
    hero.feats = 0;
    hero.ragesPerDay = 0;
    hero.maxHp = hero.hp = 100;
    EXPECT_EQ(run({MonsterRat}, std::string(30, 'c') + std::string(30, 'f')), FightWon);
    screen.setBeforeKey({});
    ASSERT_GE(bars.size(), 32u);
    EXPECT_EQ(bars[0], "Testowy z Zamościa pw:13/13 exp:0/1000 złoto:50 runda:1 komendy:afuecpwsd?");
    EXPECT_EQ(bars[1], "Testowy pw:100/100 exp:0/1000 złoto:50 runda:1 komendy:afuec?");
    for (std::size_t i = 2; i < bars.size(); ++i) EXPECT_TRUE(bars[i].starts_with("Testowy pw:")) << bars[i];
    EXPECT_EQ(plainEnds, 0);
    for (int i = 0; i < 30; ++i) print("linia %d\n", i);
    EXPECT_EQ(screen.rowText(0), "linia 6") << "after the fight the whole screen scrolls";
}

// A griffon flies at 16: no escape. The input ends in the middle of a rage,
// and the hero is still given back as he was.
TEST_F(CombatFightTest, NoEscapeFromAFlyerAndARageCutShortIsUndone) {
    hero.maxHp = hero.hp = 500;
    hero.ragesLeft = hero.ragesPerDay = 1;
    const auto attributes = hero.attributes;
    EXPECT_EQ(run({MonsterGriffon}, "suuu"), 0);
    EXPECT_EQ(count(screen.transcript(), "Próbujesz uciec ale ci się nie udaje.\n"), 3);
    EXPECT_EQ(std::tuple(hero.attributes, hero.maxHp, hero.kpModifier, world.inCombat),
              std::tuple(attributes, 500, 0, false));
}

TEST_F(CombatFightTest, StatusBarShorteningAndCells) {
    world.combatRound = 3;
    EXPECT_EQ(statusBarText(), "Testowy pw:13/13 exp:0/1000 złoto:50 runda:3 komendy:afuec?     ");
    hero.feats = FeatExpertise | FeatDodge | FeatPowerAttack;
    hero.ragesPerDay = 1;
    // Too long: the blanks go first, then the end of the name; only when the
    // figures alone are too long does their end go.
    hero.xp = hero.gold = 2000000000;
    EXPECT_EQ(statusBarText(), "Testowy pw:13/13 exp:2000000000/1000 złoto:2000000000 runda:3 komendy:afuecpwsd?");
    hero.name = "Żółćżółćżółćżółć Gęślą Jaźń Wi";  // 30 letters
    EXPECT_EQ(statusBarText(), "Żółćżół pw:13/13 exp:2000000000/1000 złoto:2000000000 runda:3 komendy:afuecpwsd?");
    hero.xpNext = 2000000000;
    world.combatRound = 12345;
    EXPECT_EQ(statusBarText(), "pw:13/13 exp:2000000000/2000000000 złoto:2000000000 runda:12345 komendy:afuecpws");
    drawStatusBar();
    for (int c = 0; c < StatusBarWidth; ++c) EXPECT_EQ(screen.attrAt(0, c), ColourHint) << c;
    EXPECT_EQ(screen.rowText(0), statusBarText());
    EXPECT_EQ(std::pair(screen.cursorRow(), screen.cursorColumn()), std::pair(0, 0)) << "the bar leaves the cursor";
}

TEST_F(CombatFightTest, TheSheetWithItsHintBoxAndKeys) {
    // The town's "s" shows it; the box's lines are 22 letters, not bytes.
    screen.type("sk");
    EXPECT_FALSE(runUntilInputEnds([] { townScreen(); }));
    const char* lines[] = {"e - ekwipunek         ", "p - potężny atak      ", "w - wyspecjalizowanie "};
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(cells(r, HintBoxColumn, HintBoxWidth), lines[r]);
        for (int c = HintBoxColumn - 1; c < 80; ++c)
            EXPECT_EQ(screen.attrAt(r, c), c < HintBoxColumn ? ColourNormal : ColourHint) << r << "," << c;
    }

    // Without the feat: the refusal, and the next key goes to the caller.
    screen.type("pqwb");
    EXPECT_EQ(characterSheetWithHints(), 'q');
    EXPECT_TRUE(screen.transcript().ends_with("Nie masz atutu Potężny atak.\n"));
    EXPECT_EQ(characterSheetWithHints(), 'b');
    EXPECT_TRUE(screen.transcript().ends_with("Nie masz atutu Wyspecjalizowanie.\n"));
    // With the feats: their settings, then the sheet again; "e": the inventory, and its key back.
    hero.feats = FeatPowerAttack | FeatExpertise;
    screen.type("p1\nw0\nmex");
    EXPECT_EQ(characterSheetWithHints(), 'm');
    EXPECT_EQ(hero.powerAttack, 1);
    EXPECT_NE(screen.transcript().find("Ustawienia atutu Wyspecjalizowanie."), std::string::npos);
    EXPECT_EQ(characterSheetWithHints(), 'e');
    EXPECT_NE(screen.transcript().find("EKWIPUNEK"), std::string::npos);
}

TEST_F(CombatFightTest, ALastChanceAbsorbsAKillingBlowThenTheHeroDies) {
    hero.shield.bonus = 20;  // only a rat's critical (2 Pw) reaches KP 37, and it kills 2 Pw
    ASSERT_EQ(armourClass(), 37);
    hero.hp = 2;
    hero.lastChances = 1;
    EXPECT_EQ(run({MonsterRat}, std::string(1000, 'c') + "\x01"), FightDied);
    const std::string& out = screen.transcript();
    EXPECT_EQ(count(out, "Udaje ci się uniknać ciosu!\n"), 1);
    EXPECT_EQ(count(out, "Szczur trafia cię i"), 0);
    EXPECT_TRUE(out.ends_with("Szczur trafia cię krytycznie i zadaje {12}2{7} punktów obrażeń.{12} Umierasz!{7}"
                              "\n\n(ok)"))
        << out;
    EXPECT_EQ(std::tuple(hero.lastChances, hero.lastHarm), std::tuple(0, int(MonsterRat)));
}

TEST_F(CombatFightTest, RageAndItsFatigueByLevel) {
    // The keys: "ss", a wait for each round of the rage (KON 12 + the bonus: 3 or 4, and 3 more), "s",
    // "u" and the flight's "(ok)". Before each: R raging, T tired, - as before the fight, ! when a save
    // written then would not hold the hero as the fight leaves him.
    for (auto [level, bonus, hpPerLevel, trace, lastAnswer] :
         {std::tuple{1, 4, 2, "-RRRRRRRTT-", "Nie możesz wpaść w szał, jesteś zmęczony.\n"},
          {15, 6, 3, "-RRRRRRRRTT-", "Nie możesz wpaść w szał, jesteś zmęczony.\n"},
          {20, 6, 3, "-RRRRRRRR-R-", "Wpadasz w szał bojowy! Możesz wpaść w szał jeszcze 0 razy.\n"}}) {
        makeTestHero();
        untouchable();
        hero.level = level;
        hero.ragesLeft = hero.ragesPerDay = 2;
        const Hero before = hero;
        const auto change = [&](const Hero& h) {
            return std::tuple(h.attributes[Str] - before.attributes[Str], h.attributes[Dex] - before.attributes[Dex],
                              h.attributes[Con] - before.attributes[Con], h.maxHp - before.maxHp, h.hp - before.hp,
                              h.kpModifier);
        };
        const int gain = hpPerLevel * level;
        std::string seen;
        screen.setBeforeKey([&] {
            Hero saved = hero;
            for (int a = 0; a < AttributeCount; ++a) saved.attributes[a] -= world.fightChanges.attributes[a];
            saved.maxHp -= world.fightChanges.maxHp;
            saved.hp -= world.fightChanges.hp;
            const auto now = change(hero);
            if (change(saved) != std::tuple(0, 0, 0, 0, 0, hero.kpModifier)) seen += '!';
            else if (now == std::tuple(bonus, 0, bonus, gain, gain, -2)) seen += 'R';
            else if (now == std::tuple(-2, -2, 0, 0, 0, 0)) seen += 'T';
            else seen += now == std::tuple(0, 0, 0, 0, 0, 0) ? '-' : '?';
        });
        screen.clearTranscript();
        EXPECT_EQ(run({MonsterRat}, "ss" + std::string(std::string_view(trace).size() - 5, 'c') + "suk"), FightFled);
        screen.setBeforeKey(nullptr);
        EXPECT_EQ(seen, trace) << level;
        const std::string& out = screen.transcript();
        EXPECT_NE(out.find("Wpadasz w szał bojowy! Możesz wpaść w szał jeszcze 1 razy.\nJuż wpadłeś w szał bojowy.\n"),
                  std::string::npos);
        EXPECT_NE(out.find(lastAnswer, out.find("Już wpadłeś")), std::string::npos) << level;
    }
    // No rage in heavy armour; not a word of it for a hero without rages.
    makeTestHero();
    untouchable();
    hero.armour = ItemSlot{10, KindArmour, 0, 0, Identified};
    for (int rages : {1, 0}) {
        hero.ragesLeft = hero.ragesPerDay = rages;
        screen.clearTranscript();
        run({MonsterRat}, "s");
        EXPECT_EQ(count(screen.transcript(),
                        rages ? "Nie możesz wpaść w szał bojowy jeśli masz na sobie ciężką zbroję.\n" : "szał"), rages);
    }
}

TEST_F(CombatFightTest, CleaveAndGreatCleave) {
    untouchable();
    hero.weapon.bonus = 40;  // every swing hits and kills a rat
    hero.feats = FeatPowerAttack | FeatCleave;
    EXPECT_EQ(run({MonsterRat, MonsterRat, MonsterRat, MonsterRat}, "f"), 0);
    EXPECT_EQ(count(screen.transcript(), "Szczur umiera.\n"), 2);  // one cleave a turn
    hero.feats |= FeatGreatCleave;
    screen.clearTranscript();
    EXPECT_EQ(run({MonsterRat, MonsterRat, MonsterRat, MonsterRat}, "fk"), FightWon);  // k: the rewards' (ok)
    EXPECT_EQ(count(screen.transcript(), "Rozszczepienie: Trafiasz "), 3);
}

TEST_F(CombatFightTest, TargetsHelpAndKeysThatDoNotUseTheTurn) {
    untouchable();
    EXPECT_EQ(run({MonsterGoblin, MonsterGoblin}, "xpwd" "a3\n-1\n0\n" "?k"), 0);
    const std::string& out = screen.transcript();
    EXPECT_EQ(count(out, "\nWybierz cel: (0-anuluj)\n1) Goblin\n2) Goblin\n"), 3);
    EXPECT_NE(out.find("{clear}DOSTĘPNE KOMENDY:\na - atakuj\nf - walcz (nie wybieraj celu)\nu - uciekaj\n"
                       "e - ekwipunek\nc - czekaj\np - potężny atak (atut)\nw - wyspecjalizowanie (atut)\n"
                       "s - szał (zdolność)\nd - uniki (atut)\n\n(ok){clear}\n{clear}"),
              std::string::npos)
        << out;
    // Still the hero's first turn, with the cursor below the bar.
    EXPECT_TRUE(screen.rowText(0).starts_with("Testowy pw:100/100 exp:0/1000 złoto:50 runda:1 komendy:afuec?"))
        << screen.rowText(0);
    EXPECT_NE(screen.cursorRow(), 0);
}

TEST_F(CombatFightTest, ThePaladinJoinsFightsInTheCryptOnly) {
    untouchable();
    world.set(PaladinCompanion);
    for (auto [location, joins] : {std::pair{LocationCrypt, true}, {LocationDungeon, false}}) {
        world.location = location;
        screen.clearTranscript();
        screen.type("c");  // he turns the zombie, heals, strikes or waits in the first round
        runUntilInputEnds([] { fightWithCompanions(monsterList({MonsterZombie}), -10); });
        EXPECT_EQ(screen.transcript().find("Paladyn ") != std::string::npos, joins) << location;
    }
}

// The meeting gives the enemies their initiative: in an ambush they mostly
// strike before the hero's first command, after his surprise attack they
// mostly do not.
TEST_F(CombatFightTest, AnAmbushLetsTheEnemiesStrikeFirstASurpriseLetsTheHero) {
    untouchable();
    std::map<std::string, std::pair<int, int>> meetings;  // the meeting's line: {fights, enemies first}
    for (int seed = 1; seed < 3000 && (meetings["Czujesz ciarki"].first < 30 || meetings["Atakujesz"].first < 30);
         ++seed) {
        seedRandom(static_cast<std::uint32_t>(seed));
        screen.clearTranscript();
        bool enemiesFirst = false;
        screen.setBeforeKey([&] {
            if (world.inCombat && !enemiesFirst) enemiesFirst = count(screen.transcript(), " cię") > 0;
        });
        screen.type("t");  // yes to a surprise attack; in the fight, the first command ends the input
        runUntilInputEnds([] { randomEncounter(HabitatForest, 0); });
        screen.setBeforeKey({});
        for (const char* line : {"Czujesz ciarki", "Atakujesz"})
            if (screen.transcript().find(line) != std::string::npos) {
                ++meetings[line].first;
                meetings[line].second += enemiesFirst;
            }
    }
    const auto [ambushes, ambushedFirst] = meetings["Czujesz ciarki"];
    const auto [surprises, surprisedFirst] = meetings["Atakujesz"];
    ASSERT_GE(std::min(ambushes, surprises), 30);
    EXPECT_GE(ambushedFirst * 10, ambushes * 8) << ambushedFirst << " of " << ambushes;
    EXPECT_LE(surprisedFirst * 10, surprises * 2) << surprisedFirst << " of " << surprises;
}

const std::string LootPrompt =
    "Co chcesz zrobić (liczba - podnieś, e - ekwipunek, p - podnieś wszystko, w - odejdź\n";

ItemSlot gem(int row) { return ItemSlot{row, KindGem, 0, 0, Identified}; }

class RewardsLootTest : public ScenarioTest {
protected:
    void SetUp() override {
        ScenarioTest::SetUp();
        world.location = LocationDungeon;
        hero.shield.bonus = 60;  // no rat can touch him,
        hero.weapon.bonus = 40;  // and any hit kills it
    }
    // Runs a screen with the keys; it must end before they run out.
    void run(const std::string& keys, const std::function<void()>& screenLoop) {
        screen.type(keys);
        EXPECT_FALSE(runUntilInputEnds(screenLoop)) << "waited for more keys";
    }
    int fightRat(const std::string& keys) {
        int result = 0;
        run(keys, [&] { result = fight(monsterList({MonsterRat}), {}, 0); });
        return result;
    }
};

TEST_F(RewardsLootTest, AWonFightShowsTheExperienceThenTheLoot) {
    hero.xp = 990;
    EXPECT_EQ(fightRat("fk"), FightWon);
    EXPECT_TRUE(screen.transcript().ends_with(
        "Szczur umiera.\nZdobyłeś {10}37{7} doświadczenia. Możesz awansować na 2 poziom.\n\n(ok)"));
    // An event fight leaves the crystal; taking it ends the loot screen.
    world.dungeonEventFight = true;
    EXPECT_EQ(fightRat("fk1\n"), FightWon);
    EXPECT_EQ(seen("Znalazłeś 1 przedmiotów.\n\n(ok){clear}" + LootPrompt + "1) Kryształ (Waga: 0.1 kg)\n"), 1);
    EXPECT_EQ(std::tuple(hero.inventory[0], world.dungeonEventFight, world.killCounts[MonsterRat]),
              std::tuple(gem(CrystalRow), false, 2));
}

TEST_F(RewardsLootTest, GoldFoundIsTheTotalOfAllEnemiesAndIsPaid) {
    std::vector<Combatant> combatants{Combatant{0, 0, HeroSide, nullptr}};
    const std::vector<int> rows{MonsterKobold, MonsterGoblin, MonsterKobold, MonsterOgre};
    for (int row : rows) combatants.push_back(Combatant{0, 0, EnemySide, &monsterRow(row)});
    combatants.push_back(Combatant{0, 0, EnemySide, &monsterRow(MonsterRat)});             // no loot
    combatants.push_back(Combatant{FledMarker, 0, EnemySide, &monsterRow(MonsterOgre)});  // took it along
    seedRandom(77);  // the same draws by hand
    LootList loot;
    int gold = 0;
    for (int row : rows) gold += rollTreasure(monsterRow(row).challenge, monsterRow(row).loot, loot);
    ASSERT_FALSE(loot.empty());
    seedRandom(77);
    run("kw\n", [&] { EXPECT_FALSE(awardFight(combatants, false, true)); });
    const std::string items = "Znalazłeś " + std::to_string(loot.size()) + " przedmiotów.\n\n(ok)";
    EXPECT_EQ(seen("Znalazłeś {14}" + std::to_string(gold) + "{7} złota.\n" + items), 1) << screen.transcript();
    EXPECT_EQ(hero.gold, 50 + gold);

    // Outside a fight; without the gold bit, no gold; the mayor's pay.
    screen.clearTranscript();
    run("k", [] { treasureFind(1, LootGold); });
    EXPECT_EQ(screen.transcript(), "Znalazłeś {14}" + std::to_string(hero.gold - 50 - gold) + "{7} złota.\n\n(ok)");
    const int before = hero.gold;
    run("kp\n", [] { treasureFind(12, LootItem | LootGems); });
    EXPECT_EQ(std::pair(hero.gold, hero.inventory[0].empty()), std::pair(before, false));
    screen.clearTranscript();
    gainGold(250);
    EXPECT_EQ(screen.transcript(), "Dostałeś {14}250{7} złota.\n");
    EXPECT_EQ(hero.gold, before + 250);
}

TEST_F(RewardsLootTest, TakeLeaveAndRefuse) {
    LootList list{ItemSlot{LongSwordRow, KindWeapon, 0, 0, Identified},
                  ItemSlot{HealingPotionRow, KindPotion, 0, 0, Identified | StrengthKnown}, gem(3)};
    run("2\n" "x\n" "9\n" "w\n", [&] { EXPECT_FALSE(lootScreen(list)); });
    EXPECT_EQ(seen(LootPrompt + "1) Długi miecz (Obr:3-10 cięte Kry:19-20/x2 Waga: 2 kg, średni)\n"
                                "2) Mikstura lecznicza +0 (Waga: 0.25 kg)\n\n3) Diament (Waga: 0.1 kg)\n"),
              1);
    EXPECT_EQ(seen(LootPrompt), 4);  // wrong numbers show the list again
    EXPECT_EQ(std::tuple(hero.inventory[0].kind, list.size()), std::tuple(int(KindPotion), 2u));

    // A full backpack: "p" refuses once, and so does a number.
    for (ItemSlot& slot : hero.inventory) slot = gem(0);
    run("p\n" "k" "1\n" "k" "w\n", [&] { lootScreen(list); });
    EXPECT_EQ(seen("Nie możesz nieść więcej przedmiotów.\n\n(ok)"), 1);
    EXPECT_EQ(seen("Nie możesz podnieść tego przedmiotu.\n\n(ok)"), 1);

    // Room, but plate armour is too heavy: "p" stops at the top of the list; a lighter item below is taken.
    hero.inventory = {};
    recomputeLoad();
    hero.capacity = hero.load + 1.0f;
    list = {ItemSlot{11, KindArmour, 0, 0, Identified}, gem(0)};
    run("p\n" "k" "2\n" "w\n", [&] { lootScreen(list); });
    EXPECT_EQ(std::tuple(hero.inventory[0], hero.inventory[1].empty(), list.size()), std::tuple(gem(0), true, 1u));
}

TEST_F(RewardsLootTest, DyingThroughTheInventoryEndsTheFightAsADeath) {
    hero.maxHp = hero.hp = 1;
    hero.inventory[0] = ItemSlot{4, KindPotion, 0, 0, Identified | StrengthKnown};  // a spoiled elixir of health
    world.dungeonEventFight = true;
    EXPECT_EQ(fightRat("fk" "e\n" "u1\n" "k"), FightDied);
    EXPECT_EQ(std::pair(hero.hp < 1, screen.keysQueued()), std::pair(true, std::size_t{0}));
}

}  // namespace
}  // namespace kelvrin::test
