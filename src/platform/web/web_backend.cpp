#include "platform/web/web_backend.h"

#include <emscripten.h>

#include <string>

namespace kelvrin {

namespace {

// clang-format off
EM_JS(bool, webInPage, (), { return Module.kelvrin.inBrowser; });
EM_JS(void, webWriteTerminal, (const char* data, std::size_t size), {
    Module.kelvrin.writeStream(1, HEAPU8.slice(data, data + size));
});
// Up to `size` bytes of keys into `buffer`, waiting for at least one; 0
// when none came within timeoutMs (-1: no limit).
EM_ASYNC_JS(int, webTakeKeys, (char* buffer, int size, int timeoutMs), {
    const bytes = await Module.kelvrin.takeKeys(size, timeoutMs);
    HEAPU8.set(bytes, buffer);
    return bytes.length;
});
EM_JS(void, webOfferInput, (int kind, const char* keys, std::size_t size, bool arrows), {
    if (Module.kelvrin.onOffer) Module.kelvrin.onOffer(kind, UTF8ToString(keys, size), arrows);
});
EM_JS(void, webReaderText, (const char* text, std::size_t size), {
    if (Module.kelvrin.onReaderText) Module.kelvrin.onReaderText(UTF8ToString(text, size));
});
EM_JS(void, webGameEnded, (), {
    if (Module.kelvrin.onGameEnded) Module.kelvrin.onGameEnded();
});
// clang-format on

}  // namespace

bool inWebPage() { return webInPage(); }

WebBackend::WebBackend(bool screenReader) {
    if (screenReader) keepPlainCopy();
    setColourSupport(ColourSupport::Full);
    followWindowSize(ScreenRows, ScreenColumns);
    beginScreen("\x1b[?25h");
}

WebBackend::~WebBackend() {
    flush();
    sendReaderText();
    webGameEnded();
}

void WebBackend::sendReaderText() {
    const std::string text = takePlainCopy();
    if (!text.empty()) webReaderText(text.data(), text.size());
}

bool WebBackend::send(std::string_view bytes) {
    // The page's terminal has no line discipline to add the carriage return.
    const std::string onTheScreen = withCarriageReturns(bytes);
    webWriteTerminal(onTheScreen.data(), onTheScreen.size());
    return true;
}

void WebBackend::offerInput(const InputOffer& offer) {
    sendReaderText();
    webOfferInput(offer.kind, offer.keys.data(), offer.keys.size(), offer.arrows);
}

int WebBackend::readKeyWithin(int milliseconds) {
    flush();
    if (decoder_.hasKey()) return decoder_.takeKey();
    char bytes[256];
    const int got = webTakeKeys(bytes, sizeof bytes, milliseconds);
    if (got == 0) return KeyNone;
    decoder_.feed(std::string_view(bytes, static_cast<std::size_t>(got)));
    return nextKey();
}

int WebBackend::nextKey() {
    for (;;) {
        if (decoder_.hasKey()) return decoder_.takeKey();
        char bytes[256];
        const int got = webTakeKeys(bytes, sizeof bytes, decoder_.waiting() ? EscapeWaitMs : -1);
        if (got == 0) {
            decoder_.timeout();
        } else {
            decoder_.feed(std::string_view(bytes, static_cast<std::size_t>(got)));
        }
    }
}

}  // namespace kelvrin
