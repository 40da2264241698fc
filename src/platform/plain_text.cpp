#include "platform/plain_text.h"

#include <utility>

namespace kelvrin {

void PlainText::write(std::string_view utf8) {
    if (utf8.empty()) return;
    text_ += utf8;
    atLineStart_ = utf8.back() == '\n';
}

void PlainText::newScreen() {
    if (!atLineStart_) write("\n");
}

void PlainText::line(std::string_view utf8) {
    newScreen();
    write(utf8);
    newScreen();
}

std::string PlainText::take() { return std::exchange(text_, {}); }

}  // namespace kelvrin
