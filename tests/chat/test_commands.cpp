#include "ChatRig.h"

#include <QTest>

using namespace parlo;
using namespace parlo::test;

namespace {

const QString kCallerHelp =
    QStringLiteral("\r\n\r\n Welcome to Parlo, the supported commands are:\r\n"
                   ">> /nick <name>. (change username)\r\n"
                   ">> /disconnect. (disconnect)\r\n"
                   ">> /cls. (clear screen)\r\n"
                   ">> /restore. (restore after cls)\r\n");
const QString kHostHelp =
    QStringLiteral("\r\n\r\n Welcome to Parlo, the supported commands are:\r\n"
                   ">> /nick <name>. (change username)\r\n"
                   ">> /connect <ip>. (connect to peer)\r\n"
                   ">> /disconnect. (disconnect)\r\n"
                   ">> /cls. (clear screen)\r\n"
                   ">> /restore. (restore conversation)\r\n");
const QString kNotSent = QStringLiteral("\r\n>> Not connected: message not sent.");

} // namespace

// Lines the local user types: routing, local commands and what goes on the wire.
class TestCommands : public QObject {
    Q_OBJECT
private slots:
    void typedLines_data();
    void typedLines();
    void callerDisconnectOrder();
    void hostDisconnectOrder();
    void callerConnectCommand();
    void sendButtonActsAsEnter();
    void commandsMenuText();
    void everyCommandScrollsOnce_data();
    void everyCommandScrollsOnce();
};

