// The socket adapter over real loopback connections.

#include "QtStreamSocket.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <netinet/tcp.h>
#include <thread>
#include <unistd.h>

using namespace parlo;

// Loopback answers in milliseconds; this only bounds a broken build.
constexpr int kWait = 10000;

// A host on a port the system picks, taking every caller, keeping what each
// data notification handed out, and how much had come when a close was reported.
struct Host : QObject {
    QtStreamSocket socket;
    QStringList reads;
    QList<qint32> requests;
    QList<qsizetype> closedAfter;

    Host() {
        connect(&socket, &StreamSocket::ConnectionRequest, this, [this](qint32 requestId) {
            requests.append(requestId);
            socket.Accept(requestId);
        });
        connect(&socket, &StreamSocket::DataArrival, this, [this] { reads << socket.GetData(); });
        connect(&socket, &StreamSocket::PeerClosed, this, [this] {
            closedAfter.append(reads.join(QString()).size());
            socket.Listen();
        });
        socket.Listen();
    }
};

// The operating system's socket behind an adapter.
static QTcpSocket* systemSocket(const QtStreamSocket& socket) {
    return socket.findChild<QTcpSocket*>();
}

class TestSocket : public QObject {
    Q_OBJECT
private slots:
    // A character cut in two and an invalid byte, each piece read before the
    // next is written; then what comes while a handler runs a nested event loop
    // (a modal box), the peer's close included, is handed out after it returns.
    void readsArriveWholeAndInOrder() {
        Host host;
        QTcpSocket raw;
        raw.connectToHost(QHostAddress::LocalHost, host.socket.LocalPort());
        const QByteArrayList pieces{"caf\xC3", "\xA9 \xFF \xE2\x82", "\xAC!", "first"};
        connect(&host.socket, &StreamSocket::DataArrival, this, [&] {
            if (host.reads.last() != QLatin1String("first")) {
                return;
            }
            raw.write("second");
            raw.disconnectFromHost();
            const QTcpSocket* system = systemSocket(host.socket);
            QVERIFY(QTest::qWaitFor(
                [&] { return system->state() == QAbstractSocket::UnconnectedState; }, kWait));
            QCoreApplication::processEvents(); // and what the close set going
            QCOMPARE(host.reads.last(), QLatin1String("first"));
        });
        for (const QByteArray& piece : pieces) {
            const qsizetype readsBefore = host.reads.size();
            raw.write(piece);
            QTRY_VERIFY_WITH_TIMEOUT(host.reads.size() > readsBefore, kWait);
        }
        QTRY_COMPARE_WITH_TIMEOUT(host.closedAfter, QList<qsizetype>{20}, kWait);
        QCOMPARE(host.reads, (QStringList{"caf", "é \uFFFD ", "€!", "first", "second"}));
    }

    // Reported from the event loop, never inside Connect.
    void failedAttemptsSayWhy() {
        const std::tuple<QString, quint16, StreamSocket::Failure> attempts[] = {
            {"127.0.0.1", 1, StreamSocket::Failure::Refused}, // nothing listens on port 1
            {"nonexistent.invalid", 1983, StreamSocket::Failure::NameNotFound},
        };
        for (const auto& [address, port, failure] : attempts) {
            QtStreamSocket caller;
            QSignalSpy errors(&caller, &StreamSocket::Error);
            caller.Connect(address, port);
            QVERIFY(errors.isEmpty());
            QVERIFY2(errors.wait(kWait), qPrintable(address));
            QCOMPARE(errors.first().first().value<StreamSocket::Failure>(), failure);
        }
    }

    // Keepalive, the user timeout and no delay on both ends (off by default); a
    // new positive request number for every call, so that a stale goodbye cannot
    // match a new call; more than the system's buffers hold and the close right
    // after it: the close comes once all of it was handed out, 64 KiB at most at a time.
    void callsAreTunedNumberedAndDrained() {
        Host host;
        const QString sent = QStringLiteral("parlo ").repeated(3 << 20);
        for (int call = 1; call <= 2; ++call) {
            QtStreamSocket caller;
            QSignalSpy connected(&caller, &StreamSocket::Connected);
            caller.Connect(QStringLiteral("127.0.0.1"), host.socket.LocalPort());
            QVERIFY(connected.wait(kWait));
            QTRY_COMPARE_WITH_TIMEOUT(host.requests.size(), call, kWait);
            for (const QtStreamSocket* end : {&host.socket, &caller}) {
                QTcpSocket* system = systemSocket(*end);
                unsigned userTimeoutMs = 0;
                socklen_t size = sizeof(userTimeoutMs);
                getsockopt(int(system->socketDescriptor()), SOL_TCP, TCP_USER_TIMEOUT,
                           &userTimeoutMs, &size);
                QVERIFY(userTimeoutMs > 0);
                QCOMPARE(system->socketOption(QAbstractSocket::KeepAliveOption), 1);
                QCOMPARE(system->socketOption(QAbstractSocket::LowDelayOption), 1);
            }
            QCOMPARE(caller.SendData(sent), StreamSocket::SendResult::Sent);
            caller.Close();
            QTRY_COMPARE_WITH_TIMEOUT(host.closedAfter.size(), call, kWait);
            QCOMPARE(host.closedAfter.last(), call * sent.size());
        }
        QCOMPARE(host.reads.join(QString()), sent + sent);
        QVERIFY(std::ranges::all_of(host.reads,
                                    [](const QString& read) { return read.size() <= 65536; }));
        QVERIFY(host.requests.first() > 0 && host.requests.last() > 0);
        QVERIFY(host.requests.first() != host.requests.last());
    }

    // To a peer that reads nothing, a send beyond the backlog is refused and
    // never goes out; the goodbye as a closing program sends it (no event loop
    // runs after Close) arrives whole.
    void backlogRefusesAndGoodbyeIsFlushed() {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        server.pauseAccepting(); // the reader below takes the call itself
        auto caller = std::make_unique<QtStreamSocket>();
        QSignalSpy connected(caller.get(), &StreamSocket::Connected);
        caller->Connect(QStringLiteral("127.0.0.1"), server.serverPort());
        QVERIFY(connected.wait(kWait));
        const QString goodbye(32 << 20, QLatin1Char('g'));
        QCOMPARE(caller->SendData(goodbye), StreamSocket::SendResult::Sent);
        QCOMPARE(caller->SendData(QStringLiteral("x")), StreamSocket::SendResult::Backlogged);
        qsizetype received = 0;
        std::thread reader([&received, listening = int(server.socketDescriptor())] {
            const int connection = accept(listening, nullptr, nullptr);
            char buffer[1 << 16];
            ssize_t got = recv(connection, buffer, sizeof(buffer), 0);
            while (got > 0) {
                received += got;
                got = recv(connection, buffer, sizeof(buffer), 0);
            }
            close(connection);
        });
        const bool flushed = caller->FlushOutgoing(kWait);
        caller->Close();
        caller.reset();
        reader.join();
        QVERIFY(flushed);
        QCOMPARE(received, goodbye.size());
    }
};

QTEST_GUILESS_MAIN(TestSocket)
#include "test_socket.moc"
