#include "support/game_test.h"

#include "data/druid_stock.h"
#include "items/inventory.h"
#include "support/test_hero.h"
#include "world/druid_grove.h"

namespace kelvrin::test {
namespace {

class DruidGroveTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        makeTestHero();
        world.location = LocationForest;
        world.set(GroveKnown);
    }
    // Shows the grove as the forest does, while it asks to be shown again;
    // true when it let the hero go (false: the keys ran out first).
    bool visit(const std::string& keys) {
        screen.clearTranscript();
        screen.type(keys);
        return !runUntilInputEnds([] {
            while (druidGroveScreen()) {
            }
        });
    }
    // While a fight runs the hero waits, `rounds` times at most.
    void waitInFights(int rounds) {
        screen.setKeySource([rounds]() mutable { return world.inCombat && rounds-- > 0 ? int{'c'} : int{KeyEnd}; });
    }
    const std::string& out() const { return screen.transcript(); }
};

TEST_F(DruidGroveTest, PotionsAreSoldUntilThePurseOrTheBackpackRunsOut) {
    hero.gold = 112 + 150;
    EXPECT_TRUE(visit("k1\nt2\nt6\ntx9\n3\nn0\nw"));
    EXPECT_NE(out().find("{clear}Mam na sprzedaż kilka mikstur, co chcesz kupić?\n"
                         "1) Mikstura lecznicza +1 (Waga: 0.25 kg) _112 złota\n"
                         "2) Mikstura lecznicza +2 (Waga: 0.25 kg) _150 złota\n"
                         "3) Mikstura lecznicza +3 (Waga: 0.25 kg) _187 złota\n"
                         "4) Antidotum +1 (Waga: 0.25 kg) _168 złota\n"
                         "5) Antidotum +2 (Waga: 0.25 kg) _225 złota\n"
                         "6) Eliksir uzdrowienia +0 (Waga: 0.25 kg) _750 złota\n\n"
                         "Co chcesz kupić (0-nic)? 1\n"
                         "Na pewno chcesz kupić Mikstura lecznicza +1 za 112 sztuk złota? (t/n)\n{clear}Mam"),
              std::string::npos)
        << out();
    EXPECT_NE(out().find("za 750 sztuk złota? (t/n)\nBrakuje ci 750 sztuk złota.\n\n(ok){clear}Mam"), std::string::npos);
    // Exactly the price of two potions leaves nothing.
    EXPECT_EQ(hero.gold, 0);
    EXPECT_EQ(hero.inventory[0], druidStock[0]);
    EXPECT_EQ(hero.inventory[1], druidStock[1]);
    EXPECT_TRUE(hero.inventory[2].empty());

    // A full backpack: nothing is paid, and after a key the grove is back.
    hero.gold = 1000;
    for (std::size_t i = 2; i < hero.inventory.size(); ++i) hero.inventory[i] = ItemSlot{1, KindGem, 0, 0, Identified};
    recomputeLoad();
    EXPECT_TRUE(visit("k5\ntxw"));
    EXPECT_NE(out().find("za 225 sztuk złota? (t/n)\n{clear}Witaj w moim domu"), std::string::npos) << out();
    EXPECT_EQ(hero.gold, 1000);
}

// Only potions of unknown strength are listed; an identified one drops off
// the list, and with none left the druid says so and the grove returns.
TEST_F(DruidGroveTest, PotionsOfUnknownStrengthAreIdentifiedForAFee) {
    hero.attributes[Cha] = 14;  // 48 gold
    hero.gold = 60;
    hero.inventory[0] = ItemSlot{2, KindGem, 0, 0, Identified};
    hero.inventory[1] = ItemSlot{1, KindPotion, 0, -1, 0};
    hero.inventory[2] = ItemSlot{0, KindPotion, 0, 0, Identified | StrengthKnown};
    hero.inventory[4] = ItemSlot{2, KindPotion, 0, 1, Identified};
    EXPECT_TRUE(visit("i3\n1\nn1\ntx1\ntx0\nw"));
    EXPECT_NE(out().find("{clear}Który eliksir chcesz zidentyfikować (0-nic):\n1) Nieznany eliksir\n"
                         "2) Eliksir uzdrowienia +?\n3\n{clear}Który"),
              std::string::npos)
        << out();
    EXPECT_NE(out().find("1\nPowiem ci jakie właściwości ma Nieznany eliksir za 48 sztuk złota. (t/n)\n{clear}"),
              std::string::npos);
    EXPECT_NE(out().find("(t/n)\nNieznany eliksir to Antidotum -1.\n\n(ok){clear}Który eliksir chcesz "
                         "zidentyfikować (0-nic):\n1) Eliksir uzdrowienia +?\n1\n"),
              std::string::npos)
        << out();
    EXPECT_NE(out().find("(t/n)\nBrakuje ci 36 sztuk złota.\n\n(ok){clear}"), std::string::npos);
    EXPECT_EQ(hero.gold, 12);
    EXPECT_EQ(hero.inventory[1], (ItemSlot{1, KindPotion, 0, -1, Identified | StrengthKnown}));
    EXPECT_EQ(hero.inventory[4].flags, Identified);

    hero.gold = 48;
    EXPECT_TRUE(visit("i1\ntxxw"));
    EXPECT_NE(out().find("Eliksir uzdrowienia +? to Eliksir uzdrowienia +1.\n\n(ok){clear}Który eliksir chcesz "
                         "zidentyfikować (0-nic):\nNie masz żadnych niezidentifikowanych eliksirów.\n\n(ok)"
                         "{clear}Witaj"),
              std::string::npos)
        << out();
    EXPECT_EQ(hero.gold, 0);
}

