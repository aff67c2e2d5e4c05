// Start-up time to the window first painted, and idle memory, of the built
// parlohost next to a bare Qt Widgets window, each started ten times in turn.
#include "BenchSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

using namespace parlo::bench;

namespace {

constexpr int kStarts = 10;
// Qt logs this once the top-level window has been painted and handed to the screen.
const QByteArray kShown = "Painting and flushing dirty top level";

struct Start {
    double ms = 0;
    qint64 idleKiB = 0;
};

bool chatPortTaken() {
    QTcpSocket probe;
    probe.connectToHost(QStringLiteral("127.0.0.1"), 1983);
    return probe.waitForConnected(300);
}

// Starts `program` once, offscreen, in a private TMPDIR (its own single-instance lock).
Start startOnce(const QString& program) {
    QTemporaryDir tmp;
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TMPDIR"), tmp.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("qt.widgets.painting=true"));
    process.setProcessEnvironment(env);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setReadChannel(QProcess::StandardError);

    QElapsedTimer clock;
    clock.start();
    process.start(program, {QStringLiteral("-platform"), QStringLiteral("offscreen")});
    QByteArray log;
    Start result;
    while (clock.elapsed() < 10000 && process.state() != QProcess::NotRunning) {
        process.waitForReadyRead(100);
        log += process.readAllStandardError();
        if (log.contains(kShown)) {
            result.ms = double(clock.nsecsElapsed()) / 1e6;
            break;
        }
    }
    // Idle: let it settle, then read what it holds.
    QThread::msleep(1000);
    process.readAllStandardError();
    result.idleKiB = statusKiB("VmRSS", QString::number(process.processId()));
    process.kill();
    process.waitForFinished(5000);
    return result;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (chatPortTaken()) {
        std::fprintf(stderr, "port 1983 is in use: stop the program that holds it first\n");
        return 1;
    }
    std::vector<double> hostMs, bareMs, hostKiB, bareKiB;
    for (int i = 0; i < kStarts; ++i) { // alternating, so both see the same machine
        const Start host = startOnce(QStringLiteral(PARLOHOST_PATH));
        const Start bare = startOnce(QStringLiteral(BARE_WINDOW_PATH));
        if (host.ms <= 0 || bare.ms <= 0) {
            std::fprintf(stderr, "a program did not show its window\n");
            return 1;
        }
        hostMs.push_back(host.ms);
        bareMs.push_back(bare.ms);
        hostKiB.push_back(double(host.idleKiB));
        bareKiB.push_back(double(bare.idleKiB));
    }
    const auto millis = [](const std::vector<double>& runs) { return spread(runs, 1, " ms"); };
    const auto mebibytes = [](const std::vector<double>& kib) {
        std::vector<double> mib;
        for (const double v : kib) {
            mib.push_back(v / 1024);
        }
        return spread(mib, 1, " MiB");
    };
    ratioRow("start-up to window shown (ref.: bare Qt window)", millis(hostMs), millis(bareMs),
             ratios(hostMs, bareMs), 1.3, "<= 1.3x bare window");
    ratioRow("idle memory, VmRSS (ref.: bare Qt window)", mebibytes(hostKiB), mebibytes(bareKiB),
             ratios(hostKiB, bareKiB), 1.3, "<= 1.3x bare window");
    return 0;
}
