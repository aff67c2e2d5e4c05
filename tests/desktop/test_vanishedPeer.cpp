#include "CallerSide.h"
#include "HostSide.h"
#include "QtStreamSocket.h"
#include "RecordingControls.h"
#include "frmClient.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sched.h>
#include <sys/socket.h>
#include <unistd.h>

using parlo::QtStreamSocket;
using parlo::test::RecordingControls;

// A peer whose machine drops off the network (no close, no reset) ends the
// conversation within about a minute, on the accepting and on the calling side.
//
// The peer lives in a network namespace of its own, joined to ours by a veth
// pair; its end of the pair is taken down while the conversation is idle, so
// nothing it would say can reach us and nothing we send reaches it.
class TestVanishedPeer : public QObject {
    Q_OBJECT
private slots:
    void bothSidesNoticeWithinAMinute();
};

namespace {

// Longest wait for the end: keepalive needs idle + interval * count seconds.
constexpr int kEndWaitMs = 85'000;
constexpr int kStepWaitMs = 5'000;

bool ip(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral("ip"), arguments);
    return process.waitForFinished(kStepWaitMs) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

// A namespace with one veth pair to ours, removed again when it goes out of scope.
class PeerNetwork {
public:
    PeerNetwork() {
        const auto pid = static_cast<unsigned>(getpid());
        m_namespace = QStringLiteral("parlo-vanish-%1").arg(pid);
        m_ours = QStringLiteral("pv%1a").arg(pid);
        m_theirs = QStringLiteral("pv%1b").arg(pid);
        const QString subnet = QStringLiteral("10.213.%1.%2").arg((pid / 64) % 256);
        ourAddress = subnet.arg((pid % 64) * 4 + 1);
        theirAddress = subnet.arg((pid % 64) * 4 + 2);
    }

    ~PeerNetwork() {
        ip({"link", "del", m_ours});
        ip({"netns", "del", m_namespace});
    }

    PeerNetwork(const PeerNetwork&) = delete;
    PeerNetwork& operator=(const PeerNetwork&) = delete;

    bool create() {
        return ip({"netns", "add", m_namespace}) &&
               ip({"link", "add", m_ours, "type", "veth", "peer", "name", m_theirs, "netns",
                   m_namespace}) &&
               ip({"addr", "add", ourAddress + "/30", "dev", m_ours}) &&
               ip({"link", "set", m_ours, "up"}) &&
               ip({"-n", m_namespace, "addr", "add", theirAddress + "/30", "dev", m_theirs}) &&
               ip({"-n", m_namespace, "link", "set", m_theirs, "up"});
    }

    // The peer's machine drops off the network.
    bool cutPeerOff() { return ip({"-n", m_namespace, "link", "set", m_theirs, "down"}); }

    // A TCP socket that lives in the peer's namespace.
    int peerSocket() const {
        const int original = open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
        const int target =
            open(qPrintable(QStringLiteral("/run/netns/") + m_namespace), O_RDONLY | O_CLOEXEC);
        int fd = -1;
        if (original >= 0 && target >= 0 && setns(target, CLONE_NEWNET) == 0) {
            fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            if (setns(original, CLONE_NEWNET) != 0) {
                qFatal("could not return to the test's own network namespace");
            }
        }
        if (original >= 0) {
            close(original);
        }
        if (target >= 0) {
            close(target);
        }
        return fd;
    }

    QString ourAddress;
    QString theirAddress;

private:
    QString m_namespace;
    QString m_ours;
    QString m_theirs;
};

// A descriptor closed when it goes out of scope.
struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0) {
            close(fd);
        }
    }
};

sockaddr_in addressOf(const QString& ip, quint16 port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    inet_pton(AF_INET, qPrintable(ip), &address.sin_addr);
    return address;
}

bool sendAll(int fd, const QByteArray& bytes) {
    return send(fd, bytes.constData(), static_cast<size_t>(bytes.size()), MSG_NOSIGNAL) ==
           bytes.size();
}

// One program's chat model over a real socket, with recording controls.
template <typename Side> struct Program {
    Program() {
        form.port = 0;
        form.Form_Load();
    }
    Side side;
    QtStreamSocket socket;
    RecordingControls controls;
    parlo::frmClient form{socket, controls, side};
};

} // namespace

