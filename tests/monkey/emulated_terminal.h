// The game's real terminal drawing, sent into a terminal emulator
// (libvterm) instead of a window, so that what a terminal shows can be
// compared cell by cell with the screen the game believes it drew. Keys
// come from a source, as on the scripted console, so the monkey drives both.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <string>

#include "platform/vt_backend.h"

struct VTerm;

namespace kelvrin::test {

class EmulatedTerminal : public VtBackend {
public:
    explicit EmulatedTerminal(ColourSupport colours);

    void setKeySource(std::function<int()> source) { source_ = std::move(source); }
    void setBeforeKey(std::function<void()> hook) { beforeKey_ = std::move(hook); }
    // Now and then, before a key, the window changes size or the screen is
    // drawn again (as after Ctrl-Z and `fg`), chosen from the seed.
    void changeWindowNowAndThen(unsigned seed) { windowChanges_.emplace(seed); }
    std::optional<std::string> readLine(std::size_t maxChars) override;
    bool readingLine() const { return readingLine_; }
    int keysRead() const { return keysRead_; }
    const std::string& transcript() const { return sent_; }  // every byte sent

    // Empty while the emulator shows what the game's screen holds (text,
    // colours, cursor); else the first differing cell and both screens.
    std::string difference() const;

protected:
    bool send(std::string_view bytes) override;
    int nextKey() override;

private:
    bool changeWindow();  // true when it drew the screen again

    std::unique_ptr<VTerm, void (*)(VTerm*)> vt_;
    std::function<int()> source_;
    std::function<void()> beforeKey_;
    std::optional<std::mt19937> windowChanges_;
    std::string sent_;
    std::string afterChange_;  // what a window change left wrong
    bool readingLine_ = false;
    int keysRead_ = 0;
};

}  // namespace kelvrin::test
