#include "ChatRig.h"

#include <QTest>

using namespace parlo;
using namespace parlo::test;

// Start-up, the Connect button, socket events and shut-down of both programs.
class TestLifecycle : public QObject {
    Q_OBJECT
private slots:
    void startUp_data();
    void startUp();
    void hostAcceptsInOrder();
    void hostCallerRepliesDuringYield();
    void hostCallerLeavesDuringYield();
    void callerConnectButton_data();
    void callerConnectButton();
    void callerWithdraws();
    void callerWithdrawsAsConnectionIsMade();
    void callerConnected();
    void socketErrors_data();
    void socketErrors();
    void hostConnectButton();
    void windowCloses_data();
    void windowCloses();
    void exitSendsNothing_data();
    void exitSendsNothing();
    void addressEnterActsAsButton();
};

void TestLifecycle::startUp_data() {
    QTest::addColumn<bool>("host");
    QTest::addColumn<bool>("listenSucceeds");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("calls");
    QTest::newRow("caller") << false << true << "Idle."
                            << "Client - Parlo" << QStringList{};
    QTest::newRow("host") << true << true << "Listening..."
                          << "Server - Parlo" << QStringList{"Listen"};
    QTest::newRow("host, port taken") << true << false << "Could not listen on port 1983."
                                      << "Server - Parlo" << QStringList{"Listen"};
}

void TestLifecycle::startUp() {
    QFETCH(bool, host);
    FakeSocket socket;
    QFETCH(bool, listenSucceeds);
    socket.listenSucceeds = listenSucceeds;
    RecordingControls controls;
    CallerSide caller;
    HostSide hostSide;
    ChatSide& side = host ? static_cast<ChatSide&>(hostSide) : caller;
    frmClient form(socket, controls, side);
    form.Form_Load();
    QTEST(controls.status, "status");
    QTEST(controls.caption, "caption");
    QTEST(socket.calls, "calls");
    QCOMPARE(controls.output, QString());
    QCOMPARE(form.strPeerName, QString());
    QCOMPARE(form.lngConnID, 0);
    QCOMPARE(form.blnConfirmed, false);
    if (host) {
        QCOMPARE(socket.localPort, quint16(1983));
    }
}

void TestLifecycle::hostAcceptsInOrder() {
    ChatRig rig(true);
    rig.socket.state = StreamSocket::sckListening;
    rig.controls.panel = QStringLiteral("unchanged");
    QStringList callsAtYield;
    rig.controls.onYield = [&] { callsAtYield = rig.socket.calls; };
    emit rig.socket.ConnectionRequest(1234);
    QCOMPARE(callsAtYield,
             (QStringList{"Close", "Accept 1234", "SendData /connection_confirmed 1234"}));
    QCOMPARE(rig.socket.sent, (QStringList{"/connection_confirmed 1234", "/nick Server"}));
    QCOMPARE(rig.form.lngConnID, 1234);
    QCOMPARE(rig.controls.status, QStringLiteral("Connected to 127.0.0.1"));
    QCOMPARE(rig.controls.panel, QStringLiteral("unchanged"));
}

void TestLifecycle::hostCallerRepliesDuringYield() {
    ChatRig rig(true);
    rig.socket.state = StreamSocket::sckListening;
    rig.controls.onYield = [&] { rig.socket.deliver(QStringLiteral("/nick Client")); };
    emit rig.socket.ConnectionRequest(8);
    QCOMPARE(rig.form.strPeerName, QStringLiteral("Client"));
    QCOMPARE(rig.socket.sent.last(), QStringLiteral("/nick Server"));
}

void TestLifecycle::hostCallerLeavesDuringYield() {
    ChatRig rig(true);
    rig.socket.state = StreamSocket::sckListening;
    rig.controls.onYield = [&] {
        rig.socket.state = StreamSocket::sckClosed;
        emit rig.socket.PeerClosed();
    };
    emit rig.socket.ConnectionRequest(8);
    // The conversation was wound up; nothing more is sent and the host listens.
    QCOMPARE(rig.socket.sent, QStringList{"/connection_confirmed 8"});
    QCOMPARE(rig.controls.status, QStringLiteral("Listening..."));
    QCOMPARE(rig.socket.state, int(StreamSocket::sckListening));
    QCOMPARE(rig.controls.output, QStringLiteral("\r\n>>  disconnected."));
}

