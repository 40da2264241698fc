// The save-file loader on any file: a refusal says so and leaves the file, the hero and the world exactly as
// they were; an accepted file gives a game whose every index is in range, which saves back to the same bytes
// and can be played for a few dozen keys without a fault.
#include <bit>
#include <tuple>

#include "fuzz_support.h"

#include "character/character_sheet.h"
#include "character/derived_values.h"
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
// What the hero has beyond the file: the name and what loading derives (the weights bit for bit).
auto derived(const Hero& h) {
    return std::tuple(h.name, h.xpNext, h.baseAttack, h.attackPool, h.kpModifier,
                      std::bit_cast<std::uint32_t>(h.capacity), std::bit_cast<std::uint32_t>(h.load));
}

void checkLoadedGame() {
    const auto in = [](int value, int low, int high) { return value >= low && value <= high; };
    FUZZ_CHECK(hero.name == "Fuzz" && in(hero.race, 0, int(raceTable.size()) - 1) &&
               in(hero.heroClass, 0, int(classTable.size()) - 1));
    FUZZ_CHECK(in(hero.level, 1, MaxLevel) && hero.xpNext == xpForNextLevel(hero.level) && hero.kpModifier == 0 &&
               hero.baseAttack == hero.level);
    FUZZ_CHECK(hero.weapon.kind == KindWeapon && isValidItem(hero.weapon) && hero.armour.kind == KindArmour &&
               isValidItem(hero.armour));
    FUZZ_CHECK(hero.shield.kind == KindEmpty || (hero.shield.kind == KindShield && isValidItem(hero.shield)));
    for (const ItemSlot& slot : hero.inventory) FUZZ_CHECK(slot.kind == KindEmpty || isValidItem(slot));
    FUZZ_CHECK(in(world.location, LocationWorldMap, LocationCrypt) && in(world.day, 1, DaysPerYear));
    FUZZ_CHECK(world.location < LocationDungeon || (in(world.savedX, 0, 19) && in(world.savedY, 0, 19)));
    FUZZ_CHECK(!world.inCombat && world.resumeDungeon && !world.leaveLoop);
    // What loads saves back to a file that loads to the same game.
    const SaveImage saved = imageOf(hero, world);
    const std::optional<LoadedGame> again = decodeSave(saved, hero, world);
    FUZZ_CHECK(again && imageOf(again->hero, again->world) == saved);
}

// The game after the load: its screens read every loaded field.
void playAFewKeys() {
    showCharacterSheet();
    for (const ItemSlot* slot : {&hero.weapon, &hero.armour, &hero.shield})
        for (int mode = ShowName; mode <= ShowPotionList; ++mode) printItem(*slot, mode);
    for (const ItemSlot& slot : hero.inventory) printItem(slot, ShowBackpack);
    (void)attackBonus(), (void)armourClass(), (void)speedSteps(), (void)poisonResistance();
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
        static constexpr int Arrows[] = {KeyUp, KeyDown, KeyLeft, KeyRight};
        walk = walk * 1103515245u + 12345u;
        const std::uint32_t pick = (walk >> 16) % (Keys.size() + 4);
        return pick < Keys.size() ? static_cast<int>(Keys[pick]) : Arrows[pick - Keys.size()];
    });
    FuzzGame::makeHero("Fuzz");
    const std::string path = saveFileName("Fuzz");
    const std::vector<unsigned char> file(data, data + size);
    Disk::files()[path] = file;
    const auto heroBefore = derived(hero);
    const SaveImage before = imageOf(hero, world);

    game.screen.type(" ");  // for the message's key wait
    if (!loadGame()) {
        FUZZ_CHECK(!SeedsMustLoad && game.shows("Pilk zapisu 'save_Fuzz' jest uszkodzony!\n"));
        FUZZ_CHECK(Disk::has(path) && Disk::files()[path] == file && imageOf(hero, world) == before &&
                   derived(hero) == heroBefore);
        return 0;
    }
    FUZZ_CHECK(size == SaveFileSize && !Disk::has(path));
    checkLoadedGame();
    playAFewKeys();
    return 0;
}