TEST_F(DruidGroveTest, TheQuestSpeaksOfHowFarItHasCome) {
    const std::string request = "Potrzebuj twojej pomocy, grupa wargów napada na okoliczne wioski. Pójdę z tobą je "
                                "pokonać. Chcesz iść? (t/n)\n";
    const struct {
        std::uint32_t flags;
        std::string keys;
        std::string ending;
        bool shownAgain;
        std::uint32_t flagsAfter;
    } cases[] = {
        {0, "zn", request, true, 0},
        {0, "ztx", request + "Powinniśmy je znaleźć gdzieś w lesie.\n\n(ok)", false, DruidCompanion},
        {DruidCompanion, "zx",
         "Już do ciebie dołączyłem.\nGrupa wargów napada na okoliczne wioski. Znajedziemy je gdzieś w lesie.\n\n(ok)",
         true, DruidCompanion},
        {DruidCompanion | WorgsBeaten, "zx",
         "Już do ciebie dołączyłem.\nJeden z drzewców oszalał i zabija wszystkie zwierzęta, musimy go powstrzymać. "
         "Jest gdzieś w lesie.\n\n(ok)",
         true, DruidCompanion | WorgsBeaten},
        {DruidFriend, "zx", "W lesie znów panuje harmonia.\n\n(ok)", true, DruidFriend},
        {0, "w", "a - zatakuj druida\nw - wyjdź\n", false, 0},
    };
    for (const auto& c : cases) {
        world.storyFlags = GroveKnown | c.flags;
        screen.clearTranscript();
        screen.type(c.keys);
        EXPECT_EQ(druidGroveScreen(), c.shownAgain) << c.keys;
        EXPECT_TRUE(out().starts_with("{clear}Witaj w moim domu")) << out();
        EXPECT_TRUE(out().ends_with(c.ending)) << out();
        EXPECT_EQ(world.storyFlags, GroveKnown | c.flagsAfter) << c.keys;
        EXPECT_EQ(screen.keysQueued(), 0u);
    }
}

// Attacking a companion or a friend ends that bond: in his own grove (the
// forest) a companion druid would otherwise fight beside the hero against
// himself and his dog. Here only the hero is ever attacked or charmed at.
TEST_F(DruidGroveTest, AttackingTheDruidEndsCompanionshipAndFriendship) {
    hero.shield.bonus = 60;  // out of reach of every blow
    hero.maxHp = hero.hp = 100;
    for (const std::uint32_t bond : {DruidCompanion | WorgsBeaten, +DruidFriend}) {
        world.storyFlags = GroveKnown | bond;
        waitInFights(40);
        EXPECT_FALSE(visit("a"));  // the keys ran out in the fight
        EXPECT_NE(out().find("{clear}\nAtakujesz druida.\n"), std::string::npos) << out();
        EXPECT_EQ(world.storyFlags, GroveKnown | DruidHostile | (bond & WorgsBeaten));
        EXPECT_GT(count(out(), "próbuje cię zaatakować"), 0) << out();
        EXPECT_EQ(count(out(), "trafia "), count(out(), "trafia cię")) << out();
        EXPECT_EQ(count(out(), "próbuje zaatakować"), 0) << out();
        EXPECT_EQ(count(out(), "zauroczył"), 0) << out();
    }
}

TEST_F(DruidGroveTest, AfterTheAttackEveryVisitIsAFightUntilTheDruidIsDead) {
    const std::string ambush = "{clear}\nGdy tylko postawiłes nogę w świętym gaju druida usłyszałeś dźwięk "
                               "wyciąganych z ziemi korzeni. Zauważyłeś druida i dwa ożywione drzewa.\n";
    // The attack: the druid and his dog kill a hero of 1 Pw; the grove
    // lets him go.
    hero.hp = 1;
    hero.lastChances = 0;
    waitInFights(1000);
    EXPECT_TRUE(visit("a"));
    EXPECT_TRUE(out().starts_with("{clear}Witaj w moim domu")) << out();
    EXPECT_NE(out().find("Umierasz!"), std::string::npos) << out();
    EXPECT_TRUE(world.has(DruidHostile));

    // The next visit is the druid's ambush, with no word of trade.
    hero.hp = 1;
    EXPECT_TRUE(visit(""));
    EXPECT_TRUE(out().starts_with(ambush)) << out();
    EXPECT_NE(out().find("Umierasz!"), std::string::npos);
    EXPECT_EQ(count(out(), "Witaj w moim domu"), 0);

    // And again: the druid and two animated trees stand against the hero,
    // even if a companion flag survived from an older game.
    world.set(DruidCompanion);
    hero.shield.bonus = 60;
    hero.maxHp = hero.hp = 100;
    waitInFights(5);
    EXPECT_FALSE(visit("a0\n"));
    EXPECT_TRUE(out().starts_with(ambush)) << out();
    const std::size_t list = out().find("Wybierz cel: (0-anuluj)\n");
    ASSERT_NE(list, std::string::npos) << out();
    const std::string targets = out().substr(list, out().find("0\n", list) - list);
    EXPECT_EQ(count(targets, ") Druid\n"), 1) << targets;
    EXPECT_GE(count(targets, ") Ożywione drzewo\n"), 2) << targets;
    EXPECT_EQ(count(targets, "Pies"), 0) << targets;
    EXPECT_EQ(world.storyFlags, GroveKnown | DruidHostile);

    world.set(DruidDead);
    EXPECT_TRUE(visit("x"));
    EXPECT_EQ(out(), "{clear}Ten gaj jest opuszczony, nikt tu nie mieszka.\n\n(ok)");
}

}  // namespace
}  // namespace kelvrin::test
