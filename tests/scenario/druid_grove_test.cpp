#include "scenario/surface_test.h"

#include "data/druid_stock.h"
#include "world/druid_grove.h"

namespace kelvrin::test {
namespace {

class DruidGroveTest : public SurfaceTest {
protected:
    void SetUp() override {
        SurfaceTest::SetUp();
        world.location = LocationForest;
        world.set(GroveKnown);
    }
    // Shows the grove while it asks to be shown again; true when it let the
    // hero go (false: the keys ran out first).
    bool enter(const std::string& keys) {
        visit(druidGroveScreen, keys);
        return left;
    }
    // While a fight runs the hero, out of reach of every blow, waits `rounds` times at most.
    void waitInFights(int rounds) {
        hero.shield.bonus = 60;
        hero.maxHp = hero.hp = 100;
        screen.setKeySource([rounds]() mutable { return world.inCombat && rounds-- > 0 ? int{'c'} : int{KeyEnd}; });
    }
};

TEST_F(DruidGroveTest, PotionsAreSoldUntilThePurseRunsOut) {
    hero.gold = 112 + 150;  // exactly two potions
    EXPECT_TRUE(enter("k1\nt2\nt6\ntx0\nw"));
    EXPECT_TRUE(said("{clear}Mam na sprzedaż kilka mikstur, co chcesz kupić?\n"
                     "1) Mikstura lecznicza +1 (Waga: 0.25 kg) _112 złota\n"
                     "2) Mikstura lecznicza +2 (Waga: 0.25 kg) _150 złota\n"
                     "3) Mikstura lecznicza +3 (Waga: 0.25 kg) _187 złota\n"
                     "4) Antidotum +1 (Waga: 0.25 kg) _168 złota\n"
                     "5) Antidotum +2 (Waga: 0.25 kg) _225 złota\n"
                     "6) Eliksir uzdrowienia +0 (Waga: 0.25 kg) _750 złota\n\n"
                     "Co chcesz kupić (0-nic)? 1\n"
                     "Na pewno chcesz kupić Mikstura lecznicza +1 za 112 sztuk złota? (t/n)\n{clear}Mam"));
    EXPECT_TRUE(said("Brakuje ci 750 sztuk złota."));
    EXPECT_EQ(hero.gold, 0);
    EXPECT_EQ(std::pair(hero.inventory[0], hero.inventory[1]), std::pair(druidStock[0], druidStock[1]));
}

// Only potions of unknown strength are listed; an identified one drops off
// the list, and with none left the druid says so.
TEST_F(DruidGroveTest, PotionsOfUnknownStrengthAreIdentifiedForAFee) {
    hero.attributes[Cha] = 14;  // 48 gold
    hero.gold = 60;
    hero.inventory[0] = ItemSlot{2, KindGem, 0, 0, Identified};
    hero.inventory[1] = ItemSlot{1, KindPotion, 0, -1, 0};
    hero.inventory[2] = ItemSlot{0, KindPotion, 0, 0, Identified | StrengthKnown};
    hero.inventory[4] = ItemSlot{2, KindPotion, 0, 1, Identified};
    EXPECT_TRUE(enter("i1\nn1\ntx1\ntx0\nw"));
    EXPECT_TRUE(said("{clear}Który eliksir chcesz zidentyfikować (0-nic):\n1) Nieznany eliksir\n"
                     "2) Eliksir uzdrowienia +?\n1\nPowiem ci jakie właściwości ma Nieznany eliksir za 48 sztuk złota. "
                     "(t/n)\n{clear}Który"));
    EXPECT_TRUE(said("(t/n)\nNieznany eliksir to Antidotum -1.\n\n(ok){clear}Który eliksir chcesz zidentyfikować "
                     "(0-nic):\n1) Eliksir uzdrowienia +?\n1\n"));
    EXPECT_TRUE(said("(t/n)\nBrakuje ci 36 sztuk złota.\n\n(ok){clear}"));
    EXPECT_EQ(hero.gold, 12);
    EXPECT_EQ(hero.inventory[1], (ItemSlot{1, KindPotion, 0, -1, Identified | StrengthKnown}));
    hero.gold = 48;
    EXPECT_TRUE(enter("i1\ntxxw"));
    EXPECT_TRUE(said("Eliksir uzdrowienia +? to Eliksir uzdrowienia +1.\n\n(ok){clear}Który eliksir chcesz "
                     "zidentyfikować (0-nic):\nNie masz żadnych niezidentifikowanych eliksirów.\n\n(ok){clear}Witaj"));
    EXPECT_EQ(hero.gold, 0);
}

TEST_F(DruidGroveTest, TheQuestSpeaksOfHowFarItHasCome) {
    const std::string request = "Potrzebuj twojej pomocy, grupa wargów napada na okoliczne wioski. Pójdę z tobą je "
                                "pokonać. Chcesz iść? (t/n)\n";
    const struct {
        std::uint32_t flags;
        std::string keys, ending;
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
        EXPECT_TRUE(screen.transcript().ends_with(c.ending)) << screen.transcript();
        EXPECT_EQ(world.storyFlags, GroveKnown | c.flagsAfter) << c.keys;
    }
    EXPECT_EQ(screen.transcript(), "{clear}Witaj w moim domu, rzadko mam tu gości. W czym mogę ci pomóc.\nk - kup "
                                   "mikstury\ni - identyfikacja mikstur\nz - zadania\na - zatakuj druida\nw - wyjdź\n");
}

// Attacking a companion or a friend ends that bond: in his own grove (the
// forest) a companion druid would otherwise fight beside the hero against
// himself and his dog. Here only the hero is ever attacked or charmed at.
TEST_F(DruidGroveTest, AttackingTheDruidEndsCompanionshipAndFriendship) {
    for (const std::uint32_t bond : {DruidCompanion | WorgsBeaten, +DruidFriend}) {
        world.storyFlags = GroveKnown | bond;
        waitInFights(40);
        EXPECT_FALSE(enter("a"));  // the keys ran out in the fight
        EXPECT_TRUE(said("{clear}\nAtakujesz druida.\n"));
        EXPECT_EQ(world.storyFlags, GroveKnown | DruidHostile | (bond & WorgsBeaten));
        const std::string& out = screen.transcript();
        EXPECT_GT(count(out, "próbuje cię zaatakować"), 0) << out;
        EXPECT_EQ(count(out, "trafia "), count(out, "trafia cię")) << out;
        EXPECT_EQ(count(out, "próbuje zaatakować") + count(out, "zauroczył"), 0) << out;
    }
}

TEST_F(DruidGroveTest, AfterTheAttackEveryVisitIsAFightUntilTheDruidIsDead) {
    // Every visit is the druid's ambush, with no word of trade, even if a
    // companion flag survived from an older game.
    world.storyFlags = GroveKnown | DruidHostile | DruidCompanion;
    waitInFights(5);
    EXPECT_FALSE(enter("a0\n"));
    EXPECT_TRUE(screen.transcript().starts_with("{clear}\nGdy tylko postawiłes nogę w świętym gaju druida usłyszałeś "
                                                "dźwięk wyciąganych z ziemi korzeni. Zauważyłeś druida i dwa ożywione "
                                                "drzewa.\n"));
    const std::size_t list = screen.transcript().find("Wybierz cel: (0-anuluj)\n");
    ASSERT_NE(list, std::string::npos);
    const std::string targets = screen.transcript().substr(list, screen.transcript().find("0\n", list) - list);
    EXPECT_EQ(count(targets, ") Druid\n"), 1) << targets;
    EXPECT_GE(count(targets, ") Ożywione drzewo\n"), 2) << targets;
    EXPECT_EQ(count(targets, "Pies"), 0) << targets;
    EXPECT_EQ(world.storyFlags, GroveKnown | DruidHostile);

    world.set(DruidDead);
    EXPECT_TRUE(enter("x"));
    EXPECT_EQ(screen.transcript(), "{clear}Ten gaj jest opuszczony, nikt tu nie mieszka.\n\n(ok)");
}

}  // namespace
}  // namespace kelvrin::test
