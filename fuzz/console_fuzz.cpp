// The console readers on a script made of the input: fuzz_console on the scripted console fed the keys a terminal
// makes of the bytes, fuzz_stream (this file too) on the stream backend of a pipe, the bytes in a memory file.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include "fuzz_support.h"
#include "platform/key_decoder.h"
#include "platform/stream_backend.h"

using namespace kelvrin;

namespace {

// What the player types, read by at most 8 operations, each byte o calling reader o % 6 with p = o / 6, for at most
// 20 rounds (long inputs stay fast). A line edited on a terminal or the scripted console has no control at all, one
// from a pipe keeps the ASCII ones for the game's own checks; the end of input ends every reader.
void runConsoleScript(const std::vector<std::uint8_t>& operations, bool editedLines) try {
    const bool readsInput = std::any_of(operations.begin(), operations.end(), [](auto op) { return op % 6 != 5; });
    for (int rounds = 0; rounds < 20 && (rounds == 0 || readsInput); ++rounds) {
        for (const std::uint8_t op : operations) {
            const int p = op / 6;
            const bool even = p % 2 == 0;
            int value = -12345, key = 0;
            switch (op % 6) {
                case 0: {
                    const std::size_t maxChars = p == 0 ? 200 : static_cast<std::size_t>(p);
                    const auto letters = wellFormedUtf8(readLine(maxChars));
                    FUZZ_CHECK(letters && letters->size() <= maxChars);
                    for (const char32_t cp : *letters)
                        FUZZ_CHECK(cp != '\n' && !isC1(cp) && (!editedLines || (cp >= 0x20 && cp != 0x7F)));
                    break;
                }
                case 1: FUZZ_CHECK(readNumber(value) || value == -12345); break;
                case 2: (void)askYesNo(); break;
                case 3:
                    key = askKey(even ? "tna" : "1ąż");
                    FUZZ_CHECK(std::u32string_view(even ? U"tna" : U"1ąż").find(char32_t(key)) < 3);
                    break;
                case 4: FUZZ_CHECK(isArrow(key = getKey({})) || isCharacter(key)); break;
                case 5:
                    for (int line = 0; line < p % 10; ++line)
                        print("Wiersz %d: zażółć gęślą jaźń, a potem jeszcze trochę tekstu aż do końca.\n", line);
                    break;
            }
            FUZZ_CHECK(within(cursorRow(), 0, backend().rows() - 1) && within(cursorColumn(), 0, backend().columns()));
        }
    }
} catch (const EndOfInput&) {
}

}  // namespace

// Byte 0 gives the count of operations (1 + byte 0 % 8), the next bytes are the operations, the rest is input.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::size_t count = std::min<std::size_t>(1 + data[0] % 8, size - 1);
    const std::vector<std::uint8_t> operations(data + 1, data + 1 + count);
    const std::string_view input(reinterpret_cast<const char*>(data) + 1 + count, size - 1 - count);
    FuzzGame game;
#ifdef KELVRIN_FUZZ_TARGET_stream
    static const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    const int in = ::memfd_create("kelvrin-fuzz-input", MFD_CLOEXEC);
    FUZZ_CHECK(nowhere >= 0 && in >= 0 && ::write(in, input.data(), input.size()) == ssize_t(input.size()) &&
               ::lseek(in, 0, SEEK_SET) == 0);
    StreamBackend stream(in, nowhere);
    setBackend(&stream);
    runConsoleScript(operations, false);
    ::close(in);
#else
    KeyDecoder decoder(KeyDecoder::Mode::Terminal);
    decoder.feed(input);
    decoder.timeout();
    while (decoder.hasKey()) game.screen.press(decoder.takeKey());
    runConsoleScript(operations, true);
#endif
    return 0;
}
