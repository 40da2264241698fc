// The console readers on the stream backend of a pipe or a file on standard input: the bytes in a memory file.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include "fuzz_support.h"
#include "platform/stream_backend.h"

using namespace kelvrin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    const ConsoleScript script = consoleScript(data, size);
    const int in = ::memfd_create("kelvrin-fuzz-input", MFD_CLOEXEC);
    FUZZ_CHECK(nowhere >= 0 && in >= 0);
    FUZZ_CHECK(::write(in, script.input.data(), script.input.size()) == ssize_t(script.input.size()) &&
               ::lseek(in, 0, SEEK_SET) == 0);
    {
        FuzzGame game;
        StreamBackend stream(in, nowhere);
        setBackend(&stream);
        runConsoleScript(script.operations, false);
    }
    ::close(in);
    return 0;
}
