// Latency of a typed line: from Enter in one window to the line in the peer's
// transcript, host and caller windows in one process over loopback, next to a
// raw QTcpSocket ping-pong (half the round trip) measured in the same run.
#include "BenchSupport.h"
#include "CallerSide.h"
#include "CrossProcess.h"
#include "HostSide.h"
#include "WindowDriver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextBlock>
#include <QTextDocument>

using namespace parlo;
using namespace parlo::bench;

namespace {

constexpr int kLines = 10000;
constexpr int kWarmUp = 200;

// Busy event loop: both measurements wait the same way.
template <typename Done> void spin(Done done) {
    while (!done()) {
        QCoreApplication::processEvents();
    }
}

// Microseconds from Enter in `from` to the line at the end of `to`'s transcript.
std::vector<double> typedLines(ChatEnd& from, ChatEnd& to, int count) {
    std::vector<double> samples;
    samples.reserve(std::size_t(count));
    QLineEdit& input = inputBox(from);
    // Arrived once it is the last line of the peer's text box, where the user reads it.
    const QTextDocument* shown = outputBox(to).document();
    const QString speaker = nickname(from) + QStringLiteral(": ");
    QElapsedTimer clock;
    for (int i = 0; i < count; ++i) {
        const QString line = QStringLiteral("line %1 of the latency run").arg(i);
        const QString entry = speaker + line;
        clock.start();
        typeLine(input, line);
        spin([&] { return shown->lastBlock().text() == entry; });
        samples.push_back(double(clock.nsecsElapsed()) / 1000.0);
    }
    return samples;
}

// Microseconds for half of a raw ping-pong of a line of the same size.
std::vector<double> rawHalfRoundTrips(int count) {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, server.serverPort());
    spin([&] { return server.hasPendingConnections(); });
    QTcpSocket* echo = server.nextPendingConnection();
    spin([&] { return client.state() == QAbstractSocket::ConnectedState; });
    client.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    echo->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    QObject::connect(echo, &QTcpSocket::readyRead, echo, [echo] {
        echo->write(echo->readAll());
        echo->flush();
    });

    std::vector<double> samples;
    samples.reserve(std::size_t(count));
    QElapsedTimer clock;
    for (int i = 0; i < count; ++i) {
        const QByteArray line = QStringLiteral("line %1 of the latency run").arg(i).toUtf8();
        clock.start();
        client.write(line);
        client.flush();
        qint64 got = 0;
        spin([&] {
            got += client.read(1 << 16).size();
            return got >= line.size();
        });
        samples.push_back(double(clock.nsecsElapsed()) / 2000.0);
    }
    return samples;
}

void report(const char* what, const char* p99Name, const std::vector<double>& chat, double rawP50) {
    const double p50 = percentile(chat, 0.50);
    const double p99 = percentile(chat, 0.99);
    row(what, micros(p50), micros(rawP50), times(p50 / rawP50), "<= 3x raw", p50 <= 3 * rawP50);
    row(p99Name, micros(p99), QStringLiteral("-"), QStringLiteral("-"), "< 1000 us", p99 < 1000);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc >= 3 && qstrcmp(argv[1], "--receiver") == 0) {
        return runReceiver(static_cast<unsigned short>(QByteArray(argv[2]).toUInt()));
    }
    HostSide hostSide;
    ChatEnd host(hostSide, ChatSettings{.port = 0});
    host.window.start();
    CallerSide callerSide;
    ChatEnd caller(callerSide, ChatSettings{.port = host.socket.LocalPort()});
    caller.window.start();
    if (!converse(host, caller)) {
        std::fprintf(stderr, "the two windows did not connect\n");
        return 1;
    }
    typedLines(host, caller, kWarmUp);
    typedLines(caller, host, kWarmUp);
    rawHalfRoundTrips(kWarmUp);

    // Interleaved, so both see the same machine load.
    std::vector<double> hostToCaller;
    std::vector<double> callerToHost;
    std::vector<double> raw;
    for (int block = 0; block < 10; ++block) {
        const auto a = typedLines(host, caller, kLines / 10);
        const auto b = typedLines(caller, host, kLines / 10);
        const auto r = rawHalfRoundTrips(kLines / 10);
        hostToCaller.insert(hostToCaller.end(), a.begin(), a.end());
        callerToHost.insert(callerToHost.end(), b.begin(), b.end());
        raw.insert(raw.end(), r.begin(), r.end());
    }
    const double rawP50 = percentile(raw, 0.50);
    std::vector<double> both = hostToCaller;
    both.insert(both.end(), callerToHost.begin(), callerToHost.end());
    report("latency p50, host -> caller", "latency p99, host -> caller", hostToCaller, rawP50);
    report("latency p50, caller -> host", "latency p99, caller -> host", callerToHost, rawP50);
    report("latency p50, both (20,000 lines)", "latency p99, both (20,000 lines)", both, rawP50);
    const std::vector<double> apart = crossProcessLatency(argv[0], kLines);
    if (apart.size() < std::size_t(kLines) * 99 / 100) {
        std::fprintf(stderr, "the two-process run lost lines (%zu of %d)\n", apart.size(), kLines);
        return 1;
    }
    report("latency p50, host -> caller, two processes",
           "latency p99, host -> caller, two processes", apart, rawP50);
    row("raw QTcpSocket half round trip p99", micros(percentile(raw, 0.99)), QStringLiteral("-"),
        QStringLiteral("-"), "-", true);
    return 0;
}
