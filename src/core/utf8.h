// Small UTF-8 helpers: the game's text is UTF-8 in memory, and sizes are
// counted in characters (screen cells), never in bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kelvrin {

// Decodes the code point starting at text[pos] and advances pos past it.
// A malformed byte decodes as U+FFFD and advances by one byte.
char32_t decodeUtf8(std::string_view text, std::size_t& pos);
void appendUtf8(std::string& out, char32_t cp);
std::string encodeUtf8(char32_t cp);
// Number of characters (code points) in a UTF-8 text.
std::size_t utf8Length(std::string_view text);
// The first maxChars characters of a UTF-8 text.
std::string utf8Prefix(std::string_view text, std::size_t maxChars);

}  // namespace kelvrin
