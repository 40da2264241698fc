// The game on plain streams (pipes, files) when standard input or output
// is not a terminal: keys are the input's characters, output is the text
// as printed, with no escape sequences and no colours.
#pragma once

#include <optional>
#include <string>

#include "platform/backend.h"
#include "platform/key_decoder.h"
#include "platform/plain_text.h"

namespace kelvrin {

class StreamBackend : public Backend {
public:
    // Reads keys and lines from inFd, writes to outFd (not closed). For a
    // screen reader the map panels and the status bar are left out (the
    // reader's own lines tell them) and its lines are written.
    StreamBackend(int inFd = 0, int outFd = 1, bool screenReader = false);
    ~StreamBackend() override;
    StreamBackend(const StreamBackend&) = delete;
    StreamBackend& operator=(const StreamBackend&) = delete;

    void write(std::string_view utf8) override;
    void setColour(int) override {}
    // Starts a new line unless the output is at the start of one, so the
    // next screen never runs on after a prompt.
    void clear() override;
    // The block as plain lines (trailing blanks removed), from a new line.
    void putCells(int row, int col, int width, const std::vector<Cell>& cells) override;
    void readerText(std::string_view utf8) override;
    void moveCursor(int, int) override {}
    void setScrollRegion(int, int) override {}
    void flush() override;
    int readKey() override;
    std::optional<std::string> readLine(std::size_t maxChars) override;
    bool echoesLines() const override { return false; }
    bool pagesOutput() const override { return false; }
    int rows() const override { return 25; }
    int columns() const override { return 80; }

private:
    // Reads more input; false at its end (or on a read error).
    bool fill();

    int inFd_;
    int outFd_;
    std::string in_;
    std::size_t inPos_ = 0;
    bool inputEnded_ = false;
    KeyDecoder decoder_{KeyDecoder::Mode::Stream};
    bool screenReader_;
    PlainText out_;
    bool outputDead_ = false;
};

}  // namespace kelvrin