void TestCommands::typedLines_data() {
    QTest::addColumn<bool>("host");
    QTest::addColumn<bool>("connected");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("transcript");
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("input");

    const QString client = QStringLiteral("Client - Parlo");
    const QString server = QStringLiteral("Server - Parlo");
    using L = QStringList;

    QTest::newRow("chat line") << false << true << L{"hi"} << "\r\nClient: hi" << L{"hi"} << L{}
                               << client << "";
    QTest::newRow("spaces kept") << false << true << L{"  hi  "} << "\r\nClient:   hi  "
                                 << L{"  hi  "} << L{} << client << "";
    QTest::newRow("leading space before slash is chat")
        << false << true << L{" /nick Bob"} << "\r\nClient:  /nick Bob" << L{" /nick Bob"} << L{}
        << client << "";
    QTest::newRow("format characters literal")
        << true << true << L{"%1 %s %n"} << "\r\nServer: %1 %s %n" << L{"%1 %s %n"} << L{} << server
        << "";
    QTest::newRow("caller help") << false << true << L{"/HELP"} << kCallerHelp << L{} << L{}
                                 << client << "";
    QTest::newRow("help ignores its argument")
        << false << true << L{"/help me"} << kCallerHelp << L{} << L{} << client << "";
    QTest::newRow("host help") << true << true << L{"/help"} << kHostHelp << L{} << L{} << server
                               << "";
    QTest::newRow("line after help follows an empty line")
        << true << true << L{"/help", "x"} << kHostHelp + "\r\nServer: x" << L{"x"} << L{} << server
        << "";
    QTest::newRow("cls") << false << true << L{"hi", "/cls"} << "" << L{"hi"} << L{} << client
                         << "";
    QTest::newRow("cls then restore") << false << true << L{"hi", "/cls", "/Restore"}
                                      << "\r\nClient: hi" << L{"hi"} << L{} << client << "";
    QTest::newRow("cls help restore shows only help")
        << false << true << L{"hi", "/cls", "/help", "/restore"} << kCallerHelp << L{"hi"} << L{}
        << client << "";
    QTest::newRow("line after cls replaces the saved copy")
        << true << true << L{"a", "/cls", "b", "/restore"} << "\r\nServer: b" << L{"a", "b"} << L{}
        << server << "";
    QTest::newRow("restore before any save")
        << true << true << L{"/restore"} << "" << L{} << L{} << server << "";
    QTest::newRow("nick trimmed") << false << true << L{"/nick   Bob  "}
                                  << "\r\n>> Your new username is: Bob." << L{"/nick Bob"} << L{}
                                  << "Bob - Parlo"
                                  << "";
    QTest::newRow("nick with inner space")
        << false << true << L{"/nick Big Bad"} << "\r\n>> Your new username is: Big Bad."
        << L{"/nick Big Bad"} << L{} << "Big Bad - Parlo"
        << "";
    QTest::newRow("nick then chat uses new name")
        << true << true << L{"/nick Ann", "yo"} << "\r\n>> Your new username is: Ann.\r\nAnn: yo"
        << L{"/nick Ann", "yo"} << L{} << "Ann - Parlo"
        << "";
    QTest::newRow("nick empty") << false << true << L{"/nick"}
                                << "\r\n>> Invalid username, try again." << L{} << L{} << client
                                << "";
    QTest::newRow("nick spaces only")
        << false << true << L{"/nick    "} << "\r\n>> Invalid username, try again." << L{} << L{}
        << client << "";
    QTest::newRow("nick equal to peer in other case")
        << false << true << L{"/nick sErVeR"} << "\r\n>> Invalid username, try again." << L{} << L{}
        << client << "";
    QTest::newRow("own name again")
        << false << true << L{"/nick Client"} << "\r\n>> Your new username is: Client."
        << L{"/nick Client"} << L{} << client << "";
    QTest::newRow("nick with format characters")
        << true << true << L{"/nick %1%s%n"} << "\r\n>> Your new username is: %1%s%n."
        << L{"/nick %1%s%n"} << L{} << "%1%s%n - Parlo"
        << "";
    QTest::newRow("slash alone is echoed and sent")
        << false << true << L{"/"} << "\r\nClient: /" << L{"/"} << L{} << client << "";
    QTest::newRow("slash space word is echoed")
        << true << true << L{"/ word"} << "\r\nServer: / word" << L{"/ word"} << L{} << server
        << "";
    QTest::newRow("protocol keyword typed is sent as typed")
        << false << true << L{"/terminate 5"} << "\r\nClient: /terminate 5" << L{"/terminate 5"}
        << L{} << client << "";
    QTest::newRow("change_name typed is sent")
        << true << true << L{"/Change_Name now"} << "\r\nServer: /Change_Name now"
        << L{"/Change_Name now"} << L{} << server << "";
    QTest::newRow("caller connect while connected")
        << false << true << L{"/connect 10.0.0.1"} << "\r\n>> You must first disconnect." << L{}
        << L{} << client << "";
    QTest::newRow("host connect only shows its box")
        << true << true << L{"/connect 1.2.3.4"} << "" << L{} << L{"my connect"} << server << "";
    QTest::newRow("host chat without connection")
        << true << false << L{"hi"} << "\r\nServer: hi" + kNotSent << L{} << L{} << server << "";
    QTest::newRow("host unlisted keyword without connection")
        << true << false << L{"/foo bar"} << "\r\nServer: /foo bar" + kNotSent << L{} << L{}
        << server << "";
    QTest::newRow("host nick without connection still renames")
        << true << false << L{"/nick Solo"} << "\r\n>> Your new username is: Solo." << L{} << L{}
        << "Solo - Parlo"
        << "";
    QTest::newRow("caller ignores lines before confirmation")
        << false << false << L{"/help"} << "" << L{} << L{} << client << "/help";
    QTest::newRow("blank line ignored")
        << true << true << L{"   "} << "" << L{} << L{} << server << "   ";
}

void TestCommands::typedLines() {
    QFETCH(bool, host);
    QFETCH(bool, connected);
    QFETCH(QStringList, lines);
    ChatRig rig(host);
    if (connected) {
        rig.connectAs(5, QStringLiteral("Server"));
    }
    for (const QString& line : lines) {
        rig.type(line);
    }
    QTEST(rig.controls.output, "transcript");
    QTEST(rig.socket.sent, "sent");
    QTEST(rig.controls.boxes, "boxes");
    QTEST(rig.controls.caption, "caption");
    QTEST(rig.controls.input, "input");
    // After every routed line the saved copy matches what restore would bring back.
    if (!lines.last().startsWith(QStringLiteral("/cls"))) {
        QCOMPARE(rig.form.strSavedOutput(), rig.controls.output);
    }
}

