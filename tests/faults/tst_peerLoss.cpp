// A peer that goes away without saying goodbye: reset, closed, or gone while
// the host is between its two opening messages. The other side must end the
// conversation cleanly, keep everything said before, and be ready again.
#include "LiveChat.h"
#include "testSuites.h"

#include <QTest>

using namespace parlo;
using namespace parlo::faults;

namespace {

const QString kHostStatus = QStringLiteral("Listening...");

enum class Leaving { Close, Reset, ResetWithUnreadData };

// Ends the raw side of the connection the way the row asks.
void leave(QTcpSocket& raw, Leaving how) {
    if (how != Leaving::Close) {
        resetOnClose(raw);
    }
    raw.flush();
    if (how == Leaving::Close) {
        raw.disconnectFromHost();
    } else {
        raw.abort();
    }
}

} // namespace

Q_DECLARE_METATYPE(Leaving)

class PeerLossTest : public QObject {
    Q_OBJECT
private slots:
    void hostSeesCallerGo_data();
    void hostSeesCallerGo();
    void callerSeesHostGo_data();
    void callerSeesHostGo();
    void peerGoesDuringHostYield_data();
    void peerGoesDuringHostYield();
};

void PeerLossTest::hostSeesCallerGo_data() {
    QTest::addColumn<Leaving>("how");
    QTest::newRow("closed") << Leaving::Close;
    QTest::newRow("reset") << Leaving::Reset;
    QTest::newRow("reset with unread data") << Leaving::ResetWithUnreadData;
}

void PeerLossTest::hostSeesCallerGo() {
    QFETCH(Leaving, how);
    auto host = startHost();
    QTcpSocket raw;
    const qint32 firstId = connectRawCaller(*host, raw);
    QVERIFY(firstId > 0);

    raw.write("last words");
    raw.flush();
    QTRY_VERIFY_WITH_TIMEOUT(host->controls.output.endsWith(QStringLiteral("\r\nRaw: last words")),
                             10000);
    if (how == Leaving::ResetWithUnreadData) {
        host->type(QStringLiteral("are you there?"));
        QVERIFY(raw.waitForReadyRead(5000)); // in our buffer, never read by us
    }
    const QString before = host->controls.output;
    leave(raw, how);

    QTRY_COMPARE_WITH_TIMEOUT(host->controls.output,
                              before + QStringLiteral("\r\n>> Raw disconnected."), 10000);
    QCOMPARE(host->controls.status, kHostStatus);
    QCOMPARE(host->socket.State(), int(StreamSocket::sckListening));

    // Listening again: the next caller is taken, under a new number.
    QTcpSocket next;
    const qint32 nextId = connectRawCaller(*host, next);
    QVERIFY(nextId > 0);
    QVERIFY(nextId != firstId);
    QCOMPARE(host->controls.status, QStringLiteral("Connected to 127.0.0.1"));
}

void PeerLossTest::callerSeesHostGo_data() {
    hostSeesCallerGo_data();
}

void PeerLossTest::callerSeesHostGo() {
    QFETCH(Leaving, how);
    LiveEnd caller(false);
    caller.form.Form_Load();
    QTcpServer server;
    QTcpSocket* raw = acceptRawHost(server, caller, 7);
    QVERIFY(raw);
    QCOMPARE(caller.controls.panel, QStringLiteral("chat"));

    raw->write("last words");
    raw->flush();
    QTRY_VERIFY_WITH_TIMEOUT(
        caller.controls.output.endsWith(QStringLiteral("\r\nRawHost: last words")), 10000);
    if (how == Leaving::ResetWithUnreadData) {
        caller.type(QStringLiteral("are you there?"));
        QVERIFY(raw->waitForReadyRead(5000));
    }
    const QString before = caller.controls.output;
    leave(*raw, how);

    QTRY_COMPARE_WITH_TIMEOUT(caller.controls.output,
                              before + QStringLiteral("\r\n>> RawHost disconnected."), 10000);
    QCOMPARE(caller.controls.status, QStringLiteral("Idle."));
    QCOMPARE(caller.controls.panel, QStringLiteral("connect"));
    QCOMPARE(caller.controls.buttonCaption, QStringLiteral("Connect"));
    QVERIFY(!caller.form.blnConfirmed);
    QCOMPARE(caller.socket.State(), int(StreamSocket::sckClosed));

    // A line typed now goes nowhere and is not routed.
    caller.type(QStringLiteral("anyone?"));
    QCOMPARE(caller.controls.output, before + QStringLiteral("\r\n>> RawHost disconnected."));
}

void PeerLossTest::peerGoesDuringHostYield_data() {
    QTest::addColumn<Leaving>("how");
    QTest::addColumn<QByteArray>("saidFirst");
    QTest::addColumn<QString>("expected");
    QTest::newRow("closes") << Leaving::Close << QByteArray()
                            << QStringLiteral("\r\n>>  disconnected.");
    QTest::newRow("goes away (reset)")
        << Leaving::Reset << QByteArray() << QStringLiteral("\r\n>>  disconnected.");
    QTest::newRow("speaks, then closes") << Leaving::Close << QByteArray("/nick Brief")
                                         << QStringLiteral("\r\n>> Brief disconnected.");
    QTest::newRow("chats, then goes away") << Leaving::ResetWithUnreadData << QByteArray("bye")
                                           << QStringLiteral("\r\n: bye\r\n>>  disconnected.");
}

void PeerLossTest::peerGoesDuringHostYield() {
    QFETCH(Leaving, how);
    QFETCH(QByteArray, saidFirst);
    QFETCH(QString, expected);
    auto host = startHost();

    QTcpSocket raw;
    raw.connectToHost(QHostAddress::LocalHost, host->socket.listeningPort());
    // The handshake completes in the kernel; the host has not taken the call yet.
    QVERIFY(raw.waitForConnected(5000));
    if (!saidFirst.isEmpty()) {
        raw.write(saidFirst);
        QVERIFY(raw.waitForBytesWritten(5000));
    }

    bool leftDuringYield = false;
    host->controls.onYield = [&] {
        leave(raw, how);
        leftDuringYield = pumpUntil(
            [&] { return host->controls.output.contains(QStringLiteral("disconnected.")); });
        host->pumpOnYield();
    };
    QTRY_VERIFY_WITH_TIMEOUT(host->controls.yields > 0, 10000);
    QVERIFY(leftDuringYield);

    // The host did not go on as if connected: no "Connected to", listening again.
    QCOMPARE(host->controls.output, expected);
    QCOMPARE(host->controls.status, kHostStatus);
    QCOMPARE(host->socket.State(), int(StreamSocket::sckListening));

    QTcpSocket next;
    QVERIFY(connectRawCaller(*host, next) > 0);
    QCOMPARE(host->controls.status, QStringLiteral("Connected to 127.0.0.1"));
}

int runPeerLossTests(int argc, char** argv) {
    PeerLossTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_peerLoss.moc"
