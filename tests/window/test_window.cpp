// The chat window as the user sees and drives it, in tables.

#include "CallerSide.h"
#include "ChatEnd.h"
#include "HostSide.h"
#include "PanelLayout.h"

#include <QTest>
#include <QtWidgets>

using namespace parlo;

namespace {

HostSide hostSide;
CallerSide callerSide;

// One program's window as the program assembles and starts it, on a free port.
struct Window : ChatEnd {
    explicit Window(bool host)
        : ChatEnd(host ? static_cast<ChatSide&>(hostSide) : callerSide, {.port = 0}) {
        window.start();
        static_cast<void>(QTest::qWaitForWindowActive(&window)); // keys go to the focus
    }
    template <typename T = QWidget> T* find(const char* name) { return window.findChild<T*>(name); }
    // ⏎ ↑ ↓ ⇥ press Enter, Up, Down and Tab; any other character is typed.
    void press(const QString& keys) {
        static const QHash<QChar, Qt::Key> named{
            {u'⏎', Qt::Key_Return}, {u'↑', Qt::Key_Up}, {u'↓', Qt::Key_Down}, {u'⇥', Qt::Key_Tab}};
        for (const QChar key : keys) {
            const Qt::Key code = named.value(key);
            QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), code,
                                code ? QString() : QString(key), Qt::NoModifier);
        }
    }
};

} // namespace

class TestWindow : public QObject {
    Q_OBJECT
private slots:
    // Places in pixels (a label sizes itself to its caption: only its place is
    // given), captions, and the panel in front: the host's chat panel, the
    // caller's connect panel.
    void controls() {
        const std::tuple<const char*, QRect, QString, bool> rows[] = {
            {"fraConnect", {8, 0, 361, 209}, "Connect", false},
            {"Label1", {168, 48, 0, 0}, "Connect to (IP/Host name):", false},
            {"cboAddress", {160, 64, 161, 21}, "", false},
            {"cmdConnect", {192, 96, 89, 25}, "Connect", false},
            {"Image1", {24, 104, 128, 87}, "", false},
            {"fraChat", {8, 0, 361, 209}, "Chat", true},
            {"txtOutput", {8, 16, 345, 113}, "", true},
            {"txtSend", {8, 152, 329, 19}, "", true},
            {"Label2", {16, 180, 0, 0}, "Peers:", true},
            {"cboPeers", {48, 176, 145, 20}, "", true},
            {"cmdSend", {232, 176, 89, 25}, "Send", true},
        };
        // A frame's or menu's title, a button's, label's or menu item's text.
        const auto caption = [](const QObject* control) {
            const QVariant title = control->property("title");
            return (title.isValid() ? title : control->property("text")).toString();
        };
        for (const bool host : {false, true}) {
            Window w(host);
            for (const auto& [name, place, text, onChatPanel] : rows) {
                const QWidget* control = w.find(name);
                QVERIFY2(control, name);
                QCOMPARE(QRect(control->pos(), place.isEmpty() ? QSize(0, 0) : control->size()),
                         place);
                QCOMPARE(caption(control), text);
                QCOMPARE(control->isVisible(), onChatPanel == host);
            }
            QStringList menus;
            for (const char* name : {"mnuFile", "mnuExit", "mnuHelp", "mnuCommands", "mnuAbout"}) {
                menus << (w.find<QObject>(name) ? caption(w.find<QObject>(name)) : "-");
            }
            QCOMPARE(menus.join(' '),
                     host ? "File Exit Help - About" : "File Exit Help Commands About");
        }
    }

    // Sizes in twips: a panel dimension follows the window's outer size above its threshold.
    void panelRule() {
        const QSizeF design(5415, 3135), grown(8600, 5800);
        const std::tuple<QSizeF, QSizeF, bool, QSizeF> rows[] = {
            {design, {5745, 4260}, false, design},       // at both thresholds
            {design, {5746, 4000}, false, {5346, 3135}}, // wider
            {design, {5000, 4261}, false, {5415, 3061}}, // taller
            {design, {9000, 7000}, false, grown},        // both
            {design, {9000, 7000}, true, design},        // minimized
            {grown, {100, 100}, false, grown},           // shrunk below both: kept
        };
        for (const auto& [current, outer, minimized, panel] : rows) {
            QCOMPARE(PanelLayout::resized(current, outer, minimized), panel);
        }
        Window w(false);
        w.window.resize(900, 600);
        // The outer size counts the frame: 904 x 604 pixels, 13560 x 9060 twips.
        QTRY_COMPARE(w.window.frameGeometry().size(), QSize(904, 604));
        QCOMPARE(w.find("fraConnect")->size(), QSize(877, 524));
        QCOMPARE(w.find("fraChat")->size(), QSize(877, 524));
    }

    // Keys pressed from start-up: the control with the focus, what the input box holds.
    void keys() {
        const std::tuple<bool, QString, QString, QString> rows[] = {
            {false, "⇥", "cmdConnect", ""},             // the caller's connect panel
            {false, "⇥⇥", "cboAddress", ""},            // and round it
            {true, "⇥⇥", "txtOutput", ""},              // the host's chat panel
            {true, "⇥⇥⇥", "txtSend", ""},               // and round it
            {true, "one⏎two⏎two⏎↑↑", "txtSend", "one"}, // a repeat is kept once
            {true, "one⏎two⏎↑↑↑↓", "txtSend", "two"},   // Up stops at the oldest
            {true, "one⏎draft↑↓↓", "txtSend", "draft"}, // the draft comes back, and stays
        };
        for (const auto& [host, keys, focus, input] : rows) {
            Window w(host);
            w.press(keys);
            QCOMPARE(QApplication::focusWidget()->objectName(), focus);
            QCOMPARE(w.find<QLineEdit>("txtSend")->text(), input);
        }
    }

    void titleShowsNicknameAsTyped() {
        Window w(true);
        w.press("/nick a[*]b⏎");
        QCOMPARE(w.window.windowHandle()->title(), QString("a[*]b - Parlo"));
    }

    // The user put the caret at the start or selected a word, and typed there;
    // a new entry is brought into view, nothing left selected, and the
    // transcript holds exactly what was written, whatever the box shows for it.
    void newEntryInView() {
        const QString breaks = QString("\r\nline\rx\n") + QChar(0x2029) + QChar(0xFDD0) + QChar(0);
        const QString lines = breaks.repeated(20);
        for (const auto mode : {QTextCursor::MoveAnchor, QTextCursor::KeepAnchor}) {
            Window w(true);
            w.window.appendOutput(lines);
            QCOMPARE(w.window.outputText(), lines); // before the box has caught up
            auto* box = w.find<QPlainTextEdit>("txtOutput");
            QTRY_VERIFY(box->toPlainText().endsWith(QChar(0x2400))); // a NUL shows as its symbol
            QTextCursor start(box->document());
            start.movePosition(QTextCursor::NextWord, mode);
            box->setTextCursor(start);
            QTest::keyClicks(box, "typed");
            const QScrollBar* bar = box->verticalScrollBar();
            QVERIFY(bar->value() < bar->maximum()); // the end is out of view
            w.press("hello⏎");
            QTRY_VERIFY(box->toPlainText().contains("Server: hello"));
            QCOMPARE(bar->value(), bar->maximum());
            QVERIFY(!box->textCursor().hasSelection());
            QCOMPARE(w.window.outputText(),
                     lines + "\r\nServer: hello\r\n>> Not connected: message not sent.");
        }
    }
};

QTEST_MAIN(TestWindow)
#include "test_window.moc"
