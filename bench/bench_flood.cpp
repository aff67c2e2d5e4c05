// A raw peer floods a host window over loopback, after the opening exchange,
// with one byte pattern per run, each run in a process of its own. Measured
// for each: the rate at which the text reaches the transcript, how much the
// host grew for every byte received, how long a line typed during the flood
// takes to leave the window, and whether every byte was shown.
#include "BenchSupport.h"
#include "HostSide.h"
#include "PeerText.h"
#include "RawPeer.h"
#include "TypingProbe.h"
#include "WindowDriver.h"

#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTextBlock>
#include <QTextDocument>
#include <chrono>
#include <ctime>
#include <functional>
#include <optional>
#include <thread>

using namespace parlo;
using namespace parlo::bench;
using namespace std::chrono_literals;

namespace {

constexpr qint64 kMiB = 1024 * 1024;
constexpr qint64 kBlockBytes = 64 * 1024;
// A name far beyond what the host keeps, then one-byte lines at this pace;
// the same lines under a short name are the yardstick.
constexpr int kLongNameLength = 65000;
constexpr int kShortLines = 500;
constexpr auto kShortLinePause = 10ms;
// Between two typed lines (after the previous one arrived).
constexpr auto kTypingPause = 50ms;
constexpr int kFloodTimeoutMs = 300000;

const QByteArray kName = "Flood";

struct Pattern {
    const char* name;
    const char* title;
    QByteArray unit; // repeated to fill each block of the flood; empty: the long name
    QString shown;   // how one unit reads in the transcript
    qint64 bytes;    // about this much is sent
};

QByteArray words(bool spaced) {
    QByteArray text;
    for (int i = 0; text.size() < kBlockBytes; ++i) {
        text += "word" + QByteArray::number(i % 1000) + (spaced ? " " : "");
    }
    return text;
}

const std::vector<Pattern>& patterns() {
    static const std::vector<Pattern> all = {
        {"spaces", "32 MiB of text with spaces", words(true), QString::fromLatin1(words(true)),
         32 * kMiB},
        {"nospaces", "32 MiB of text without spaces", words(false),
         QString::fromLatin1(words(false)), 32 * kMiB},
        {"newlines", "16 MiB of line feeds", "\n", QStringLiteral("\u240A"), 16 * kMiB},
        {"nul", "16 MiB of NUL bytes", QByteArray(1, '\0'), QStringLiteral("\u2400"), 16 * kMiB},
        {"u2029", "16 MiB of U+2029", "\xE2\x80\xA9", QStringLiteral("\u2424"), 16 * kMiB},
        {"longname",
         "65,000-character /nick, then 500 one-byte lines 10 ms apart",
         {},
         QStringLiteral("x"),
         0},
    };
    return all;
}

const Pattern* findPattern(const QByteArray& name) {
    for (const Pattern& pattern : patterns()) {
        if (name == pattern.name) {
            return &pattern;
        }
    }
    return nullptr;
}

double threadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

// Counts the flood's characters in the text box as entries come in, block by
// block, leaving out the speaker before each and the lines typed meanwhile.
// The box may lay a long entry out over several blocks; the blocks after its
// first are counted whole.
class ShownCounter {
public:
    ShownCounter(const QTextDocument& document, QString floodSpeaker, QString typedSpeaker)
        : m_floodSpeaker(std::move(floodSpeaker)), m_typedSpeaker(std::move(typedSpeaker)),
          m_last(document.lastBlock()) {}

    qint64 count() {
        for (QTextBlock block = m_last.next(); block.isValid(); block = block.next()) {
            m_last = block;
            const QString text = block.text();
            if (text.startsWith(m_floodSpeaker)) {
                m_chars += text.size() - m_floodSpeaker.size();
            } else if (!text.startsWith(m_typedSpeaker)) {
                m_chars += text.size();
            }
        }
        return m_chars;
    }

private:
    const QString m_floodSpeaker;
    const QString m_typedSpeaker;
    QTextBlock m_last;
    qint64 m_chars = 0;
};

// The flood's entries in the transcript as the user copies it, joined, without the lines
// typed meanwhile and a goodbye; compared with what was sent.
bool everyByteShown(QStringView transcript, const QString& floodSpeaker,
                    const QString& typedSpeaker, const QString& unitShown, qint64 units) {
    qint64 at = 0; // characters of the expected text matched so far
    for (const QStringView entry : transcript.split(u'\n')) {
        if (entry.startsWith(floodSpeaker)) {
            for (const QChar c : entry.sliced(floodSpeaker.size())) {
                if (c != unitShown[at % unitShown.size()]) {
                    return false;
                }
                ++at;
            }
        } else if (!entry.isEmpty() && !entry.startsWith(typedSpeaker) &&
                   !(entry.startsWith(u">> ") && entry.endsWith(u" disconnected."))) {
            return false;
        }
    }
    return at == qint64(unitShown.size()) * units;
}

// What the peer sends in one measured stretch, and how it reads in the transcript.
struct Phase {
    std::function<void(RawPeer&)> send; // runs on a thread of its own
    qint64 received = 0;                // bytes sent
    QString speaker;                    // before each of its entries in the host's box
    QString unitShown;                  // `units` of these make the text shown
    qint64 units = 0;
};

struct Measured {
    qint64 received = 0;
    double seconds = 0;
    double growthBytes = 0; // the peak resident size over the size at the start
    double cpuSeconds = 0;  // of the window's thread
    std::vector<double> latencies;
    bool complete = false;
    bool intact = false;
};

void forgetPeakMemory() {
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly)) {
        clearRefs.write("5");
    }
}

