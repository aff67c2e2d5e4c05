#include "TypingProbe.h"

#include "RawPeer.h"

#include <QCoreApplication>
#include <QInputDevice>
#include <QKeyEvent>
#include <QLineEdit>

namespace parlo::bench {

using Clock = std::chrono::steady_clock;

TypingProbe::TypingProbe(QLineEdit& input, RawPeer& peer, std::chrono::milliseconds pause)
    : m_input(input), m_peer(peer), m_pause(pause) {
    // Key events name their keyboard, which Qt makes on first use and must
    // make on this (the window's) thread.
    QInputDevice::primaryKeyboard();
    m_thread = std::thread([this] { run(); });
}

TypingProbe::~TypingProbe() {
    finish(std::chrono::milliseconds(0));
    m_thread.join();
}

void TypingProbe::finish(std::chrono::milliseconds patience) {
    m_patienceMs = patience.count();
    m_finishing = true;
}

std::vector<double> TypingProbe::latencies() const {
    const std::lock_guard lock(m_lock);
    return m_latencies;
}

// Key presses as the window system hands them over: one per character, then Enter.
void TypingProbe::type(const QString& line) {
    for (const QChar c : line) {
        QCoreApplication::postEvent(
            &m_input, new QKeyEvent(QEvent::KeyPress, c.toUpper().unicode(), Qt::NoModifier, c));
    }
    QCoreApplication::postEvent(&m_input, new QKeyEvent(QEvent::KeyPress, Qt::Key_Return,
                                                        Qt::NoModifier, QStringLiteral("\r")));
}

void TypingProbe::run() {
    int number = 0;
    QByteArray marker;   // the line in flight, as it goes over the wire
    QByteArray received; // what arrived since it was typed
    Clock::time_point typedAt;
    Clock::time_point nextAt = Clock::now();
    Clock::time_point giveUpAt;
    for (;;) {
        const auto now = Clock::now();
        if (marker.isEmpty()) {
            if (m_finishing) {
                break;
            }
            if (now >= nextAt) {
                const QString line = kTyped + QString::number(number++);
                marker = line.toUtf8();
                received.clear();
                typedAt = Clock::now();
                type(line);
            }
        } else if (m_finishing && giveUpAt == Clock::time_point()) {
            giveUpAt = now + std::chrono::milliseconds(m_patienceMs);
        } else if (m_finishing && now >= giveUpAt) {
            break;
        }
        received += m_peer.receive(2);
        if (!marker.isEmpty() && received.contains(marker)) {
            const std::chrono::duration<double, std::milli> waited = Clock::now() - typedAt;
            {
                const std::lock_guard lock(m_lock);
                m_latencies.push_back(waited.count());
            }
            marker.clear();
            nextAt = Clock::now() + m_pause;
        } else if (received.size() > 4096) {
            received = received.right(64); // the marker may straddle two reads
        }
    }
    m_done = true;
}

} // namespace parlo::bench
