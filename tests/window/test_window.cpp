// The chat window as the user sees and drives it.

#include "CallerSide.h"
#include "ChatEnd.h"
#include "HostSide.h"
#include "PanelLayout.h"

#include <QTest>
#include <QtWidgets>

static const parlo::CallerSide callerSide;
static const parlo::HostSide hostSide;

// One program's window as the program assembles and starts it, on a free port.
struct Window : parlo::ChatEnd {
    explicit Window(const parlo::ChatSide& side) : ChatEnd(side, {.port = 0}) { window.start(); }

    template <typename T = QWidget> T* find(const char* name) { return window.findChild<T*>(name); }
    QPlainTextEdit* transcript() { return find<QPlainTextEdit>("txtOutput"); }
    QString copiedTranscript() {
        transcript()->selectAll();
        transcript()->copy();
        return QGuiApplication::clipboard()->text();
    }
    // Presses the keys (⏎ ↑ ↓ ⇥ are Enter, Up, Down and Tab; any other character
    // is typed); tells which control then has the focus and what the input box holds.
    QString press(const QString& keys) {
        static_cast<void>(QTest::qWaitForWindowActive(&window)); // keys go to the focus
        const QHash<QChar, Qt::Key> named{
            {u'⏎', Qt::Key_Return}, {u'↑', Qt::Key_Up}, {u'↓', Qt::Key_Down}, {u'⇥', Qt::Key_Tab}};
        for (const QChar key : keys) {
            const QString text = named.contains(key) ? QString() : QString(key);
            QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), named.value(key), text,
                                Qt::NoModifier);
        }
        const QString input = find<QLineEdit>("txtSend")->text();
        return QApplication::focusWidget()->objectName() + ' ' + input;
    }
};

class TestWindow : public QObject {
    Q_OBJECT
private slots:
    // In twips: a panel dimension follows the window's outer size above its threshold.
    void panelsFollowTheWindowSize() {
        const std::tuple<QSizeF, QSizeF, bool, QSizeF> panels[] = {
            {{5415, 3135}, {5745, 4260}, false, {5415, 3135}}, // at both thresholds
            {{5415, 3135}, {5746, 4261}, false, {5346, 3061}}, // just above both
            {{5415, 3135}, {9000, 7000}, true, {5415, 3135}},  // minimized
            {{8600, 5800}, {100, 100}, false, {8600, 5800}},   // shrunk below both: kept
        };
        for (const auto& [current, outer, minimized, panel] : panels) {
            QCOMPARE(parlo::PanelLayout::resized(current, outer, minimized), panel);
        }
        Window caller(callerSide);
        // The outer size counts the frame: 904 x 604 pixels, 13560 x 9060 twips.
        caller.window.resize(900, 600);
        QTRY_COMPARE(caller.find("fraChat")->size(), QSize(877, 524));
        QCOMPARE(caller.find("fraConnect")->size(), QSize(877, 524));
    }

    // Entries as the core writes them: line breaks start lines, a NUL shows as its
    // symbol, and a run with no place to break a line, which the box lays out in
    // pieces of its own, is copied whole.
    void transcriptShowsAndCopiesEntries() {
        Window host(hostSide);
        const QString run(5000, 'x');
        const QString entry = run + QStringLiteral("\r\nline\rx\n\u2029\uFDD0") + QChar(0);
        host.window.appendOutput("\r\n" + entry);
        host.window.appendOutput("\r\n" + entry);
        const QString copied = "\n" + run + QStringLiteral("\nline\nx\n\n\n\u2400");
        QTRY_COMPARE(host.copiedTranscript(), copied + copied);
        host.window.setOutputText(QStringLiteral("\r\nrestored"));
        QCOMPARE(host.copiedTranscript(), QStringLiteral("\nrestored"));
    }

    // The user selected text at the start of a long transcript and typed there;
    // a new entry is brought into view with nothing left selected.
    void newEntryComesIntoView() {
        Window host(hostSide);
        for (int entry = 0; entry < 100; ++entry) {
            host.window.appendOutput(QStringLiteral("\r\nentry %1").arg(entry));
        }
        QPlainTextEdit* box = host.transcript();
        QTRY_VERIFY(box->document()->blockCount() > 100);
        box->setTextCursor(box->document()->find("entry"));
        QTest::keyClicks(box, "typed");
        const QScrollBar* bar = box->verticalScrollBar();
        QVERIFY(bar->value() < bar->maximum());
        host.press("/nick [*]⏎");
        QTRY_COMPARE(bar->value(), bar->maximum());
        QVERIFY(!box->textCursor().hasSelection());
        // A nickname may hold Qt's placeholder for the modified mark.
        QCOMPARE(host.window.windowHandle()->title(), QString("[*] - Parlo"));
    }

    // Earlier lines recalled, and Tab round each panel's controls.
    void keyboardReachesEverything() {
        Window caller(callerSide);
        QCOMPARE(caller.press("⇥⇥⇥"), "cmdConnect ");
        Window host(hostSide);
        QCOMPARE(host.press("one⏎two⏎two⏎↑↑"), "txtSend one"); // a repeat is kept once
        QCOMPARE(host.press("↑"), "txtSend one");              // Up stops at the oldest
        QCOMPARE(host.press("↓↓draft↑↓↓"), "txtSend draft");   // the draft comes back, and stays
        QCOMPARE(host.press("⇥⇥⇥⇥⇥"), "txtOutput draft");      // Send, transcript, input box, ...
        QVERIFY(caller.find<QAction>("mnuCommands"));
        QVERIFY(!host.find<QAction>("mnuCommands"));
    }
};

QTEST_MAIN(TestWindow)
#include "test_window.moc"
