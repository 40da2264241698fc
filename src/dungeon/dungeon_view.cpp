#include "dungeon/dungeon_view.h"

#include <vector>

#include "character/program.h"
#include "combat/combat_screen.h"
#include "combat/encounters.h"
#include "core/console.h"
#include "core/game_state.h"
#include "core/random.h"
#include "data/classes.h"
#include "data/fixed_maps.h"
#include "data/level_slots.h"
#include "data/races.h"
#include "dungeon/chests.h"
#include "dungeon/level_generator.h"
#include "dungeon/level_map.h"
#include "dungeon/position.h"
#include "dungeon/dungeon_events.h"
#include "dungeon/surroundings.h"

namespace kelvrin {

namespace {

constexpr int CloseUpSize = 19;
constexpr int CloseUpRow = 2;
constexpr int CloseUpColumn = 0;
constexpr int OverviewRow = 1;
constexpr int OverviewColumn = 50;
constexpr int KeyLineRow = 21;
constexpr int MineClearedAfter = 20;


// What the loop knows about the level shown; rebuilt on every arrival.
struct DungeonVisit {
    int slot = 0;
    Position hero;
    Position stairsUp;
    Position stairsDown;
    Position cryptEntrance;
    std::vector<Position> chests;  // row by row; entry i is bit i of openedChests
    int stepsSinceFight = 0;
    int fightsOnLevel = 0;
};

// Loads the map of the visit's slot and finds its stairs and chests.
void loadLevel(DungeonVisit& visit) {
    visit.stairsUp = visit.stairsDown = visit.cryptEntrance = Nowhere;
    visit.chests.clear();
    const LevelSlotDef& slot = levelSlotTable[static_cast<std::size_t>(visit.slot)];
    switch (slot.source) {
        case MapSource::HallsOfPain:
            levelMap = hallsOfPainMap;
            break;
        case MapSource::ChallengeChamber:
            levelMap = challengeChamberMap;
            break;
        case MapSource::Generated:
            generateLevel(world.levelSeeds[static_cast<std::size_t>(visit.slot)], slot.maxChests,
                          slot.withCryptEntrance, slot.withSpecialPlace);
            break;
    }
    for (int y = 0; y < LevelMap::Height; ++y) {
        for (int x = 0; x < LevelMap::Width; ++x) {
            const std::int32_t cell = levelMap.at(x, y);
            if (cell & LevelMap::Chest) visit.chests.push_back({x, y});
            if (cell & LevelMap::StairsUp) visit.stairsUp = {x, y};
            if (cell & LevelMap::StairsDown) visit.stairsDown = {x, y};
            if (cell & LevelMap::CryptEntrance) visit.cryptEntrance = {x, y};
        }
    }
    // The bottoms of their branches have no way further down.
    const bool lastCryptLevel = world.location == LocationCrypt && world.dungeonLevel == 2;
    if (world.location == LocationHallsOfPain || world.location == LocationChallengeChamber || lastCryptLevel)
        visit.stairsDown = Nowhere;
}

void placeHero(DungeonVisit& visit, Position at) {
    visit.hero = at;
    world.savedX = at.x;  // kept current, so a crash save finds the hero here
    world.savedY = at.y;
}

// The number of the chest at this cell in the level's chest list, or -1.
int chestAt(const DungeonVisit& visit, Position at) {
    for (std::size_t i = 0; i < visit.chests.size(); ++i)
        if (visit.chests[i] == at) return static_cast<int>(i);
    return -1;
}

// One 7 × 7 block of the close-up for the floor cell at (x, y), whose top
// left corner is at (top, left) of the close-up.
void drawCloseUpBlock(std::vector<Cell>& cells, const DungeonVisit& visit, int x, int y, int top, int left) {
    const auto put = [&](int row, int col, char32_t ch) {
        cells[static_cast<std::size_t>((top + row) * CloseUpSize + left + col)] = Cell{ch, ColourNormal};
    };
    for (int i = 0; i < 7; ++i) {
        put(0, i, U'#');
        put(6, i, U'#');
        put(i, 0, U'#');
        put(i, 6, U'#');
    }
    if (levelMap.walkable(x, y - 1)) put(0, 3, U' ');
    if (levelMap.walkable(x, y + 1)) put(6, 3, U' ');
    if (levelMap.walkable(x - 1, y)) put(3, 0, U' ');
    if (levelMap.walkable(x + 1, y)) put(3, 6, U' ');
    const Position here{x, y};
    if (visit.hero == here) put(3, 3, U'O');
    if (visit.stairsUp == here) put(3, 2, U'/');
    if (visit.stairsDown == here || visit.cryptEntrance == here) put(3, 4, U'\\');
    if ((levelMap.at(x, y) & LevelMap::Chest) && !chestOpened(visit.slot, chestAt(visit, here))) put(4, 4, U'$');
}

void drawCloseUp(const DungeonVisit& visit) {
    std::vector<Cell> cells(CloseUpSize * CloseUpSize, Cell{U'_', ColourNormal});
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const int x = visit.hero.x + dx;
            const int y = visit.hero.y + dy;
            if (levelMap.walkable(x, y)) drawCloseUpBlock(cells, visit, x, y, 6 * (dy + 1), 6 * (dx + 1));
        }
    }
    putCells(CloseUpRow, CloseUpColumn, CloseUpSize, cells);
}

