// A raw peer floods a host window with 50 MB of chat text as fast as it can.
// Measured: the longest the event loop went without turning, how much the
// process grew, and whether every byte sent was shown.
#include "BenchSupport.h"
#include "LiveWindows.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTimer>
#include <arpa/inet.h>
#include <atomic>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace parlo;
using namespace parlo::bench;

namespace {

constexpr qint64 kFloodBytes = 50LL * 1000 * 1000;
const QByteArray kIntro = "/nick Flood";

// Chat text with spaces, never a "/", never the speaker prefix.
QByteArray floodPattern() {
    QByteArray pattern;
    for (int i = 0; pattern.size() < 64 * 1024; ++i) {
        pattern += "word" + QByteArray::number(i % 1000) + ' ';
    }
    return pattern;
}

// Sends the whole flood from its own thread with blocking writes.
void flood(quint16 port, const QByteArray& pattern, std::atomic<qint64>& sent) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return;
    }
    (void)::write(fd, kIntro.constData(), size_t(kIntro.size()));
    ::usleep(200 * 1000); // the name arrives on its own
    qint64 total = 0;
    while (total < kFloodBytes) {
        const qint64 wanted = std::min<qint64>(pattern.size(), kFloodBytes - total);
        const ssize_t written = ::write(fd, pattern.constData(), size_t(wanted));
        if (written <= 0) {
            break;
        }
        total += written;
        sent = total;
    }
    ::usleep(500 * 1000);
    ::close(fd);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    LiveWindow host(true);
    const QByteArray pattern = floodPattern();

    // The event loop's heartbeat: the longest gap between two ticks is the longest stall.
    QElapsedTimer sinceTick;
    qint64 longestStallNs = 0;
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        longestStallNs = std::max(longestStallNs, sinceTick.nsecsElapsed());
        sinceTick.start();
    });

    spinUntil([] { return false; }, 300); // settle before taking the baseline
    const qint64 baseKiB = statusKiB("VmRSS");
    std::atomic<qint64> sent{0};
    std::thread peer(flood, host.socket.listeningPort(), std::cref(pattern), std::ref(sent));

    // Counted on the text box itself, so the count costs no copy of the transcript:
    // each entry is one new paragraph ("Flood: " and the text after a line break).
    const QString prefix = QStringLiteral("\r\nFlood: ");
    constexpr qint64 kShownPrefix = 8; // the line break and "Flood: " in the text box
    QTextDocument* shownText = host.window.txtOutput->document();
    qint64 baseChars = 0;
    qint64 baseBlocks = 0;
    auto shownBytes = [&]() -> qint64 {
        const qint64 entries = shownText->blockCount() - baseBlocks;
        return shownText->characterCount() - baseChars - entries * kShownPrefix;
    };
    spinUntil([&] { return host.form.strPeerName == QLatin1String("Flood"); }, 10000);
    spinUntil([] { return false; }, 100); // the text box catches up with the transcript
    const qsizetype shownFrom = host.window.outputText().size();
    baseChars = shownText->characterCount();
    baseBlocks = shownText->blockCount();

    QElapsedTimer clock;
    clock.start();
    sinceTick.start();
    heartbeat.start(1);
    spinUntil([&] { return shownBytes() >= kFloodBytes; }, 300000);
    heartbeat.stop();
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    peer.join();

    // Every byte, and in order: the shown text with the prefixes taken out is the flood.
    const double growth = double(statusKiB("VmHWM") - baseKiB) * 1024.0;
    // The peer hangs up once done; its goodbye entry is not part of the flood.
    QString body = host.window.outputText().mid(shownFrom);
    const QString goodbye = QStringLiteral("\r\n>> Flood disconnected.");
    if (body.endsWith(goodbye)) {
        body.chop(goodbye.size());
    }
    body.remove(prefix);
    bool intact = body.size() == kFloodBytes;
    for (qsizetype at = 0; intact && at < body.size(); at += pattern.size()) {
        const qsizetype length = std::min<qsizetype>(pattern.size(), body.size() - at);
        intact = QStringView(body).sliced(at, length) == QLatin1String(pattern.constData(), length);
    }
    const qint64 shown = body.size();
    body.clear();

    const double stallMs = double(longestStallNs) / 1e6;
    row("flood: longest event-loop stall", QString::number(stallMs, 'f', 1) + QStringLiteral(" ms"),
        QStringLiteral("-"), QStringLiteral("-"), "<= 100 ms", stallMs <= 100);
    row("flood: peak memory growth", mib(growth), mib(double(sent.load())),
        times(growth / double(sent.load())), "<= 4x received", growth <= 4.0 * double(sent));
    row("flood: bytes shown / sent", QString::number(shown), QString::number(sent.load()),
        intact ? QStringLiteral("identical") : QStringLiteral("DIFFER"), "every byte, in order",
        intact && shown == sent.load());
    row("flood: throughput", QString::number(double(shown) / 1e6 / seconds, 'f', 1) + " MB/s",
        QStringLiteral("-"), QStringLiteral("-"), "-", true);
    return 0;
}
