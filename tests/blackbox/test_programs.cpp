#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <memory>

namespace {

constexpr quint16 kPort = 1983;
constexpr int kWait = 10000;

// A built program started offscreen with its own temporary folder, so its
// single-instance lock never meets a copy the user runs.
class Program {
public:
    Program(const QString& path, const QString& tmpDir) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TMPDIR"), tmpDir);
        m_process.setProcessEnvironment(env);
        m_process.setProgram(path);
        m_process.start();
    }
    ~Program() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }
    QProcess& process() { return m_process; }
    void killHard() {
        ::kill(static_cast<pid_t>(m_process.processId()), SIGKILL);
        m_process.waitForFinished();
    }

private:
    QProcess m_process;
};

// A raw TCP peer playing the caller, the way `nc 127.0.0.1 1983` would.
struct RawCaller {
    QTcpSocket socket;
    QByteArray received;

    bool connectTo(int timeoutMs) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < timeoutMs) {
            socket.connectToHost(QHostAddress::LocalHost, kPort);
            if (socket.waitForConnected(1000)) {
                return true;
            }
            socket.abort();
            QTest::qWait(50);
        }
        return false;
    }
    bool waitFor(const QByteArray& text) {
        return QTest::qWaitFor(
            [&] {
                if (socket.bytesAvailable() > 0 || socket.waitForReadyRead(50)) {
                    received += socket.readAll();
                }
                return received.contains(text);
            },
            kWait);
    }
    void send(const QByteArray& text) {
        socket.write(text);
        socket.waitForBytesWritten(2000);
        QTest::qWait(100); // one message per read on the other side
    }
};

bool refusedNow() {
    QTcpSocket probe;
    probe.connectToHost(QHostAddress::LocalHost, kPort);
    probe.waitForConnected(2000);
    return probe.state() != QAbstractSocket::ConnectedState ||
           !probe.waitForReadyRead(500); // accepted by the OS but never confirmed
}

qint64 confirmationNumber(const QByteArray& received) {
    static const QRegularExpression pattern(QStringLiteral("^/connection_confirmed (\\d+)"));
    const auto match = pattern.match(QString::fromUtf8(received));
    return match.hasMatch() ? match.captured(1).toLongLong() : -1;
}

} // namespace

// The built programs, driven from outside over the real port.
class TestPrograms : public QObject {
    Q_OBJECT
private slots:
    void init();
    void hostHoldsAConversationWithARawPeer();
    void secondCopyEndsAtOnce_data();
    void secondCopyEndsAtOnce();
    void callerRunsBesideHost();
    void staleLockFromKilledCopy();
    void portAlreadyTaken();

private:
    std::unique_ptr<QTemporaryDir> m_tmp;
};

void TestPrograms::init() {
    m_tmp = std::make_unique<QTemporaryDir>();
    QVERIFY(m_tmp->isValid());
}

void TestPrograms::hostHoldsAConversationWithARawPeer() {
    Program host(QStringLiteral(PARLOHOST_PATH), m_tmp->path());
    RawCaller first;
    QVERIFY(first.connectTo(kWait));
    QVERIFY(first.waitFor("/nick Server"));
    const qint64 number = confirmationNumber(first.received);
    QVERIFY2(number > 0, first.received.constData());
    QCOMPARE(first.received,
             "/connection_confirmed " + QByteArray::number(number) + "/nick Server");

    first.send("/nick Tester");
    first.send("hello from a raw peer");
    QVERIFY(refusedNow()); // one conversation at a time

    // Our goodbye is honoured: the host listens again and confirms a new caller
    // with a new number.
    first.send("/terminate " + QByteArray::number(number));
    RawCaller second;
    QVERIFY(second.connectTo(kWait));
    QVERIFY(second.waitFor("/nick Server"));
    const qint64 secondNumber = confirmationNumber(second.received);
    QVERIFY(secondNumber > 0);
    QVERIFY(secondNumber != number);

    // A caller that simply vanishes does not leave the host deaf.
    second.socket.abort();
    RawCaller third;
    QVERIFY(third.connectTo(kWait));
    QVERIFY(third.waitFor("/nick Server"));
    QCOMPARE(host.process().state(), QProcess::Running);
}

void TestPrograms::secondCopyEndsAtOnce_data() {
    QTest::addColumn<QString>("path");
    QTest::newRow("parlohost") << QStringLiteral(PARLOHOST_PATH);
    QTest::newRow("parlocall") << QStringLiteral(PARLOCALL_PATH);
}

void TestPrograms::secondCopyEndsAtOnce() {
    QFETCH(QString, path);
    Program first(path, m_tmp->path());
    QVERIFY(first.process().waitForStarted());
    QTest::qWait(500); // let it take its lock
    Program second(path, m_tmp->path());
    QVERIFY(second.process().waitForFinished(kWait));
    QCOMPARE(second.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.process().exitCode(), 0);
    QCOMPARE(second.process().readAllStandardOutput(), QByteArray());
    QCOMPARE(first.process().state(), QProcess::Running);
}

void TestPrograms::callerRunsBesideHost() {
    Program host(QStringLiteral(PARLOHOST_PATH), m_tmp->path());
    QTest::qWait(300);
    Program caller(QStringLiteral(PARLOCALL_PATH), m_tmp->path());
    QVERIFY(!caller.process().waitForFinished(1000));
    QCOMPARE(host.process().state(), QProcess::Running);
}

void TestPrograms::staleLockFromKilledCopy() {
    {
        Program killed(QStringLiteral(PARLOHOST_PATH), m_tmp->path());
        RawCaller probe;
        QVERIFY(probe.connectTo(kWait));
        killed.killHard();
    }
    Program next(QStringLiteral(PARLOHOST_PATH), m_tmp->path());
    RawCaller caller;
    QVERIFY(caller.connectTo(kWait));
    QVERIFY(caller.waitFor("/nick Server"));
}

void TestPrograms::portAlreadyTaken() {
    QTcpServer squatter;
    QVERIFY(squatter.listen(QHostAddress::Any, kPort));
    Program host(QStringLiteral(PARLOHOST_PATH), m_tmp->path());
    // The host keeps running (it says so in its status bar) and takes no call.
    QVERIFY(!host.process().waitForFinished(1000));
    RawCaller caller;
    QVERIFY(caller.connectTo(kWait));
    QVERIFY(squatter.waitForNewConnection(kWait));
    QCOMPARE(host.process().state(), QProcess::Running);
}

QTEST_GUILESS_MAIN(TestPrograms)
#include "test_programs.moc"
