// The game as plain text: what it writes, each screen from a new line, the
// screen reader's own lines; no colours, no cursor moves, no cells drawn
// into place. The stream backend's output, the terminal's in the
// screen-reader mode, and the page's channel for its screen reader.
#pragma once

#include <string>
#include <string_view>

namespace kelvrin {

class PlainText {
public:
    void write(std::string_view utf8);
    // A new screen starts on a line of its own.
    void newScreen();
    // A text that is a line of its own (the screen reader's).
    void line(std::string_view utf8);
    // The text gathered since the last take.
    std::string take();
    std::size_t size() const { return text_.size(); }

private:
    std::string text_;
    bool atLineStart_ = true;
};

}  // namespace kelvrin
