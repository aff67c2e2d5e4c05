// Start-up time to the window first painted, and idle memory, of the built
// parlocall next to a bare Qt Widgets window, each started ten times in turn.
// The caller takes no port until it calls, so the run neither depends on nor
// disturbs whatever listens on 1983 (the host builds the same window and
// listens besides).
#include "BenchSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
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

// Starts `program` once, offscreen, in a private TMPDIR and runtime folder (its
// own single-instance lock).
Start startOnce(const QString& program) {
    QTemporaryDir tmp;
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TMPDIR"), tmp.path());
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), tmp.path());
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
    std::vector<double> chatMs, bareMs, chatKiB, bareKiB;
    for (int i = 0; i < kStarts; ++i) { // alternating, so both see the same machine
        const Start chat = startOnce(QStringLiteral(PARLOCALL_PATH));
        const Start bare = startOnce(QStringLiteral(BARE_WINDOW_PATH));
        if (chat.ms <= 0 || bare.ms <= 0) {
            std::fprintf(stderr, "a program did not show its window\n");
            return 1;
        }
        chatMs.push_back(chat.ms);
        bareMs.push_back(bare.ms);
        chatKiB.push_back(double(chat.idleKiB));
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
    ratioRow("start-up to window shown (ref.: bare Qt window)", millis(chatMs), millis(bareMs),
             ratios(chatMs, bareMs), 1.3, "<= 1.3x bare window");
    ratioRow("idle memory, VmRSS (ref.: bare Qt window)", mebibytes(chatKiB), mebibytes(bareKiB),
             ratios(chatKiB, bareKiB), 1.3, "<= 1.3x bare window");
    return 0;
}
