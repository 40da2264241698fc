// What the screen reader's status key says outside fights.
#pragma once

#include <string>

namespace kelvrin {

// "Pw 12/14, złoto 201, miasto." for the hero in play; without one, that
// there is none.
std::string heroStatusForReader();

// The keys of the screen-reader mode, as the information screen lists them
// in that mode.
extern const char* const ReaderKeysText;

}  // namespace kelvrin