Measured measure(ChatEnd& host, RawPeer& peer, const Phase& phase) {
    Measured result;
    result.received = phase.received;
    const QString typedSpeaker = nickname(host) + QStringLiteral(": ") + TypingProbe::kTyped;
    QTextDocument& document = *outputBox(host).document();
    settle(300); // the box has caught up: what it shows now is all that came before
    const qsizetype shownFrom = copiedText(host).size();

    forgetPeakMemory();
    const qint64 baseKiB = statusKiB("VmRSS");
    const double cpuBefore = threadCpuSeconds();
    const auto started = std::chrono::steady_clock::now();
    std::thread sender([&] { phase.send(peer); });
    std::optional<TypingProbe> probe(std::in_place, inputBox(host), peer, kTypingPause);
    ShownCounter shown(document, phase.speaker, typedSpeaker);
    const qint64 expected = phase.units * phase.unitShown.size();
    result.complete = spinUntil([&] { return shown.count() >= expected; }, kFloodTimeoutMs);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;
    result.seconds = elapsed.count();
    result.cpuSeconds = threadCpuSeconds() - cpuBefore;
    probe->finish();
    spinUntil([&] { return probe->done(); }, 15000);
    result.growthBytes = double(statusKiB("VmHWM") - baseKiB) * 1024.0;
    result.latencies = probe->latencies();
    probe.reset();

    if (!result.complete) {
        std::fprintf(stderr, "%lld of %lld characters shown before the time ran out\n",
                     static_cast<long long>(shown.count()), static_cast<long long>(expected));
        peer.hangUp(); // the sender may be waiting for the window to read
    }
    sender.join();
    result.intact = result.complete &&
                    everyByteShown(QStringView(copiedText(host)).sliced(shownFrom), phase.speaker,
                                   typedSpeaker, phase.unitShown, phase.units);
    return result;
}

// One-byte lines at a steady pace, after `before` (sent first, on its own).
Phase shortLines(const QByteArray& before, const QString& speaker) {
    return {[before](RawPeer& peer) {
                if (!before.isEmpty()) {
                    peer.send(before);
                    std::this_thread::sleep_for(200ms);
                }
                for (int i = 0; i < kShortLines; ++i) {
                    peer.send("x");
                    std::this_thread::sleep_for(kShortLinePause);
                }
            },
            before.size() + kShortLines, speaker, QStringLiteral("x"), kShortLines};
}

Phase flood(const Pattern& pattern) {
    const qint64 perBlock = std::max<qint64>(1, kBlockBytes / pattern.unit.size());
    const QByteArray block = pattern.unit.repeated(perBlock);
    const qint64 blocks = pattern.bytes / block.size();
    return {[block, blocks](RawPeer& peer) {
                for (qint64 i = 0; i < blocks && peer.send(block); ++i) {
                }
            },
            blocks * block.size(), QLatin1String(kName) + QStringLiteral(": "), pattern.shown,
            blocks * perBlock};
}

void print(const char* kind, const Measured& m) {
    std::printf("%s|%lld|%.6f|%.0f|%.6f|%d|%d", kind, static_cast<long long>(m.received), m.seconds,
                m.growthBytes, m.cpuSeconds, m.complete ? 1 : 0, m.intact ? 1 : 0);
    for (const double ms : m.latencies) {
        std::printf("|%.3f", ms);
    }
    std::printf("\n");
}

// Runs one pattern against a fresh host window in this process and prints
// its figures for the parent.
int runChild(const Pattern& pattern) {
    HostSide side;
    ChatEnd host(side, ChatSettings{.port = 0});
    host.window.start();
    RawPeer peer(host.socket.LocalPort());
    if (!peer.connected()) {
        return 1;
    }
    // The opening exchange: the host confirms and names itself, the peer
    // introduces itself, then says a line on its own.
    peer.sendAtOnce();
    peer.send("/nick " + kName);
    settle(200);
    peer.send("ready");
    const QString speaker = QLatin1String(kName) + QStringLiteral(": ");
    if (!spinUntil([&] { return lastShownLine(host) == speaker + QStringLiteral("ready"); },
                   10000)) {
        return 1;
    }
    if (!pattern.unit.isEmpty()) {
        print("RESULT", measure(host, peer, flood(pattern)));
        return 0;
    }
    print("SHORTNAME", measure(host, peer, shortLines({}, speaker)));
    const QString kept = QString(kMaxPeerNameLength, QLatin1Char('n')) + QStringLiteral(": ");
    print("RESULT",
          measure(host, peer, shortLines("/nick " + QByteArray(kLongNameLength, 'n'), kept)));
    return 0;
}

