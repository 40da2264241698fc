// The save file: one hero is one file, "save_<name>", 1008 bytes of 32-bit
// little-endian fields. Saving writes the whole game; loading checks the
// file, puts the game in place and deletes the file, so a hero lives either
// in memory or on disk, never twice. The crash save ("error_save_<name>")
// has the same layout.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>

#include "core/game_state.h"

namespace kelvrin {

constexpr std::size_t SaveFileSize = 1008;
using SaveImage = std::array<unsigned char, SaveFileSize>;

// "save_<name>" and "error_save_<name>" for a hero's name.
std::string saveFileName(const std::string& name);
std::string crashSaveFileName(const std::string& name);

// The file image of a game. With `withoutFightChanges` the hero is stored
// as he will be when the running fight ends (world.fightChanges taken
// off). Allocates nothing and calls nothing that could: the crash handler
// uses it.
void encodeSave(const Hero& savedHero, const WorldState& savedWorld, bool withoutFightChanges, SaveImage& image);

struct LoadedGame {
    Hero hero;
    WorldState world;
};

// The game a file image holds, on top of `baseHero`/`baseWorld` (the name
// and what the file does not hold), with the values loading rebuilds:
// `xpNext`, `baseAttack`, `attackPool`, `kpModifier` 0, no fight running,
// `resumeDungeon` set. `capacity` and `load` are left for the caller.
// Nothing when the image is not a sound save (wrong size or magic, an
// index outside its table, a place or level that does not exist, a score,
// count or item bonus no game comes near).
std::optional<LoadedGame> decodeSave(std::span<const unsigned char> image, const Hero& baseHero,
                                     const WorldState& baseWorld);

// Writes "save_<name>" (or, with `crash`, "error_save_<name>") for the
// current hero after clearing the screen; on failure prints
// "Nie mozna zapisac gry!" and returns false. The old file stays whole
// whatever happens.
bool saveGame(bool crash);

// Reads "save_<name>" for the current hero's name, puts the game in place
// and deletes the file. A missing file, or one that fails the checks, gets
// its message and a key wait, stays on disk untouched, and leaves the hero
// and world as they were; false then.
bool loadGame();

}  // namespace kelvrin
