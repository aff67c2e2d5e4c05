#include "ChatProgram.h"

#include "ChatSide.h"
#include "ChatWindow.h"
#include "QtStreamSocket.h"
#include "SingleInstance.h"
#include "frmClient.h"

#include <QApplication>
#include <csignal>

namespace parlo {

int runChatProgram(int argc, char* argv[], ChatSide& side) {
    // A peer that vanishes while we write must end the conversation, not the program.
    std::signal(SIGPIPE, SIG_IGN);

    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(side.programName());
    // Lets taskbars match the window to its desktop entry and icon.
    QGuiApplication::setDesktopFileName(side.programName());
    QCoreApplication::setApplicationVersion(QStringLiteral(PARLO_VERSION));

    SingleInstance instance;
    if (!instance.tryAcquire(side.programName())) {
        return 0;
    }

    QtStreamSocket socket;
    ChatWindow window(side);
    frmClient form(socket, window, side);
    window.attach(form);
    form.Form_Load();
    window.show();
    return QApplication::exec();
}

} // namespace parlo
