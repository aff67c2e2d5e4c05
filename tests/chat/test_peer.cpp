#include "ChatRig.h"

#include <QTest>

using namespace parlo;
using namespace parlo::test;

// Lines that arrive from the peer: chat text and protocol keywords, on both sides.
class TestPeer : public QObject {
    Q_OBJECT
private slots:
    void receivedLines_data();
    void receivedLines();
    void endOfConversation_data();
    void endOfConversation();
    void splitCharacterIsNoLine();
};

void TestPeer::receivedLines_data() {
    QTest::addColumn<bool>("host");
    QTest::addColumn<QStringList>("reads");
    QTest::addColumn<QString>("transcript");
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QString>("peerName");
    QTest::addColumn<int>("connId");
    QTest::addColumn<bool>("confirmed");

    using L = QStringList;
    // Every row starts connected with connection number 5 and the peer named "Peer".
    QTest::newRow("chat line") << false << L{"hello"} << "\r\nPeer: hello" << L{} << L{} << "Peer"
                               << 5 << true;
    QTest::newRow("nick then chat")
        << true << L{"/nick Bob", "hi"} << "\r\nBob: hi" << L{} << L{} << "Bob" << 5 << false;
    QTest::newRow("nick with two words")
        << false << L{"/nick Big Bob"} << "" << L{} << L{} << "Big Bob" << 5 << true;
    QTest::newRow("NICK in capitals")
        << false << L{"/NICK Al"} << "" << L{} << L{} << "Al" << 5 << true;
    QTest::newRow("nick empty") << true << L{"/nick", "x"} << "\r\n: x" << L{} << L{} << "" << 5
                                << false;
    QTest::newRow("nick leading space kept")
        << true << L{"/nick  Bo"} << "" << L{} << L{} << " Bo" << 5 << false;
    QTest::newRow("unknown keyword shown whole")
        << false << L{"/hello there"} << "\r\nPeer: /hello there" << L{} << L{} << "Peer" << 5
        << true;
    QTest::newRow("slash alone") << true << L{"/"} << "\r\nPeer: /" << L{} << L{} << "Peer" << 5
                                 << false;
    QTest::newRow("help is only local")
        << false << L{"/help"} << "\r\nPeer: /help" << L{} << L{} << "Peer" << 5 << true;
    QTest::newRow("format characters literal")
        << true << L{"%1%s%n %d"} << "\r\nPeer: %1%s%n %d" << L{} << L{} << "Peer" << 5 << false;
    QTest::newRow("caller ignores connect")
        << false << L{"/connect", "/disconnect 5"} << "" << L{} << L{} << "Peer" << 5 << true;
    QTest::newRow("host boxes for connect and disconnect")
        << true << L{"/connect", "/Disconnect 9"} << "" << L{}
        << L{"peer connect", "peer disconnect"} << "Peer" << 5 << false;
    QTest::newRow("change_name box") << false << L{"/change_name"} << "" << L{}
                                     << L{"Your peer has the same name as you, you "
                                          "have 60 secs to change yours."}
                                     << "Peer" << 5 << true;
    QTest::newRow("caller confirmation") << false << L{"/connection_confirmed 42"} << ""
                                         << L{"/nick Client"} << L{} << "Peer" << 42 << true;
    QTest::newRow("host takes a confirmation too")
        << true << L{"/connection_confirmed -3"} << "" << L{"/nick Server"} << L{} << "Peer" << -3
        << false;
    QTest::newRow("joined opening exchange")
        << false << L{"/connection_confirmed 7/nick Server"} << "" << L{"/nick Client"} << L{}
        << "Server" << 7 << true;
    QTest::newRow("confirmation without a number is chat")
        << false << L{"/connection_confirmed abc"} << "\r\nPeer: /connection_confirmed abc" << L{}
        << L{} << "Peer" << 5 << false;
    QTest::newRow("confirmation beyond 32 bits is chat")
        << true << L{"/connection_confirmed 4294967296"}
        << "\r\nPeer: /connection_confirmed 4294967296" << L{} << L{} << "Peer" << 5 << false;
    QTest::newRow("terminate with another number")
        << false << L{"/terminate 6"} << "" << L{} << L{} << "Peer" << 5 << true;
    QTest::newRow("terminate beyond 32 bits")
        << true << L{"/terminate 4294967301"} << "" << L{} << L{} << "Peer" << 5 << false;
    QTest::newRow("terminate with a word never counts as 0")
        << false << L{"/connection_confirmed 0", "/terminate zero"} << "" << L{"/nick Client"}
        << L{} << "Peer" << 0 << true;
}