void TestLifecycle::callerConnectButton_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("socketState");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("addressFocus");
    QTest::newRow("empty address only focuses") << "" << 0 << QStringList{} << "Connect"
                                                << "Idle." << 1;
    QTest::newRow("address as typed")
        << " host.example " << 0 << QStringList{"Connect  host.example :1983"} << "Disconnect"
        << "Connecting..." << 0;
    QTest::newRow("busy socket closed first")
        << "10.1.1.1" << int(StreamSocket::sckConnecting)
        << QStringList{"Close", "Connect 10.1.1.1:1983"} << "Disconnect"
        << "Connecting..." << 0;
}

void TestLifecycle::callerConnectButton() {
    ChatRig rig(false);
    QFETCH(QString, address);
    QFETCH(int, socketState);
    rig.controls.address = address;
    rig.socket.state = socketState;
    rig.form.cmdConnect_Click();
    QTEST(rig.socket.calls, "calls");
    QTEST(rig.controls.buttonCaption, "caption");
    QTEST(rig.controls.status, "status");
    QTEST(rig.controls.addressFocus, "addressFocus");
}

void TestLifecycle::callerWithdraws() {
    ChatRig rig(false);
    rig.controls.address = QStringLiteral("slow.example");
    rig.form.cmdConnect_Click();
    rig.socket.calls.clear();
    QStringList callsAtYield;
    rig.controls.onYield = [&] { callsAtYield = rig.socket.calls; };
    rig.form.cmdConnect_Click();
    // The goodbye carries the number held so far (0 before any confirmation);
    // with no connection yet it goes nowhere.
    QCOMPARE(callsAtYield, QStringList{"SendData dropped /terminate 0"});
    QCOMPARE(rig.socket.calls, (QStringList{"SendData dropped /terminate 0", "Close"}));
    QCOMPARE(rig.controls.buttonCaption, QStringLiteral("Connect"));
    QCOMPARE(rig.controls.status, QStringLiteral("Connecting..."));
    QCOMPARE(rig.controls.output, QString());
}

void TestLifecycle::callerWithdrawsAsConnectionIsMade() {
    ChatRig rig(false);
    rig.controls.address = QStringLiteral("fast.example");
    rig.form.cmdConnect_Click();
    rig.controls.onYield = [&] {
        rig.socket.state = StreamSocket::sckConnected;
        emit rig.socket.Connected();
    };
    rig.form.cmdConnect_Click();
    QCOMPARE(rig.socket.state, int(StreamSocket::sckClosed));
    QCOMPARE(rig.controls.status, QStringLiteral("Idle."));
    QCOMPARE(rig.controls.panel, QStringLiteral("connect"));
    QCOMPARE(rig.controls.buttonCaption, QStringLiteral("Connect"));
}

void TestLifecycle::callerConnected() {
    ChatRig rig(false);
    rig.socket.remoteAddress = QStringLiteral("192.0.2.4");
    rig.socket.state = StreamSocket::sckConnected;
    emit rig.socket.Connected();
    QCOMPARE(rig.controls.status, QStringLiteral("Connected. (192.0.2.4)"));
    QCOMPARE(rig.controls.panel, QStringLiteral("chat"));
    QCOMPARE(rig.socket.sent, QStringList{});
    rig.type(QStringLiteral("too early"));
    QCOMPARE(rig.socket.sent, QStringList{});
}

void TestLifecycle::socketErrors_data() {
    QTest::addColumn<bool>("host");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("status");
    for (bool host : {false, true}) {
        const char* side = host ? "host" : "caller";
        QTest::addRow("%s refused", side) << host << "Connection is forcefully rejected"
                                          << "Could not establish a connection.";
        QTest::addRow("%s not found", side) << host << "Authoritative answer: Host not found"
                                            << "Host not found.";
        QTest::addRow("%s other failure", side) << host << "Network unreachable"
                                                << "Connecting...";
        QTest::addRow("%s similar text is not the same", side)
            << host << "connection is forcefully rejected"
            << "Connecting...";
    }
}

