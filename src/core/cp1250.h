// Windows-1250, the code page of the game's files and of its byte-by-byte
// orderings. The game keeps UTF-8 in memory and converts only at those
// boundaries (the graveyard file, sorted feat and weapon lists).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kelvrin {

// The Windows-1250 byte of a character, or nothing when the code page
// cannot hold it.
std::optional<unsigned char> cp1250Byte(char32_t cp);
// UTF-8 text as Windows-1250 bytes, or nothing when a character (or a
// malformed byte) cannot be written in Windows-1250.
std::optional<std::string> toCp1250(std::string_view utf8);
// True when every character of the UTF-8 text has a Windows-1250 byte.
bool fitsCp1250(std::string_view utf8);
// Windows-1250 bytes as UTF-8 text; the five bytes the code page leaves
// undefined become U+FFFD.
std::string fromCp1250(std::string_view bytes);
// Orders two UTF-8 texts by their Windows-1250 bytes (unsigned), as the
// game sorts its feat and weapon lists. A character outside the code page
// counts as '?'.
bool cp1250Less(std::string_view a, std::string_view b);

}  // namespace kelvrin
