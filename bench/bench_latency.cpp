// Latency of a typed line: from Enter in one window until the peer's text box
// has painted it, next to the toolkit's floor for the same work measured in
// the same run with the same process layout: a raw QTcpSocket hop and a bare
// QPlainTextEdit that appends and paints the same line. The raw hop alone is
// a second reference. Each line is sent only once the previous one was shown.
#include "BareReceiver.h"
#include "BenchSupport.h"
#include "CallerSide.h"
#include "CrossProcess.h"
#include "HostSide.h"
#include "ShownWatch.h"
#include "WindowDriver.h"

#include <QApplication>
#include <QLineEdit>
#include <QTcpServer>
#include <QTcpSocket>
#include <optional>

using namespace parlo;
using namespace parlo::bench;

namespace {

constexpr int kLines = 1000; // per measure and run
constexpr int kBlock = 100;  // the one-process measures take turns by blocks
constexpr int kPatienceMs = 10000;

using Samples = std::vector<double>;

double microsSince(qint64 startNs, qint64 endNs) {
    return double(endNs - startNs) / 1000.0;
}

// A host and a caller window in this process, talking.
struct Conversation {
    HostSide hostSide;
    CallerSide callerSide;
    ChatEnd host{hostSide, ChatSettings{.port = 0}};
    std::optional<ChatEnd> caller;

    bool open() {
        host.window.start();
        caller.emplace(callerSide, ChatSettings{.port = host.socket.LocalPort()});
        caller->window.start();
        return converse(host, *caller);
    }
};

// Lines typed into `from` until `to` has shown each.
bool typedLines(ChatEnd& from, ChatEnd& to, int first, int count, Samples& samples) {
    ShownWatch watch(outputBox(to));
    QLineEdit& input = inputBox(from);
    const QString speaker = nickname(from) + QStringLiteral(": ");
    for (int i = first; i < first + count; ++i) {
        watch.expect(speaker + latencyLine(i));
        const qint64 start = monotonicNs();
        typeLine(input, latencyLine(i));
        if (!spinUntil([&] { return watch.shown(); }, kPatienceMs)) {
            return false;
        }
        samples.push_back(microsSince(start, watch.shownAtNs()));
    }
    return true;
}

// A plain socket connected to a server in this process, and the server's side of it.
struct RawLink {
    QTcpServer server;
    QTcpSocket sender;
    QTcpSocket* receiving = nullptr;

