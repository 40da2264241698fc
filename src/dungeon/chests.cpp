#include "dungeon/chests.h"

#include <cstddef>
#include <cstdint>

#include "combat/combat_engine.h"
#include "combat/treasure.h"
#include "core/console.h"
#include "core/game_state.h"
#include "core/random.h"
#include "data/level_slots.h"
#include "data/monsters.h"

namespace kelvrin {

namespace {

// Chest levels at which a mimic may wait instead of a chest: dungeon levels
// 3 to 7, the mine and the crypt's first level.
constexpr int MimicFromChestLevel = 4;
constexpr int MimicToChestLevel = 8;
constexpr int MimicOneIn = 40;
constexpr int MimicInitiativeBonus = 10;

// Loot words of a chest's treasure: gold, an item and gems; the mine's
// chests hold only gems.
constexpr std::uint32_t ChestLoot = LootGold | LootItem | LootGems;
constexpr std::uint32_t MineChestLoot = LootGems;

constexpr int RecordedChests = 32;  // bits of LevelRecord::openedChests

std::uint32_t& openedChests(int slot) { return world.levelSeeds.at(static_cast<std::size_t>(slot)).openedChests; }

void markOpened(int slot, int chest) { openedChests(slot) |= 1u << chest; }

}  // namespace

bool chestOpened(int slot, int chest) {
    // A chest the record has no bit for counts as opened, so that it never
    // yields a treasure again and again (levels hold far fewer chests).
    if (chest < 0 || chest >= RecordedChests) return true;
    return (openedChests(slot) & (1u << chest)) != 0;
}

EventOutcome openChest(int slot, int chest) {
    if (chestOpened(slot, chest)) return EventOutcome::Stay;
    const int chestLevel = levelSlotTable.at(static_cast<std::size_t>(slot)).chestLevel;

    if (chestLevel >= MimicFromChestLevel && chestLevel <= MimicToChestLevel && randomNext() % MimicOneIn == 0) {
        print("Znalazłeś skrzynię.\n\n(ok)");
        pauseOk();
        clearScreen();
        print("\nGdy podszedłeś do skrzynki, zaatakowała cię.\n");
        const int result = fightWithCompanions(monsterList({MonsterMimic}), MimicInitiativeBonus);
        if (result == FightDied || hero.hp < 1) return EventOutcome::Died;
        // Beaten or left behind, the mimic is no chest to open again.
        markOpened(slot, chest);
        return result == FightFled ? EventOutcome::StepBack : EventOutcome::Stay;
    }

    print("Znalazłeś skrzynię.\n");
    // Opened before the treasure is paid out, so that a game kept while the
    // loot screen is shown does not find the same treasure twice.
    markOpened(slot, chest);
    treasureFind(chestLevel, slot == SlotMine ? MineChestLoot : ChestLoot);
    return hero.hp < 1 ? EventOutcome::Died : EventOutcome::Stay;
}

}  // namespace kelvrin
