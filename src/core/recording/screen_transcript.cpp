#include "core/recording/screen_transcript.h"

#include <utility>

namespace kelvrin {

void ScreenTranscript::add(const std::string& heading) {
    text_ += "=== " + heading + " ===\n";
    std::string rows;
    for (int row = 0; row < screen_.rows(); ++row) rows += screen_.rowText(row) + "\n";
    // The empty rows below the last written one say nothing.
    rows.erase(rows.find_last_not_of('\n') + 1);
    if (!rows.empty()) text_ += rows + "\n";
    // In the screen-reader mode, what the reader heard besides the screen.
    if (!screen_.heard.empty()) text_ += "--- reader:\n" + std::exchange(screen_.heard, {});
}

void ScreenTranscript::before(const RecordingEvent& input) {
    std::string what = "end of input";
    if (input.kind == EventKind::Key) what = "key " + keyName(static_cast<int>(input.value));
    if (input.kind == EventKind::Line) what = "line " + quoted(input.path);
    add(std::to_string(++inputs_) + ": " + what);
}

std::string ScreenTranscript::finish() {
    add("the end");
    return text_;
}

}  // namespace kelvrin