    bool open() {
        server.listen(QHostAddress::LocalHost);
        sender.connectToHost(QHostAddress::LocalHost, server.serverPort());
        if (!spinUntil([&] { return server.hasPendingConnections(); }, kPatienceMs) ||
            !spinUntil([&] { return sender.state() == QAbstractSocket::ConnectedState; },
                       kPatienceMs)) {
            return false;
        }
        receiving = server.nextPendingConnection();
        sender.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        receiving->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        return true;
    }
};

void send(QTcpSocket& socket, const QString& entry) {
    socket.write((entry + QLatin1Char('\n')).toUtf8());
    socket.flush();
}

// The floor in this process: the same entries over a raw link into a bare box.
bool floorLines(RawLink& link, BareReceiver& receiver, const QString& speaker, int first, int count,
                Samples& samples) {
    ShownWatch watch(receiver.box());
    for (int i = first; i < first + count; ++i) {
        const QString entry = speaker + latencyLine(i);
        watch.expect(entry);
        const qint64 start = monotonicNs();
        send(link.sender, entry);
        if (!spinUntil([&] { return watch.shown(); }, kPatienceMs)) {
            return false;
        }
        samples.push_back(microsSince(start, watch.shownAtNs()));
    }
    return true;
}

// Half of a ping-pong of each line's bytes: `echo` sends back what `socket` sent.
bool rawHops(QTcpSocket& socket, int first, int count, Samples& samples) {
    for (int i = first; i < first + count; ++i) {
        const QByteArray line = latencyLine(i).toUtf8();
        const qint64 start = monotonicNs();
        socket.write(line);
        socket.flush();
        qint64 got = 0;
        if (!spinUntil(
                [&] {
                    got += socket.read(1 << 16).size();
                    return got >= line.size();
                },
                kPatienceMs)) {
            return false;
        }
        samples.push_back(microsSince(start, monotonicNs()) / 2);
    }
    return true;
}

// One run's samples of one process layout.
struct RunSamples {
    Samples chat;
    Samples floor;
    Samples raw;
};

// Both windows, the floor and the raw hop in this process, taking turns by blocks
// so that all see the same machine load; the chat lines go both ways.
bool oneProcess(RunSamples& run) {
    Conversation talk;
    RawLink floorLink;
    RawLink echoLink;
    if (!talk.open() || !floorLink.open() || !echoLink.open()) {
        return false;
    }
    BareReceiver bare(*floorLink.receiving, outputBox(*talk.caller).size());
    QObject::connect(echoLink.receiving, &QTcpSocket::readyRead, echoLink.receiving, [&] {
        echoLink.receiving->write(echoLink.receiving->readAll());
        echoLink.receiving->flush();
    });
    const QString speaker = nickname(talk.host) + QStringLiteral(": ");
    for (int first = 0; first < kLines; first += kBlock) {
        const int half = kBlock / 2;
        if (!typedLines(talk.host, *talk.caller, first, half, run.chat) ||
            !typedLines(*talk.caller, talk.host, first + half, half, run.chat) ||
            !floorLines(floorLink, bare, speaker, first, kBlock, run.floor) ||
            !rawHops(echoLink.sender, first, kBlock, run.raw)) {
            return false;
        }
    }
    return true;
}

// Lines typed into a host window here until a caller window in its own process
// has shown each; `speaker` is what the caller shows before each line.
bool chatApart(const char* self, QString& speaker, Samples& samples) {
    HostSide side;
    ChatEnd host(side, ChatSettings{.port = 0});
    host.window.start();
    speaker = nickname(host) + QStringLiteral(": ");
    ReceiverProcess receiver(self, ReceiverKind::Chat, host.socket.LocalPort(), speaker, kLines);
    if (!receiver.ready() ||
        !spinUntil([&] { return lastShownLine(host).endsWith(QLatin1String(": ready")); },
                   kPatienceMs)) {
        return false;
    }
    QLineEdit& input = inputBox(host);
    for (int i = 0; i < kLines; ++i) {
        const qint64 start = monotonicNs();
        typeLine(input, latencyLine(i));
        const qint64 shownAt = receiver.shownAtNs(i);
        if (shownAt == 0) {
            return false;
        }
        samples.push_back(microsSince(start, shownAt));
    }
    return true;
}

// The floor, or the raw hop, with the receiving end in its own process.
bool rawApart(const char* self, ReceiverKind kind, const QString& speaker, Samples& samples) {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    ReceiverProcess receiver(self, kind, server.serverPort(), speaker, kLines);
    if (!spinUntil([&] { return server.hasPendingConnections(); }, kPatienceMs)) {
        return false;
    }
    QTcpSocket& socket = *server.nextPendingConnection();
    socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    if (!receiver.ready()) {
        return false;
    }
    if (kind == ReceiverKind::Echo) {
        const bool done = rawHops(socket, 0, kLines, samples);
        socket.close();
        return done;
    }
    for (int i = 0; i < kLines; ++i) {
        const qint64 start = monotonicNs();
        send(socket, speaker + latencyLine(i));
        const qint64 shownAt = receiver.shownAtNs(i);
        if (shownAt == 0) {
            return false;
        }
        samples.push_back(microsSince(start, shownAt));
    }
    return true;
}

bool twoProcesses(const char* self, RunSamples& run) {
    QString speaker;
    return chatApart(self, speaker, run.chat) &&
           rawApart(self, ReceiverKind::BareBox, speaker, run.floor) &&
           rawApart(self, ReceiverKind::Echo, speaker, run.raw);
}

// Each run's p50 and p99 of one layout.
struct Figures {
    Samples chat[2];
    Samples floor[2];
    Samples raw[2];

    void add(const RunSamples& run) {
        const double at[2] = {0.50, 0.99};
        for (int i = 0; i < 2; ++i) {
            chat[i].push_back(percentile(run.chat, at[i]));
            floor[i].push_back(percentile(run.floor, at[i]));
            raw[i].push_back(percentile(run.raw, at[i]));
        }
    }
};

void report(const Figures& figures, const char* const (&names)[2],
            const char* const (&rawNames)[2]) {
    for (int i = 0; i < 2; ++i) {
        ratioRow(names[i], micros(figures.chat[i]), micros(figures.floor[i]),
                 ratios(figures.chat[i], figures.floor[i]), 1.5, "<= 1.5x floor");
    }
    for (int i = 0; i < 2; ++i) {
        infoRow(rawNames[i], micros(figures.raw[i]));
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (const int status = runReceiverIfAsked(QCoreApplication::arguments()); status >= 0) {
        return status;
    }
    Figures together;
    Figures apart;
    for (int run = 0; run < kRuns; ++run) {
        std::fprintf(stderr, "  latency run %d of %d\n", run + 1, kRuns);
        RunSamples one;
        RunSamples two;
        if (!oneProcess(one)) {
            std::fprintf(stderr, "the one-process latency run did not complete\n");
            return 1;
        }
        if (!twoProcesses(argv[0], two)) {
            std::fprintf(stderr, "the two-process latency run did not complete\n");
            return 1;
        }
        together.add(one);
        apart.add(two);
    }
    report(
        together, {"latency p50, one process (both ways)", "latency p99, one process (both ways)"},
        {"raw QTcpSocket hop alone p50, one process", "raw QTcpSocket hop alone p99, one process"});
    report(apart, {"latency p50, two processes", "latency p99, two processes"},
           {"raw QTcpSocket hop alone p50, two processes",
            "raw QTcpSocket hop alone p99, two processes"});
    return 0;
}
