// Renders the documentation's screenshots from the real windows: the caller's
// connect panel, both chat panels during a conversation over loopback, and the
// About box. Run it under a display server (xvfb-run) once per scale:
//
//   parlo_screenshots <directory> [<suffix>]
//
// writes <directory>/parlocall-connect<suffix>.png, parlocall-chat<suffix>.png,
// parlohost-chat<suffix>.png and parlo-about<suffix>.png.
#include "Conversation.h"
#include "frmAbout.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <cstdio>

using parlo::desktop::Conversation;

namespace {

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
    if (!QTest::qWaitForWindowExposed(&widget)) {
        return {};
    }
    QTest::qWait(200); // let the first paint settle
    return widget.grab();
}

// Opens the About box the way Help > About does and grabs it once it is up.
QPixmap grabAboutBox(parlo::ChatWindow& window) {
    QPixmap shot;
    QTimer::singleShot(0, &window, [&] {
        if (auto* about = window.findChild<frmAbout*>()) {
            shot = grabShown(*about);
            about->accept();
        }
    });
    window.mnuAbout_Click();
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

    Conversation chat;
    // The two windows side by side, as a user with both programs open sees them.
    chat.host.window.move(40, 40);
    chat.caller.window.move(80 + chat.host.window.frameGeometry().width(), 40);
    chat.host.window.show();
    chat.caller.window.show();

    chat.caller.window.cboAddress->setEditText(QStringLiteral("127.0.0.1"));
    if (!save(grabShown(chat.caller.window), path("parlocall-connect"))) {
        return false;
    }

    if (!chat.connect(QStringLiteral("127.0.0.1"))) {
        return fail("the caller could not reach the host over loopback");
    }
    const bool talked =
        Conversation::say(chat.caller, chat.host, QStringLiteral("Hello! Are you there?")) &&
        Conversation::say(chat.host, chat.caller, QStringLiteral("Yes, I'm here. How are you?")) &&
        Conversation::say(chat.caller, chat.host,
                          QStringLiteral("Fine, thanks. Shall we start?")) &&
        Conversation::say(chat.host, chat.caller, QStringLiteral("Sure, go ahead."));
    if (!talked) {
        return fail("a chat line did not arrive");
    }
    chat.caller.window.txtSend->setText(QStringLiteral("The agenda first"));
    return save(grabShown(chat.caller.window), path("parlocall-chat")) &&
           save(grabShown(chat.host.window), path("parlohost-chat")) &&
           save(grabAboutBox(chat.caller.window), path("parlo-about"));
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
