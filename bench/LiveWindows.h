#pragma once

#include "ChatSide.h"
#include "ChatWindow.h"
#include "QtStreamSocket.h"
#include "frmClient.h"

#include <functional>
#include <memory>

namespace parlo::bench {

// One program as it runs: the chat model over a real socket in a real
// (offscreen) window. A host listens on an ephemeral port, never on 1983.
struct LiveWindow {
    explicit LiveWindow(bool host);

    std::unique_ptr<ChatSide> side;
    QtStreamSocket socket;
    ChatWindow window;
    frmClient form;
};

// Lets events run until `done()` or until `timeoutMs` passed; true when done.
bool spinUntil(const std::function<bool()>& done, int timeoutMs);

// Connects `caller` to `host` and waits until both know each other's name.
bool converse(LiveWindow& host, LiveWindow& caller);

} // namespace parlo::bench