void TestLifecycle::socketErrors() {
    QFETCH(bool, host);
    QFETCH(QString, description);
    ChatRig rig(host);
    rig.controls.address = QStringLiteral("somewhere");
    rig.controls.panel = QStringLiteral("chat");
    rig.form.cmdConnect_Click();
    rig.socket.calls.clear();
    emit rig.socket.Error(1, description);
    QTEST(rig.controls.status, "status");
    QCOMPARE(rig.controls.buttonCaption, QStringLiteral("Connect"));
    QCOMPARE(rig.socket.calls, QStringList{"Close"});
    // The caller brings its connect panel back; the host does not listen again by itself.
    QCOMPARE(rig.controls.panel, host ? QStringLiteral("chat") : QStringLiteral("connect"));
}

void TestLifecycle::hostConnectButton() {
    ChatRig rig(true);
    rig.socket.state = StreamSocket::sckListening;
    rig.form.cmdConnect_Click();
    QCOMPARE(rig.socket.calls, QStringList{});
    QCOMPARE(rig.controls.status, QStringLiteral("Listening..."));
    QCOMPARE(rig.controls.addressFocus, 0);

    rig.controls.address = QStringLiteral("peer.example");
    rig.form.cmdConnect_Click();
    QCOMPARE(rig.socket.calls, QStringList{"Connect peer.example:1983"});
    QCOMPARE(rig.controls.status, QStringLiteral("Connecting..."));
    QCOMPARE(rig.controls.buttonCaption, QStringLiteral("Connect"));

    rig.socket.state = StreamSocket::sckConnected;
    emit rig.socket.Connected();
    QCOMPARE(rig.controls.status, QStringLiteral("Connected to 127.0.0.1"));
    QCOMPARE(rig.controls.panel, QStringLiteral("chat"));
}

void TestLifecycle::windowCloses_data() {
    QTest::addColumn<bool>("host");
    QTest::addColumn<int>("socketState");
    QTest::addColumn<bool>("confirmed");
    QTest::addColumn<QStringList>("calls");
    const QStringList goodbye{"SendData /terminate 21", "Flush", "Close"};
    QTest::newRow("caller confirmed") << false << 7 << true << goodbye;
    QTest::newRow("caller connected, unconfirmed") << false << 7 << false << QStringList{};
    QTest::newRow("caller connecting") << false << 6 << true << QStringList{};
    QTest::newRow("host connected") << true << 7 << false << goodbye;
    QTest::newRow("host listening") << true << 2 << false << QStringList{};
}

void TestLifecycle::windowCloses() {
    QFETCH(bool, host);
    QFETCH(int, socketState);
    QFETCH(bool, confirmed);
    ChatRig rig(host);
    rig.form.lngConnID = 21;
    rig.socket.state = socketState;
    rig.form.blnConfirmed = confirmed;
    int yieldsBefore = rig.controls.yields;
    rig.form.Form_Unload();
    QTEST(rig.socket.calls, "calls");
    QFETCH(QStringList, calls);
    QCOMPARE(rig.controls.yields - yieldsBefore, calls.isEmpty() ? 0 : 1);
    if (!host && !calls.isEmpty()) {
        QCOMPARE(rig.form.blnConfirmed, false);
    }
}

void TestLifecycle::exitSendsNothing_data() {
    QTest::addColumn<bool>("host");
    QTest::newRow("caller") << false;
    QTest::newRow("host") << true;
}

void TestLifecycle::exitSendsNothing() {
    QFETCH(bool, host);
    ChatRig rig(host);
    rig.connectAs(4, QStringLiteral("P"));
    rig.form.mnuExit_Click();
    QVERIFY(rig.controls.ended);
    QCOMPARE(rig.socket.calls, QStringList{});
}

void TestLifecycle::addressEnterActsAsButton() {
    ChatRig rig(false);
    rig.controls.address = QStringLiteral("h");
    rig.form.cboAddress_KeyPress('a');
    QCOMPARE(rig.socket.calls, QStringList{});
    rig.form.cboAddress_KeyPress(frmClient::kEnter);
    QCOMPARE(rig.socket.calls, QStringList{"Connect h:1983"});
    rig.form.cboAddress_KeyPress(frmClient::kEnter); // now reads "Disconnect": withdraws
    QCOMPARE(rig.controls.buttonCaption, QStringLiteral("Connect"));
    QCOMPARE(rig.socket.calls.last(), QStringLiteral("Close"));
}

QTEST_APPLESS_MAIN(TestLifecycle)
#include "test_lifecycle.moc"
