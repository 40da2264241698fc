// Compile-time checks of the constant tables: every row's id is its
// position (the save file stores it), and the tables the rules read are in
// the order the rules expect.
#include <cstddef>

#include "data/attributes.h"
#include "data/classes.h"
#include "data/item_tables.h"
#include "data/progression.h"
#include "data/races.h"

namespace kelvrin {
namespace {

template <typename Table>
constexpr bool idsArePositions(const Table& table) {
    for (std::size_t i = 0; i < table.size(); ++i)
        if (table[i].id != static_cast<int>(i)) return false;
    return true;
}

static_assert(idsArePositions(raceTable));
static_assert(idsArePositions(classTable));
static_assert(idsArePositions(weaponTable));
static_assert(idsArePositions(armourTable));
static_assert(idsArePositions(shieldTable));
static_assert(idsArePositions(potionTable));
static_assert(idsArePositions(gemTable));

constexpr bool experienceRises() {
    for (std::size_t i = 1; i < experienceTable.size(); ++i)
        if (experienceTable[i] <= experienceTable[i - 1]) return false;
    return true;
}
static_assert(experienceRises());
static_assert(experienceTable[MaxLevel] == 99999999);

// The feat masks of the hero hold one bit per weapon row.
static_assert(weaponTable.size() <= 32);

}  // namespace
}  // namespace kelvrin
