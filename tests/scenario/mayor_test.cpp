#include "support/game_test.h"
#include "support/test_hero.h"

#include "data/feats.h"
#include "data/monsters.h"
#include "world/home.h"
#include "world/inn.h"
#include "world/mayor.h"

namespace kelvrin::test {
namespace {

class MayorTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        makeTestHero();
        screen.setPaging(false);  // a fight's messages run on without a key
    }
    // Runs the house as the town does, while it asks to be shown again;
    // returns what it printed. `left`: it returned to the town by itself.
    std::string run(const std::string& keys) {
        screen.clearTranscript();
        screen.type(keys);
        left = !runUntilInputEnds([] {
            while (mayorScreen()) {
            }
        });
        EXPECT_EQ(screen.keysQueued(), 0u) << keys;
        return screen.transcript();
    }
    static bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

    // A hero who ends any of the town's fights in his first turn: every
    // swing hits and kills, and every kill gives one more swing.
    void makeChampion() {
        hero.level = 20;
        hero.baseAttack = hero.attackPool = 20;
        hero.attributes[Str] = 200;
        hero.maxHp = hero.hp = 5000;
        hero.shield.bonus = 60;  // out of reach of every blow
        hero.feats |= FeatCleave | FeatGreatCleave;
    }
    // Plays fights by themselves: `combatKey` while one runs, any key for
    // an "(ok)", "w" on the loot screen; the input ends at the next menu.
    void playFights(int combatKey = 'f') {
        screen.setKeySource([this, combatKey, lineStarted = false]() mutable -> int {
            if (world.inCombat) return combatKey;
            if (lineStarted) {
                lineStarted = false;
                return '\n';
            }
            const std::string& out = screen.transcript();
            if (out.ends_with("(ok)")) return ' ';
            const std::size_t clear = out.rfind("{clear}");
            if (clear != std::string::npos && out.compare(clear + 7, 25, "Co chcesz zrobić (liczba") == 0) {
                lineStarted = true;
                return 'w';
            }
            return KeyEnd;
        });
    }
    bool left = false;
};

TEST_F(MayorTest, TheQuestChainFromTheFirstToTheLast) {
    makeChampion();
    hero.xpNext = 1000000;
    const std::string request1 = "Pokonaj 5 wrogów aby udowodnić, że nadajesz się do czegokolwiek.\n\n(ok)";
    // The first question hands the quest out; four kills are not enough.
    EXPECT_TRUE(has(run("z"), "- wyjdź\n\n" + request1));
    EXPECT_EQ(world.questKind, QuestFiveFoes);
    world.questStage = 4;
    EXPECT_TRUE(has(run("z"), request1));

    // Each quest: the kind it is handed out from, the stage the fights
    // leave behind, the success text and the reward.
    const struct {
        int kind, running, stage;
        const char* success;
        int experience, gold, alignment;
    } chain[] = {
        {QuestFiveFoes, QuestFiveFoes, 5, "Dobra robota, może będzie z ciebie Wojownik.\n", 300, 100, 1},
        {2, QuestBandits, 1, "Dzięki tobie na drogach jest bezpieczniej.\n", 600, 250, 1},
        {4, QuestFifthLevel, 1, "Słyszałem, że doszedłeś na 5 poziom podziemi, oto twoja nagroda.\n", 1500, 500, 1},
        {7, QuestBanditChief, 1, "Herszt bandytów nie żyje! Dzięki tobie na drogach będzie o wiele bezpieczniej. Weź to w nagrodę.\n",
         6000, 2000, 1},
        {9, QuestDeathKnights, 2, "Udało ci się zabić dwóch rycerzy śmierci? To dobrze. Spotkałeś tam może po drodze paladyna?\n", 8000,
         25000, 2},
    };
    for (const auto& quest : chain) {
        if (quest.kind == 7) {
            // Between the third and the fourth quest the orcs attack the town.
            ASSERT_EQ(world.questKind, QuestOrcRaid);
            const int xp = hero.xp;
            const int alignment = hero.alignment;
            playFights();
            const std::string out = run("z");
            EXPECT_TRUE(has(out, "Przygotować się do obrony miasta!\n\n(ok){clear}\nOrkowie zaatakowali miasto.\n"));
            EXPECT_TRUE(has(out, "Wódz orków umiera.\n"));
            EXPECT_TRUE(has(out, "Dobrze, że byłeś w pobliżu. Może ci orkowie czegoś się nauczą...\nZdobyłeś "
                                 "{10}4500{7} doświadczenia.\nDostałeś {14}1200{7} złota.\n\n(ok)"));
            EXPECT_GT(hero.xp, xp + 4500);  // the fight's own experience, and the reward
            EXPECT_EQ(hero.alignment, alignment + 1);
            EXPECT_EQ(world.questKind, 7);
            screen.setKeySource(nullptr);
        }
        world.questKind = quest.kind;
        if (quest.kind != QuestFiveFoes) run("z");  // handed out: the request only
        EXPECT_EQ(world.questKind, quest.running) << quest.kind;
        world.questStage = quest.stage - 1;
        EXPECT_FALSE(has(run("z"), quest.success));
        world.questStage = quest.stage;
        const int xp = hero.xp, gold = hero.gold, alignment = hero.alignment;
        const std::string out = run("zk");
        EXPECT_TRUE(has(out, std::string(quest.success) + "Zdobyłeś {10}" + std::to_string(quest.experience) +
                                 "{7} doświadczenia.\nDostałeś {14}" + std::to_string(quest.gold) +
                                 "{7} złota.\n\n(ok){clear}DOM BURMISTRZA"))
            << out;
        EXPECT_EQ(hero.xp, xp + quest.experience);
        EXPECT_EQ(hero.gold, gold + quest.gold);
        EXPECT_EQ(hero.alignment, alignment + quest.alignment);
        EXPECT_EQ(world.questKind, quest.running + 1);
        EXPECT_EQ(world.questStage, 0);
    }
    EXPECT_TRUE(has(run("zk"), "W tej chwili nie mam dla ciebie żadnych zadań.\n\n(ok)"));
    EXPECT_EQ(world.questKind, QuestChainFinished);
}

