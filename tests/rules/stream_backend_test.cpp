#include "platform/stream_backend.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <string>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace kelvrin {
namespace {

// The system's pipe calls: msvcrt's binary pipes on Windows.
#ifdef _WIN32
int makePipe(int fds[2]) { return _pipe(fds, 1 << 16, _O_BINARY); }
int writeTo(int fd, const char* data, std::size_t size) { return _write(fd, data, static_cast<unsigned>(size)); }
int readFrom(int fd, char* data, std::size_t size) { return _read(fd, data, static_cast<unsigned>(size)); }
void closePipe(int fd) { _close(fd); }
#else
int makePipe(int fds[2]) { return pipe(fds); }
int writeTo(int fd, const char* data, std::size_t size) { return static_cast<int>(::write(fd, data, size)); }
int readFrom(int fd, char* data, std::size_t size) { return static_cast<int>(::read(fd, data, size)); }
void closePipe(int fd) { close(fd); }
#endif

// A pipe for the input and one for the output, around a StreamBackend.
class StreamBackendTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(makePipe(input_), 0);
        ASSERT_EQ(makePipe(output_), 0);
    }
    void TearDown() override {
        for (int fd : {input_[0], input_[1], output_[0], output_[1]})
            if (fd >= 0) closePipe(fd);
    }
    void type(std::string_view bytes, bool close = true) {
        ASSERT_EQ(writeTo(input_[1], bytes.data(), bytes.size()), static_cast<int>(bytes.size()));
        if (close) closeFd(input_[1]);
    }
    std::string written() {
        closeFd(output_[1]);
        std::string out;
        char buffer[512];
        int n;
        while ((n = readFrom(output_[0], buffer, sizeof buffer)) > 0) out.append(buffer, static_cast<std::size_t>(n));
        return out;
    }
    static void closeFd(int& fd) {
        closePipe(fd);
        fd = -1;
    }

    int input_[2] = {-1, -1};
    int output_[2] = {-1, -1};
};

TEST_F(StreamBackendTest, KeysAndLinesShareOneInput) {
    type("1ł\r\nZażółć gęślą\r\nabcdef\n\xff" "t\x1bkoniec bez końca linii");
    StreamBackend stream(input_[0], output_[1]);
    EXPECT_EQ(stream.readKey(), '1');
    EXPECT_EQ(stream.readKey(), 0x142);
    EXPECT_EQ(stream.readKey(), KeyEnter);  // "\r\n" is one Enter
    EXPECT_EQ(stream.readLine(200), "Zażółć gęślą");
    EXPECT_EQ(stream.readLine(3), "abc");  // read to its end, cut
    EXPECT_EQ(stream.readKey(), 't');      // the invalid byte is dropped
    EXPECT_EQ(stream.readKey(), KeyEscape);
    // A last line without its end is no line.
    EXPECT_EQ(stream.readLine(200), std::nullopt);
}

TEST_F(StreamBackendTest, EndOfInputIsFinal) {
    type("x");
    StreamBackend stream(input_[0], output_[1]);
    EXPECT_EQ(stream.readKey(), 'x');
    for (int i = 0; i < 3; ++i) EXPECT_EQ(stream.readKey(), KeyEnd);
    EXPECT_EQ(stream.readLine(10), std::nullopt);
}

TEST_F(StreamBackendTest, OutputIsPlainText) {
    {
        StreamBackend stream(input_[0], output_[1]);
        stream.clear();  // at the start of a line: nothing
        stream.write("Gdzie chcesz iść:\n");
        stream.setColour(12);
        stream.moveCursor(3, 4);
        stream.setScrollRegion(2, 24);
        stream.write("Umierasz...");
        stream.setColour(7);
        stream.clear();  // ends the unfinished line
        stream.write("Wybierz: ");
        const std::vector<Cell> cells = {{U'#', 8}, {U'ł', 10}, {U' ', 7}, {U'@', 0x87}, {U' ', 7}, {U' ', 7}};
        stream.putCells(5, 10, 3, cells);
    }  // the destructor flushes
    EXPECT_EQ(written(), "Gdzie chcesz iść:\nUmierasz...\nWybierz: \n#ł\n@\n");
}

TEST_F(StreamBackendTest, ClosedOutputEndsTheInput) {
    type("abc");
#ifndef _WIN32
    const auto previous = signal(SIGPIPE, SIG_IGN);  // Windows has no such signal
#endif
    closeFd(output_[0]);
    StreamBackend stream(input_[0], output_[1]);
    stream.write("nikt tego nie czyta\n");
    EXPECT_EQ(stream.readKey(), KeyEnd);  // the flush before the read fails
    EXPECT_EQ(stream.readLine(10), std::nullopt);
#ifndef _WIN32
    signal(SIGPIPE, previous);
#endif
}

}  // namespace
}  // namespace kelvrin
