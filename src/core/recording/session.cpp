#include "core/recording/session.h"

#include "core/clock.h"
#include "core/console.h"
#include "core/random.h"

namespace kelvrin {

bool RecordingSession::open(const std::string& path, std::string& error) {
    recorder_ = Recorder::create(path, error);
    return recorder_ != nullptr;
}

std::function<std::int64_t()> RecordingSession::clock(std::function<std::int64_t()> source) {
    return recorder_ ? recordedClock(*recorder_, std::move(source)) : source;
}

void RecordingSession::wrapFiles(FileAnswers& inner) {
    if (!recorder_) return;
    files_ = std::make_unique<RecordingFiles>(inner, *recorder_);
    setFileAnswers(files_.get());
}

Backend& RecordingSession::wrap(Backend& inner, std::optional<std::uint32_t> seed,
                                std::function<std::int64_t()> millis) {
    if (!recorder_) return inner;
    RecordingHeader header;
    header.gameVersion = KELVRIN_VERSION;
    header.mode = inner.interactive() ? "terminal" : "stream";
    header.seed = seed;
    header.screenReader = screenReader();
    header.window = windowOf(inner);
    recorder_->start(header);
    if (millis) recorder_->setClock(std::move(millis));
    console_ = std::make_unique<RecordingBackend>(inner, *recorder_);
    return *console_;
}

void RecordingSession::finish() {
    if (recorder_ && console_) recorder_->finish(console_->lastCheck());
}

ReplaySession::ReplaySession(Recording recording, ReplayOptions options, Backend& screen, RecordingSession& anew)
    : replay_(std::move(recording), options, screen), files_(replay_), replayConsole_(replay_, screen), anew_(anew) {
    setFileAnswers(&files_);
    anew_.wrapFiles(files_);
    setClockSource(anew_.clock([this] { return replay_.clock(); }));
    console_ = &anew_.wrap(replayConsole_, replay_.recording().header.seed, [this] { return replay_.millis(); });
}

ReplaySession::~ReplaySession() {
    setFileAnswers(nullptr);
    setClockSource({});
}

void ReplaySession::play(const std::function<void()>& program) {
    try {
        seedRandom(static_cast<std::uint32_t>(nowSeconds()));
        program();
        replayConsole_.gameEnded();
    } catch (const EndOfInput&) {
        // The recorded end of the input, or the replay stopped.
        if (!replay_.stopped()) replayConsole_.gameEnded();
    }
    if (!replay_.stopped()) anew_.finish();
}

}  // namespace kelvrin
