// A replayed game written out as text, screen by screen: the screen as the
// player saw it at each input, headed by that input, so that a reader (or a
// test) sees which key led where without a terminal.
#pragma once

#include <string>

#include "core/recording/recording_format.h"
#include "platform/scripted_backend.h"

namespace kelvrin {

class ScreenTranscript {
public:
    ScreenTranscript(int columns, int rows) : screen_(rows, columns) {}

    // Where the replay draws.
    Backend& screen() { return screen_; }
    // The screen as it stands, headed by the input about to be given.
    void before(const RecordingEvent& input);
    void resize(int columns, int rows) { screen_.resize(rows, columns); }
    // The whole text, the screen the game left at its end last.
    std::string finish();

private:
    // The screen, and what a screen reader heard besides it.
    struct Screen : ScriptedBackend {
        using ScriptedBackend::ScriptedBackend;
        void readerText(std::string_view utf8) override { heard.append(utf8).append("\n"); }
        std::string heard;
    };
    void add(const std::string& heading);

    Screen screen_;
    std::string text_;
    int inputs_ = 0;
};

}  // namespace kelvrin
