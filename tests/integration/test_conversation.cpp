#include "ProgramUnderTest.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace parlo;
using namespace parlo::test;

namespace {
constexpr int kWait = 10000;
} // namespace

// A real host window and a real caller window talking over loopback.
class TestConversation : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void openingExchange_data();
    void openingExchange();
    void chatBothWays();
    void nicknamesTravel();
    void disconnectFrom_data();
    void disconnectFrom();
    void windowCloseSaysGoodbye_data();
    void windowCloseSaysGoodbye();
    void peerVanishes_data();
    void peerVanishes();
    void oneCallerAtATime();
    void failedAttempts_data();
    void failedAttempts();
    void withdrawWhileConnecting();
    void windowClosedWhileConnecting();
    void hostCallsOut();

private:
    void connectCaller(ProgramUnderTest& caller,
                       const QString& address = QStringLiteral("127.0.0.1"));
    quint16 m_port = 0;
    std::unique_ptr<ProgramUnderTest> m_host;
    std::unique_ptr<ProgramUnderTest> m_caller;
};

void TestConversation::init() {
    m_port = freePort();
    m_host = std::make_unique<ProgramUnderTest>(true, m_port);
    m_caller = std::make_unique<ProgramUnderTest>(false, m_port);
    QCOMPARE(m_host->status(), QStringLiteral("Listening..."));
}

void TestConversation::cleanup() {
    m_caller.reset();
    m_host.reset();
}

void TestConversation::connectCaller(ProgramUnderTest& caller, const QString& address) {
    // Forget names from an earlier conversation, so the wait below sees this one's
    // announcements; a line typed before the peer's "/nick" was read would join it.
    m_host->form.strPeerName.clear();
    caller.form.strPeerName.clear();
    caller.dial(address);
    QTRY_VERIFY_WITH_TIMEOUT(caller.form.blnConfirmed, kWait);
    QTRY_COMPARE_WITH_TIMEOUT(m_host->form.strPeerName, caller.form.strMyName, kWait);
    QTRY_COMPARE_WITH_TIMEOUT(caller.form.strPeerName, m_host->form.strMyName, kWait);
}

void TestConversation::openingExchange_data() {
    QTest::addColumn<QString>("address");
    QTest::newRow("by address") << QStringLiteral("127.0.0.1");
    QTest::newRow("by name") << QStringLiteral("localhost");
}

void TestConversation::openingExchange() {
    QFETCH(QString, address);
    connectCaller(*m_caller, address);
    QVERIFY(m_host->form.lngConnID > 0);
    QCOMPARE(m_caller->form.lngConnID, m_host->form.lngConnID);
    // "localhost" may reach the host over either address family.
    const QString seen = m_caller->socket.RemoteHostIP();
    QVERIFY2(seen == QLatin1String("127.0.0.1") || seen == QLatin1String("::1"), qPrintable(seen));
    QCOMPARE(m_host->status(), QStringLiteral("Connected to ") + seen);
    QCOMPARE(m_caller->status(), QStringLiteral("Connected. (") + seen + QLatin1Char(')'));
    QCOMPARE(m_caller->window.cmdConnect->text(), QStringLiteral("Disconnect"));
    QVERIFY(m_caller->window.fraChat->isVisible());
    QVERIFY(!m_caller->window.fraConnect->isVisible());
    // Neither transcript shows the exchange.
    QCOMPARE(m_host->transcript(), QString());
    QCOMPARE(m_caller->transcript(), QString());
}

void TestConversation::chatBothWays() {
    connectCaller(*m_caller);
    m_caller->type(QStringLiteral("hi host"));
    QCOMPARE(m_caller->window.txtSend->text(), QString());
    QTRY_COMPARE_WITH_TIMEOUT(m_host->transcript(), QStringLiteral("\r\nClient: hi host"), kWait);
    m_host->type(QStringLiteral("  hi caller  "));
    QTRY_COMPARE_WITH_TIMEOUT(m_caller->transcript(),
                              QStringLiteral("\r\nClient: hi host\r\nServer:   hi caller  "),
                              kWait);
    QCOMPARE(m_host->transcript(), QStringLiteral("\r\nClient: hi host\r\nServer:   hi caller  "));
    // What the text box shows matches the transcript line by line.
    QTRY_COMPARE(m_caller->window.txtOutput->toPlainText(),
             QStringLiteral("\nClient: hi host\nServer:   hi caller  "));
}