void drawOverview(const DungeonVisit& visit) {
    std::vector<Cell> cells(LevelMap::CellCount, Cell{U' ', ColourNormal});
    for (int y = 0; y < LevelMap::Height; ++y) {
        for (int x = 0; x < LevelMap::Width; ++x) {
            const Position here{x, y};
            char32_t ch = U' ';
            if (!levelMap.walkable(x, y)) {
                ch = U'#';
            } else if (visit.hero == here) {
                ch = U'O';
            } else if (visit.stairsDown == here || visit.cryptEntrance == here) {
                ch = U'\\';
            } else if (levelMap.at(x, y) & LevelMap::StairsUp) {
                ch = U'/';
            }
            cells[static_cast<std::size_t>(LevelMap::indexOf(x, y))].ch = ch;
        }
    }
    putCells(OverviewRow, OverviewColumn, LevelMap::Width, cells);
}

// The close-up in words, for a screen reader.
std::string surroundingsOf(const DungeonVisit& visit) {
    Surroundings view{levelMap, visit.hero, visit.stairsUp, visit.stairsDown, visit.cryptEntrance, {}};
    for (std::size_t i = 0; i < visit.chests.size(); ++i)
        if (!chestOpened(visit.slot, static_cast<int>(i))) view.closedChests.push_back(visit.chests[i]);
    return describeSurroundings(view);
}

void drawView(const DungeonVisit& visit) {
    clearScreen();
    print("%s %s %s, Poziom %d, Pw %d/%d, Złoto %d\n", hero.name.c_str(),
          raceTable[static_cast<std::size_t>(hero.race)].name, classTable[static_cast<std::size_t>(hero.heroClass)].name,
          hero.level, hero.hp, hero.maxHp, hero.gold);
    switch (world.location) {
        case LocationDungeon: print("Jesteś w podziemiach na %d poziomie.\n", world.dungeonLevel + 1); break;
        case LocationCrypt: print("Jesteś w krypcie na %d poziomie.\n", world.dungeonLevel + 1); break;
        case LocationMine: print("Jesteś w kopalni.\n"); break;
        case LocationHallsOfPain: print("Jesteś w salach bólu.\n"); break;
        case LocationChallengeChamber: print("Jesteś w komnacie wyzwań.\n"); break;
        default: break;
    }
    drawCloseUp(visit);
    drawOverview(visit);
    moveCursor(KeyLineRow, 0);
    print("Ruch - strzałki, s - statystki, u - użyj schodów, q - zapis i wyjście\n");
}

// Carries out what an event decided; false when the hero died.
bool follow(DungeonVisit& visit, EventOutcome outcome, Position cameFrom) {
    if (outcome == EventOutcome::Died) return false;
    if (outcome == EventOutcome::StepBack) placeHero(visit, cameFrom);
    return true;
}

// The random encounter roll of a step; false when the hero died.
bool encounterRoll(DungeonVisit& visit, Position cameFrom) {
    ++visit.stepsSinceFight;
    if (randomNext() % 20 >= visit.stepsSinceFight) return true;
    const LevelSlotDef& slot = levelSlotTable[static_cast<std::size_t>(visit.slot)];
    // The place's own code is the habitat mask (the mine counts as the
    // dungeon).
    const int habitat = world.location == LocationMine ? LocationDungeon : world.location;
    if (randomEncounter(static_cast<std::uint32_t>(habitat), slot.encounterDepth)) {
        visit.stepsSinceFight = 0;
        ++visit.fightsOnLevel;
        if (world.location == LocationMine && visit.fightsOnLevel == MineClearedAfter) world.set(MineCleared);
        if (paladinFarewellDue(visit.fightsOnLevel)) paladinFarewell();
        return true;
    }
    if (hero.hp < 1) return false;
    placeHero(visit, cameFrom);  // fled: back where he came from
    return true;
}

// The steps after a successful move; false when the hero died.
bool afterStep(DungeonVisit& visit, Position cameFrom) {
    const Position at = visit.hero;
    if (levelMap.at(at.x, at.y) & LevelMap::SpecialPlace) {
        // A special place has its own event instead of random monsters.
        if (!follow(visit, specialPlace(), cameFrom)) return false;
    } else {
        if (paladinWaitsHere() && !follow(visit, paladinMeeting(), cameFrom)) return false;
        const bool quietMine = world.location == LocationMine && world.has(MineCleared);
        if (!quietMine && !encounterRoll(visit, cameFrom)) return false;
    }
    const int chest = chestAt(visit, visit.hero);
    if (chest >= 0 && !follow(visit, openChest(visit.slot, chest), cameFrom)) return false;
    return true;
}

