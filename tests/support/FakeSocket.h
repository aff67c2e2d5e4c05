#pragma once

#include "StreamSocket.h"

#include <QStringList>

namespace parlo::test {

// A socket that records what the chat core asks of it; the test plays the
// network's side through the signals and `state`.
class FakeSocket final : public StreamSocket {
public:
    QStringList sent;  // every message that went out
    QStringList calls; // every other operation, in order
    QString incoming;  // what the next GetData hands out
    int state = sckClosed;
    bool listenFails = false;
    bool backlogged = false;

    void Connect(const QString& host, quint16 port) override {
        act(QStringLiteral("Connect %1 %2").arg(host).arg(port), sckConnecting);
    }
    bool Listen() override {
        return act(QStringLiteral("Listen %1").arg(m_port), listenFails ? sckClosed : sckListening);
    }
    void Accept(qint32 id) override { act(QStringLiteral("Accept %1").arg(id), sckConnected); }
    SendResult SendData(const QString& text) override {
        if (state != sckConnected || backlogged) {
            return state != sckConnected ? SendResult::NotConnected : SendResult::Backlogged;
        }
        return sent << text, SendResult::Sent;
    }
    QString GetData() override { return std::exchange(incoming, QString()); }
    void Close() override { act(QStringLiteral("Close"), sckClosed); }
    int State() const override { return state; }
    void setLocalPort(quint16 port) override { m_port = port; }
    quint16 LocalPort() const override { return m_port; }
    QString RemoteHostIP() const override { return QStringLiteral("10.0.0.2"); }
    bool FlushOutgoing(int) override { return calls << QStringLiteral("Flush"), true; }

private:
    // Records an operation and the state it leaves; true unless it leaves the socket closed.
    bool act(const QString& call, int newState) {
        calls << call, state = newState;
        return state != sckClosed;
    }
    quint16 m_port = 0;
};

} // namespace parlo::test
