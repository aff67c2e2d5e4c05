#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

namespace parlo::bench {

// A peer that speaks plain TCP to a chat window on this machine, with
// blocking calls: one thread may send while another receives.
class RawPeer {
public:
    explicit RawPeer(quint16 port);
    ~RawPeer();
    RawPeer(const RawPeer&) = delete;
    RawPeer& operator=(const RawPeer&) = delete;

    bool connected() const { return m_fd >= 0; }
    // Every small write leaves at once, as its own segment.
    void sendAtOnce();
    // Blocks until all of `bytes` is handed to the network; false when the
    // connection is gone.
    bool send(QByteArrayView bytes);
    // What arrives within `timeoutMs` (empty when nothing does).
    QByteArray receive(int timeoutMs);
    // Ends the connection; calls blocked in another thread return.
    void hangUp();

private:
    int m_fd = -1;
};

} // namespace parlo::bench
