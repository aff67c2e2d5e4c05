#include "QtStreamSocket.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <memory>

using namespace parlo;

namespace {

// A host socket listening on an ephemeral loopback port, and a caller connected to it.
struct Pair {
    QtStreamSocket host;
    QtStreamSocket caller;
    qint32 requestId = 0;
    quint16 port = 0;

    bool open() {
        host.setLocalPort(0);
        if (!host.Listen()) {
            return false;
        }
        port = host.listeningPort();
        QObject::connect(&host, &StreamSocket::ConnectionRequest, &host, [this](qint32 id) {
            requestId = id;
            host.Close();
            host.Accept(id);
        });
        QSignalSpy connected(&caller, &StreamSocket::Connected);
        caller.Connect(QStringLiteral("127.0.0.1"), port);
        return connected.wait(5000) && QTest::qWaitFor([this] { return requestId != 0; });
    }
};

// Collects the text of every data notification.
struct Reader {
    explicit Reader(StreamSocket& socket) {
        QObject::connect(&socket, &StreamSocket::DataArrival, &socket, [this, &socket](qint64) {
            const QString text = socket.GetData();
            reads << text;
            all += text;
        });
    }
    QStringList reads;
    QString all;
};

} // namespace

// The Qt stream socket: states, failures, delivery of data and of the peer's close.
class TestSocket : public QObject {
    Q_OBJECT
private slots:
    void statesThroughAConversation();
    void failures_data();
    void failures();
    void sendWithoutConnection();
    void callsInEveryStateAreHarmless();
    void requestIdsArePositiveAndDistinct();
    void secondCallerRefusedWhileConnected();
    void peerCloseComesAfterItsData();
    void largeReadsComeInChunks();
    void characterSplitAcrossReads();
    void dataDuringNestedLoopIsDeliveredAfterwards();
    void displayAddress_data();
    void displayAddress();
    void goodbyeLeavesBeforeClose();
    void connectWhileListeningStopsListening();
};

void TestSocket::statesThroughAConversation() {
    Pair pair;
    QCOMPARE(pair.host.State(), int(StreamSocket::sckClosed));
    QVERIFY(pair.open());
    QCOMPARE(pair.host.State(), int(StreamSocket::sckConnected));
    QCOMPARE(pair.caller.State(), int(StreamSocket::sckConnected));
    QCOMPARE(pair.caller.RemoteHostIP(), QStringLiteral("127.0.0.1"));
    QCOMPARE(pair.host.RemoteHostIP(), QStringLiteral("127.0.0.1"));
    pair.host.Close();
    QCOMPARE(pair.host.State(), int(StreamSocket::sckClosed));
    pair.host.setLocalPort(0);
    QVERIFY(pair.host.Listen());
    QCOMPARE(pair.host.State(), int(StreamSocket::sckListening));
}

void TestSocket::failures_data() {
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("description");
    QTest::newRow("refused") << "127.0.0.1"
                             << "Connection is forcefully rejected";
    QTest::newRow("name does not resolve") << "no-such-host.invalid"
                                           << "Authoritative answer: Host not found";
}

void TestSocket::failures() {
    QFETCH(QString, host);
    // A port nothing listens on: bind one, note it, let it go.
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        closedPort = probe.serverPort();
    }
    QtStreamSocket socket;
    QSignalSpy errors(&socket, &StreamSocket::Error);
    socket.Connect(host, closedPort);
    QCOMPARE(errors.count(), 0); // never reported from inside Connect
    QVERIFY(errors.wait(10000));
    QTEST(errors.first().at(1).toString(), "description");
    QVERIFY(socket.State() != StreamSocket::sckConnected);
}

void TestSocket::sendWithoutConnection() {
    QtStreamSocket socket;
    QCOMPARE(socket.SendData(QStringLiteral("x")), StreamSocket::SendResult::NotConnected);
    socket.setLocalPort(0);
    QVERIFY(socket.Listen());
    QCOMPARE(socket.SendData(QStringLiteral("x")), StreamSocket::SendResult::NotConnected);
}

