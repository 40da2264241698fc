// The recording reader on any file: a refusal's reason is safe to print; an accepted recording formats back to
// itself, and replays (the whole game, given the recording's answers) to an end without waiting for a key and
// without a byte reaching the disk. The check values are not compared: a fuzzed key changes every screen after it,
// and the game should go on playing the keys that follow.
#include "fuzz_support.h"

#include "character/feat_screens.h"
#include "support/recorded_game.h"

using namespace kelvrin;

namespace {

// A recording as the recorder writes it.
std::string formatted(const Recording& recording) {
    std::string text = formatHeader(recording.header);
    for (const RecordingEvent& event : recording.events) text += formatEvent(event);
    RecordingEvent end;
    end.check = recording.endCheck;
    return recording.complete ? text + formatEvent(end) : text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    const std::optional<Recording> recording = parseRecording({reinterpret_cast<const char*>(data), size}, error);
    if (!recording) {
        const auto letters = wellFormedUtf8(error);
        FUZZ_CHECK(!SeedsMustLoad && letters);
        for (const char32_t cp : *letters) FUZZ_CHECK(cp >= 0x20 && cp != 0x7F && !isC1(cp));
        return 0;
    }
    const std::string text = formatted(*recording);
    const std::optional<Recording> again = parseRecording(text, error);
    FUZZ_CHECK(again && formatted(*again) == text);

    FuzzGame game;  // the scripted console, which is no terminal: a replay on it never waits
    world = WorldState{};
    showAllFeats = false;
    test::replayGame(text, game.screen, {}, false);
    FUZZ_CHECK(Disk::files().empty() && game.screen.keysRead() == 0);
    return 0;
}
