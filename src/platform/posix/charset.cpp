// The terminal's single-byte character sets on a POSIX system: iconv knows
// them, the locale names the one in use.
#include "platform/charset.h"

#include <iconv.h>
#include <langinfo.h>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstdlib>

#include "core/utf8.h"

namespace kelvrin {

std::optional<ByteCharset> ByteCharset::load(const char* codeset) {
    iconv_t cd = iconv_open("UTF-8", codeset);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    ByteCharset set;
    bool singleByte = true;
    for (int byte = 0; byte < 256 && singleByte; ++byte) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
        char in = static_cast<char>(byte);
        char out[8];
        char* inPtr = &in;
        char* outPtr = out;
        std::size_t inLeft = 1;
        std::size_t outLeft = sizeof out;
        const std::size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        if (done == static_cast<std::size_t>(-1)) {
            // EINVAL: the byte starts a longer sequence (not a single-byte
            // set); EILSEQ: the byte stands for no character.
            if (errno == EINVAL || byte < 0x80) singleByte = false;
            continue;
        }
        const std::string_view utf8(out, static_cast<std::size_t>(outPtr - out));
        std::size_t pos = 0;
        const char32_t cp = utf8.empty() ? 0 : decodeUtf8(utf8, pos);
        if (byte < 0x80) {
            if (cp != static_cast<char32_t>(byte)) singleByte = false;
        } else if (cp >= 0x80) {
            set.table_[static_cast<std::size_t>(byte - 0x80)] = cp;
            set.bytes_.emplace_back(cp, static_cast<unsigned char>(byte));
        }
    }
    iconv_close(cd);
    if (!singleByte) return std::nullopt;
    std::sort(set.bytes_.begin(), set.bytes_.end());
    return set;
}

std::optional<ByteCharset> localeCharset() {
    const char* codeset = nl_langinfo(CODESET);
    if (!codeset || codesetIsUtf8(codeset) || MB_CUR_MAX != 1) return std::nullopt;
    return ByteCharset::load(codeset);
}

}  // namespace kelvrin