// Arrival on a new level of the same visit.
void arrive(DungeonVisit& visit, Position DungeonVisit::*where) {
    visit.fightsOnLevel = 0;
    loadLevel(visit);
    placeHero(visit, visit.*where);
}

enum class StairsResult { None, Moved, LeftTheUnderground };

StairsResult useStairs(DungeonVisit& visit) {
    if (visit.hero == visit.stairsDown) {
        ++world.dungeonLevel;
        ++visit.slot;
        if (visit.slot == 4 && world.questKind == QuestFifthLevel) world.questStage = 1;
        if (visit.slot == SlotHallsOfPain) {
            world.location = LocationHallsOfPain;
            world.dungeonLevel = 0;
        } else if (visit.slot == SlotChallengeChamber) {
            world.location = LocationChallengeChamber;
            world.dungeonLevel = 0;
        }
        arrive(visit, &DungeonVisit::stairsUp);
        return StairsResult::Moved;
    }
    if (visit.hero == visit.stairsUp) {
        --world.dungeonLevel;
        --visit.slot;
        Position DungeonVisit::*arriveAt = &DungeonVisit::stairsDown;
        switch (visit.slot) {
            case -1:
                world.location = LocationWorldMap;
                world.dungeonLevel = 0;
                return StairsResult::LeftTheUnderground;
            case SlotHallsOfPain:  // up from the mine
                world.location = LocationForest;
                world.dungeonLevel = 0;
                return StairsResult::LeftTheUnderground;
            case SlotLastDungeonLevel:  // up from the halls of pain
                world.location = LocationDungeon;
                world.dungeonLevel = SlotLastDungeonLevel;
                break;
            case SlotMine:  // up from the chamber of challenges
                world.location = LocationMine;
                world.dungeonLevel = 0;
                break;
            case SlotChallengeChamber:  // up from the first crypt level
                visit.slot = SlotCryptEntranceLevel;
                world.dungeonLevel = SlotCryptEntranceLevel;
                world.location = LocationDungeon;
                arriveAt = &DungeonVisit::cryptEntrance;
                break;
            default:
                break;
        }
        arrive(visit, arriveAt);
        return StairsResult::Moved;
    }
    if (visit.hero == visit.cryptEntrance) {
        world.dungeonLevel = 0;
        visit.slot = SlotFirstCryptLevel;
        world.location = LocationCrypt;
        arrive(visit, &DungeonVisit::stairsUp);
        return StairsResult::Moved;
    }
    return StairsResult::None;
}

Position stepFrom(Position at, int key) {
    switch (key) {
        case KeyUp: return {at.x, at.y - 1};
        case KeyDown: return {at.x, at.y + 1};
        case KeyLeft: return {at.x - 1, at.y};
        case KeyRight: return {at.x + 1, at.y};
        default: return Nowhere;
    }
}

}  // namespace

int currentLevelSlot() {
    switch (world.location) {
        case LocationHallsOfPain: return SlotHallsOfPain;
        case LocationMine: return SlotMine;
        case LocationChallengeChamber: return SlotChallengeChamber;
        case LocationCrypt: return SlotFirstCryptLevel + world.dungeonLevel;
        default: return world.dungeonLevel;
    }
}

bool enterDungeon(bool resume) {
    DungeonVisit visit;
    visit.slot = currentLevelSlot();
    loadLevel(visit);
    const Position saved{world.savedX, world.savedY};
    // A saved cell that is not floor (an edited or damaged file) puts the
    // hero on the stairs up rather than inside the rock.
    placeHero(visit, resume && levelMap.walkable(saved.x, saved.y) ? saved : visit.stairsUp);
    world.resumeDungeon = false;
    const ReaderTellerScope look(ReaderLookKey, [&visit] { return surroundingsOf(visit); });

    for (;;) {
        drawView(visit);
        if (screenReader()) tellReader(surroundingsOf(visit));
        for (bool redraw = false; !redraw;) {
            const int key = getKey("suq", true);
            if (key == 's') {
                characterSheetWithHints();
                if (hero.hp < 1) return false;
                redraw = true;
            } else if (key == 'u') {
                const StairsResult result = useStairs(visit);
                if (result == StairsResult::LeftTheUnderground) return true;
                redraw = result == StairsResult::Moved;
            } else if (key == 'q') {
                placeHero(visit, visit.hero);
                saveAndQuitPrompt();
                if (world.leaveLoop) return true;
                redraw = true;
            } else {
                const Position target = stepFrom(visit.hero, key);
                if (!levelMap.walkable(target.x, target.y)) continue;  // rock or not a move: nothing happens
                const Position cameFrom = visit.hero;
                placeHero(visit, target);
                if (!afterStep(visit, cameFrom)) return false;
                redraw = true;
            }
        }
    }
}

}  // namespace kelvrin
