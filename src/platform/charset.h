// The terminal's character set when it is not UTF-8: a single-byte set
// such as ISO-8859-2 or CP1250, read from the locale. The game's text is
// UTF-8 in memory; the terminal backend converts at the terminal's edge.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/key_decoder.h"

namespace kelvrin {

class ByteCharset {
public:
    // Builds the tables for a codeset known to iconv; nullopt when iconv
    // does not know it or it is not a single-byte set extending ASCII.
    // (Always nullopt on Windows, whose console takes UTF-16.)
    static std::optional<ByteCharset> load(const char* codeset);

    // Code points of the bytes 0x80-0xFF (0: no character).
    const KeyDecoder::ByteTable& table() const { return table_; }
    // Appends UTF-8 text converted to this set; a character the set lacks
    // becomes '?'.
    void encode(std::string_view utf8, std::string& out) const;
    void encode(char32_t cp, std::string& out) const;

private:
    KeyDecoder::ByteTable table_{};
    std::vector<std::pair<char32_t, unsigned char>> bytes_;  // sorted by code point
};

// True for the codesets the terminal is driven in UTF-8: UTF-8 itself, and
// plain ASCII (a C or POSIX locale), which cannot show ł or ą at all.
bool codesetIsUtf8(std::string_view codeset);

// The character set of the current locale (after setlocale(LC_ALL, "")),
// or nullopt for UTF-8 (and on Windows, whose console takes UTF-16).
std::optional<ByteCharset> localeCharset();

}  // namespace kelvrin
