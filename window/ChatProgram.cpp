#include "ChatProgram.h"

#include "BrokenPipe.h"
#include "ChatEnd.h"
#include "ChatSettings.h"
#include "ChatSide.h"
#include "SingleInstance.h"

#include <QApplication>
#include <future>

namespace parlo {

int runChatProgram(int argc, char* argv[], ChatSide& side) {
    ignoreBrokenPipe();

    QApplication app(argc, argv);
    const QString& name = side.traits().programName;
    QCoreApplication::setApplicationName(name);
    // Lets taskbars match the window to its desktop entry and icon.
    QGuiApplication::setDesktopFileName(name);
    QCoreApplication::setApplicationVersion(QStringLiteral(PARLO_VERSION));

    // Taking the lock writes its file through to the disk, which can take
    // longer than building the window: the window is built meanwhile, and
    // shown only once the lock is ours.
    SingleInstance instance;
    std::future<bool> acquired =
        std::async(std::launch::async, [&instance, &name] { return instance.tryAcquire(name); });
    ChatEnd end(side, ChatSettings{});
    if (!acquired.get()) {
        return 0;
    }
    end.window.start();
    return QApplication::exec();
}

} // namespace parlo
