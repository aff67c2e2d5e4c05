#include "ChatProgram.h"

#include "ChatEnd.h"
#include "ChatSettings.h"
#include "ChatSide.h"
#include "SingleInstance.h"

#include <QApplication>
#include <csignal>

namespace parlo {

int runChatProgram(int argc, char* argv[], ChatSide& side) {
    // A peer that vanishes while we write must end the conversation, not the program.
    std::signal(SIGPIPE, SIG_IGN);

    QApplication app(argc, argv);
    const QString& name = side.traits().programName;
    QCoreApplication::setApplicationName(name);
    // Lets taskbars match the window to its desktop entry and icon.
    QGuiApplication::setDesktopFileName(name);
    QCoreApplication::setApplicationVersion(QStringLiteral(PARLO_VERSION));

    SingleInstance instance;
    if (!instance.tryAcquire(name)) {
        return 0;
    }

    ChatEnd end(side, ChatSettings{});
    end.window.start();
    return QApplication::exec();
}

} // namespace parlo
