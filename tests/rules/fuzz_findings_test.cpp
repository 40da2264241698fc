// Faults the fuzz targets (fuzz/) found in the readers of outside data,
// each pinned down by the input that showed it. Those of the save file's
// checks stand in the table of save_file_test.cpp, those of the key
// decoder in key_decoder_test.cpp.
#include "support/game_test.h"
#include "support/test_hero.h"

#include "character/derived_values.h"
#include "core/save_file.h"
#include "items/item_display.h"

namespace kelvrin::test {
namespace {

using FuzzFindingsSave = GameTest;

// The sheet and the derived values of a hero with the largest scores a
// file may hold work out without overflow.
TEST_F(FuzzFindingsSave, TheLargestScoresAFileMayHoldAreShown) {
    makeTestHero();
    hero.attributes.fill(-1000000);
    hero.weapon.bonus = 1000000;
    SaveImage image{};
    encodeSave(hero, world, false, image);
    const std::optional<LoadedGame> game = decodeSave(image, hero, world);
    ASSERT_TRUE(game);
    hero = game->hero;
    printItem(hero.weapon, ShowSheet);
    EXPECT_NE(screen.transcript().find("+1000000"), std::string::npos);
    EXPECT_LT(armourClass(), 0);
    (void)attackBonus();
    (void)poisonResistance();
}

}  // namespace
}  // namespace kelvrin::test
