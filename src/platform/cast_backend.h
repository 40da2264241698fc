// A replayed game drawn into an asciicast (version 2, asciinema's format):
// the terminal drawing every system shares, its bytes kept with the time
// of the key that led to them instead of sent to a terminal. UTF-8 and
// full colours whatever the locale, and "\r\n" where a terminal's line
// discipline would add the carriage return.
#pragma once

#include <cstdint>
#include <string>

#include "platform/vt_backend.h"

namespace kelvrin {

class CastBackend final : public VtBackend {
public:
    CastBackend(int columns, int rows);

    // What is drawn from now on follows the input given at `millis`
    // (milliseconds since the start).
    void at(std::int64_t millis);
    // The window changed to this size: an "r" event, and the screen drawn
    // again as a terminal's game does.
    void resize(int columns, int rows);
    // The whole cast: the header line, then one event a line.
    std::string finish();

protected:
    bool send(std::string_view bytes) override;
    int nextKey() override { return KeyEnd; }

private:
    void event(const char* kind, std::string_view data);

    std::string cast_;
    std::string pending_;
    std::int64_t millis_ = 0;
};

// A text as a JSON string, quotes included: '"', '\\' and the control
// characters escaped, everything else as it is (UTF-8).
std::string jsonString(std::string_view text);

}  // namespace kelvrin
