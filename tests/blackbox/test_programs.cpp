// The built programs as processes, over the real port 1983: only what whole
// processes show (the single-instance lock, the exit of a second copy, a host
// that cannot listen). What a running program says is the other tests' business.

#include <QDir>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

// A program starts and answers in well under a second; this only bounds a broken build.
constexpr int kWait = 10000;
#define WAIT_FOR(condition) QTRY_VERIFY_WITH_TIMEOUT(condition, kWait)

// A built program started offscreen, its single-instance lock and runtime
// files in `dir` (or in the session folder `session`), so it never meets a
// copy the user runs; killed at the end.
struct Program : QProcess {
    Program(const QString& path, const QTemporaryDir& dir, const QString& session = {}) {
        // Later entries take the place of the system's own.
        setEnvironment(systemEnvironment()
                       << "QT_QPA_PLATFORM=offscreen"
                       << "TMPDIR=" + dir.path()
                       << "XDG_RUNTIME_DIR=" + (session.isEmpty() ? dir.path() : session));
        setProcessChannelMode(QProcess::MergedChannels);
        start(path);
    }
    ~Program() override {
        kill();
        waitForFinished();
    }
};

// The lock files in `dir`, a killed program's included.
static qsizetype locks(const QTemporaryDir& dir) {
    return QDir(dir.path()).entryList({"*.lock"}).size();
}

// Whether a host greets a raw caller on 127.0.0.1:1983, called again while nobody listens yet.
static bool greets() {
    QTcpSocket peer;
    QByteArray got;
    return QTest::qWaitFor(
        [&] {
            if (peer.state() == QAbstractSocket::UnconnectedState) {
                peer.connectToHost(QHostAddress::LocalHost, 1983);
            }
            got += peer.readAll();
            return got.endsWith("/nick Server");
        },
        kWait);
}

class TestPrograms : public QObject {
    Q_OBJECT
private slots:
    // A host that finds the port taken, then one after it was killed, beside a
    // caller, a second copy of it, and another user's copy.
    void start() {
        const QString host = PARLOHOST_PATH;
        QTemporaryDir dir;
        {
            QTcpServer squatter;
            QVERIFY(squatter.listen(QHostAddress::Any, 1983));
            Program blocked(host, dir);
            WAIT_FOR(locks(dir) == 1);
            QVERIFY(!blocked.waitForFinished(1000)); // runs on, saying so in its window
        }                                            // killed, its lock left behind
        Program caller(PARLOCALL_PATH, dir);
        WAIT_FOR(locks(dir) == 2); // each program has its own lock
        Program first(host, dir);
        QVERIFY(greets()); // the killed copy's lock taken over
        Program second(host, dir);
        QVERIFY(second.waitForFinished(kWait)); // ends at once, silently
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(second.readAll(), QByteArray());
        QTemporaryDir otherSession; // another user's: the temporary folder is shared
        Program otherUsers(host, dir, otherSession.path());
        QVERIFY(!otherUsers.waitForFinished(1000)); // runs beside the first
    }
};

QTEST_GUILESS_MAIN(TestPrograms)
#include "test_programs.moc"
