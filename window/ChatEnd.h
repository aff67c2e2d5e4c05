#pragma once

#include "ChatWindow.h"
#include "QtStreamSocket.h"
#include "modIEOps.h"

namespace parlo {

class ChatSide;

// One end of a conversation as the programs run it: the side's chat window
// over a real socket, with the browser launcher its About box uses.
struct ChatEnd {
    ChatEnd(const ChatSide& side, const ChatSettings& settings);

    QtStreamSocket socket;
    modIEOps launcher;
    ChatWindow window;
};

} // namespace parlo
