#pragma once

#include "StreamSocket.h"

#include <QStringList>

namespace parlo::test {

// A socket that records what the chat core asks of it and delivers scripted data.
class FakeSocket final : public StreamSocket {
    Q_OBJECT
public:
    int state = sckClosed;
    bool listenSucceeds = true;
    quint16 localPort = 0;
    QString remoteAddress = QStringLiteral("127.0.0.1");
    QStringList sent;     // every message that went out
    QStringList calls;    // every operation, in order, with sends as "SendData <text>"
    QStringList incoming; // what GetData hands out, one entry per call

    void Connect(const QString& host, quint16 port) override;
    bool Listen() override;
    void Accept(qint32 requestId) override;
    SendResult SendData(const QString& text) override;
    QString GetData() override;
    void Close() override;
    int State() const override { return state; }
    void setLocalPort(quint16 port) override { localPort = port; }
    quint16 LocalPort() const override { return localPort; }
    QString RemoteHostIP() const override { return remoteAddress; }
    bool FlushOutgoing(int) override;

    // Queues `text` and raises the data notification for it.
    void deliver(const QString& text);
};

} // namespace parlo::test
