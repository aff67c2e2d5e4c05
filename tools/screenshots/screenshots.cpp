// Renders the documentation's screenshots from the real windows: the caller's
// connect panel, both chat panels during a conversation over loopback, and the
// About box. Run it under a display server (xvfb-run) once per scale:
//
//   parlo_screenshots <directory> [<suffix>]
//
// writes <directory>/parlocall-connect<suffix>.png, parlocall-chat<suffix>.png,
// parlohost-chat<suffix>.png and parlo-about<suffix>.png.
#include "CallerSide.h"
#include "ChatEnd.h"
#include "HostSide.h"
#include "frmAbout.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <QWindow>
#include <csignal>
#include <cstdio>

using namespace parlo;

namespace {

constexpr int kWaitMs = 5000;

// Runs the event loop until `done` holds or the wait is over.
template <typename Condition> bool waitFor(Condition done) {
    const QDeadlineTimer deadline(kWaitMs);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

void pause(int ms) {
    const QDeadlineTimer deadline(ms);
    waitFor([&] { return deadline.hasExpired(); });
}

bool save(const QPixmap& shot, const QString& path) {
    if (shot.isNull() || !shot.save(path, "PNG")) {
        std::fprintf(stderr, "screenshots: could not write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s (%dx%d)\n", qPrintable(path), shot.width(), shot.height());
    return true;
}

QPixmap grabShown(QWidget& widget) {
    widget.show();
    widget.raise();
    if (!waitFor([&] { return widget.windowHandle() && widget.windowHandle()->isExposed(); })) {
        return {};
    }
    pause(200); // let the first paint settle
    return widget.grab();
}

template <typename T> T* control(ChatEnd& end, const char* name) {
    return end.window.findChild<T*>(QLatin1String(name));
}

QString lastLine(ChatEnd& end) {
    return control<QPlainTextEdit>(end, "txtOutput")->document()->lastBlock().text();
}

// Types `line` into `from`'s input box and presses Send, as the user does, until
// the box takes it (the caller takes none before the host has confirmed the
// call); true once the line has arrived in `to`'s transcript.
bool say(ChatEnd& from, ChatEnd& to, const QString& line) {
    auto* box = control<QLineEdit>(from, "txtSend");
    box->setText(line);
    const bool sent = waitFor([&] {
        control<QPushButton>(from, "cmdSend")->click();
        return box->text().isEmpty();
    });
    return sent && waitFor([&] { return lastLine(to).endsWith(QStringLiteral(": ") + line); });
}

// Opens the About box the way Help > About does and grabs it once it is up.
QPixmap grabAboutBox(ChatEnd& end) {
    QPixmap shot;
    QTimer::singleShot(0, &end.window, [&] {
        if (auto* about = end.window.findChild<frmAbout*>()) {
            shot = grabShown(*about);
            about->accept();
        }
    });
    control<QAction>(end, "mnuAbout")->trigger();
    return shot;
}

bool fail(const char* what) {
    std::fprintf(stderr, "screenshots: %s\n", what);
    return false;
}

bool render(const QDir& out, const QString& suffix) {
    auto path = [&](const char* name) {
        return out.filePath(QString::fromLatin1(name) + suffix + QStringLiteral(".png"));
    };

    // A host on a free port and a caller that calls it there.
    HostSide hostSide;
    ChatEnd host(hostSide, ChatSettings{.port = 0});
    host.window.start();
    CallerSide callerSide;
    ChatEnd caller(callerSide, ChatSettings{.port = host.socket.LocalPort()});
    caller.window.start();

    // The two windows side by side, as a user with both programs open sees them.
    host.window.move(40, 40);
    caller.window.move(80 + host.window.frameGeometry().width(), 40);

    control<QComboBox>(caller, "cboAddress")->setEditText(QStringLiteral("127.0.0.1"));
    if (!save(grabShown(caller.window), path("parlocall-connect"))) {
        return false;
    }

    control<QPushButton>(caller, "cmdConnect")->click();
    const bool talked = say(caller, host, QStringLiteral("Hello! Are you there?")) &&
                        say(host, caller, QStringLiteral("Yes, I'm here. How are you?")) &&
                        say(caller, host, QStringLiteral("Fine, thanks. Shall we start?")) &&
                        say(host, caller, QStringLiteral("Sure, go ahead."));
    if (!talked) {
        return fail("the caller did not reach the host over loopback, or a line did not arrive");
    }
    control<QLineEdit>(caller, "txtSend")->setText(QStringLiteral("The agenda first"));
    return save(grabShown(caller.window), path("parlocall-chat")) &&
           save(grabShown(host.window), path("parlohost-chat")) &&
           save(grabAboutBox(caller), path("parlo-about"));
}

} // namespace

int main(int argc, char* argv[]) {
    std::signal(SIGPIPE, SIG_IGN);
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2 || arguments.size() > 3) {
        std::fprintf(stderr, "usage: parlo_screenshots <directory> [<suffix>]\n");
        return 2;
    }
    const QDir out(arguments.at(1));
    if (!out.exists()) {
        std::fprintf(stderr, "screenshots: no directory %s\n", qPrintable(arguments.at(1)));
        return 2;
    }
    return render(out, arguments.value(2)) ? 0 : 1;
}
