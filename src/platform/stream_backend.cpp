#include "platform/stream_backend.h"

#include "core/utf8.h"
#include "platform/fd_io.h"

namespace kelvrin {

namespace {

// Output is sent at each flush, and sooner when this much has piled up.
constexpr std::size_t FlushSize = 64 * 1024;

}  // namespace

StreamBackend::StreamBackend(int inFd, int outFd, bool screenReader)
    : inFd_(inFd), outFd_(outFd), screenReader_(screenReader) {}

StreamBackend::~StreamBackend() { flush(); }

void StreamBackend::write(std::string_view utf8) {
    out_.write(utf8);
    if (out_.size() >= FlushSize) flush();
}

void StreamBackend::clear() { out_.newScreen(); }

void StreamBackend::readerText(std::string_view utf8) { out_.line(utf8); }

void StreamBackend::putCells(int, int, int width, const std::vector<Cell>& cells) {
    if (width <= 0 || screenReader_) return;
    out_.newScreen();
    for (std::size_t start = 0; start < cells.size(); start += static_cast<std::size_t>(width)) {
        std::string line;
        for (std::size_t i = start; i < cells.size() && i < start + static_cast<std::size_t>(width); ++i) {
            const char32_t ch = cells[i].ch;
            appendUtf8(line, ch < 0x20 || ch == 0x7F ? U' ' : ch);
        }
        line.erase(line.find_last_not_of(' ') + 1);
        write(line + "\n");
    }
}

void StreamBackend::flush() {
    // A closed pipe or a full disk: nobody reads us any more.
    const std::string text = out_.take();
    if (!outputDead_ && !writeAll(outFd_, text.data(), text.size())) outputDead_ = true;
}

bool StreamBackend::fill() {
    if (inputEnded_) return false;
    if (inPos_ > 0) {
        in_.erase(0, inPos_);
        inPos_ = 0;
    }
    char bytes[4096];
    const std::size_t n = readSome(inFd_, bytes, sizeof bytes);
    if (n == 0) {
        inputEnded_ = true;
        return false;
    }
    in_.append(bytes, n);
    return true;
}

int StreamBackend::readKey() {
    flush();
    if (outputDead_) return KeyEnd;
    // One byte at a time, so that the bytes after this key stay in the
    // buffer for a readLine that may follow.
    while (!decoder_.hasKey()) {
        if (inPos_ < in_.size()) {
            decoder_.feed(static_cast<unsigned char>(in_[inPos_++]));
        } else if (!fill()) {
            decoder_.timeout();  // a letter cut by the end of the input is dropped
            if (!decoder_.hasKey()) return KeyEnd;
        }
    }
    return decoder_.takeKey();
}

std::optional<std::string> StreamBackend::readLine(std::size_t maxChars) {
    flush();
    if (outputDead_) return std::nullopt;
    std::size_t end;
    while ((end = in_.find('\n', inPos_)) == std::string::npos) {
        if (!fill()) return std::nullopt;  // the input ended before the line did
    }
    std::string_view raw(in_.data() + inPos_, end - inPos_);
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    // Keep the valid UTF-8 letters only; cut to maxChars characters.
    KeyDecoder letters(KeyDecoder::Mode::Stream);
    letters.feed(raw);
    letters.timeout();
    std::string line;
    std::size_t count = 0;
    while (letters.hasKey()) {
        const int key = letters.takeKey();
        if (count < maxChars) appendUtf8(line, static_cast<char32_t>(key));
        ++count;
    }
    inPos_ = end + 1;
    return line;
}

}  // namespace kelvrin
