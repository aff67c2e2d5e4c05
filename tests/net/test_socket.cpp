#include "KeepAlive.h"
#include "QtStreamSocket.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace parlo;
using State = StreamSocket::SocketState;

namespace {

// A socket listening on a port the system picks and taking every call, with
// what its notifications handed out.
struct Host {
    QtStreamSocket socket;
    QStringList reads;
    QList<qint32> requests;
    QList<qsizetype> closedAt; // characters received when the peer's close was reported
    Host() {
        QObject::connect(&socket, &StreamSocket::ConnectionRequest, &socket, [this](qint32 id) {
            requests << id;
            socket.Close();
            socket.Accept(id);
        });
        QObject::connect(&socket, &StreamSocket::DataArrival, &socket,
                         [this] { reads << socket.GetData(); });
        QObject::connect(&socket, &StreamSocket::PeerClosed, &socket,
                         [this] { closedAt << reads.join(QString()).size(); });
        socket.setLocalPort(0);
        socket.Listen();
    }
    bool takeCall(QtStreamSocket& caller) {
        caller.Connect(QStringLiteral("127.0.0.1"), socket.LocalPort());
        return QTest::qWaitFor([&] {
            return caller.State() == State::sckConnected && socket.State() == State::sckConnected;
        });
    }
};

// An option of the connection a socket carries, as the system reports it.
int option(const QObject& end, int level, int name) {
    int value = -1;
    socklen_t size = sizeof(value);
    getsockopt(int(end.findChild<QTcpSocket*>()->socketDescriptor()), level, name, &value, &size);
    return value;
}

} // namespace

class TestSocket : public QObject {
    Q_OBJECT
private slots:
    void conversation() {
        Host host;
        QtStreamSocket caller;
        QCOMPARE(host.socket.State(), State::sckListening);
        QVERIFY(host.takeCall(caller));
        QCOMPARE(host.socket.RemoteHostIP(), QStringLiteral("127.0.0.1")); // not ::ffff:127.0.0.1
        const int wanted[][3] = {{SOL_SOCKET, SO_KEEPALIVE, 1},
                                 {IPPROTO_TCP, TCP_NODELAY, 1},
                                 {IPPROTO_TCP, TCP_KEEPIDLE, keepalive::kIdleSeconds},
                                 {IPPROTO_TCP, TCP_KEEPINTVL, keepalive::kIntervalSeconds},
                                 {IPPROTO_TCP, TCP_KEEPCNT, keepalive::kProbeCount},
                                 {IPPROTO_TCP, TCP_USER_TIMEOUT, keepalive::kUserTimeoutMs}};
        for (const auto& [level, name, value] : wanted) {
            QCOMPARE(option(host.socket, level, name), value);
            QCOMPARE(option(caller, level, name), value);
        }
        // What comes while a handler runs a nested event loop (a modal box), the
        // peer's close included, is handed out after it returns, never inside it.
        int depth = 0;
        connect(&host.socket, &StreamSocket::DataArrival, this, [&] {
            QCOMPARE(++depth, 1);
            if (host.reads.last() == QLatin1String("first")) {
                caller.SendData(QStringLiteral("second"));
                caller.Close();
                auto* connection = host.socket.findChild<QTcpSocket*>();
                QVERIFY(QTest::qWaitFor(
                    [&] { return connection->state() == QTcpSocket::UnconnectedState; }));
                QCoreApplication::processEvents(); // and what the close set going
            }
            --depth;
        });
        caller.SendData(QStringLiteral("first"));
        QTRY_COMPARE(host.closedAt, QList<qsizetype>{11});
        QCOMPARE(host.reads, (QStringList{"first", "second"}));
        QCOMPARE(caller.State(), State::sckClosed);
        QCOMPARE(host.socket.State(), State::sckClosed);
    }

