// The town's services where the test sets the game between visits: the mayor's middle quests.
#include <string>
#include <tuple>
#include <utility>

#include "support/scenario.h"

#include "world/mayor.h"

namespace kelvrin::test {
namespace {
class TownServiceTest : public ScenarioTest {
protected:
    std::string mayor(const std::string& keys) { return visit(mayorScreen, keys); }
};

// The quests between the first and the last, each finished as soon as it is asked about: its text, its reward, and
// the chain moves on past the quest's running kind.
TEST_F(TownServiceTest, MayorPaysTheMiddleQuestsOfTheChain) {
    makeStrong();
    hero.xpNext = 1000000;
    const struct { int ready; const char* success; int experience, gold; } middle[] = {
        {2, "Dzięki tobie na drogach jest bezpieczniej.\n", 600, 250},
        {4, "Słyszałem, że doszedłeś na 5 poziom podziemi, oto twoja nagroda.\n", 1500, 500},
        {7, "Herszt bandytów nie żyje! Dzięki tobie na drogach będzie o wiele bezpieczniej. Weź to w nagrodę.\n",
         6000, 2000},
    };
    for (const auto& quest : middle) {
        SCOPED_TRACE(quest.ready);
        std::tie(world.questKind, world.questStage) = std::pair(quest.ready, 1);
        std::tie(hero.xp, hero.gold, hero.alignment) = std::tuple(0, 0, 0);
        EXPECT_TRUE(has(mayor("zk"), std::string(quest.success) + "Zdobyłeś {10}" + std::to_string(quest.experience) +
                                         "{7} doświadczenia.\nDostałeś {14}" + std::to_string(quest.gold) +
                                         "{7} złota.\n\n(ok){clear}DOM BURMISTRZA"));
        EXPECT_EQ(std::tuple(hero.xp, hero.gold, hero.alignment, world.questKind),
                  std::tuple(quest.experience, quest.gold, 1, quest.ready + 2));
        EXPECT_EQ(world.questStage, 0);
    }
}

}  // namespace
}  // namespace kelvrin::test
