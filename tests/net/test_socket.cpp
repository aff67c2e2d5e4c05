// The socket adapter over real loopback connections.

#include "QtStreamSocket.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <netinet/tcp.h>
#include <thread>
#include <unistd.h>

using namespace parlo;
using State = StreamSocket::SocketState;

constexpr int kWait = 60000; // generous: a loaded machine

class TestSocket : public QObject {
    Q_OBJECT
private slots:
    // A host on a port the system picks (none set) takes a raw caller that
    // writes bytes as given, then a socket like it, which first fails three ways.
    void calls() {
        QtStreamSocket host, caller;
        QTcpSocket raw;
        QStringList reads;
        QSet<qint32> requests;
        QList<qsizetype> closedAt; // characters received when the peer's close was reported
        connect(&host, &StreamSocket::ConnectionRequest, this,
                [&](qint32 id) { host.Accept(*requests.insert(id)); });
        connect(&host, &StreamSocket::PeerClosed, this,
                [&] { closedAt << reads.join(QString()).size(); });
        // What comes while a handler runs a nested event loop (a modal box), the
        // peer's close included, is handed out after it returns, never inside it:
        // here the raw caller's last line and its close, during the handler for "first".
        connect(&host, &StreamSocket::DataArrival, this, [&] {
            reads << host.GetData();
            if (reads.last() == QLatin1String("first")) {
                raw.write("second");
                raw.disconnectFromHost();
                QVERIFY(QTest::qWaitFor([&] { return host.State() == State::sckClosing; }, kWait));
                QCoreApplication::processEvents(); // and what the close set going
                QCOMPARE(reads.last(), QLatin1String("first"));
            }
        });
        QVERIFY(host.Listen() && host.State() == State::sckListening);

        // A character cut in two and an invalid byte: each piece is read before
        // the next is written.
        raw.connectToHost(QHostAddress::LocalHost, host.LocalPort());
        const QByteArrayList parts{"caf\xC3", "\xA9 \xFF \xE2\x82", "\xAC!", "first"};
        for (const QByteArray& part : parts) {
            raw.write(part);
            QTRY_VERIFY_WITH_TIMEOUT(reads.count() > &part - parts.data(), kWait);
        }
        QTRY_COMPARE_WITH_TIMEOUT(reads, (QStringList{"caf", "é \uFFFD ", "€!", "first", "second"}),
                                  kWait);

        // Failures are reported from the event loop, never inside Connect, and end closed.
        const std::pair<const char*, const char*> failures[] = {
            {"127.0.0.1", "Connection is forcefully rejected"},
            {"nonexistent.invalid", "Authoritative answer: Host not found"},
            {"255.255.255.255", nullptr}, // fails inside the system call; the system's text
        };
        for (const auto& [address, text] : failures) {
            QSignalSpy errors(&caller, &StreamSocket::Error);
            // Listens, then calls the port it listens on, which Connect lets go of.
            caller.Connect(address, caller.Listen() ? caller.LocalPort() : 0);
            QVERIFY2(errors.isEmpty() && errors.wait(kWait), address);
            QVERIFY(!text || errors.first().at(1).toString() == text);
            QCOMPARE(caller.State(), State::sckClosed);
        }

        caller.Connect(QStringLiteral("127.0.0.1"), host.LocalPort());
        QTRY_VERIFY_WITH_TIMEOUT(
            caller.State() == State::sckConnected && host.State() == State::sckConnected, kWait);
        QCOMPARE(host.RemoteHostIP(), QStringLiteral("127.0.0.1")); // not ::ffff:127.0.0.1
        // Keepalive, user timeout and no delay on both ends (off by default).
        for (const QtStreamSocket* end : {&host, &caller}) {
            QTcpSocket* socket = end->findChild<QTcpSocket*>();
            unsigned ms = 0;
            socklen_t size = sizeof(ms);
            getsockopt(int(socket->socketDescriptor()), SOL_TCP, TCP_USER_TIMEOUT, &ms, &size);
            QVERIFY(ms > 0 && socket->socketOption(QAbstractSocket::KeepAliveOption) == 1 &&
                    socket->socketOption(QAbstractSocket::LowDelayOption) == 1);
        }
        // More than the system's buffers hold, and the close right after it.
        const QString sent = QStringLiteral("parlo ").repeated(3 << 20);
        caller.SendData(sent);
        caller.Close();
        // The raw call's 20 characters, then these.
        QTRY_COMPARE_WITH_TIMEOUT(closedAt, (QList<qsizetype>{20, 20 + sent.size()}), kWait);
        QCOMPARE(reads.mid(5).join(QString()), sent);
        QVERIFY(std::ranges::all_of(reads, [](auto& piece) { return piece.size() <= 64 * 1024; }));
        QVERIFY(caller.State() == State::sckClosed && host.State() == State::sckListening);
        // Distinct and positive, so that a stale goodbye cannot match a new call.
        QVERIFY(requests.size() == 2 && *std::min_element(requests.begin(), requests.end()) > 0);
    }

    // The goodbye as a closing program sends it: no event loop runs after Close.
    void goodbyeFlushedBeforeClose() {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        server.pauseAccepting(); // the reader below takes the call itself
        auto caller = std::make_unique<QtStreamSocket>();
        caller->Connect(QStringLiteral("127.0.0.1"), server.serverPort());
        QTRY_COMPARE_WITH_TIMEOUT(caller->State(), State::sckConnected, kWait);
        const QString goodbye(16 << 20, QLatin1Char('g'));
        caller->SendData(goodbye); // fills the system's buffers; the rest waits with us
        qsizetype received = 0;
        std::thread reader([&, fd = accept(int(server.socketDescriptor()), nullptr, nullptr)] {
            std::string buffer(goodbye.size() + 1, ' '); // filled up to the peer's close
            received = recv(fd, buffer.data(), buffer.size(), MSG_WAITALL);
            close(fd);
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
