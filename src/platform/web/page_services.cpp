// What the page's panel of saves asks the game: the names of a hero's
// files and of the graveyard, whether a name is one the game takes, and
// whether a file is a save the game would load. Called from the page at any time, while the
// game waits for a key or after its run has ended.
#include <emscripten.h>

#include <span>
#include <string>

#include "character/creation.h"
#include "character/graveyard.h"
#include "core/binary_file.h"
#include "core/game_state.h"
#include "core/hero_lock.h"
#include "core/save_file.h"

namespace {

// The answer stays valid until the next call.
const char* held(std::string text) {
    static std::string answer;
    answer = std::move(text);
    return answer.c_str();
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE int kelvrinNameAllowed(const char* name) { return kelvrin::isAllowedName(name) ? 1 : 0; }

EMSCRIPTEN_KEEPALIVE const char* kelvrinSaveName(const char* name) { return held(kelvrin::saveFileName(name)); }
EMSCRIPTEN_KEEPALIVE const char* kelvrinCrashSaveName(const char* name) {
    return held(kelvrin::crashSaveFileName(name));
}
EMSCRIPTEN_KEEPALIVE const char* kelvrinLockName(const char* name) { return held(kelvrin::lockFileName(name)); }
EMSCRIPTEN_KEEPALIVE const char* kelvrinTemporaryName(const char* path) {
    return held(kelvrin::temporaryNameFor(path));
}
EMSCRIPTEN_KEEPALIVE const char* kelvrinGraveyardName() { return kelvrin::GraveyardFileName; }

// 1 when the bytes are a save the game loads, 0 when it would refuse them
// as damaged.
EMSCRIPTEN_KEEPALIVE int kelvrinSaveSound(const unsigned char* bytes, int size) {
    if (size < 0) return 0;
    const std::span<const unsigned char> image(bytes, static_cast<std::size_t>(size));
    return kelvrin::decodeSave(image, kelvrin::Hero{}, kelvrin::WorldState{}) ? 1 : 0;
}

}  // extern "C"
