// The same readers on the stream backend, the one a pipe or a file on
// standard input gets: the input bytes are the standard input as they
// stand (a memory file), output goes to /dev/null.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include "console_script.h"

#include "platform/stream_backend.h"

using namespace kelvrin;
using namespace kelvrin::fuzz;

namespace {

int nowhere = -1;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (nowhere < 0) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ConsoleScript script = ConsoleScript::parse(data, size);
    const int input = ::memfd_create("kelvrin-fuzz-input", MFD_CLOEXEC);
    FUZZ_CHECK(input >= 0);
    FUZZ_CHECK(::write(input, script.input.data(), script.input.size()) == static_cast<ssize_t>(script.input.size()));
    FUZZ_CHECK(::lseek(input, 0, SEEK_SET) == 0);
    {
        FuzzGame game;
        StreamBackend stream(input, nowhere);
        setBackend(&stream);
        runConsoleScript(script, false);
    }
    ::close(input);
    return 0;
}
