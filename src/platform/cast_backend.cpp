#include "platform/cast_backend.h"

#include <cstdio>

namespace kelvrin {

std::string jsonString(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (b < 0x20 || b == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", b);
            out += escaped;
        } else {
            out += c;
        }
    }
    out += '"';
    return out;
}

CastBackend::CastBackend(int columns, int rows) {
    setColourSupport(ColourSupport::Full);
    followWindowSize(rows, columns);
    cast_ = "{\"version\": 2, \"width\": " + std::to_string(columns) + ", \"height\": " + std::to_string(rows) +
            ", \"title\": \"Kelvrin\"}\n";
    beginScreen("");
}

bool CastBackend::send(std::string_view bytes) {
    pending_ += withCarriageReturns(bytes);
    return true;
}

void CastBackend::event(const char* kind, std::string_view data) {
    // Seconds with three decimals, built from the integer: no locale's comma.
    const std::string seconds = std::to_string(millis_ / 1000) + "." + std::to_string(1000 + millis_ % 1000).substr(1);
    cast_ += "[" + seconds + ", \"" + kind + "\", " + jsonString(data) + "]\n";
}

void CastBackend::at(std::int64_t millis) {
    flush();
    if (!pending_.empty()) event("o", pending_);
    pending_.clear();
    millis_ = millis;
}

void CastBackend::resize(int columns, int rows) {
    flush();
    if (!pending_.empty()) event("o", pending_);
    pending_.clear();
    event("r", std::to_string(columns) + "x" + std::to_string(rows));
    if (followWindowSize(rows, columns)) redraw();
}

std::string CastBackend::finish() {
    at(millis_);
    return cast_;
}

}  // namespace kelvrin
