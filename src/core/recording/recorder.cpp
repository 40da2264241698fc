#include "core/recording/recorder.h"

#include <cerrno>
#include <chrono>
#include <cstring>

#include "platform/file_system.h"

namespace kelvrin {

std::unique_ptr<Recorder> Recorder::create(const std::string& path, std::string& error) {
    const int fd = systemFileOperations().createNew(path.c_str());
    if (fd < 0) {
        error = errno == EEXIST ? "it is there already (a recording never replaces a file)" : std::strerror(errno);
        return nullptr;
    }
    return std::unique_ptr<Recorder>(new Recorder(fd, path));
}

void Recorder::start(const RecordingHeader& header) {
    pending_.insert(0, formatHeader(header));
    sync();
}

Recorder::Recorder(int fd, std::string path) : fd_(fd), path_(std::move(path)) {
    const auto start = std::chrono::steady_clock::now();
    millis_ = [start] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    };
}

Recorder::~Recorder() { systemFileOperations().close(fd_); }

void Recorder::add(const RecordingEvent& event) {
    if (event.kind == EventKind::Key || event.kind == EventKind::Line || event.kind == EventKind::Eof) ++keys_;
    pending_ += formatEvent(event);
}

void Recorder::sync() {
    if (!failure_.empty()) {
        pending_.clear();
        return;
    }
    const FileOperations& files = systemFileOperations();
    const char* data = pending_.data();
    std::size_t size = pending_.size();
    while (size > 0) {
        const long done = files.write(fd_, data, size);
        if (done <= 0) {
            const char* why = done < 0 && errno != 0 ? std::strerror(errno) : "the disk took no more";
            failure_ = "the recording " + path_ + " stopped at input " + std::to_string(keys_) + ", after its line " +
                       std::to_string(lines_) + ": " + why;
            break;
        }
        for (long i = 0; i < done; ++i) {
            if (data[i] == '\n') ++lines_;
        }
        data += done;
        size -= static_cast<std::size_t>(done);
    }
    pending_.clear();
}

void Recorder::finish(std::uint64_t lastCheck) {
    RecordingEvent end;  // "end"
    end.check = lastCheck;
    add(end);
    sync();
    if (failure_.empty() && !systemFileOperations().flushToDisk(fd_))
        failure_ = "the recording " + path_ + " may be incomplete: the disk did not confirm it";
}

WindowState windowOf(const Backend& console) {
    return {console.columns(), console.rows(), console.pagesOutput(), console.echoesLines()};
}

RecordingBackend::RecordingBackend(Backend& inner, Recorder& recorder)
    : CheckedBackend(inner), recorder_(recorder), window_(windowOf(inner)) {}

// The window as the key wait left it, when it changed, then the key is on
// the disk.
void RecordingBackend::afterWait() {
    const WindowState now = windowOf(screen_);
    if (!(now == window_)) {
        RecordingEvent change;
        change.kind = EventKind::Window;
        change.window = now;
        recorder_.add(change);
        window_ = now;
    }
    recorder_.sync();
}

int RecordingBackend::readKey() {
    RecordingEvent event;
    event.check = lastCheck();
    const int key = screen_.readKey();
    event.kind = key == KeyEnd ? EventKind::Eof : EventKind::Key;
    event.time = recorder_.millis();
    event.value = key;
    recorder_.add(event);
    afterWait();
    return key;
}

std::optional<std::string> RecordingBackend::readLine(std::size_t maxChars) {
    RecordingEvent event;
    event.check = lastCheck();
    std::optional<std::string> line = screen_.readLine(maxChars);
    event.kind = line ? EventKind::Line : EventKind::Eof;
    event.time = recorder_.millis();
    if (line) event.path = *line;
    recorder_.add(event);
    afterWait();
    return line;
}

bool RecordingBackend::takeSmallWindowNotice() {
    const bool notice = screen_.takeSmallWindowNotice();
    if (notice) {
        RecordingEvent event;
        event.kind = EventKind::Notice;
        recorder_.add(event);
    }
    return notice;
}

namespace {

RecordingEvent fileEvent(EventKind kind, const std::string& path, bool ok) {
    RecordingEvent event;
    event.kind = kind;
    event.path = path;
    event.ok = ok;
    return event;
}

}  // namespace

bool RecordingFiles::exists(const std::string& path) {
    const bool there = inner_.exists(path);
    recorder_.add(fileEvent(EventKind::Exists, path, there));
    return there;
}

FileContents RecordingFiles::read(const std::string& path, std::size_t maxSize) {
    FileContents contents = inner_.read(path, maxSize);
    RecordingEvent event = fileEvent(EventKind::Read, path, true);
    event.status = contents.status;
    event.bytes = contents.bytes;
    recorder_.add(event);
    return contents;
}

bool RecordingFiles::write(const std::string& path, const std::vector<unsigned char>& bytes) {
    const bool written = inner_.write(path, bytes);
    RecordingEvent event = fileEvent(EventKind::Write, path, written);
    event.hasBytes = written;
    if (written) event.bytes = bytes;
    recorder_.add(event);
    return written;
}

bool RecordingFiles::rename(const std::string& from, const std::string& to) {
    const bool renamed = inner_.rename(from, to);
    RecordingEvent event = fileEvent(EventKind::Rename, from, renamed);
    event.path2 = to;
    recorder_.add(event);
    return renamed;
}

bool RecordingFiles::remove(const std::string& path) {
    const bool removed = inner_.remove(path);
    recorder_.add(fileEvent(EventKind::Remove, path, removed));
    return removed;
}

LockOutcome RecordingFiles::lock(const std::string& path) {
    const LockOutcome outcome = inner_.lock(path);
    RecordingEvent event = fileEvent(EventKind::Lock, path, true);
    event.lock = outcome;
    recorder_.add(event);
    return outcome;
}

std::function<std::int64_t()> recordedClock(Recorder& recorder, std::function<std::int64_t()> source) {
    return [&recorder, source = std::move(source)] {
        RecordingEvent event;
        event.kind = EventKind::Clock;
        event.value = source();
        recorder.add(event);
        return event.value;
    };
}

// SplitMix64's finaliser over the seed and the read's number side by side:
// every read of one seed, and the same read of two seeds, far apart.
std::int64_t seededSeconds(std::uint32_t seed, std::uint32_t read) {
    std::uint64_t z = (std::uint64_t{seed} << 32 | read) + 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<std::int64_t>(z & 0xFFFFFFFFull);
}

std::function<std::int64_t()> seededClock(std::uint32_t seed) {
    return [seed, read = std::uint32_t{0}]() mutable { return seededSeconds(seed, read++); };
}

}  // namespace kelvrin
