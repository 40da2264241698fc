// The console of the tests: keys come from a script (or a generator, for
// the monkey test) and the output lands on an 80×25 virtual screen that
// wraps and scrolls as a terminal does, plus a transcript of everything
// written with colour marks, so a test can assert what a player would see.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/virtual_screen.h"

namespace kelvrin {

class ScriptedBackend : public Backend {
public:
    ScriptedBackend(int rows = 25, int columns = 80);

    // Queues the characters of a UTF-8 text as key presses ('\n' is Enter).
    void type(std::string_view keys);
    // Queues one key code (arrows, Escape ...).
    void press(int key);
    // Keys asked for once the queue is empty; KeyEnd ends the input.
    void setKeySource(std::function<int()> source) { source_ = std::move(source); }
    // Called before every key is handed out (the monkey test's invariants).
    void setBeforeKey(std::function<void()> hook) { beforeKey_ = std::move(hook); }
    void setPaging(bool on) { paging_ = on; }
    void resize(int rows, int columns) { screen_.resize(rows, columns); }

    // What the screen shows: one row as text (trailing blanks removed), the
    // whole screen as 25 lines, the attribute of one cell.
    std::string rowText(int row) const;
    std::string screenText() const;
    int attrAt(int row, int col) const;
    char32_t charAt(int row, int col) const;
    // Everything written since the start (or the last clearTranscript),
    // with "{N}" wherever the colour changed to N.
    const std::string& transcript() const { return transcript_; }
    void clearTranscript() { transcript_.clear(); }
    int cursorRow() const { return screen_.cursorRow(); }
    int cursorColumn() const { return screen_.cursorColumn(); }
    int keysRead() const { return keysRead_; }
    // True while the keys asked for are typed into a line (a name, a number).
    bool readingLine() const { return readingLine_; }
    std::size_t keysQueued() const { return queue_.size(); }
    int clears() const { return clears_; }

    void write(std::string_view utf8) override;
    void setColour(int attr) override;
    void clear() override;
    void putCells(int row, int col, int width, const std::vector<Cell>& cells) override;
    void moveCursor(int row, int col) override;
    void setScrollRegion(int top, int bottom) override;
    void flush() override {}
    int readKey() override;
    std::optional<std::string> readLine(std::size_t maxChars) override;
    bool echoesLines() const override { return true; }
    bool pagesOutput() const override { return paging_; }
    int rows() const override { return screen_.rows(); }
    int columns() const override { return screen_.columns(); }

private:
    int nextKey();

    VirtualScreen screen_;
    int transcriptAttr_ = 7;
    bool paging_ = true;
    bool readingLine_ = false;
    int keysRead_ = 0;
    int clears_ = 0;
    std::deque<int> queue_;
    std::function<int()> source_;
    std::function<void()> beforeKey_;
    std::string transcript_;
};

}  // namespace kelvrin
