// The Windows console is written in UTF-16 and its keys come as UTF-16
// (WriteConsoleW, ReadConsoleInputW), whatever its code page: no text ever
// goes through a single-byte set there.
#include "platform/charset.h"

namespace kelvrin {

std::optional<ByteCharset> ByteCharset::load(const char*) { return std::nullopt; }

std::optional<ByteCharset> localeCharset() { return std::nullopt; }

}  // namespace kelvrin