void TestConversation::nicknamesTravel() {
    connectCaller(*m_caller);
    m_caller->type(QStringLiteral("/nick Alice"));
    m_host->type(QStringLiteral("/nick Bob"));
    QTRY_COMPARE_WITH_TIMEOUT(m_host->form.strPeerName, QStringLiteral("Alice"), kWait);
    QTRY_COMPARE_WITH_TIMEOUT(m_caller->form.strPeerName, QStringLiteral("Bob"), kWait);
    QCOMPARE(m_caller->window.windowTitle(), QStringLiteral("Alice - Parlo"));
    m_caller->type(QStringLiteral("hello"));
    QTRY_VERIFY_WITH_TIMEOUT(m_host->transcript().endsWith(QStringLiteral("\r\nAlice: hello")),
                             kWait);
    // The host may not take the caller's name, in any letter case.
    m_host->type(QStringLiteral("/nick ALICE"));
    QVERIFY(m_host->transcript().endsWith(QStringLiteral("\r\n>> Invalid username, try again.")));
}

void TestConversation::disconnectFrom_data() {
    QTest::addColumn<bool>("fromHost");
    QTest::newRow("caller") << false;
    QTest::newRow("host") << true;
}

void TestConversation::disconnectFrom() {
    QFETCH(bool, fromHost);
    connectCaller(*m_caller);
    const qint32 firstId = m_host->form.lngConnID;
    (fromHost ? *m_host : *m_caller).type(QStringLiteral("/disconnect"));
    if (fromHost) {
        QTRY_VERIFY_WITH_TIMEOUT(
            m_caller->transcript().endsWith(QStringLiteral("\r\n>> Server disconnected.")), kWait);
        QCOMPARE(m_host->transcript(), QString());
    } else {
        QTRY_VERIFY_WITH_TIMEOUT(
            m_host->transcript().endsWith(QStringLiteral("\r\n>> Client disconnected.")), kWait);
        QCOMPARE(m_caller->transcript(), QString());
    }
    QTRY_COMPARE_WITH_TIMEOUT(m_caller->status(), QStringLiteral("Idle."), kWait);
    QTRY_COMPARE_WITH_TIMEOUT(m_host->status(), QStringLiteral("Listening..."), kWait);
    QVERIFY(!m_caller->form.blnConfirmed);
    QCOMPARE(m_caller->window.cmdConnect->text(), QStringLiteral("Connect"));
    QVERIFY(m_caller->window.fraConnect->isVisible());
    // And again, without restarting either program.
    connectCaller(*m_caller);
    QVERIFY(m_host->form.lngConnID != firstId);
    m_caller->type(QStringLiteral("back"));
    QTRY_VERIFY_WITH_TIMEOUT(m_host->transcript().endsWith(QStringLiteral("\r\nClient: back")),
                             kWait);
}

void TestConversation::windowCloseSaysGoodbye_data() {
    QTest::addColumn<bool>("closeHost");
    QTest::newRow("caller closes") << false;
    QTest::newRow("host closes") << true;
}

void TestConversation::windowCloseSaysGoodbye() {
    QFETCH(bool, closeHost);
    connectCaller(*m_caller);
    // The goodbye must arrive as a goodbye, not as a vanished peer: watch the
    // other side's keyword handler see "/terminate".
    ProgramUnderTest& stays = closeHost ? *m_caller : *m_host;
    QString lastRead;
    connect(&stays.socket, &StreamSocket::DataArrival, this, [&] { lastRead = "data"; });
    (closeHost ? m_host : m_caller)->window.close();
    (closeHost ? m_host : m_caller).reset(); // the program ends right after
    QTRY_VERIFY_WITH_TIMEOUT(stays.transcript().endsWith(QStringLiteral(" disconnected.")), kWait);
    QCOMPARE(lastRead, QStringLiteral("data"));
    QCOMPARE(stays.status(), closeHost ? QStringLiteral("Idle.") : QStringLiteral("Listening..."));
}

void TestConversation::peerVanishes_data() {
    QTest::addColumn<bool>("hostVanishes");
    QTest::newRow("caller vanishes") << false;
    QTest::newRow("host vanishes") << true;
}

