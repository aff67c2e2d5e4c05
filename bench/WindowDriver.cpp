#include "WindowDriver.h"

#include "CallerSide.h"

#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>

namespace parlo::bench {

namespace {

template <typename Widget> Widget& control(const ChatEnd& end, const char* name) {
    auto* widget = end.window.findChild<Widget*>(QLatin1String(name));
    if (!widget) {
        qFatal("the chat window has no control named %s", name);
    }
    return *widget;
}

const QString kReady = QStringLiteral("ready");

} // namespace

QLineEdit& inputBox(ChatEnd& end) {
    return control<QLineEdit>(end, "txtSend");
}

QPlainTextEdit& outputBox(ChatEnd& end) {
    return control<QPlainTextEdit>(end, "txtOutput");
}

QSize transcriptSize() {
    CallerSide side;
    ChatEnd caller(side, ChatSettings{.port = 0});
    caller.window.start();
    settle(100);
    return outputBox(caller).size();
}

QString nickname(const ChatEnd& end) {
    QString caption = end.window.windowTitle();
    return caption.left(caption.lastIndexOf(QLatin1String(" - ")));
}

QString copiedText(ChatEnd& end) {
    QPlainTextEdit& box = outputBox(end);
    const QTextCursor kept = box.textCursor();
    box.selectAll();
    box.copy();
    box.setTextCursor(kept);
    return QGuiApplication::clipboard()->text();
}

QString lastShownLine(ChatEnd& end) {
    return outputBox(end).document()->lastBlock().text();
}

bool typeLine(QLineEdit& input, const QString& line) {
    input.setText(line);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QCoreApplication::sendEvent(&input, &enter);
    return input.text().isEmpty();
}

bool spinUntil(const std::function<bool()>& done, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    // Waits for events rather than spinning, so that the thread's processor
    // time is the window's own; the timer checks `done()` at least this often.
    QTimer check;
    check.start(5);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void settle(int ms) {
    spinUntil([] { return false; }, ms);
}

bool call(ChatEnd& caller) {
    control<QComboBox>(caller, "cboAddress").setEditText(QStringLiteral("127.0.0.1"));
    control<QPushButton>(caller, "cmdConnect").click();
    // The caller takes typed lines once the host has confirmed the call (a
    // local command shows when: it sends nothing). Its nickname went out at
    // that moment, so its first line waits a little to arrive on its own.
    QLineEdit& input = inputBox(caller);
    if (!spinUntil([&] { return typeLine(input, QStringLiteral("/cls")); }, 10000)) {
        return false;
    }
    settle(200);
    return typeLine(input, kReady);
}

bool converse(ChatEnd& host, ChatEnd& caller) {
    const QString fromCaller = nickname(caller) + QStringLiteral(": ") + kReady;
    const QString fromHost = nickname(host) + QStringLiteral(": ") + kReady;
    return call(caller) && spinUntil([&] { return lastShownLine(host) == fromCaller; }, 10000) &&
           typeLine(inputBox(host), kReady) &&
           spinUntil([&] { return lastShownLine(caller) == fromHost; }, 10000);
}

} // namespace parlo::bench
