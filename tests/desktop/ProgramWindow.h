#pragma once

#include "ChatSide.h"
#include "ChatWindow.h"
#include "QtStreamSocket.h"
#include "frmClient.h"

#include <memory>

namespace parlo::desktop {

// One program's real chat window over a real socket, assembled the way the
// program assembles it, but with the port chosen by the test (0: any free port).
struct ProgramWindow {
    enum class Program { Host, Caller };

    ProgramWindow(Program program, quint16 port);

    std::unique_ptr<ChatSide> side;
    QtStreamSocket socket;
    ChatWindow window;
    frmClient form;

    // Types `line` into the input box and presses Enter, as the user does.
    void type(const QString& line);
};

} // namespace parlo::desktop
