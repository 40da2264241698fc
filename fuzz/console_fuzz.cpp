// The line and number readers (readLine, readNumber) and the key readers
// (getKey, askYesNo, askKey) on the scripted console, fed the keys a
// terminal would make of the input bytes: every line comes back bounded
// and well-formed, every key is a key, the pager keeps the cursor on the
// screen, and the end of the input always ends the readers.
#include "console_script.h"

#include "platform/key_decoder.h"

using namespace kelvrin;
using namespace kelvrin::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ConsoleScript script = ConsoleScript::parse(data, size);
    FuzzGame game;
    KeyDecoder decoder(KeyDecoder::Mode::Terminal);
    decoder.feed(script.input);
    decoder.timeout();
    while (decoder.hasKey()) game.screen.press(decoder.takeKey());
    runConsoleScript(script, true);
    return 0;
}
