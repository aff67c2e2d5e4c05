#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

namespace {

const QString kHost = QStringLiteral(PARLOHOST_PATH);
const QString kCaller = QStringLiteral(PARLOCALL_PATH);
constexpr int kWait = 10000;

// What already runs when the program under test starts.
enum Before { CallerRuns, KilledCopy, SameCopyRuns, PortTaken };

// A built program started offscreen, its single-instance lock and runtime
// files in `tmp`, so it never meets a copy the user runs; killed at the end.
struct Program : QProcess {
    Program(const QString& path, const QTemporaryDir& tmp) {
        // Later entries take the place of the system's own.
        setEnvironment(systemEnvironment() << QStringLiteral("QT_QPA_PLATFORM=offscreen")
                                           << QStringLiteral("TMPDIR=") + tmp.path()
                                           << QStringLiteral("XDG_RUNTIME_DIR=") + tmp.path());
        setProcessChannelMode(QProcess::MergedChannels);
        start(path);
    }
    ~Program() override { kill(), waitForFinished(); }
};

// Connects a raw peer to 127.0.0.1:1983 (again while nobody listens yet) and
// returns N from the host's "/connection_confirmed N/nick Server", or -1.
qint64 openingExchange(QTcpSocket& peer) {
    QByteArray received;
    for (QDeadlineTimer end(kWait); !end.hasExpired() && !received.endsWith("/nick Server");) {
        if (peer.state() == QAbstractSocket::UnconnectedState) {
            QTest::qSleep(10); // nobody may listen yet
            peer.connectToHost(QHostAddress::LocalHost, 1983);
        }
        peer.waitForReadyRead(100);
        received += peer.readAll();
    }
    qInfo() << "A raw peer received" << received;
    const qint64 n = received.split(' ').value(1).split('/').value(0).toLongLong();
    const QByteArray exchange = "/connection_confirmed " + QByteArray::number(n) + "/nick Server";
    return n > 0 && received == exchange ? n : -1;
}

} // namespace

// The built programs started beside what already runs, then driven from
// outside over the real port 1983.
class TestPrograms : public QObject {
    Q_OBJECT
private slots:
    void start_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<int>("before");
        QTest::newRow("parlohost beside parlocall") << kHost << int(CallerRuns);
        QTest::newRow("parlohost after a killed copy") << kHost << int(KilledCopy);
        QTest::newRow("parlohost twice") << kHost << int(SameCopyRuns);
        QTest::newRow("parlocall twice") << kCaller << int(SameCopyRuns);
        QTest::newRow("parlohost, port 1983 taken") << kHost << int(PortTaken);
    }
    // One runner: start what runs before, then the program, then see what it does.
    void start() {
        QFETCH(QString, program);
        QFETCH(int, before);
        QTemporaryDir tmp;
        const auto holdsLock = [&] { return !QDir(tmp.path()).entryList({"*.lock"}).isEmpty(); };
        QTcpServer squatter;
        std::optional<Program> first;
        QVERIFY(before != PortTaken || squatter.listen(QHostAddress::Any, 1983));
        if (before != PortTaken) {
            first.emplace(before == CallerRuns ? kCaller : program, tmp);
            QTRY_VERIFY_WITH_TIMEOUT(holdsLock(), kWait);
        }
        if (before == KilledCopy) {
            first.reset(); // killed, its lock left behind
        }
        Program it(program, tmp);
        if (before == SameCopyRuns) { // ends at once, silently
            QVERIFY(it.waitForFinished(kWait));
            QCOMPARE(it.exitStatus(), QProcess::NormalExit);
            QCOMPARE(it.exitCode(), 0);
            QCOMPARE(it.readAll(), QByteArray());
        } else if (before == PortTaken) {
            // Its status "Could not listen on port 1983." shows only in its window;
            // from outside: it took its lock and runs on instead of ending.
            QTRY_VERIFY_WITH_TIMEOUT(holdsLock(), kWait);
            it.waitForFinished(1000);
            QCOMPARE(it.state(), QProcess::Running);
        } else { // the opening exchange, then the peer's "/nick" and its goodbye
            QTcpSocket peer;
            const qint64 number = openingExchange(peer);
            QVERIFY(number > 0);
            peer.write("/nick Tester");
            peer.write("/terminate " + QByteArray::number(number));
            QVERIFY(peer.waitForDisconnected(kWait));
        }
    }
};

QTEST_GUILESS_MAIN(TestPrograms)
#include "test_programs.moc"
