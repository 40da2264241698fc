// The key decoder of the terminal and stream backends on any bytes. Byte 0
// chooses the set-up: bit 0 the stream mode (else the terminal's), bit 1 an
// ISO-8859-2 terminal (else UTF-8), and bits 2-7 how often the Escape wait
// runs out (after every n-th byte while a sequence is open; 0: only at the
// end). Every key it gives is a key of its mode, it never gives more keys
// than bytes, a timeout always ends what was open, and in the stream mode
// valid UTF-8 comes back letter for letter.
#include <optional>
#include <string_view>
#include <vector>

#include "fuzz_support.h"

#include "core/utf8.h"
#include "platform/charset.h"
#include "platform/key_decoder.h"

using namespace kelvrin;
using namespace kelvrin::fuzz;

namespace {

std::optional<ByteCharset> latin2;

bool isArrow(int key) { return key == KeyUp || key == KeyDown || key == KeyLeft || key == KeyRight; }

// The code points of well-formed UTF-8, or nothing: each letter the game's
// decoder reads must encode back to the very bytes it came from (no
// overlong form, no stray or cut byte) and be a character (no surrogate,
// nothing above U+10FFFF).
std::optional<std::vector<char32_t>> wellFormedUtf8(std::string_view text) {
    std::vector<char32_t> out;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t start = pos;
        const char32_t cp = decodeUtf8(text, pos);
        if (encodeUtf8(cp) != text.substr(start, pos - start) || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
            return std::nullopt;
        out.push_back(cp);
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    latin2 = ByteCharset::load("ISO-8859-2");
    if (!latin2) {
        std::fprintf(stderr, "kelvrin fuzz: iconv does not know ISO-8859-2\n");
        std::abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const bool stream = (data[0] & 1) != 0;
    const bool byteTable = (data[0] & 2) != 0;
    const std::size_t timeoutEvery = data[0] >> 2;
    const std::uint8_t* bytes = data + 1;
    const std::size_t count = size - 1;

    KeyDecoder decoder(stream ? KeyDecoder::Mode::Stream : KeyDecoder::Mode::Terminal);
    if (byteTable) decoder.setByteTable(&latin2->table());
    std::vector<int> keys;
    const auto takeKeys = [&] {
        while (decoder.hasKey()) keys.push_back(decoder.takeKey());
    };
    std::size_t timeouts = 0;
    for (std::size_t i = 0; i < count; ++i) {
        decoder.feed(bytes[i]);
        takeKeys();
        if (timeoutEvery != 0 && (i + 1) % timeoutEvery == 0 && decoder.waiting()) {
            decoder.timeout();
            ++timeouts;
            FUZZ_CHECK(!decoder.waiting());
            takeKeys();
        }
    }
    decoder.timeout();
    ++timeouts;
    FUZZ_CHECK(!decoder.waiting());
    takeKeys();
    FUZZ_CHECK(!decoder.hasKey());

    // Each byte makes at most one key, and each timeout at most one Escape.
    FUZZ_CHECK(keys.size() <= count + timeouts);
    for (const int key : keys) {
        FUZZ_CHECK(key != '\r');
        FUZZ_CHECK(key != KeyEnd);
        if (isArrow(key)) {
            FUZZ_CHECK(!stream);
            continue;
        }
        FUZZ_CHECK(key >= 0 && key <= 0x10FFFF && !(key >= 0xD800 && key <= 0xDFFF));
        FUZZ_CHECK(!(key >= 0x80 && key < 0xA0));  // C1 controls are no keys
        if (!stream) FUZZ_CHECK(key != 0x08);       // a terminal's Backspace is one key
    }

    // A pipe or a file of UTF-8 text read without pauses: every letter is
    // its key, only '\r' and the C1 controls are left out.
    if (stream && !byteTable && timeoutEvery == 0) {
        if (const std::optional<std::vector<char32_t>> letters = wellFormedUtf8(std::string_view(reinterpret_cast<const char*>(bytes), count))) {
            std::vector<int> expected;
            for (const char32_t cp : *letters)
                if (cp != U'\r' && !(cp >= 0x80 && cp < 0xA0)) expected.push_back(static_cast<int>(cp));
            FUZZ_CHECK(keys == expected);
        }
    }
    return 0;
}