void TestConversation::peerVanishes() {
    QFETCH(bool, hostVanishes);
    connectCaller(*m_caller);
    // File > Exit: no close steps, no goodbye; the program is simply gone.
    (hostVanishes ? m_host : m_caller).reset();
    ProgramUnderTest& stays = hostVanishes ? *m_caller : *m_host;
    const QString expected = hostVanishes ? QStringLiteral("\r\n>> Server disconnected.")
                                          : QStringLiteral("\r\n>> Client disconnected.");
    QTRY_COMPARE_WITH_TIMEOUT(stays.transcript(), expected, kWait);
    if (hostVanishes) {
        QCOMPARE(stays.status(), QStringLiteral("Idle."));
        QVERIFY(stays.window.fraConnect->isVisible());
        QVERIFY(!stays.form.blnConfirmed);
    } else {
        QCOMPARE(stays.status(), QStringLiteral("Listening..."));
        ProgramUnderTest next(false, m_port); // the host is not deaf to the next caller
        connectCaller(next);
    }
}

void TestConversation::oneCallerAtATime() {
    connectCaller(*m_caller);
    const qint32 firstId = m_host->form.lngConnID;
    ProgramUnderTest second(false, m_port);
    second.dial(QStringLiteral("127.0.0.1"));
    QTRY_COMPARE_WITH_TIMEOUT(second.status(), QStringLiteral("Could not establish a connection."),
                              kWait);
    QCOMPARE(m_host->status(), QStringLiteral("Connected to 127.0.0.1"));
    m_caller->type(QStringLiteral("/disconnect"));
    QTRY_COMPARE_WITH_TIMEOUT(m_host->status(), QStringLiteral("Listening..."), kWait);
    connectCaller(second);
    QVERIFY(m_host->form.lngConnID != firstId);
    QCOMPARE(second.form.lngConnID, m_host->form.lngConnID);
}

void TestConversation::failedAttempts_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("status");
    QTest::newRow("nothing listens") << "127.0.0.1"
                                     << "Could not establish a connection.";
    QTest::newRow("name does not resolve") << "parlo-test.invalid"
                                           << "Host not found.";
}

void TestConversation::failedAttempts() {
    QFETCH(QString, address);
    ProgramUnderTest caller(false, freePort());
    caller.dial(address);
    QCOMPARE(caller.status(), QStringLiteral("Connecting..."));
    QCOMPARE(caller.window.cmdConnect->text(), QStringLiteral("Disconnect"));
    QTRY_COMPARE_WITH_TIMEOUT(caller.window.cmdConnect->text(), QStringLiteral("Connect"), kWait);
    QTEST(caller.status(), "status");
    QVERIFY(caller.window.fraConnect->isVisible());
    QCOMPARE(caller.socket.State(), int(StreamSocket::sckClosed));
}

void TestConversation::withdrawWhileConnecting() {
    m_caller->dial(QStringLiteral("localhost"));
    m_caller->window.cmdConnect->click(); // before the attempt could finish
    QCOMPARE(m_caller->window.cmdConnect->text(), QStringLiteral("Connect"));
    // Withdrawn before the connection was made, or just as it was made.
    const QString status = m_caller->status();
    QVERIFY2(status == QLatin1String("Connecting...") || status == QLatin1String("Idle."),
             qPrintable(status));
    QCOMPARE(m_caller->socket.State(), int(StreamSocket::sckClosed));
    QVERIFY(m_caller->window.fraConnect->isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(m_host->status(), QStringLiteral("Listening..."), kWait);
    QVERIFY(!m_caller->form.blnConfirmed);
}

void TestConversation::windowClosedWhileConnecting() {
    m_caller->dial(QStringLiteral("parlo-slow.invalid"));
    QVERIFY(m_caller->window.close());
    m_caller.reset();
    QTest::qWait(100);
    QCOMPARE(m_host->status(), QStringLiteral("Listening..."));
    QCOMPARE(m_host->transcript(), QString());
}

void TestConversation::hostCallsOut() {
    // A second host on another port, called by the first host's Connect button.
    const quint16 otherPort = freePort();
    ProgramUnderTest other(true, otherPort);
    m_host->form.port = otherPort;
    m_host->window.cboAddress->setEditText(QStringLiteral("127.0.0.1"));
    m_host->window.cmdConnect->click();
    QTRY_COMPARE_WITH_TIMEOUT(m_host->status(), QStringLiteral("Connected to 127.0.0.1"), kWait);
    QTRY_COMPARE_WITH_TIMEOUT(other.form.strPeerName, QStringLiteral("Server"), kWait);
    QTRY_COMPARE_WITH_TIMEOUT(m_host->form.lngConnID, other.form.lngConnID, kWait);
    QCOMPARE(m_host->window.cmdConnect->text(), QStringLiteral("Connect"));
}

QTEST_MAIN(TestConversation)
#include "test_conversation.moc"
