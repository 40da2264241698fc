// What must hold after every key of any game, whatever was pressed.
#pragma once

#include <string>

namespace kelvrin::test {

// Empty when everything holds; otherwise what broke.
std::string checkInvariants();

}  // namespace kelvrin::test
