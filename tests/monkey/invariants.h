// What must hold after every key of any game, whatever was pressed.
#pragma once

#include <string>
#include <vector>

namespace kelvrin::test {

// Empty when everything holds; otherwise what broke.
std::string checkInvariants();

// Empty when the save file image loads back into the game now in memory,
// every record the same apart from `capacity` and `load` (which loading
// rebuilds) and the row of an empty slot (which means nothing); otherwise
// the first field that differs.
std::string checkSaveImage(const std::vector<unsigned char>& image);

}  // namespace kelvrin::test