void TestVanishedPeer::bothSidesNoticeWithinAMinute() {
    if (geteuid() != 0) {
        QSKIP("needs root to set up a network namespace");
    }
    PeerNetwork network;
    if (!network.create()) {
        QSKIP("this machine does not allow a network namespace with a veth pair");
    }

    // Our host, called by the peer.
    Program<parlo::HostSide> host;
    QCOMPARE(host.controls.status, QStringLiteral("Listening..."));
    Fd calling{network.peerSocket()};
    QVERIFY(calling.fd >= 0);
    const sockaddr_in hostAddress = addressOf(network.ourAddress, host.socket.listeningPort());
    QCOMPARE(
        ::connect(calling.fd, reinterpret_cast<const sockaddr*>(&hostAddress), sizeof(hostAddress)),
        0);
    QTRY_COMPARE_WITH_TIMEOUT(host.controls.status,
                              QStringLiteral("Connected to ") + network.theirAddress, kStepWaitMs);
    QVERIFY(sendAll(calling.fd, "/nick Ghost"));
    QTRY_COMPARE_WITH_TIMEOUT(host.form.strPeerName, QStringLiteral("Ghost"), kStepWaitMs);

    // Our caller, calling the peer.
    Program<parlo::CallerSide> caller;
    Fd listening{network.peerSocket()};
    QVERIFY(listening.fd >= 0);
    sockaddr_in peerAddress = addressOf(network.theirAddress, 0);
    socklen_t size = sizeof(peerAddress);
    QCOMPARE(bind(listening.fd, reinterpret_cast<const sockaddr*>(&peerAddress), size), 0);
    QCOMPARE(listen(listening.fd, 1), 0);
    QCOMPARE(getsockname(listening.fd, reinterpret_cast<sockaddr*>(&peerAddress), &size), 0);
    caller.form.port = ntohs(peerAddress.sin_port);
    caller.controls.address = network.theirAddress;
    caller.form.cmdConnect_Click();
    QTRY_COMPARE_WITH_TIMEOUT(caller.controls.status,
                              QStringLiteral("Connected. (") + network.theirAddress + ")",
                              kStepWaitMs);
    pollfd waiting{listening.fd, POLLIN, 0};
    QCOMPARE(poll(&waiting, 1, kStepWaitMs), 1);
    Fd answered{accept4(listening.fd, nullptr, nullptr, SOCK_CLOEXEC)};
    QVERIFY(answered.fd >= 0);
    QVERIFY(sendAll(answered.fd, "/connection_confirmed 7"));
    QTRY_VERIFY_WITH_TIMEOUT(caller.form.blnConfirmed, kStepWaitMs);
    QVERIFY(sendAll(answered.fd, "/nick Ghost"));
    QTRY_COMPARE_WITH_TIMEOUT(caller.form.strPeerName, QStringLiteral("Ghost"), kStepWaitMs);

    // The peer's machine vanishes; its sockets stay open, so no close or reset is sent.
    QVERIFY(network.cutPeerOff());
    QElapsedTimer clock;
    clock.start();

    const QString gone = QStringLiteral("\r\n>> Ghost disconnected.");
    QTRY_VERIFY_WITH_TIMEOUT(
        host.controls.output.endsWith(gone) && caller.controls.output.endsWith(gone), kEndWaitMs);
    qInfo("both sides noticed the vanished peer after %lld s", clock.elapsed() / 1000);

    // The same end as a peer that closed: the host listens again, the caller is idle.
    QCOMPARE(host.controls.status, QStringLiteral("Listening..."));
    QCOMPARE(host.socket.State(), int(parlo::StreamSocket::sckListening));
    QCOMPARE(caller.controls.status, QStringLiteral("Idle."));
    QCOMPARE(caller.controls.panel, QStringLiteral("connect"));
    QCOMPARE(caller.controls.buttonCaption, QStringLiteral("Connect"));
    QVERIFY(!caller.form.blnConfirmed);
}

QTEST_GUILESS_MAIN(TestVanishedPeer)
#include "test_vanishedPeer.moc"
