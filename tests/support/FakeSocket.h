#pragma once

#include "StreamSocket.h"

#include <QStringList>

namespace parlo::test {

// A socket that records what the chat core asks of it; the test plays the
// network's side through the signals and `state`.
class FakeSocket final : public StreamSocket {
    Q_OBJECT
public:
    QStringList sent;  // every message that went out
    QStringList calls; // every other operation, in order
    QString incoming;  // what the next GetData hands out
    int state = sckClosed;
    bool listenFails = false;
    bool backlogged = false;

    void Connect(const QString& host, quint16 port) override;
    bool Listen() override;
    void Accept(qint32 requestId) override;
    SendResult SendData(const QString& text) override;
    QString GetData() override { return std::exchange(incoming, QString()); }
    void Close() override;
    int State() const override { return state; }
    void setLocalPort(quint16 port) override { m_port = port; }
    quint16 LocalPort() const override { return m_port; }
    QString RemoteHostIP() const override { return QStringLiteral("10.0.0.2"); }
    bool FlushOutgoing(int) override;

private:
    quint16 m_port = 0;
};

} // namespace parlo::test
