// The key decoder on any bytes, byte 0 the set-up: bit 0 the stream mode (else the terminal's), bit 1 ISO-8859-2
// (else UTF-8), bits 2-7 after how many bytes an open sequence's Escape wait runs out (0: only at the end).
#include "fuzz_support.h"
#include "platform/charset.h"
#include "platform/key_decoder.h"

using namespace kelvrin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ByteCharset latin2 = ByteCharset::load("ISO-8859-2").value();  // iconv knows ISO-8859-2
    if (size == 0) return 0;
    const bool stream = (data[0] & 1) != 0, byteTable = (data[0] & 2) != 0;
    const std::size_t timeoutEvery = data[0] >> 2, count = size - 1;
    KeyDecoder decoder(stream ? KeyDecoder::Mode::Stream : KeyDecoder::Mode::Terminal);
    if (byteTable) decoder.setByteTable(&latin2.table());
    std::vector<int> keys;
    std::size_t timeouts = 0;
    for (std::size_t i = 0; i <= count; ++i) {
        if (i < count) decoder.feed(data[1 + i]);
        if (i == count || (timeoutEvery != 0 && (i + 1) % timeoutEvery == 0 && decoder.waiting())) {
            decoder.timeout();
            ++timeouts;
            FUZZ_CHECK(!decoder.waiting());
        }
        while (decoder.hasKey()) keys.push_back(decoder.takeKey());
    }
    // A key a byte at most, an Escape a timeout; arrows only from a terminal, which gives no 0x08; no '\r', end or C1.
    FUZZ_CHECK(keys.size() <= count + timeouts);
    for (const int key : keys)
        FUZZ_CHECK(isArrow(key) ? !stream : key != '\r' && isCharacter(key) && !isC1(key) && (stream || key != 0x08));
    // UTF-8 from a pipe or a file, without pauses, comes back letter for letter but '\r' and the C1 controls.
    auto letters = wellFormedUtf8({reinterpret_cast<const char*>(data) + 1, count});
    if (stream && !byteTable && timeoutEvery == 0 && letters) {
        std::erase_if(*letters, [](char32_t cp) { return cp == U'\r' || isC1(cp); });
        FUZZ_CHECK(std::equal(keys.begin(), keys.end(), letters->begin(), letters->end()));
    }
    return 0;
}
