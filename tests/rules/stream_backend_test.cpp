#include "platform/stream_backend.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <string>

namespace kelvrin {
namespace {

// A pipe for the input and one for the output, around a StreamBackend.
class StreamBackendTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(pipe(input_), 0);
        ASSERT_EQ(pipe(output_), 0);
    }
    void TearDown() override {
        for (int fd : {input_[0], input_[1], output_[0], output_[1]})
            if (fd >= 0) close(fd);
    }
    void type(std::string_view bytes, bool close = true) {
        ASSERT_EQ(::write(input_[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        if (close) closeFd(input_[1]);
    }
    std::string written() {
        closeFd(output_[1]);
        std::string out;
        char buffer[512];
        ssize_t n;
        while ((n = ::read(output_[0], buffer, sizeof buffer)) > 0) out.append(buffer, static_cast<std::size_t>(n));
        return out;
    }
    static void closeFd(int& fd) {
        close(fd);
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
    const auto previous = signal(SIGPIPE, SIG_IGN);
    closeFd(output_[0]);
    StreamBackend stream(input_[0], output_[1]);
    stream.write("nikt tego nie czyta\n");
    EXPECT_EQ(stream.readKey(), KeyEnd);  // the flush before the read fails
    EXPECT_EQ(stream.readLine(10), std::nullopt);
    signal(SIGPIPE, previous);
}

}  // namespace
}  // namespace kelvrin