void TestCommands::callerDisconnectOrder() {
    ChatRig rig(false);
    rig.connectAs(77, QStringLiteral("Server"));
    rig.controls.buttonCaption = QStringLiteral("Disconnect");
    rig.controls.panel = QStringLiteral("chat");
    QString statusAtYield;
    QString captionAtYield;
    QStringList callsAtYield;
    rig.controls.onYield = [&] {
        statusAtYield = rig.controls.status;
        captionAtYield = rig.controls.buttonCaption;
        callsAtYield = rig.socket.calls;
    };
    rig.type(QStringLiteral("/disconnect"));
    QCOMPARE(callsAtYield, QStringList{"SendData /terminate 77"});
    QCOMPARE(statusAtYield, QStringLiteral("Idle."));
    QCOMPARE(captionAtYield, QStringLiteral("Connect"));
    QCOMPARE(rig.socket.calls, (QStringList{"SendData /terminate 77", "Close"}));
    QCOMPARE(rig.form.blnConfirmed, false);
    QCOMPARE(rig.controls.output, QString());
    QCOMPARE(rig.controls.panel, QStringLiteral("connect"));
    // Typed lines no longer count.
    rig.type(QStringLiteral("hello"));
    QCOMPARE(rig.controls.input, QStringLiteral("hello"));
}

void TestCommands::hostDisconnectOrder() {
    ChatRig rig(true);
    rig.connectAs(31, QStringLiteral("Client"));
    QStringList callsAtYield;
    rig.controls.onYield = [&] { callsAtYield = rig.socket.calls; };
    rig.type(QStringLiteral("/DISCONNECT"));
    QCOMPARE(callsAtYield, QStringList{"SendData /terminate 31"});
    QCOMPARE(rig.socket.calls, (QStringList{"SendData /terminate 31", "Close", "Listen"}));
    QCOMPARE(rig.controls.status, QStringLiteral("Listening..."));
    QCOMPARE(rig.controls.output, QString());
}

void TestCommands::callerConnectCommand() {
    ChatRig rig(false);
    rig.form.blnConfirmed = true; // a connection that failed keeps the flag
    rig.controls.panel = QStringLiteral("chat");
    bool connectedDuringYield = false;
    rig.controls.onYield = [&] {
        connectedDuringYield = true;
        rig.socket.state = StreamSocket::sckConnected;
        rig.form.tcpClient_Connect();
    };
    rig.type(QStringLiteral("/connect example.org "));
    QVERIFY(connectedDuringYield);
    QCOMPARE(rig.socket.calls, QStringList{"Connect example.org :1983"});
    QCOMPARE(rig.controls.buttonCaption, QStringLiteral("Disconnect"));
    // Made during the yield: the connected text stays.
    QCOMPARE(rig.controls.status, QStringLiteral("Connected. (127.0.0.1)"));
    QCOMPARE(rig.controls.output, QString());
    QCOMPARE(rig.socket.sent, QStringList{});
}

void TestCommands::sendButtonActsAsEnter() {
    ChatRig rig(true);
    rig.connectAs(1, QStringLiteral("Client"));
    rig.controls.input = QStringLiteral("via button");
    const int focusBefore = rig.controls.inputFocus;
    rig.form.cmdSend_Click();
    QCOMPARE(rig.socket.sent, QStringList{"via button"});
    QCOMPARE(rig.controls.input, QString());
    QVERIFY(rig.controls.inputFocus > focusBefore);

    ChatRig caller(false); // unconfirmed: the button does nothing either
    caller.controls.input = QStringLiteral("early");
    caller.form.cmdSend_Click();
    QCOMPARE(caller.controls.input, QStringLiteral("early"));
    QCOMPARE(caller.controls.output, QString());
}

void TestCommands::commandsMenuText() {
    ChatRig rig(false);
    rig.form.mnuCommands_Click();
    QCOMPARE(rig.controls.boxes, QStringList{"Welcome to Parlo, the supported commands are:\r\n"
                                             "\t/nick <name>. (change username)\r\n"
                                             "\t/disconnect. (disconnect)\r\n"
                                             "\t/cls. (clear screen)\r\n"
                                             "\t/restore. (restore after cls)\r\n"});
}

void TestCommands::everyCommandScrollsOnce_data() {
    QTest::addColumn<QString>("line");
    for (const char* line : {"/help", "/cls", "/restore", "/nick A", "/nick", "/connect x",
                             "/disconnect", "/zzz", "hi"}) {
        QTest::newRow(line) << QString::fromLatin1(line);
    }
}

void TestCommands::everyCommandScrollsOnce() {
    QFETCH(QString, line);
    for (bool host : {false, true}) {
        ChatRig rig(host);
        rig.connectAs(3, QStringLiteral("Peer"));
        rig.type(line);
        QCOMPARE(rig.controls.scrolls, 1);
    }
}

QTEST_APPLESS_MAIN(TestCommands)
#include "test_commands.moc"
