#include "core/binary_file.h"

#include <algorithm>
#include <cstring>

#include "core/hero_lock.h"
#include "platform/file_system.h"

namespace kelvrin {

void ByteWriter::putU32(std::uint32_t value) {
    const unsigned char bytes[4] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                                    static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    putBytes(bytes, sizeof bytes);
}

void ByteWriter::putBytes(const void* bytes, std::size_t count) {
    if (count > size_ - pos_) {
        ok_ = false;
        return;
    }
    std::memcpy(data_ + pos_, bytes, count);
    pos_ += count;
}

void ByteWriter::putZeros(std::size_t count) {
    if (count > size_ - pos_) {
        ok_ = false;
        return;
    }
    std::memset(data_ + pos_, 0, count);
    pos_ += count;
}

std::uint32_t ByteReader::u32() {
    unsigned char b[4];
    bytes(b, sizeof b);
    return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
           static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

void ByteReader::bytes(void* out, std::size_t count) {
    if (count > size_ - pos_) {
        ok_ = false;
        std::memset(out, 0, count);
        pos_ = size_;
        return;
    }
    std::memcpy(out, data_ + pos_, count);
    pos_ += count;
}

namespace {

// The operations a test has put in, or nullptr for the system's own. Read
// by the crash save from a signal handler, hence volatile.
const FileOperations* volatile currentOperations = nullptr;

}  // namespace

void setFileOperations(const FileOperations* operations) { currentOperations = operations; }

const FileOperations& fileOperations() {
    const FileOperations* const operations = currentOperations;
    return operations != nullptr ? *operations : systemFileOperations();
}

std::string temporaryNameFor(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    std::string name(path.substr(0, nameStart));
    name += '.';
    name += path.substr(nameStart);
    name += ".tmp";
    return name;
}

bool writeFileAtomically(const char* path, const char* temporaryPath, const unsigned char* data, std::size_t size) {
    const FileOperations& files = fileOperations();
    const int fd = files.createForWriting(temporaryPath);
    if (fd < 0) return false;
    bool written = true;
    while (size > 0) {
        const long done = files.write(fd, data, size);
        if (done <= 0) {  // a full disk, or a write that makes no progress
            written = false;
            break;
        }
        data += done;
        size -= static_cast<std::size_t>(done);
    }
    written = written && files.flushToDisk(fd);
    written = files.close(fd) && written;
    if (written && files.rename(temporaryPath, path)) {
        files.flushFolderOf(path);
        return true;
    }
    files.remove(temporaryPath);
    return false;
}

namespace {

FileContents systemRead(const std::string& path, std::size_t maxSize) {
    const FileOperations& files = fileOperations();
    FileContents contents;
    if (!files.exists(path.c_str())) return contents;
    contents.status = ReadStatus::Unreadable;
    const int fd = files.openForReading(path.c_str());
    if (fd < 0) {
        // Deleted between the check and the open: as good as never there.
        if (!files.exists(path.c_str())) contents.status = ReadStatus::Missing;
        return contents;
    }
    // One byte more than allowed tells a file that is too large.
    std::vector<unsigned char> bytes(maxSize + 1 < 65536 ? maxSize + 1 : 65536);
    std::size_t used = 0;
    for (;;) {
        if (used == bytes.size()) {
            if (used > maxSize) break;
            bytes.resize(std::min(bytes.size() * 2, maxSize + 1));
        }
        const long done = files.read(fd, bytes.data() + used, bytes.size() - used);
        if (done < 0) {
            files.close(fd);
            return contents;
        }
        if (done == 0) break;
        used += static_cast<std::size_t>(done);
    }
    files.close(fd);
    if (used > maxSize) {
        contents.status = ReadStatus::TooLarge;
        return contents;
    }
    bytes.resize(used);
    contents.status = ReadStatus::Ok;
    contents.bytes = std::move(bytes);
    return contents;
}

class SystemFileAnswers final : public FileAnswers {
public:
    bool exists(const std::string& path) override { return fileOperations().exists(path.c_str()); }
    FileContents read(const std::string& path, std::size_t maxSize) override { return systemRead(path, maxSize); }
    bool write(const std::string& path, const std::vector<unsigned char>& bytes) override {
        const std::string temporary = temporaryNameFor(path);
        return writeFileAtomically(path.c_str(), temporary.c_str(), bytes.data(), bytes.size());
    }
    bool rename(const std::string& from, const std::string& to) override {
        return fileOperations().rename(from.c_str(), to.c_str());
    }
    bool remove(const std::string& path) override { return fileOperations().remove(path.c_str()); }
    LockOutcome lock(const std::string& path) override { return takeHeroLockFile(path); }
};

FileAnswers* currentAnswers = nullptr;

}  // namespace

FileAnswers& systemFileAnswers() {
    static SystemFileAnswers answers;
    return answers;
}

void setFileAnswers(FileAnswers* answers) { currentAnswers = answers; }

FileAnswers& fileAnswers() { return currentAnswers != nullptr ? *currentAnswers : systemFileAnswers(); }

bool writeFileAtomically(const std::string& path, const std::vector<unsigned char>& data) {
    return fileAnswers().write(path, data);
}
FileContents readWholeFile(const std::string& path, std::size_t maxSize) { return fileAnswers().read(path, maxSize); }
bool fileExists(const std::string& path) { return fileAnswers().exists(path); }
bool removeFile(const std::string& path) { return fileAnswers().remove(path); }
bool renameFile(const std::string& from, const std::string& to) { return fileAnswers().rename(from, to); }

}  // namespace kelvrin
