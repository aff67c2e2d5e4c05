#include "Conversation.h"

#include <QHostInfo>
#include <QTest>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

using parlo::QtStreamSocket;
using parlo::desktop::Conversation;
using parlo::desktop::ProgramWindow;

// A real host and a real caller over loopback: both address families, the
// address as users write it, and keepalive on the established connection.
class TestLoopback : public QObject {
    Q_OBJECT
private slots:
    void callerReachesHost_data();
    void callerReachesHost();
    void nameThatResolvesOnlyToIPv6();
    void keepAliveOnEstablishedConnection_data();
    void keepAliveOnEstablishedConnection();
};

namespace {

int intOption(qintptr descriptor, int level, int name) {
    int value = -1;
    socklen_t size = sizeof(value);
    if (getsockopt(static_cast<int>(descriptor), level, name, &value, &size) != 0) {
        return -1;
    }
    return value;
}

void checkConversation(Conversation& chat, const QString& address, const QString& shownAs) {
    QVERIFY2(chat.connect(address), qPrintable(QStringLiteral("no conversation over ") + address));
    QCOMPARE(chat.host.socket.RemoteHostIP(), shownAs);
    QCOMPARE(chat.caller.socket.RemoteHostIP(), shownAs);
    QCOMPARE(chat.host.window.statusText(), QStringLiteral("Connected to ") + shownAs);
    QCOMPARE(chat.caller.window.statusText(), QStringLiteral("Connected. (") + shownAs + ")");
    QVERIFY(Conversation::say(chat.caller, chat.host, QStringLiteral("hello from the caller")));
    QVERIFY(Conversation::say(chat.host, chat.caller, QStringLiteral("hello from the host")));
}

} // namespace

void TestLoopback::callerReachesHost_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("shownAs");

    QTest::newRow("IPv4 literal") << "127.0.0.1"
                                  << "127.0.0.1";
    QTest::newRow("IPv6 literal") << "::1"
                                  << "::1";
    QTest::newRow("IPv6 literal, long form") << "0:0:0:0:0:0:0:1"
                                             << "::1";
}

void TestLoopback::callerReachesHost() {
    QFETCH(QString, address);
    QFETCH(QString, shownAs);

    Conversation chat;
    checkConversation(chat, address, shownAs);
}

void TestLoopback::nameThatResolvesOnlyToIPv6() {
    QString name;
    for (const char* candidate : {"ip6-localhost", "ip6-loopback"}) {
        const QHostInfo info = QHostInfo::fromName(QString::fromLatin1(candidate));
        const QList<QHostAddress> addresses = info.addresses();
        const bool onlyV6 =
            !addresses.isEmpty() && std::all_of(addresses.begin(), addresses.end(), [](auto& a) {
                return a.protocol() == QAbstractSocket::IPv6Protocol && a.isLoopback();
            });
        if (onlyV6) {
            name = QString::fromLatin1(candidate);
            break;
        }
    }
    if (name.isEmpty()) {
        QSKIP("this machine has no name that resolves only to the IPv6 loopback address");
    }
    Conversation chat;
    checkConversation(chat, name, QStringLiteral("::1"));
}

void TestLoopback::keepAliveOnEstablishedConnection_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("hostSide");

    QTest::newRow("IPv4, accepting side") << "127.0.0.1" << true;
    QTest::newRow("IPv4, calling side") << "127.0.0.1" << false;
    QTest::newRow("IPv6, accepting side") << "::1" << true;
    QTest::newRow("IPv6, calling side") << "::1" << false;
}

void TestLoopback::keepAliveOnEstablishedConnection() {
    QFETCH(QString, address);
    QFETCH(bool, hostSide);

    Conversation chat;
    QVERIFY(chat.connect(address));
    const QtStreamSocket& socket = hostSide ? chat.host.socket : chat.caller.socket;
    const qintptr fd = socket.connectionDescriptor();
    QVERIFY(fd >= 0);

    const parlo::KeepAliveSettings wanted = QtStreamSocket::keepAliveSettings();
    // Short enough that a vanished peer is noticed within about a minute.
    QVERIFY(wanted.idleSeconds + wanted.intervalSeconds * wanted.probeCount <= 60);
    QCOMPARE(intOption(fd, SOL_SOCKET, SO_KEEPALIVE), 1);
    QCOMPARE(intOption(fd, IPPROTO_TCP, TCP_KEEPIDLE), wanted.idleSeconds);
    QCOMPARE(intOption(fd, IPPROTO_TCP, TCP_KEEPINTVL), wanted.intervalSeconds);
    QCOMPARE(intOption(fd, IPPROTO_TCP, TCP_KEEPCNT), wanted.probeCount);
    QCOMPARE(intOption(fd, IPPROTO_TCP, TCP_NODELAY), 1);
}

QTEST_MAIN(TestLoopback)
#include "test_loopback.moc"