TEST_F(MayorTest, FleeingFromTheOrcRaidEndsTheChainForGood) {
    hero.feats |= FeatRun;  // pace 7 against the orcs' 4: sure to escape
    hero.maxHp = hero.hp = 5000;
    hero.shield.bonus = 60;
    world.questKind = QuestOrcRaid;
    playFights('u');
    std::string out = run("z");
    EXPECT_TRUE(has(out, "Uciekłeś z walki.\n"));
    EXPECT_TRUE(has(out, "Ty cholerny tchórzu. My tu walczymy a ty sobie uciekasz z walki! Żebym cie tu więcej nie "
                         "widział!\n\n(ok)"));
    EXPECT_EQ(world.questKind, QuestCoward);
    screen.setKeySource(nullptr);
    EXPECT_TRUE(has(run("zkw"), "Jesteś tchórzem! Nie mam dla ciebie żadnych zadań!\n\n(ok){clear}"));
    EXPECT_TRUE(left);
    EXPECT_EQ(world.questKind, QuestCoward);
}

TEST_F(MayorTest, AttackingTheMayor) {
    makeChampion();
    // Without the chief's offer there is nothing to attack.
    std::string out = run("aw");
    EXPECT_FALSE(has(out, "a - atakuj"));
    EXPECT_TRUE(has(out, "{clear}DOM BURMISTRZA\nMieszka tu burmistrz miasta Blackrock. Co chcesz zrobić?\nz - "
                         "zadania\nk - kup ziemie\nw - wyjdź\n\n"));
    EXPECT_TRUE(left);

    // Innocents killed cost one alignment each on top of the attack's four.
    for (const bool landOwned : {false, true}) {
        world.storyFlags = std::uint32_t{ChiefOffer} | (landOwned ? std::uint32_t{LandOwned} : 0u);
        world.killCounts = {};
        hero.alignment = 0;
        playFights();
        out = run("a");
        EXPECT_TRUE(left);
        EXPECT_TRUE(has(out, "Mieszka tu burmistrz miasta Blackrock. Co chcesz zrobić?\na - atakuj\nz - zadania\n"));
        EXPECT_TRUE(has(out, "{clear}\nAtakujesz burmistrza.\n"));
        EXPECT_TRUE(has(out, "Burmistrz umiera.\n"));
        EXPECT_EQ(has(out, "W domu burmistrza znalazłeś akt własności ziemi.\n\n(ok)"), !landOwned);
        EXPECT_TRUE(world.has(MayorDead));
        EXPECT_TRUE(world.has(LandOwned));
        const int innocents = world.killCounts[MonsterMayor] + world.killCounts[MonsterCommander] +
                              world.killCounts[MonsterGuard];
        EXPECT_GE(innocents, 5);
        EXPECT_EQ(hero.alignment, -4 - innocents);
        screen.setKeySource(nullptr);
    }
    // The house stands empty for good.
    EXPECT_TRUE(run("k").ends_with("{clear}DOM BURMISTRZA\nBurmistrz nie żyje, dom stoi pusty.\n\n(ok)"));
    EXPECT_TRUE(left);
}

TEST_F(MayorTest, Land) {
    hero.gold = 999;
    EXPECT_TRUE(has(run("ktkk"), "- wyjdź\n\nMogę ci sprzedać ziemię pod dom za 1000 sztuk złota. Chcesz kupić? "
                                 "(t/n)\n\nBrakuje ci 1 sztuk złota.\n\n(ok){clear}"));
    EXPECT_FALSE(world.has(LandOwned));
    hero.gold = 1000;
    run("kn");  // refused: the house again
    EXPECT_FALSE(left);
    EXPECT_EQ(hero.gold, 1000);
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
    EXPECT_TRUE(world.has(MineWorking));
    EXPECT_EQ(hero.gold, 0);
    EXPECT_TRUE(has(run("rk"), "Kopalnia znów działa, i generuje spore zyski Szef górników będzie ci przynosił "
                               "codziennie 500 sztuk złota.\n\n(ok)"));

    // The inn: three days bring 1500 gold, the rest costs two.
    hero.gold = 10;
    screen.clearTranscript();
    screen.type("o3\ntkw");
    while (innScreen()) {
    }
    EXPECT_TRUE(has(screen.transcript(), "za 2 zlota? (t/n)\nKopalnia przyniosła ci 1500 sztuk złota.\nOdpoczywales 3 dni"));
    EXPECT_EQ(hero.gold, 1508);
    // Home: seven days of building a hut bring 3500.
    world.set(LandOwned);
    screen.type("bstkw");
    while (homeScreen()) {
    }
    EXPECT_TRUE(has(screen.transcript(), "(t\n)Kopalnia przyniosła ci 3500 sztuk złota.\nWybudowałeś szałas."));
    EXPECT_EQ(hero.gold, 5008);
    EXPECT_EQ(world.day, 11);

    // A purse that is full stays full, and nothing is said.
    hero.gold = 2147483000;
    advanceDays(2);
    EXPECT_EQ(hero.gold, 2147483647);
    screen.clearTranscript();
    advanceDays(1);
    EXPECT_EQ(screen.transcript(), "");
    EXPECT_EQ(world.day, 14);
}

}  // namespace
}  // namespace kelvrin::test
