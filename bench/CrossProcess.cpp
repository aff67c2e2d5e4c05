#include "CrossProcess.h"

#include "CallerSide.h"
#include "HostSide.h"
#include "WindowDriver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <cstdio>
#include <ctime>

namespace parlo::bench {

namespace {

const QString kDone = QStringLiteral("done");

// The system-wide monotonic clock, readable in both processes.
qint64 nowNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

} // namespace

int runReceiver(unsigned short port) {
    CallerSide side;
    ChatEnd caller(side, ChatSettings{.port = port});
    caller.window.start();
    if (!call(caller)) {
        return 1;
    }
    const QRegularExpression number(QStringLiteral("line (\\d+) of the latency run"));
    // A line has arrived once it is in the text box, where the user reads it.
    // Every new entry is looked at (a line that arrived joined to the one
    // before it is in the same entry), so none goes unnoticed when this side
    // falls behind on a loaded machine.
    const QTextDocument* shown = outputBox(caller).document();
    QTextBlock seen = shown->lastBlock();
    std::vector<std::pair<int, qint64>> arrivals;
    bool done = false;
    while (!done) {
        QCoreApplication::processEvents();
        const qint64 at = nowNs();
        for (QTextBlock block = seen.next(); block.isValid(); block = block.next()) {
            seen = block;
            const QString entry = block.text();
            for (const auto& match : number.globalMatch(entry)) {
                arrivals.emplace_back(match.captured(1).toInt(), at);
            }
            done = done || entry.endsWith(kDone);
        }
        done = done || caller.socket.State() != StreamSocket::sckConnected;
    }
    for (const auto& [index, at] : arrivals) {
        std::printf("%d %lld\n", index, static_cast<long long>(at));
    }
    return 0;
}

std::vector<double> crossProcessLatency(const char* self, int lines) {
    HostSide side;
    ChatEnd host(side, ChatSettings{.port = 0});
    host.window.start();
    QProcess receiver;
    receiver.setProcessChannelMode(QProcess::SeparateChannels);
    receiver.setStandardErrorFile(QProcess::nullDevice());
    receiver.start(QString::fromLocal8Bit(self),
                   {QStringLiteral("--receiver"), QString::number(host.socket.LocalPort()),
                    QStringLiteral("-platform"), QStringLiteral("offscreen")});
    // The receiver says a line once the call stands.
    if (!spinUntil([&] { return lastShownLine(host).endsWith(QLatin1String(": ready")); }, 10000)) {
        receiver.kill();
        receiver.waitForFinished();
        return {};
    }
    settle(300); // the receiver settles into its loop

    QLineEdit& input = inputBox(host);
    std::vector<qint64> sentAt(std::size_t(lines), 0);
    for (int i = 0; i < lines; ++i) {
        sentAt[std::size_t(i)] = nowNs();
        typeLine(input, QStringLiteral("line %1 of the latency run").arg(i));
        // One line at a time: the next goes once this one has surely been shown.
        QElapsedTimer gap;
        gap.start();
        while (gap.nsecsElapsed() < 1500 * 1000) {
            QCoreApplication::processEvents();
        }
    }
    typeLine(input, kDone);
    if (!spinUntil([&] { return receiver.state() == QProcess::NotRunning; }, 30000)) {
        receiver.kill();
        return {};
    }
    std::vector<double> samples;
    for (const QByteArray& entry : receiver.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> fields = entry.split(' ');
        if (fields.size() != 2) {
            continue;
        }
        const int index = fields[0].toInt();
        if (index >= 0 && index < lines) {
            samples.push_back(double(fields[1].toLongLong() - sentAt[std::size_t(index)]) / 1000.0);
        }
    }
    return samples;
}

} // namespace parlo::bench
