// The graveyard ("CMENTARZ"): every hero who dies is added to
// "cmentarz.dat", shared by all heroes and ordered by experience, best
// first; the main menu shows it. Heroes who quit are never added.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/game_state.h"

namespace kelvrin {

inline constexpr const char* GraveyardFileName = "cmentarz.dat";
// A record: the name in Windows-1250, zero-padded to 30 bytes, then seven
// 32-bit little-endian integers.
constexpr std::size_t GraveNameBytes = 30;
constexpr std::size_t GraveRecordBytes = 58;

struct GraveRecord {
    std::string name;  // UTF-8
    std::int32_t raceId = 0;
    std::int32_t classId = 0;
    std::int32_t level = 0;
    std::int32_t location = 0;
    std::int32_t dungeonLevel = 0;
    std::int32_t killer = HarmNothingYet;
    std::int32_t xp = 0;
    bool isNew = false;  // the hero who has just died; never stored
};

// The records of a graveyard file, in file order; nothing when the record
// count does not match the file's size.
std::optional<std::vector<GraveRecord>> decodeGraveyard(std::span<const unsigned char> bytes);
std::vector<unsigned char> encodeGraveyard(const std::vector<GraveRecord>& records);

// The record of the current hero, as he dies.
GraveRecord graveRecordOfHero();
// "<name> <race> <class>, <level> poziom, zabity przez <killer><place>.\n"
std::string graveLine(const GraveRecord& record);

// Adds the current hero to the graveyard and shows the list, the new
// record marked "*"; waits for a key. When the file cannot be written it
// is left as it was and the list ends with "Nie można zapisać cmentarza!".
void recordDeath();
// The main menu's "2. Cmentarz".
void showGraveyard();

}  // namespace kelvrin
