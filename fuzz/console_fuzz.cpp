// The console readers on the scripted console, fed the keys a terminal would make of the input bytes.
#include "fuzz_support.h"
#include "platform/key_decoder.h"

using namespace kelvrin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzGame game;
    const ConsoleScript script = consoleScript(data, size);
    KeyDecoder decoder(KeyDecoder::Mode::Terminal);
    decoder.feed(script.input);
    decoder.timeout();
    while (decoder.hasKey()) game.screen.press(decoder.takeKey());
    runConsoleScript(script.operations, true);
    return 0;
}
