// Letter case of Polish text without the locale: the capitals A-Z and
// Ą Ć Ę Ł Ń Ó Ś Ź Ż fold to their small letters through our own table, so
// that a name typed in any case is found the same way on every machine.
#pragma once

#include <string>
#include <string_view>

namespace kelvrin {

// The small letter of a capital (ASCII or Polish); any other character
// comes back unchanged.
char32_t foldPolishCase(char32_t letter);
// The whole UTF-8 text with every capital folded.
std::string foldPolishCase(std::string_view text);
// True when the two UTF-8 texts differ at most in letter case.
bool equalIgnoringCase(std::string_view a, std::string_view b);

}  // namespace kelvrin