Measured parse(const QList<QByteArray>& fields) {
    Measured m;
    m.received = fields.value(1).toLongLong();
    m.seconds = fields.value(2).toDouble();
    m.growthBytes = fields.value(3).toDouble();
    m.cpuSeconds = fields.value(4).toDouble();
    m.complete = fields.value(5) == "1";
    m.intact = fields.value(6) == "1";
    for (qsizetype i = 7; i < fields.size(); ++i) {
        m.latencies.push_back(fields[i].toDouble());
    }
    return m;
}

// One pattern's figures, one entry per run.
struct Runs {
    std::vector<double> rate;     // MB/s shown
    std::vector<double> growth;   // peak memory growth over bytes received
    std::vector<double> typedP99; // ms
    std::vector<double> perLine;  // long name: memory per line over a short name's
    std::vector<double> cpu;      // long name: CPU over a short name's
    bool shown = true;            // every byte, in every run
    bool ran = true;
};

// Runs `pattern` in a fresh process and adds its figures to `runs`.
void runOnce(const char* self, const Pattern& pattern, Runs& runs) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QString::fromLocal8Bit(self),
                {QStringLiteral("--pattern"), QLatin1String(pattern.name),
                 QStringLiteral("-platform"), QGuiApplication::platformName()});
    child.waitForFinished(-1);
    std::optional<Measured> result;
    std::optional<Measured> shortName;
    for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
        if (line.startsWith("RESULT|")) {
            result = parse(line.split('|'));
        } else if (line.startsWith("SHORTNAME|")) {
            shortName = parse(line.split('|'));
        }
    }
    if (!result) {
        std::fprintf(stderr, "flood %s did not run\n", pattern.name);
        runs.ran = false;
        return;
    }
    const Measured& m = *result;
    runs.shown = runs.shown && m.complete && m.intact;
    runs.typedP99.push_back(percentile(m.latencies, 0.99));
    runs.growth.push_back(m.growthBytes / double(m.received));
    if (shortName) {
        // A line under the long name against the same line under a short one.
        runs.perLine.push_back(m.growthBytes / std::max(shortName->growthBytes, 1024.0));
        runs.cpu.push_back(m.cpuSeconds / std::max(shortName->cpuSeconds, 1e-6));
    } else {
        runs.rate.push_back(double(m.received) / 1e6 / m.seconds);
    }
}

// flood | shown at | vs text with spaces | memory growth (x received) | typed line p99 |
// every byte shown | met; `spacedRate` is empty for text with spaces itself.
void floodRow(const char* title, const Runs& runs, const std::vector<double>& spacedRate) {
    const bool memoryMet = spreadOf(runs.growth).median <= 8;
    const bool typingMet = spreadOf(runs.typedP99).median <= 100;
    QString rate = QStringLiteral("-");
    QString vsSpaces = QStringLiteral("-");
    bool rateMet = true;
    if (!runs.rate.empty()) {
        rate = spread(runs.rate, 2, " MB/s");
        if (!spacedRate.empty()) {
            const std::vector<double> relative = ratios(runs.rate, spacedRate);
            vsSpaces = times(relative);
            rateMet = spreadOf(relative).median >= 0.5;
        }
    }
    std::printf("FLOOD|%s|%s|%s|%s|%s|%s|%s\n", title, qPrintable(rate), qPrintable(vsSpaces),
                qPrintable(times(runs.growth)), qPrintable(spread(runs.typedP99, 1, " ms")),
                runs.shown ? "yes" : "NO",
                runs.ran && runs.shown && memoryMet && typingMet && rateMet ? "yes" : "NO");
    if (!runs.perLine.empty()) {
        const bool costMet = spreadOf(runs.perLine).median <= 2 && spreadOf(runs.cpu).median <= 2;
        std::printf("FLOOD|per line, under the long name over under \"Flood\": memory; CPU|-|-|"
                    "%s; %s|-|-|%s\n",
                    qPrintable(times(runs.perLine)), qPrintable(times(runs.cpu)),
                    costMet ? "yes" : "NO");
    }
    std::fflush(stdout);
}

// Runs every pattern kRuns times, each run in a process of its own (so each
// starts from the same memory), and prints one table row per pattern.
int runAll(const char* self) {
    std::vector<double> spacedRate;
    int status = 0;
    for (const Pattern& pattern : patterns()) {
        Runs runs;
        for (int run = 0; run < kRuns; ++run) {
            std::fprintf(stderr, "  flood run %d of %d: %s\n", run + 1, kRuns, pattern.title);
            runOnce(self, pattern, runs);
        }
        if (qstrcmp(pattern.name, "spaces") == 0) {
            floodRow(pattern.title, runs, {});
            spacedRate = runs.rate;
        } else {
            floodRow(pattern.title, runs, spacedRate);
        }
        if (!runs.ran) {
            status = 1;
        }
    }
    return status;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc >= 3 && qstrcmp(argv[1], "--pattern") == 0) {
        const Pattern* pattern = findPattern(argv[2]);
        return pattern ? runChild(*pattern) : 2;
    }
    return runAll(argv[0]);
}
