#pragma once

#include "StreamSocket.h"

#include <QStringList>
#include <utility>

namespace parlo::test {

// A socket that records what the chat core asks of it; the test plays the
// network's side through the signals and the public fields.
class FakeSocket final : public StreamSocket {
public:
    QStringList sent;  // every message that went out
    QStringList calls; // every other operation, in order
    QString incoming;  // what the next GetData hands out
    bool connected = false;
    bool listenFails = false;
    bool backlogged = false;

    void Connect(const QString& host, quint16 port) override {
        calls.append(QStringLiteral("Connect %1 %2").arg(host).arg(port));
    }
    bool Listen() override {
        calls.append(QStringLiteral("Listen %1").arg(m_port));
        return !listenFails;
    }
    void Accept(qint32 requestId) override {
        calls.append(QStringLiteral("Accept %1").arg(requestId));
        connected = true;
    }
    SendResult SendData(const QString& text) override {
        if (!connected) {
            return SendResult::NotConnected;
        }
        if (backlogged) {
            return SendResult::Backlogged;
        }
        sent.append(text);
        return SendResult::Sent;
    }
    QString GetData() override { return std::exchange(incoming, QString()); }
    void Close() override {
        calls.append(QStringLiteral("Close"));
        connected = false;
    }
    void setLocalPort(quint16 port) override { m_port = port; }
    quint16 LocalPort() const override { return m_port; }
    QString RemoteHostIP() const override { return QStringLiteral("10.0.0.2"); }
    bool FlushOutgoing(int /*timeoutMs*/) override {
        calls.append(QStringLiteral("Flush"));
        return true;
    }

private:
    quint16 m_port = 0;
};

} // namespace parlo::test
