#include "scenario/surface_test.h"

#include "data/monsters.h"
#include "world/inn.h"
#include "world/mayor.h"

namespace kelvrin::test {
namespace {

class MayorTest : public SurfaceTest {
protected:
    void SetUp() override {
        SurfaceTest::SetUp();
        makeStrong();
    }
    std::string run(const std::string& keys) { return visit(mayorScreen, keys); }
    // Fights play themselves: `combatKey` in a fight, any key for "(ok)", "w" on the loot screen.
    void playFights(int combatKey = 'f') {
        screen.setKeySource([this, combatKey]() -> int {
            if (world.inCombat) return combatKey;
            const std::string& out = screen.transcript();
            if (out.ends_with("(ok)")) return ' ';
            const std::size_t clear = out.rfind("{clear}");
            if (clear == std::string::npos || out.compare(clear + 7, 25, "Co chcesz zrobić (liczba") != 0) return KeyEnd;
            screen.type("\n");
            return 'w';
        });
    }
};

TEST_F(MayorTest, TheQuestChainFromTheFirstToTheLast) {
    hero.xpNext = 1000000;
    EXPECT_TRUE(has(run("z"), "- wyjdź\n\nPokonaj 5 wrogów aby udowodnić, że nadajesz się do czegokolwiek.\n\n(ok)"));
    // Each quest: the kind that hands it out (running is one more), the stage that completes it, the reward.
    const struct {
        int ready, stage;
        const char* success;
        int experience, gold, alignment;
    } chain[] = {
        {QuestNone, 5, "Dobra robota, może będzie z ciebie Wojownik.\n", 300, 100, 1},
        {2, 1, "Dzięki tobie na drogach jest bezpieczniej.\n", 600, 250, 1},
        {4, 1, "Słyszałem, że doszedłeś na 5 poziom podziemi, oto twoja nagroda.\n", 1500, 500, 1},
        {7, 1, "Herszt bandytów nie żyje! Dzięki tobie na drogach będzie o wiele bezpieczniej. Weź to w nagrodę.\n",
         6000, 2000, 1},
        {9, 2, "Udało ci się zabić dwóch rycerzy śmierci? To dobrze. Spotkałeś tam może po drodze paladyna?\n", 8000,
         25000, 2},
    };
    for (const auto& quest : chain) {
        if (quest.ready == 7) {  // between the third and the fourth quest the orcs attack the town
            ASSERT_EQ(world.questKind, QuestOrcRaid);
            playFights();
            EXPECT_TRUE(has(run("z"), "Dobrze, że byłeś w pobliżu. Może ci orkowie czegoś się nauczą...\n"
                                      "Zdobyłeś {10}4500{7} doświadczenia.\nDostałeś {14}1200{7} złota.\n\n(ok)"));
            EXPECT_EQ(hero.alignment, 4);
            screen.setKeySource(nullptr);
        }
        world.questKind = quest.ready;
        world.questStage = quest.stage - 1;  // one short: handed out, asked again
        EXPECT_FALSE(has(run("z"), quest.success)) << quest.ready;
        EXPECT_EQ(world.questKind, quest.ready + 1);
        world.questStage = quest.stage;
        const int alignment = hero.alignment;
        EXPECT_TRUE(has(run("zk"), std::string(quest.success) + "Zdobyłeś {10}" + std::to_string(quest.experience) +
                                       "{7} doświadczenia.\nDostałeś {14}" + std::to_string(quest.gold) +
                                       "{7} złota.\n\n(ok){clear}DOM BURMISTRZA"));
        EXPECT_EQ(hero.alignment, alignment + quest.alignment);
        EXPECT_EQ(std::pair(world.questKind, world.questStage), std::pair(quest.ready + 2, 0));
    }
    EXPECT_TRUE(has(run("zk"), "W tej chwili nie mam dla ciebie żadnych zadań.\n\n(ok)"));
}

TEST_F(MayorTest, FleeingFromTheOrcRaidEndsTheChainForGood) {
    hero.feats |= FeatRun;  // pace 7 against the orcs' 4: sure to escape
    world.questKind = QuestOrcRaid;
    playFights('u');
    EXPECT_TRUE(has(run("z"), "Ty cholerny tchórzu. My tu walczymy a ty sobie uciekasz z walki! Żebym cie tu więcej "
                              "nie widział!\n\n(ok)"));
    EXPECT_EQ(world.questKind, QuestCoward);
    screen.setKeySource(nullptr);
    EXPECT_TRUE(has(run("zkw"), "Jesteś tchórzem! Nie mam dla ciebie żadnych zadań!\n\n(ok){clear}"));
    EXPECT_TRUE(left);
}

TEST_F(MayorTest, AttackingTheMayor) {
    EXPECT_FALSE(has(run("aw"), "a - atakuj"));  // without the chief's offer 'a' is ignored
    EXPECT_TRUE(left);
    // Innocents killed cost one alignment each on top of the attack's four.
    for (const bool landOwned : {false, true}) {
        world.storyFlags = std::uint32_t{ChiefOffer} | (landOwned ? std::uint32_t{LandOwned} : 0u);
        world.killCounts = {};
        hero.alignment = 0;
        playFights();
        const std::string out = run("a");
        EXPECT_TRUE(has(out, "{clear}DOM BURMISTRZA\nMieszka tu burmistrz miasta Blackrock. Co chcesz zrobić?\n"
                             "a - atakuj\nz - zadania\nk - kup ziemie\nw - wyjdź\n\n"));
        EXPECT_EQ(has(out, "W domu burmistrza znalazłeś akt własności ziemi.\n\n(ok)"), !landOwned);
        EXPECT_TRUE(world.has(MayorDead) && world.has(LandOwned));
        const int innocents = world.killCounts[MonsterMayor] + world.killCounts[MonsterCommander] +
                              world.killCounts[MonsterGuard];
        EXPECT_GE(innocents, 5);
        EXPECT_EQ(hero.alignment, -4 - innocents);
        screen.setKeySource(nullptr);
    }
    EXPECT_TRUE(run("k").ends_with("{clear}DOM BURMISTRZA\nBurmistrz nie żyje, dom stoi pusty.\n\n(ok)"));
    EXPECT_TRUE(left);
}

TEST_F(MayorTest, Land) {
    hero.gold = 999;
    EXPECT_TRUE(has(run("ktk"), "Mogę ci sprzedać ziemię pod dom za 1000 sztuk złota. Chcesz kupić? (t/n)\n\n"
                                "Brakuje ci 1 sztuk złota.\n\n(ok){clear}"));
    hero.gold = 1000;
    run("kn");  // refused
    EXPECT_FALSE(world.has(LandOwned));
    EXPECT_TRUE(has(run("ktk"), "(t/n)\n\nPodpisz tylko tutaj... Dobrze, twoja ziemia znajduje się w północno "
                                "zachodniej częsci miasta.\n\n(ok)"));
    EXPECT_TRUE(world.has(LandOwned));
    EXPECT_EQ(hero.gold, 0);
    EXPECT_TRUE(has(run("kk"), "Kupiłeś już ziemię, daj innym szansę na osiedlenie się tutaj.\n\n(ok)"));
}

TEST_F(MayorTest, TheMineReopenedPaysForEveryPassingDay) {
    EXPECT_FALSE(has(run("rw"), "kopalni"));  // not found yet: the key does nothing
    world.set(MineFound);
    EXPECT_TRUE(has(run("rk"), "r - zatrudnij robotników do kopalni\nw - wyjdź\n\nNikt nie będzie chciał pracować w "
                               "kopalni pełnej potworów.\n\n(ok)"));
    world.set(MineCleared);
    hero.gold = 19999;
    EXPECT_TRUE(has(run("rtk"), "Czy chcesz wznowić wydobycie? (t/n)\nBrakuje ci 1 sztuk złota.\n\n(ok)"));
    hero.gold = 20000;
    EXPECT_TRUE(has(run("rtk"), "(t/n)\nOd jutra powinienieś zacząć dostawać pieniądze.\n\n(ok)"));
    EXPECT_EQ(hero.gold, 0);
    EXPECT_TRUE(has(run("rk"), "Kopalnia znów działa, i generuje spore zyski Szef górników będzie ci przynosił "
                               "codziennie 500 sztuk złota.\n\n(ok)"));
    // Three days at the inn bring 1500 gold, the room costs two.
    hero.gold = 10;
    EXPECT_TRUE(has(visit(innScreen, "o3\ntkw"),
                    "za 2 zlota? (t/n)\nKopalnia przyniosła ci 1500 sztuk złota.\nOdpoczywales 3 dni"));
    EXPECT_EQ(hero.gold, 1508);
    // A purse that is full stays full, and nothing is said.
    hero.gold = 2147483000;
    advanceDays(2);
    screen.clearTranscript();
    advanceDays(1);
    EXPECT_EQ(hero.gold, 2147483647);
    EXPECT_EQ(screen.transcript(), "");
}

}  // namespace
}  // namespace kelvrin::test
