// Recording a game: every answer the game gets from outside is written to
// the recording as it comes, through three wrappers that stand between the
// game and the console, its files and the clock. The game itself never
// learns that it is recorded.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/binary_file.h"
#include "core/recording/check_value.h"
#include "core/recording/recording_format.h"
#include "platform/backend.h"

namespace kelvrin {

class Recorder {
public:
    // Makes the new file of a recording at `path`; nullptr with the reason
    // when the file is there already or cannot be made.
    static std::unique_ptr<Recorder> create(const std::string& path, std::string& error);
    // The header goes first, before whatever was added until now (the
    // console, which it names, is made after the file).
    void start(const RecordingHeader& header);
    ~Recorder();
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    // Milliseconds since the start, for the time of each key; the real
    // time unless set (a recording made from a replay takes its times).
    void setClock(std::function<std::int64_t()> millis) { millis_ = std::move(millis); }
    std::int64_t millis() const { return millis_(); }

    void add(const RecordingEvent& event);
    // Sends what was added to the file: after each key, so that a game cut
    // short keeps its keys.
    void sync();
    // The game ended on its own: the last check and "end".
    void finish(std::uint64_t lastCheck);

    // Where the recording stopped when the disk refused it; empty while
    // it goes on.
    const std::string& failure() const { return failure_; }

private:
    Recorder(int fd, std::string path);

    int fd_;
    std::string path_;
    std::string pending_;
    int lines_ = 0;     // lines in the file
    int keys_ = 0;      // keys, lines and ends of input recorded
    std::string failure_;
    std::function<std::int64_t()> millis_;
};

// The console as the game sees it, recorded: keys, lines, the end of the
// input and the window at each key wait, with a check value of the screen.
class RecordingBackend final : public CheckedBackend {
public:
    RecordingBackend(Backend& inner, Recorder& recorder);

    int readKey() override;
    std::optional<std::string> readLine(std::size_t maxChars) override;
    int readKeyWithin(int milliseconds) override { return screen_.readKeyWithin(milliseconds); }
    bool interactive() const override { return screen_.interactive(); }
    bool echoesLines() const override { return screen_.echoesLines(); }
    bool pagesOutput() const override { return screen_.pagesOutput(); }
    int rows() const override { return screen_.rows(); }
    int columns() const override { return screen_.columns(); }
    bool takeSmallWindowNotice() override;

private:
    void afterWait();

    Recorder& recorder_;
    WindowState window_;
};

// The console's state as a recording writes it.
WindowState windowOf(const Backend& console);

// The folder's answers, recorded.
class RecordingFiles final : public FileAnswers {
public:
    RecordingFiles(FileAnswers& inner, Recorder& recorder) : inner_(inner), recorder_(recorder) {}

    bool exists(const std::string& path) override;
    FileContents read(const std::string& path, std::size_t maxSize) override;
    bool write(const std::string& path, const std::vector<unsigned char>& bytes) override;
    bool rename(const std::string& from, const std::string& to) override;
    bool remove(const std::string& path) override;
    LockOutcome lock(const std::string& path) override;

private:
    FileAnswers& inner_;
    Recorder& recorder_;
};

// A clock source that records each read of `source`.
std::function<std::int64_t()> recordedClock(Recorder& recorder, std::function<std::int64_t()> source);

// The clock of `kelvrin --seed N`: its k-th read (from 0) gives
// seededSeconds(N, k).
std::int64_t seededSeconds(std::uint32_t seed, std::uint32_t read);
std::function<std::int64_t()> seededClock(std::uint32_t seed);

}  // namespace kelvrin
