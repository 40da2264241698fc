#include "platform/charset.h"

#include <algorithm>
#include <cctype>

#include "core/utf8.h"

namespace kelvrin {

namespace {

std::string normalised(std::string_view name) {
    std::string out;
    for (const char c : name) {
        if (c != '-' && c != '_') out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

}  // namespace

bool codesetIsUtf8(std::string_view codeset) {
    const std::string name = normalised(codeset);
    return name.empty() || name == "UTF8" || name == "ASCII" || name == "USASCII" || name == "ANSIX3.41968" ||
           name == "C" || name == "POSIX" || name == "646" || name == "ISO646US";
}

void ByteCharset::encode(char32_t cp, std::string& out) const {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
        return;
    }
    const auto it = std::lower_bound(bytes_.begin(), bytes_.end(), std::make_pair(cp, static_cast<unsigned char>(0)));
    out += (it != bytes_.end() && it->first == cp) ? static_cast<char>(it->second) : '?';
}

void ByteCharset::encode(std::string_view utf8, std::string& out) const {
    for (std::size_t pos = 0; pos < utf8.size();) encode(decodeUtf8(utf8, pos), out);
}

}  // namespace kelvrin