void TestSocket::callsInEveryStateAreHarmless() {
    QtStreamSocket socket;
    socket.Close();
    socket.Accept(12345); // no such request
    QCOMPARE(socket.GetData(), QString());
    QCOMPARE(socket.RemoteHostIP(), QString());
    QVERIFY(!socket.FlushOutgoing(10));
    socket.setLocalPort(0);
    QVERIFY(socket.Listen());
    QVERIFY(socket.Listen()); // again: stops and starts
    socket.Accept(1);
    QCOMPARE(socket.State(), int(StreamSocket::sckListening));
    socket.Connect(QString(), 1); // empty host: reported, not a crash
    QSignalSpy errors(&socket, &StreamSocket::Error);
    QVERIFY(errors.wait(5000));
}

void TestSocket::requestIdsArePositiveAndDistinct() {
    QtStreamSocket host;
    host.setLocalPort(0);
    QVERIFY(host.Listen());
    QList<qint32> ids;
    connect(&host, &StreamSocket::ConnectionRequest, this, [&](qint32 id) { ids << id; });
    std::vector<std::unique_ptr<QTcpSocket>> callers;
    for (int i = 0; i < 3; ++i) {
        callers.push_back(std::make_unique<QTcpSocket>());
        callers.back()->connectToHost(QHostAddress::LocalHost, host.listeningPort());
        QTRY_COMPARE_WITH_TIMEOUT(ids.size(), i + 1, 5000);
    }
    for (qint32 id : ids) {
        QVERIFY(id > 0);
        QCOMPARE(ids.count(id), 1);
    }
    // Requests nobody accepted were turned away.
    QTRY_COMPARE_WITH_TIMEOUT(callers.back()->state(), QAbstractSocket::UnconnectedState, 5000);
}

void TestSocket::secondCallerRefusedWhileConnected() {
    Pair pair;
    QVERIFY(pair.open());
    QtStreamSocket second;
    QSignalSpy errors(&second, &StreamSocket::Error);
    second.Connect(QStringLiteral("127.0.0.1"), pair.port);
    QVERIFY(errors.wait(5000));
    QCOMPARE(errors.first().at(1).toString(), QStringLiteral("Connection is forcefully rejected"));
    QCOMPARE(pair.host.State(), int(StreamSocket::sckConnected));
}

void TestSocket::peerCloseComesAfterItsData() {
    Pair pair;
    QVERIFY(pair.open());
    Reader reader(pair.host);
    QStringList order;
    connect(&pair.host, &StreamSocket::DataArrival, this, [&] { order << "data"; });
    connect(&pair.host, &StreamSocket::PeerClosed, this, [&] { order << "closed"; });
    QCOMPARE(pair.caller.SendData(QStringLiteral("last words")), StreamSocket::SendResult::Sent);
    QVERIFY(pair.caller.FlushOutgoing(2000));
    pair.caller.Close();
    QTRY_VERIFY_WITH_TIMEOUT(order.contains("closed"), 5000);
    QCOMPARE(reader.all, QStringLiteral("last words"));
    QCOMPARE(order.last(), QStringLiteral("closed"));
    QCOMPARE(order.count("closed"), 1);
    QCOMPARE(pair.host.State(), int(StreamSocket::sckClosed));
}

void TestSocket::largeReadsComeInChunks() {
    Pair pair;
    QVERIFY(pair.open());
    Reader reader(pair.host);
    QString big(1024 * 1024, QLatin1Char('x'));
    for (int i = 0; i < big.size(); i += 997) {
        big[i] = QLatin1Char('0' + i % 10);
    }
    QCOMPARE(pair.caller.SendData(big), StreamSocket::SendResult::Sent);
    QTRY_COMPARE_WITH_TIMEOUT(reader.all.size(), big.size(), 10000);
    QCOMPARE(reader.all, big);
    for (const QString& read : std::as_const(reader.reads)) {
        QVERIFY(read.size() <= QtStreamSocket::kMaxChunkBytes);
    }
    QVERIFY(reader.reads.size() >= 16);
}

