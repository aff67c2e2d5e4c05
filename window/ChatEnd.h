#pragma once

#include "ChatWindow.h"
#include "Notifications.h"
#include "QtStreamSocket.h"
#include "modIEOps.h"

#include <memory>

namespace parlo {

class ChatSide;

// One end of a conversation as the programs run it: the side's chat window
// over a real socket, with the browser launcher its About box uses and the
// desktop's notifications.
struct ChatEnd {
    ChatEnd(const ChatSide& side, const ChatSettings& settings);

    QtStreamSocket socket;
    modIEOps launcher;
    std::unique_ptr<Notifications> notifications;
    ChatWindow window;
};

} // namespace parlo
