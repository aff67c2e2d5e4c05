// What one transcript entry costs when the transcript is short (1,000
// entries) and when it is long (100,000): in the chat model over recording
// controls, and in the real window's text box; next to them, the toolkit's
// floor: a bare QPlainTextEdit of the same size appending the same entries.
#include "BenchSupport.h"
#include "ChatWindow.h"
#include "FakeEnd.h"
#include "FakeNotifications.h"
#include "HostSide.h"
#include "ProgramStarter.h"
#include "RegistryReader.h"
#include "WindowDriver.h"
#include "modIEOps.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>

using namespace parlo;
using namespace parlo::bench;

namespace {

constexpr int kShort = 1000;
constexpr int kLong = 100000;
constexpr int kBlock = 1000; // entries timed at each size

// The peer's side of a fake connection: what it says next is read at once.
void deliver(test::FakeSocket& socket, const QString& text) {
    socket.incoming = text;
    emit socket.DataArrival();
}

// A started host takes a call and hears the caller's name: the opening exchange.
void openConversation(test::FakeSocket& socket) {
    emit socket.ConnectionRequest(7);
    deliver(socket, QStringLiteral("/nick Peer"));
}

QString lineNumber(int i) {
    return QStringLiteral("entry %1: the quick brown fox jumps over the lazy dog").arg(i);
}

// Appends entries [from, to) as received lines, letting the window catch up
// after each when `pump` is set; returns microseconds per entry.
template <typename Deliver> double perEntry(Deliver deliver, int from, int to, bool pump) {
    QElapsedTimer clock;
    clock.start();
    for (int i = from; i < to; ++i) {
        deliver(lineNumber(i));
        if (pump) {
            QCoreApplication::processEvents();
        }
    }
    return double(clock.nsecsElapsed()) / 1000.0 / double(to - from);
}

// Per-entry cost at kShort and at kLong entries.
template <typename Deliver> std::pair<double, double> measure(Deliver deliver, bool pump) {
    const double atShort = perEntry(deliver, 0, kShort, pump);
    for (int i = kShort; i < kLong - kBlock; i += kBlock) {
        perEntry(deliver, i, i + kBlock, false);
        QCoreApplication::processEvents();
    }
    const double atLong = perEntry(deliver, kLong - kBlock, kLong, pump);
    return {atShort, atLong};
}

// Each run's cost at kShort and kLong entries.
struct Costs {
    std::vector<double> atShort;
    std::vector<double> atLong;

    void add(std::pair<double, double> cost) {
        atShort.push_back(cost.first);
        atLong.push_back(cost.second);
    }
    void report(const char* measure) const {
        ratioRow(measure, micros(atLong), micros(atShort), ratios(atLong, atShort), 1.3,
                 "<= 1.3x at 1,000");
    }
    void reportFloor(const char* measure) const {
        row(measure, micros(atLong), micros(atShort), times(ratios(atLong, atShort)), "-", true);
    }
};

// Per-entry cost of a host window over a fake socket, shown (and painted) or
// not: the window's own share, with no network in the way.
std::pair<double, double> windowCost(bool shown) {
    HostSide side;
    test::FakeSocket socket;
    modIEOps launcher(systemRegistryReader(), systemProgramStarter());
    test::FakeNotifications notifications;
    ChatWindow window(side, socket, ChatSettings{}, launcher, notifications);
    window.start();
    if (!shown) {
        window.hide();
    }
    openConversation(socket);
    return measure([&](const QString& line) { deliver(socket, line); }, true);
}

// The same entries in a bare text box of the transcript's size.
std::pair<double, double> bareCost(bool shown) {
    QPlainTextEdit box;
    box.setReadOnly(true);
    box.resize(transcriptSize());
    box.show();
    if (!shown) {
        box.hide();
    }
    return measure(
        [&](const QString& line) { box.appendPlainText(QStringLiteral("Peer: ") + line); }, true);
}

std::pair<double, double> modelCost() {
    test::FakeEnd end(true);
    end.form.Form_Load();
    openConversation(end.socket);
    return measure([&](const QString& line) { deliver(end.socket, line); }, false);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Costs model;
    Costs painted;
    Costs unpainted;
    Costs barePainted;
    Costs bareUnpainted;
    for (int run = 0; run < kRuns; ++run) {
        model.add(modelCost());
        painted.add(windowCost(true));
        // The same with the window hidden, so nothing is painted: the text
        // box's own share (its text and layout still catch up after each entry).
        unpainted.add(windowCost(false));
        barePainted.add(bareCost(true));
        bareUnpainted.add(bareCost(false));
    }
    model.report("model entry at 100,000 entries (ref.: at 1,000)");
    painted.report("window entry at 100,000 entries, painted (ref.: at 1,000)");
    unpainted.report("window entry at 100,000 entries, not painted (ref.: at 1,000)");
    barePainted.reportFloor("bare text box entry at 100,000, painted (ref.: at 1,000)");
    bareUnpainted.reportFloor("bare text box entry at 100,000, not painted (ref.: at 1,000)");
    return 0;
}