void TestSocket::characterSplitAcrossReads() {
    // "é" is C3 A9; "€" is E2 82 AC; FF is never valid UTF-8; NUL is kept.
    const QByteArray first = QByteArray("caf\xC3", 4);
    const QByteArray second = QByteArray("\xA9 \xE2\x82", 4);
    const QByteArray third = QByteArray("\xAC \xFF\x00!", 5);
    QtStreamSocket host;
    host.setLocalPort(0);
    QVERIFY(host.Listen());
    connect(&host, &StreamSocket::ConnectionRequest, this, [&](qint32 id) {
        host.Close();
        host.Accept(id);
    });
    Reader hostReader(host);
    QTcpSocket raw; // writes bytes directly, so a character can be cut in two
    raw.connectToHost(QHostAddress::LocalHost, host.listeningPort());
    QVERIFY(raw.waitForConnected(5000));
    QTRY_COMPARE_WITH_TIMEOUT(host.State(), int(StreamSocket::sckConnected), 5000);
    for (const QByteArray& part : {first, second, third}) {
        raw.write(part);
        QVERIFY(raw.waitForBytesWritten(2000));
        QTest::qWait(50); // separate reads on the other side
    }
    const QString expected =
        QStringLiteral("café €") + QLatin1Char(' ') + QChar(0xFFFD) + QChar(0) + QLatin1Char('!');
    QTRY_COMPARE_WITH_TIMEOUT(hostReader.all, expected, 5000);
}

void TestSocket::dataDuringNestedLoopIsDeliveredAfterwards() {
    Pair pair;
    QVERIFY(pair.open());
    QStringList reads;
    bool inHandler = false;
    bool reentered = false;
    connect(&pair.host, &StreamSocket::DataArrival, this, [&](qint64) {
        reentered = reentered || inHandler;
        inHandler = true;
        const QString text = pair.host.GetData();
        reads << text;
        if (text == QLatin1String("first")) {
            // A modal box: the event loop runs while more data arrives.
            pair.caller.SendData(QStringLiteral("second"));
            QTest::qWait(200);
        }
        inHandler = false;
    });
    pair.caller.SendData(QStringLiteral("first"));
    QTRY_COMPARE_WITH_TIMEOUT(reads.size(), 2, 5000);
    QCOMPARE(reads, (QStringList{"first", "second"}));
    QVERIFY(!reentered);
}

void TestSocket::displayAddress_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("shown");
    QTest::newRow("v4") << "192.0.2.1"
                        << "192.0.2.1";
    QTest::newRow("v4-mapped v6") << "::ffff:127.0.0.1"
                                  << "127.0.0.1";
    QTest::newRow("v6 loopback") << "::1"
                                 << "::1";
    QTest::newRow("v6") << "2001:db8::5"
                        << "2001:db8::5";
}

void TestSocket::displayAddress() {
    QFETCH(QString, address);
    QTEST(QtStreamSocket::displayAddress(QHostAddress(address)), "shown");
}

void TestSocket::goodbyeLeavesBeforeClose() {
    Pair pair;
    QVERIFY(pair.open());
    Reader reader(pair.host);
    pair.caller.SendData(QStringLiteral("/terminate 5"));
    pair.caller.Close(); // right after the send, as a window that closes
    QTRY_COMPARE_WITH_TIMEOUT(reader.all, QStringLiteral("/terminate 5"), 5000);
}

void TestSocket::connectWhileListeningStopsListening() {
    QtStreamSocket host;
    host.setLocalPort(0);
    QVERIFY(host.Listen());
    const quint16 port = host.listeningPort();
    QSignalSpy errors(&host, &StreamSocket::Error);
    host.Connect(QStringLiteral("127.0.0.1"), port); // its own, now closed, port
    QVERIFY(errors.wait(5000));
    QCOMPARE(errors.first().at(1).toString(), QStringLiteral("Connection is forcefully rejected"));
}

QTEST_GUILESS_MAIN(TestSocket)
#include "test_socket.moc"
