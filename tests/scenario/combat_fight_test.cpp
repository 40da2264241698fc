#include "support/game_test.h"
#include "support/test_hero.h"

#include "combat/combat_engine.h"

namespace kelvrin::test {
namespace {

class CombatFightTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        makeTestHero();
    }
    int run(const MonsterList& enemies, const std::string& keys) {
        screen.type(keys);
        int result = 0;
        EXPECT_FALSE(runUntilInputEnds([&] { result = fight(enemies, {}, 0); }));
        return result;
    }
};

TEST_F(CombatFightTest, Explore) {
    int r = run(monsterList({MonsterGoblin, MonsterGoblin}), std::string(40, 'f'));
    std::printf("%d\n%s\n----\n%s\n", r, screen.transcript().c_str(), screen.screenText().c_str());
}

}  // namespace
}  // namespace kelvrin::test