void TestPeer::receivedLines() {
    QFETCH(bool, host);
    QFETCH(QStringList, reads);
    ChatRig rig(host);
    rig.connectAs(5, QStringLiteral("Peer"));
    rig.form.blnConfirmed = !host; // an unconfirmed caller is confirmed by its row's reads only
    if (!host && reads.first().startsWith(QStringLiteral("/connection_confirmed"))) {
        rig.form.blnConfirmed = false;
    }
    for (const QString& read : reads) {
        rig.socket.deliver(read);
    }
    QTEST(rig.controls.output, "transcript");
    QTEST(rig.socket.sent, "sent");
    QTEST(rig.controls.boxes, "boxes");
    QTEST(rig.form.strPeerName, "peerName");
    QTEST(int(rig.form.lngConnID), "connId");
    if (!host) {
        QTEST(rig.form.blnConfirmed, "confirmed");
    }
    QCOMPARE(rig.socket.state, int(StreamSocket::sckConnected));
    QCOMPARE(rig.form.strSavedOutput(), rig.controls.output);
}

void TestPeer::endOfConversation_data() {
    QTest::addColumn<bool>("host");
    QTest::addColumn<QString>("read"); // empty: the connection closes under us
    QTest::addColumn<QString>("transcript");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QString>("status");

    const QStringList callerCalls{"Close"};
    const QStringList hostCalls{"Close", "Listen"};
    QTest::newRow("caller: terminate") << false << "/terminate 5"
                                       << "\r\n>> Peer disconnected." << callerCalls << "Idle.";
    QTest::newRow("caller: TERMINATE with spaces")
        << false << "/TERMINATE  5 "
        << "\r\n>> Peer disconnected." << callerCalls << "Idle.";
    QTest::newRow("caller: chat joined with terminate")
        << false << "bye/terminate 5"
        << "\r\nPeer: bye\r\n>> Peer disconnected." << callerCalls << "Idle.";
    QTest::newRow("caller: peer vanished") << false << ""
                                           << "\r\n>> Peer disconnected." << callerCalls << "Idle.";
    QTest::newRow("host: terminate") << true << "/terminate 5"
                                     << "\r\n>> Peer disconnected." << hostCalls << "Listening...";
    QTest::newRow("host: terminate then chat")
        << true << "/terminate 5late"
        << "\r\n>> Peer disconnected.\r\nPeer: late" << hostCalls << "Listening...";
    QTest::newRow("host: peer vanished")
        << true << ""
        << "\r\n>> Peer disconnected." << hostCalls << "Listening...";
}

void TestPeer::endOfConversation() {
    QFETCH(bool, host);
    QFETCH(QString, read);
    ChatRig rig(host);
    rig.connectAs(5, QStringLiteral("Peer"));
    rig.controls.buttonCaption = QStringLiteral("Disconnect");
    rig.controls.panel = QStringLiteral("chat");
    if (read.isEmpty()) {
        rig.socket.state = StreamSocket::sckClosed;
        emit rig.socket.PeerClosed();
    } else {
        rig.socket.deliver(read);
    }
    QTEST(rig.controls.output, "transcript");
    QTEST(rig.socket.calls, "calls");
    QTEST(rig.controls.status, "status");
    QCOMPARE(rig.form.strPeerName, QStringLiteral("Peer")); // the name outlives the connection
    if (!host) {
        QCOMPARE(rig.form.blnConfirmed, false);
        QCOMPARE(rig.controls.buttonCaption, QStringLiteral("Connect"));
        QCOMPARE(rig.controls.panel, QStringLiteral("connect"));
        rig.type(QStringLiteral("after")); // no longer routed
        QCOMPARE(rig.controls.input, QStringLiteral("after"));
    } else {
        QCOMPARE(rig.controls.panel, QStringLiteral("chat"));
    }
}

void TestPeer::splitCharacterIsNoLine() {
    // A read that decodes to nothing yet (half a character) makes no entry.
    ChatRig rig(true);
    rig.connectAs(5, QStringLiteral("Peer"));
    rig.socket.deliver(QString());
    QCOMPARE(rig.controls.output, QString());
    QCOMPARE(rig.controls.scrolls, 0);
}

QTEST_APPLESS_MAIN(TestPeer)
#include "test_peer.moc"
