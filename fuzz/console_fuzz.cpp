// The console readers on the scripted console, fed the keys a terminal would make of the input bytes.
#include "fuzz_support.h"
#include "platform/key_decoder.h"

using namespace kelvrin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzGame game;
    KeyDecoder decoder(KeyDecoder::Mode::Terminal);
    decoder.feed(fuzz::scriptInput(data, size));
    decoder.timeout();
    while (decoder.hasKey()) game.screen.press(decoder.takeKey());
    fuzz::runConsoleScript(data, size, true);
    return 0;
}
