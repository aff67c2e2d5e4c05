// The chat window as the user sees and drives it, in tables.

#include "CallerSide.h"
#include "ChatEnd.h"
#include "HostSide.h"
#include "PanelLayout.h"

#include <QTest>
#include <QtWidgets>

parlo::ChatSide* const sides[] = {new parlo::CallerSide, new parlo::HostSide}; // for the whole run

// One program's window as the program assembles and starts it, on a free port.
struct Window : parlo::ChatEnd {
    explicit Window(bool host) : ChatEnd(*sides[host], {.port = 0}) { window.start(); }
    template <typename T = QWidget> T* find(const char* name) { return window.findChild<T*>(name); }
    // Presses the keys (⏎ ↑ ↓ ⇥ are Enter, Up, Down and Tab; any other character
    // is typed); tells which control then has the focus and what the input box holds.
    QString press(const QString& keys) {
        static_cast<void>(QTest::qWaitForWindowActive(&window)); // keys go to the focus
        const QHash<QChar, Qt::Key> named{
            {u'⏎', Qt::Key_Return}, {u'↑', Qt::Key_Up}, {u'↓', Qt::Key_Down}, {u'⇥', Qt::Key_Tab}};
        for (const QChar key : keys)
            QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), named.value(key),
                                named.contains(key) ? QString() : QString(key), Qt::NoModifier);
        return QApplication::focusWidget()->objectName() + ' ' + find<QLineEdit>("txtSend")->text();
    }
};

class TestWindow : public QObject {
    Q_OBJECT
private slots:
    void windows() {
        // The caller's window: places in pixels (a label sizes itself to its
        // caption: only its place is given) and captions.
        const std::tuple<const char*, QRect, QString> controls[] = {
            {"fraConnect", {8, 0, 361, 209}, "Connect"},
            {"Label1", {168, 48, 0, 0}, "Connect to (IP/Host name):"},
            {"cboAddress", {160, 64, 161, 21}, ""},
            {"cmdConnect", {192, 96, 89, 25}, "Connect"},
            {"Image1", {24, 104, 128, 87}, ""},
            {"fraChat", {8, 0, 361, 209}, "Chat"},
            {"txtOutput", {8, 16, 345, 113}, ""},
            {"txtSend", {8, 152, 329, 19}, ""},
            {"Label2", {16, 180, 0, 0}, "Peers:"},
            {"cboPeers", {48, 176, 145, 20}, ""},
            {"cmdSend", {232, 176, 89, 25}, "Send"},
        };
        Window caller(false);
        for (const auto& [name, place, text] : controls) {
            const QWidget* c = caller.find(name);
            QVERIFY2(c, name);
            QCOMPARE(QRect(c->pos(), place.isEmpty() ? QSize(0, 0) : c->size()), place);
            // A frame's title, the text of the others.
            QCOMPARE(c->property("title").toString() + c->property("text").toString(), text);
        }
        QCOMPARE(caller.press("⇥⇥⇥"), "cmdConnect "); // round the connect panel's two controls

        // Sizes in twips: a panel dimension follows the window's outer size above its threshold.
        const std::tuple<QSizeF, QSizeF, bool, QSizeF> panels[] = {
            {{5415, 3135}, {5745, 4260}, false, {5415, 3135}}, // at both thresholds
            {{5415, 3135}, {5746, 4261}, false, {5346, 3061}}, // just above both
            {{5415, 3135}, {9000, 7000}, true, {5415, 3135}},  // minimized
            {{8600, 5800}, {100, 100}, false, {8600, 5800}},   // shrunk below both: kept
        };
        for (const auto& [current, outer, minimized, panel] : panels)
            QCOMPARE(parlo::PanelLayout::resized(current, outer, minimized), panel);
        // The outer size counts the frame: 904 x 604 pixels, 13560 x 9060 twips.
        caller.window.resize(900, 600);
        QTRY_COMPARE(caller.find("fraChat")->size(), QSize(877, 524));
        QCOMPARE(caller.find("fraConnect")->size(), QSize(877, 524));

        // The host's window. The user selected text at the start of a long
        // transcript and typed there; a new entry is brought into view with
        // nothing left selected, the transcript holds exactly what was written
        // in two entries (each with a run with no place to break a line, which
        // the box lays out in pieces of its own) and the title the nickname as typed.
        const QString entry = QString(5000, 'x') + QStringLiteral("\r\nline\rx\n\u2029\uFDD0\0");
        Window host(true);
        QVERIFY(caller.find<QAction>("mnuCommands") && !host.find<QAction>("mnuCommands"));
        auto* box = host.find<QPlainTextEdit>("txtOutput");
        const QScrollBar* bar = box->verticalScrollBar();
        host.window.appendOutput(entry);
        host.window.appendOutput(entry);
        QCOMPARE(host.window.outputText(), entry + entry);       // before the box has caught up
        QTRY_VERIFY(box->toPlainText().endsWith(QChar(0x2400))); // a NUL shows as its symbol
        box->setTextCursor(box->document()->find("x"));
        QTest::keyClicks(box, "typed");
        QVERIFY(bar->value() < bar->maximum()); // the end is out of view
        host.press("/nick [*]⏎");
        QTRY_VERIFY(bar->value() == bar->maximum() && !box->textCursor().hasSelection());
        QCOMPARE(host.window.outputText(), entry + entry + "\r\n>> Your new username is: [*].");
        QCOMPARE(host.window.windowHandle()->title(), QString("[*] - Parlo"));
        // Earlier lines recalled, and Tab round the chat panel's three controls.
        QCOMPARE(host.press("one⏎two⏎two⏎↑↑"), "txtSend one"); // a repeat is kept once
        QCOMPARE(host.press("↑↑↓"), "txtSend one");            // Up stops at the oldest
        QCOMPARE(host.press("↓↓draft↑↓↓"), "txtSend draft");   // the draft comes back, and stays
        QCOMPARE(host.press("⇥⇥⇥⇥⇥"), "txtOutput draft");      // Send, transcript, input box, ...
    }
};

QTEST_MAIN(TestWindow)
#include "test_window.moc"
