// The save-file loader on any file: a refusal says so and leaves the file, the hero and the world as they were;
// an accepted file gives a game with every index in range, saving back to the same bytes, playable for a while.
#include <bit>
#include <string>

#include "fuzz_support.h"

#include "character/character_sheet.h"
#include "character/graveyard.h"
#include "character/program.h"
#include "character/rules_tables.h"
#include "core/save_file.h"
#include "data/classes.h"
#include "data/progression.h"
#include "data/races.h"
#include "items/catalogue.h"
#include "items/item_display.h"

using namespace kelvrin;

namespace {

SaveImage imageOf(const Hero& h, const WorldState& w) {
    SaveImage image{};
    encodeSave(h, w, false, image);
    return image;
}
// The game as the file has it, with the hero's name and what loading derives (the weights bit for bit).
struct GameState {
    SaveImage image;
    std::string name;
    int xpNext;
    int baseAttack;
    int attackPool;
    int kpModifier;
    std::uint32_t capacity;
    std::uint32_t load;
    bool operator==(const GameState&) const = default;
};
GameState gameState() {
    return {imageOf(hero, world), hero.name, hero.xpNext, hero.baseAttack, hero.attackPool, hero.kpModifier,
            std::bit_cast<std::uint32_t>(hero.capacity), std::bit_cast<std::uint32_t>(hero.load)};
}

// A loaded game: every index in range, saving back to the same bytes, then played for a few dozen keys.
void checkAndPlayLoadedGame() {
    FUZZ_CHECK(hero.name == "Fuzz" && within(hero.race, 0, raceTable.size() - 1) && within(hero.level, 1, MaxLevel) &&
               within(hero.heroClass, 0, classTable.size() - 1) && hero.baseAttack == hero.level);
    FUZZ_CHECK(hero.xpNext == xpForNextLevel(hero.level) && hero.kpModifier == 0 && hero.weapon.kind == KindWeapon &&
               isValidItem(hero.weapon) && hero.armour.kind == KindArmour && isValidItem(hero.armour));
    FUZZ_CHECK(hero.shield.kind == KindEmpty || (hero.shield.kind == KindShield && isValidItem(hero.shield)));
    for (const ItemSlot& slot : hero.inventory) FUZZ_CHECK(slot.kind == KindEmpty || isValidItem(slot));
    FUZZ_CHECK(within(world.location, LocationWorldMap, LocationCrypt) && within(world.day, 1, DaysPerYear));
    FUZZ_CHECK(world.location < LocationDungeon || (within(world.savedX, 0, 19) && within(world.savedY, 0, 19)));
    FUZZ_CHECK(!world.inCombat && world.resumeDungeon && !world.leaveLoop);
    const SaveImage saved = imageOf(hero, world);
    const std::optional<LoadedGame> again = decodeSave(saved, hero, world);
    FUZZ_CHECK(again && imageOf(again->hero, again->world) == saved);
    // The game after the load: its screens read every loaded field.
    showCharacterSheet();
    for (const ItemSlot* slot : {&hero.weapon, &hero.armour, &hero.shield})
        for (int mode = ShowName; mode <= ShowPotionList; ++mode) printItem(*slot, mode);
    for (const ItemSlot& slot : hero.inventory) printItem(slot, ShowBackpack);
    printText(graveLine(graveRecordOfHero()));
    FuzzGame::runUntilInputEnds(runLocationLoop);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Keys for the game after a load: commands and arrows chosen by the file's bytes (same file, same walk).
    std::uint32_t walk = 2166136261u;
    for (std::size_t i = 0; i < size; ++i) walk = (walk ^ data[i]) * 16777619u;
    FuzzGame game(60, [walk]() mutable {
        static constexpr std::string_view Keys = "0123456789abcdefghijklmnopqrstuvwxyz\n";
        walk = walk * 1103515245u + 12345u;
        const int pick = static_cast<int>((walk >> 16) % (Keys.size() + 4));
        return pick < int(Keys.size()) ? static_cast<int>(Keys[pick]) : KeyUp + pick - int(Keys.size());  // an arrow
    });
    test::makeTestHero();  // a human fighter of the first level, armed, in the town
    hero.name = "Fuzz";
    const std::string path = saveFileName("Fuzz");
    const std::vector<unsigned char> file(data, data + size);
    Disk::files()[path] = file;
    const auto before = gameState();

    game.screen.type(" ");  // for the message's key wait
    if (!loadGame()) {
        FUZZ_CHECK(!SeedsMustLoad && game.shows("Pilk zapisu 'save_Fuzz' jest uszkodzony!\n"));
        FUZZ_CHECK(Disk::has(path) && Disk::files()[path] == file && gameState() == before);
        return 0;
    }
    FUZZ_CHECK(size == SaveFileSize && !Disk::has(path));
    checkAndPlayLoadedGame();
    return 0;
}
