// A cell of the underground map: x the column from the left, y the row from
// the top.
#pragma once

namespace kelvrin {

struct Position {
    int x = -1;
    int y = -1;
    friend bool operator==(const Position&, const Position&) = default;
};

// No cell: a level without this kind of place.
constexpr Position Nowhere{};

}  // namespace kelvrin
