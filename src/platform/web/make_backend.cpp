#include "platform/make_backend.h"

#include "platform/stream_backend.h"
#include "platform/web/web_backend.h"

namespace kelvrin {

// The page's terminal in a browser; the standard streams under Node.
std::unique_ptr<Backend> makeBackend(bool screenReader) {
    if (inWebPage()) return std::make_unique<WebBackend>(screenReader);
    return std::make_unique<StreamBackend>(0, 1, screenReader);
}

}  // namespace kelvrin
