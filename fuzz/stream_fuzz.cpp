// The console readers on the stream backend of a pipe or a file on standard input: the bytes in a memory file.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include "fuzz_support.h"
#include "platform/stream_backend.h"

using namespace kelvrin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    const std::string_view input = fuzz::scriptInput(data, size);
    const int in = ::memfd_create("kelvrin-fuzz-input", MFD_CLOEXEC);
    FUZZ_CHECK(nowhere >= 0 && in >= 0 && ::write(in, input.data(), input.size()) == ssize_t(input.size()));
    FUZZ_CHECK(::lseek(in, 0, SEEK_SET) == 0);
    {
        fuzz::FuzzGame game;
        StreamBackend stream(in, nowhere);
        setBackend(&stream);
        fuzz::runConsoleScript(data, size, false);
    }
    ::close(in);
    return 0;
}
