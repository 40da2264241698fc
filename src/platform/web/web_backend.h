// The game in a web page: the shared terminal drawing, sent to the page's
// terminal (xterm.js, which reads the same escape sequences), always
// 80×25 and in full colours; keys are the bytes the terminal sends,
// awaited without blocking the page.
#pragma once

#include "platform/key_decoder.h"
#include "platform/vt_backend.h"

namespace kelvrin {

class WebBackend : public VtBackend {
public:
    // For a screen reader the page also gets the game's plain text (as a
    // pipe gets it, without the map panels, with the reader's own lines),
    // what came since the last key wait at each wait.
    explicit WebBackend(bool screenReader = false);
    // The game's run is over: the page says so and offers a new one.
    ~WebBackend() override;
    WebBackend(const WebBackend&) = delete;
    WebBackend& operator=(const WebBackend&) = delete;

    // Tells the page which keys its key bar offers now, and gives its
    // screen reader the text that came since the last wait.
    void offerInput(const InputOffer& offer) override;
    int readKeyWithin(int milliseconds) override;
    bool interactive() const override { return true; }

protected:
    bool send(std::string_view bytes) override;
    int nextKey() override;

private:
    void sendReaderText();

    KeyDecoder decoder_;
};

// True in a web page; false under Node, where the game plays on the
// standard streams.
bool inWebPage();

}  // namespace kelvrin
