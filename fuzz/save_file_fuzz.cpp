// The save-file loader on any file: a refusal leaves the file, the hero and
// the world exactly as they were and says why; an accepted file gives a
// game whose every index is in range, which saves back to the same bytes
// and can be played for a few dozen keys without a fault.
#include <cstring>

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
using namespace kelvrin::fuzz;

namespace {

const std::string HeroName = "Fuzz";

SaveImage imageOf(const Hero& h, const WorldState& w) {
    SaveImage image{};
    encodeSave(h, w, false, image);
    return image;
}

bool sameBeyondTheFile(const Hero& a, const Hero& b) {
    return a.name == b.name && a.xpNext == b.xpNext && a.baseAttack == b.baseAttack && a.attackPool == b.attackPool &&
           a.kpModifier == b.kpModifier && std::memcmp(&a.capacity, &b.capacity, sizeof a.capacity) == 0 &&
           std::memcmp(&a.load, &b.load, sizeof a.load) == 0;
}

void checkLoadedGame() {
    FUZZ_CHECK(hero.name == HeroName);
    FUZZ_CHECK(hero.race >= 0 && hero.race < static_cast<int>(raceTable.size()));
    FUZZ_CHECK(hero.heroClass >= 0 && hero.heroClass < static_cast<int>(classTable.size()));
    FUZZ_CHECK(hero.level >= 1 && hero.level <= MaxLevel);
    FUZZ_CHECK(hero.xpNext == xpForNextLevel(hero.level));
    FUZZ_CHECK(hero.weapon.kind == KindWeapon && isValidItem(hero.weapon));
    FUZZ_CHECK(hero.armour.kind == KindArmour && isValidItem(hero.armour));
    FUZZ_CHECK(hero.shield.kind == KindEmpty || (hero.shield.kind == KindShield && isValidItem(hero.shield)));
    for (const ItemSlot& slot : hero.inventory) FUZZ_CHECK(slot.kind == KindEmpty || isValidItem(slot));
    FUZZ_CHECK(world.location >= LocationWorldMap && world.location <= LocationCrypt);
    FUZZ_CHECK(world.day >= 1 && world.day <= DaysPerYear);
    if (world.location >= LocationDungeon) {
        FUZZ_CHECK(world.savedX >= 0 && world.savedX < 20 && world.savedY >= 0 && world.savedY < 20);
    }
    FUZZ_CHECK(!world.inCombat && world.resumeDungeon && !world.leaveLoop);
    FUZZ_CHECK(hero.kpModifier == 0 && hero.baseAttack == hero.level);

    // What loads saves back to a file that loads to the same game.
    const SaveImage saved = imageOf(hero, world);
    const std::optional<LoadedGame> again = decodeSave(saved, hero, world);
    FUZZ_CHECK(again.has_value());
    FUZZ_CHECK(imageOf(again->hero, again->world) == saved);
}

// The game after the load: its screens read every loaded field.
void playAFewKeys() {
    showCharacterSheet();
    for (const ItemSlot* slot : {&hero.weapon, &hero.armour, &hero.shield})
        for (int mode = ShowName; mode <= ShowPotionList; ++mode) printItem(*slot, mode);
    for (const ItemSlot& slot : hero.inventory) printItem(slot, ShowBackpack);
    (void)attackBonus();
    (void)armourClass();
    (void)speedSteps();
    (void)poisonResistance();
    printText(graveLine(graveRecordOfHero()));
    FuzzGame::runUntilInputEnds(runLocationLoop);
}

// Keys for the game after a load: a walk through the commands of the
// screens, chosen by the file's bytes (the same file, the same walk).
class KeyWalk {
public:
    KeyWalk(const std::uint8_t* data, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i) state_ = (state_ ^ data[i]) * 16777619u;
    }
    int operator()() {
        static constexpr char Keys[] = "0123456789abcdefghijklmnopqrstuvwxyz\n";
        static constexpr int Arrows[] = {KeyUp, KeyDown, KeyLeft, KeyRight};
        state_ = state_ * 1103515245u + 12345u;
        const std::uint32_t pick = (state_ >> 16) % (sizeof Keys - 1 + 4);
        return pick < sizeof Keys - 1 ? Keys[pick] : Arrows[pick - (sizeof Keys - 1)];
    }

private:
    std::uint32_t state_ = 2166136261u;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzGame game(60, KeyWalk(data, size));
    makeFuzzHero(HeroName);
    const std::string path = saveFileName(HeroName);
    const std::vector<unsigned char> file(data, data + size);
    Disk::files()[path] = file;
    const Hero heroBefore = hero;
    const SaveImage before = imageOf(hero, world);

    game.screen.type(" ");  // for the message's key wait
    if (!loadGame()) {
        FUZZ_CHECK(game.shows("Pilk zapisu 'save_Fuzz' jest uszkodzony!\n"));
        FUZZ_CHECK(Disk::has(path) && Disk::files()[path] == file);
        FUZZ_CHECK(imageOf(hero, world) == before && sameBeyondTheFile(hero, heroBefore));
        return 0;
    }
    FUZZ_CHECK(size == SaveFileSize);
    FUZZ_CHECK(!Disk::has(path));
    checkLoadedGame();
    playAFewKeys();
    return 0;
}
