// The chat window as the user sees and drives it on a desktop.

#include "CallerSide.h"
#include "ChatEnd.h"
#include "FakeNotifications.h"
#include "HostSide.h"
#include "NotificationText.h"
#include "PanelLayout.h"
#include "ProgramStarter.h"
#include "RegistryReader.h"
#include "frmAbout.h"

#include <QTest>
#include <QtWidgets>
#include <cmath>

using namespace parlo;

static const CallerSide callerSide;
static const HostSide hostSide;

// The contrast of two colours after the WCAG formula.
static double contrast(QColor first, QColor second) {
    const auto linear = [](double value) {
        return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    const auto luminance = [&](QColor colour) {
        return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
               0.0722 * linear(colour.blueF());
    };
    const auto [dark, light] = std::minmax({luminance(first), luminance(second)});
    return (light + 0.05) / (dark + 0.05);
}

// The least contrast of any text shown in `window`, as painted: a text's
// pixels are those that change when it is taken away, its contrast the
// strongest of them against what was there without it.
static double leastTextContrast(QWidget& window) {
    double least = 21;
    for (QWidget* owner : window.findChildren<QWidget*>()) {
        const char* property = owner->inherits("QPlainTextEdit")    ? "plainText"
                               : owner->property("title").isValid() ? "title"
                                                                    : "text";
        const QString text = owner->property(property).toString();
        QWidget* shown = qobject_cast<QMenu*>(owner) ? owner->parentWidget() : owner;
        if (text.isEmpty() || !shown->isVisibleTo(&window))
            continue;
        const QRect place(shown->mapTo(&window, QPoint()), shown->size());
        const QImage with = window.grab(place).toImage();
        owner->setProperty(property, QString());
        const QImage without = window.grab(place).toImage();
        owner->setProperty(property, text);
        double strongest = 0;
        for (int y = 0; y < with.height(); ++y)
            for (int x = 0; x < with.width(); ++x)
                if (with.pixel(x, y) != without.pixel(x, y))
                    strongest =
                        std::max(strongest, contrast(with.pixel(x, y), without.pixel(x, y)));
        least = std::min(least, strongest);
    }
    return least;
}

// Each menu and item of `window` as its mnemonic and its caption.
static QString menuItems(const QWidget& window) {
    QStringList items;
    for (const QMenu* menu : window.findChildren<QMenu*>()) {
        for (const QAction* item : QList{menu->menuAction()} + menu->actions()) {
            items << QKeySequence::mnemonic(item->text()).toString() + ' ' + item->iconText();
        }
    }
    return items.join(", ");
}

// One program's window as the program assembles and starts it, on a free port.
struct Window : ChatEnd {
    explicit Window(const ChatSide& side) : ChatEnd(side, {.port = 0}) { window.start(); }

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
    // A host window whose notices are recorded.
    QtStreamSocket socket;
    modIEOps launcher{systemRegistryReader(), systemProgramStarter()};
    test::FakeNotifications notices;
    ChatWindow window{hostSide, socket, {.port = 0}, launcher, notices};

private slots:
    void initTestCase() { window.start(); }

    // In twips: a panel dimension follows the window's outer size above its threshold.
    void panelsFollowTheWindowSize() {
        const std::tuple<QSizeF, QSizeF, bool, QSizeF> panels[] = {
            {{5415, 3135}, {5745, 4260}, false, {5415, 3135}}, // at both thresholds
            {{5415, 3135}, {5746, 4261}, false, {5346, 3061}}, // just above both
            {{5415, 3135}, {9000, 7000}, true, {5415, 3135}},  // minimized
            {{8600, 5800}, {100, 100}, false, {8600, 5800}},   // shrunk below both: kept
        };
        for (const auto& [current, outer, minimized, panel] : panels) {
            QCOMPARE(PanelLayout::resized(current, outer, minimized), panel);
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
    }

    // Menus reached by mnemonics, their captions read as before; Commands is the caller's.
    void menusHaveMnemonics() {
        Window caller(callerSide);
        QCOMPARE(menuItems(caller.window),
                 "Alt+F File, Alt+X Exit, Alt+H Help, Alt+C Commands, Alt+A About");
        QCOMPARE(menuItems(window), "Alt+F File, Alt+X Exit, Alt+H Help, Alt+A About");
    }

    void readableUnderLightAndDarkPalettes() {
        window.setStatusText("Listening...");
        window.appendOutput("\r\nClient: hello");
        QTRY_VERIFY(!window.findChild<QPlainTextEdit*>()->toPlainText().isEmpty());
        window.findChild<QLineEdit*>("txtSend")->setText("typed");
        frmAbout about(true, launcher);
        for (const QPalette& palette :
             {QPalette(QColor(239, 239, 239)), QPalette(QColor(53, 53, 53))}) {
            QApplication::setPalette(palette);
            QTRY_COMPARE(window.palette().window(), palette.window()); // as the desktop switches
            window.showConnectPanel();
            QVERIFY(leastTextContrast(window) >= 4.5);
            window.showChatPanel();
            QVERIFY(leastTextContrast(window) >= 4.5);
            QVERIFY(leastTextContrast(about) >= 4.5);
        }
        QApplication::setPalette(QApplication::style()->standardPalette());
    }

    void noticesOnlyWhileInactive() {
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.peerLineArrived("Bob", "seen in the window");
        QWidget other;
        other.show();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        window.peerLineArrived("Bob", "while away");
        QCOMPARE(notices.shown, QStringList{"Bob: while away"});
        window.showMinimized();
        emit notices.clicked();
        QTRY_VERIFY(window.isActiveWindow() && !window.isMinimized());
    }

    void noticeBodies() {
        const QString pair = QStringLiteral("\U0001F600");
        const std::pair<QString, QString> bodies[] = {
            {"a <b>tag</b> & \"more\"", "a &lt;b&gt;tag&lt;/b&gt; &amp; &quot;more&quot;"},
            {QString(250, 'x'), QString(200, 'x') + "…"},
            {QString(199, 'x') + pair + "y", QString(199, 'x') + "…"}, // no half character
        };
        for (const auto& [line, body] : bodies)
            QCOMPARE(noticeBody(line), body);
    }
};

QTEST_MAIN(TestWindow)
#include "test_window.moc"
