#include "Conversation.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using parlo::desktop::Conversation;
using parlo::desktop::ProgramWindow;

// The keyboard in the real chat window: recalling typed lines, the tab order,
// and the names assistive technology reads out.
class TestWindowKeys : public QObject {
    Q_OBJECT
private slots:
    void recallSendsWhatIsShown_data();
    void recallSendsWhatIsShown();
    void recallKeepsOnlyWhatWasSent();
    void tabOrder_data();
    void tabOrder();
    void accessibleNames_data();
    void accessibleNames();
};

namespace {

// Presses "Up"/"Down" or types any other step into the caller's input box.
void play(QLineEdit* box, const QStringList& keys) {
    for (const QString& key : keys) {
        if (key == QLatin1String("Up")) {
            QTest::keyClick(box, Qt::Key_Up);
        } else if (key == QLatin1String("Down")) {
            QTest::keyClick(box, Qt::Key_Down);
        } else {
            QTest::keyClicks(box, key);
        }
    }
}

// The control that holds the keyboard focus (an editable combo box passes
// focus to its line edit, a text box to its viewport).
QString focusedControl() {
    static const QStringList controls{"cboAddress", "cmdConnect", "txtOutput",
                                      "txtSend",    "cboPeers",   "cmdSend"};
    for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget()) {
        if (controls.contains(w->objectName())) {
            return w->objectName();
        }
    }
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName()
                                       : QStringLiteral("(none)");
}

} // namespace

void TestWindowKeys::recallSendsWhatIsShown_data() {
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("shown");

    QTest::newRow("Up recalls the last line") << QStringList{"Up"} << "second line";
    QTest::newRow("Up twice recalls the first line") << QStringList{"Up", "Up"} << "first line";
    QTest::newRow("Up past the oldest stays on it")
        << QStringList{"Up", "Up", "Up"} << "first line";
    QTest::newRow("Down walks forward again") << QStringList{"Up", "Up", "Down"} << "second line";
    QTest::newRow("the draft comes back")
        << QStringList{"a draft", "Up", "Up", "Down", "Down"} << "a draft";
    QTest::newRow("a recalled line can be edited before sending")
        << QStringList{"Up", "Up", " and more"} << "first line and more";
}

void TestWindowKeys::recallSendsWhatIsShown() {
    QFETCH(QStringList, keys);
    QFETCH(QString, shown);

    Conversation chat;
    QVERIFY(chat.connect(QStringLiteral("127.0.0.1")));
    QVERIFY(Conversation::say(chat.caller, chat.host, QStringLiteral("first line")));
    QVERIFY(Conversation::say(chat.caller, chat.host, QStringLiteral("second line")));

    QLineEdit* box = chat.caller.window.txtSend;
    QCOMPARE(box->text(), QString());
    play(box, keys);
    QCOMPARE(box->text(), shown);

    // Enter sends exactly the text in the box, once, and empties the box.
    const QString hostBefore = chat.host.window.outputText();
    QVERIFY(Conversation::say(chat.caller, chat.host, box->text()));
    QCOMPARE(chat.host.window.outputText(), hostBefore + QStringLiteral("\r\nClient: ") + shown);
    QVERIFY(chat.caller.window.outputText().endsWith(QStringLiteral("\r\nClient: ") + shown));
    QCOMPARE(box->text(), QString());
}

void TestWindowKeys::recallKeepsOnlyWhatWasSent() {
    // The caller's lines before the host confirms the call are not routed, so
    // there is nothing to recall; commands that ran locally are recalled.
    Conversation chat;
    QLineEdit* box = chat.caller.window.txtSend;
    box->setText(QStringLiteral("too early"));
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(box->text(), QStringLiteral("too early"));
    box->clear();
    QTest::keyClick(box, Qt::Key_Up);
    QCOMPARE(box->text(), QString());

    QVERIFY(chat.connect(QStringLiteral("127.0.0.1")));
    chat.caller.type(QStringLiteral("/nick Ann"));
    QTRY_COMPARE(chat.host.form.strPeerName, QStringLiteral("Ann"));
    QTest::keyClick(box, Qt::Key_Up);
    QCOMPARE(box->text(), QStringLiteral("/nick Ann"));
}

void TestWindowKeys::tabOrder_data() {
    QTest::addColumn<bool>("host");
    QTest::addColumn<bool>("chatPanel");
    QTest::addColumn<QStringList>("order");

    const QStringList connectPanel{"cboAddress", "cmdConnect"};
    const QStringList chatPanel{"txtSend", "cmdSend", "txtOutput"};
    QTest::newRow("caller, connect panel") << false << false << connectPanel;
    QTest::newRow("caller, chat panel") << false << true << chatPanel;
    QTest::newRow("host, chat panel") << true << true << chatPanel;
}

void TestWindowKeys::tabOrder() {
    QFETCH(bool, host);
    QFETCH(bool, chatPanel);
    QFETCH(QStringList, order);

    ProgramWindow program(host ? ProgramWindow::Program::Host : ProgramWindow::Program::Caller, 0);
    parlo::ChatWindow& window = program.window;
    if (chatPanel) {
        window.showChatPanel();
    }
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.findChild<QWidget*>(order.first())->setFocus(Qt::TabFocusReason);
    QCOMPARE(focusedControl(), order.first());

    // Tab goes round the visible controls in order and comes back to the first.
    QStringList forward;
    for (qsizetype i = 0; i < order.size(); ++i) {
        forward << focusedControl();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(forward, order);
    QCOMPARE(focusedControl(), order.first());

    // Shift+Tab goes round the other way.
    QStringList backward;
    for (qsizetype i = 0; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        backward.prepend(focusedControl());
    }
    QCOMPARE(backward, order);
    QCOMPARE(focusedControl(), order.first());
}

void TestWindowKeys::accessibleNames_data() {
    QTest::addColumn<bool>("host");
    QTest::addColumn<QString>("control");

    const QStringList controls{"fraConnect", "cboAddress", "cmdConnect", "Image1",  "fraChat",
                               "txtOutput",  "txtSend",    "cboPeers",   "cmdSend", "Status"};
    for (const bool host : {false, true}) {
        for (const QString& control : controls) {
            QTest::addRow("%s %s", host ? "host" : "caller", qPrintable(control))
                << host << control;
        }
    }
}

void TestWindowKeys::accessibleNames() {
    QFETCH(bool, host);
    QFETCH(QString, control);

    ProgramWindow program(host ? ProgramWindow::Program::Host : ProgramWindow::Program::Caller, 0);
    auto* widget = program.window.findChild<QWidget*>(control);
    QVERIFY2(widget, qPrintable(control + QStringLiteral(" is missing")));
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    QVERIFY(accessible);
    QVERIFY2(!accessible->text(QAccessible::Name).trimmed().isEmpty(),
             qPrintable(control + QStringLiteral(" has no accessible name")));
}

QTEST_MAIN(TestWindowKeys)
#include "test_windowKeys.moc"
