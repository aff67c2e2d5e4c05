#include "ChatProgram.h"

#include "BringForward.h"
#include "BrokenPipe.h"
#include "ChatEnd.h"
#include "ChatSettings.h"
#include "ChatSide.h"
#include "Discovery.h"
#include "FirstPaint.h"
#include "Product.h"
#include "SingleInstance.h"

#include <QApplication>
#include <future>

namespace parlo {

int runChatProgram(int argc, char* argv[], const ChatSide& side) {
    ignoreBrokenPipe();

    QApplication app(argc, argv);
    const QString& name = side.traits().programName;
    QCoreApplication::setApplicationName(name);
    // Lets taskbars match the window to its desktop entry and icon.
    QGuiApplication::setDesktopFileName(name);
    QCoreApplication::setApplicationVersion(product::kVersion);

    // Taking the lock writes its file through to the disk, which can take
    // longer than building the window: the window is built meanwhile, and
    // shown only once the lock is ours.
    SingleInstance instance(name);
    std::future<bool> acquired =
        std::async(std::launch::async, [&instance] { return instance.tryAcquire(); });
    const ChatSettings settings;
    ChatEnd end(side, settings);
    if (!acquired.get()) {
        instance.wakeRunningCopy();
        return 0;
    }
    QObject::connect(&instance, &SingleInstance::woken, &end.window,
                     [&end] { bringForward(end.window); });
    Discovery discovery(end.window, side.traits(), settings.port);
    end.window.start();
    afterFirstPaint(end.window, [&instance, &discovery] {
        instance.listenForWakeUps();
        discovery.start();
    });
    return QApplication::exec();
}

} // namespace parlo
