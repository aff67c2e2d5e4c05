// The chat window on a desktop: menus reached by mnemonics, every text
// readable under a light and a dark palette, and notices while inactive.

#include "ChatWindow.h"
#include "FakeNotifications.h"
#include "HostSide.h"
#include "NotificationText.h"
#include "ProgramStarter.h"
#include "QtStreamSocket.h"
#include "RegistryReader.h"
#include "frmAbout.h"
#include "modIEOps.h"

#include <QTest>
#include <QtWidgets>
#include <cmath>

using namespace parlo;

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

class TestDesktop : public QObject {
    Q_OBJECT
    HostSide side;
    QtStreamSocket socket;
    modIEOps launcher{systemRegistryReader(), systemProgramStarter()};
    test::FakeNotifications notices;
    ChatWindow window{side, socket, {.port = 0}, launcher, notices};

private slots:
    void initTestCase() { window.start(); }

    void menusHaveMnemonics() { // and their captions read as before
        QStringList items;
        for (const QMenu* menu : window.findChildren<QMenu*>())
            for (const QAction* item : QList{menu->menuAction()} + menu->actions())
                items << QKeySequence::mnemonic(item->text()).toString() + ' ' + item->iconText();
        QCOMPARE(items.join(", "), "Alt+F File, Alt+X Exit, Alt+H Help, Alt+A About");
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

QTEST_MAIN(TestDesktop)
#include "test_desktop.moc"
