#include "platform/interrupt.h"

#include <atomic>
#include <csignal>

namespace kelvrin {

namespace {

std::atomic<InterruptHandler> interruptHandler{nullptr};

}  // namespace

void setInterruptHandler(InterruptHandler handler) { interruptHandler.store(handler); }

void interruptGame() {
    if (const InterruptHandler handler = interruptHandler.load()) {
        handler();
    } else {
        std::raise(SIGINT);
    }
}

}  // namespace kelvrin