    // More than the system's buffers hold, and the close right after it.
    void piecesThenPeerClosed() {
        Host host;
        QtStreamSocket caller;
        QVERIFY(host.takeCall(caller));
        QString sent;
        for (int i = 0; sent.size() < 16 << 20; ++i) {
            sent += QString::number(i) + QLatin1Char(' ');
        }
        caller.SendData(sent);
        caller.Close();
        QTRY_COMPARE_WITH_TIMEOUT(host.closedAt, QList<qsizetype>{sent.size()}, 20000);
        QCOMPARE(host.reads.join(QString()), sent);
        QVERIFY(std::all_of(host.reads.begin(), host.reads.end(),
                            [](const QString& piece) { return piece.size() <= 64 * 1024; }));
    }

    void failures_data() {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("text");
        QTest::newRow("port refused") << "127.0.0.1"
                                      << "Connection is forcefully rejected";
        QTest::newRow("name unknown") << "nonexistent.invalid"
                                      << "Authoritative answer: Host not found";
        QTest::newRow("no route") << "255.255.255.255" << QString(); // fails inside the system call
    }
    void failures() {
        QFETCH(QString, host);
        QtStreamSocket socket;
        socket.setLocalPort(0);
        QVERIFY(socket.Listen());
        const quint16 closedPort = socket.LocalPort(); // bound, noted, let go
        QSignalSpy errors(&socket, &StreamSocket::Error);
        socket.Connect(host, closedPort);
        QCOMPARE(errors.count(), 0); // reported from the event loop, never inside Connect
        QVERIFY(errors.wait(10000));
        QFETCH(QString, text);
        if (!text.isEmpty()) {
            QCOMPARE(errors.first().at(1).toString(), text);
        }
        QCOMPARE(socket.State(), State::sckClosed);
    }

    void connectionNumbersPositiveAndDistinct() {
        Host host;
        QTcpSocket callers[3];
        for (QTcpSocket& caller : callers) {
            host.socket.Listen(); // again, for the next call
            caller.connectToHost(QHostAddress::LocalHost, host.socket.LocalPort());
            QTRY_COMPARE(host.requests.count(), &caller - callers + 1);
            QVERIFY(host.requests.last() > 0 && host.requests.count(host.requests.last()) == 1);
        }
    }

    void decodingAcrossReads() {
        Host host;
        QTcpSocket raw; // writes bytes as given, so a character can be cut in two
        raw.connectToHost(QHostAddress::LocalHost, host.socket.LocalPort());
        const QByteArrayList parts{"caf\xC3", "\xA9 \xFF \xE2\x82", "\xAC!"};
        for (const QByteArray& part : parts) {
            raw.write(part);
            QTRY_COMPARE(host.reads.count(), &part - parts.data() + 1); // one read each
        }
        QCOMPARE(host.reads.join(QString()), QStringLiteral("café \uFFFD €!"));
    }

    // The goodbye as a closing program sends it: no event loop runs after Close.
    void goodbyeFlushedBeforeClose() {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        server.pauseAccepting(); // the reader below takes the call itself
        auto caller = std::make_unique<QtStreamSocket>();
        caller->Connect(QStringLiteral("127.0.0.1"), server.serverPort());
        QTRY_COMPARE(caller->State(), State::sckConnected);
        const QString goodbye(16 << 20, QLatin1Char('g'));
        caller->SendData(goodbye); // fills the system's buffers; the rest waits with us
        qsizetype received = 0;
        std::thread reader([&, fd = accept(int(server.socketDescriptor()), nullptr, nullptr)] {
            char buffer[65536];
            for (ssize_t n; (n = read(fd, buffer, sizeof(buffer))) > 0;) {
                received += n;
            }
            close(fd);
        });
        const bool flushed = caller->FlushOutgoing(10000);
        caller->Close();
        caller.reset();
        reader.join();
        QVERIFY(flushed);
        QCOMPARE(received, goodbye.size());
    }
};

QTEST_GUILESS_MAIN(TestSocket)
#include "test_socket.moc"
