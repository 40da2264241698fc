#include "scenario/surface_test.h"
#include "items/inventory.h"
#include "world/forest.h"
#include "data/feats.h"
#include <iostream>
namespace kelvrin::test {
namespace {
class ZzDebug : public SurfaceTest {
protected:
    void SetUp() override { SurfaceTest::SetUp(); world.location = LocationForest; }
};
TEST_F(ZzDebug, Wolves) {
    hero.maxHp = hero.hp = 500;
    hero.shield.bonus = 40;
    hero.feats |= FeatRun;
    std::string flee;
    for (int i = 0; i < 40; ++i) flee += "u";
    explore(forestScreen, 11, 6, "t" + flee + "x");
    std::cout << screen.transcript().substr(0, 3000) << std::endl;
}
}
}
