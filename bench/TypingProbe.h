#pragma once

#include <QString>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

class QLineEdit;

namespace parlo::bench {

class RawPeer;

// Types numbered lines into a window's input box from a thread of its own,
// as key presses that the window takes whenever its event loop gets to them,
// and times each from the key presses until the peer has received the line:
// what a user waits for while the window is busy. It is the peer's only
// reader, so it also takes whatever else the window sends.
class TypingProbe {
public:
    TypingProbe(QLineEdit& input, RawPeer& peer, std::chrono::milliseconds pause);
    ~TypingProbe();

    // Types no new line; done() once the line in flight has arrived (or after
    // `patience`).
    void finish(std::chrono::milliseconds patience = std::chrono::seconds(10));
    bool done() const { return m_done; }

    // Milliseconds per line so far.
    std::vector<double> latencies() const;
    // Each typed line is this word and its number.
    static inline const QString kTyped = QStringLiteral("typed");

private:
    void run();
    void type(const QString& line);

    QLineEdit& m_input;
    RawPeer& m_peer;
    const std::chrono::milliseconds m_pause;
    std::atomic<bool> m_finishing{false};
    std::atomic<bool> m_done{false};
    std::atomic<std::chrono::milliseconds::rep> m_patienceMs{0};
    mutable std::mutex m_lock;
    std::vector<double> m_latencies;
    std::thread m_thread;
};

} // namespace parlo::bench
