#include "FakeSocket.h"

namespace parlo::test {

void FakeSocket::Connect(const QString& host, quint16 port) {
    calls << QStringLiteral("Connect %1 %2").arg(host).arg(port);
    state = sckConnecting;
}

bool FakeSocket::Listen() {
    calls << QStringLiteral("Listen %1").arg(m_port);
    state = listenFails ? sckClosed : sckListening;
    return !listenFails;
}

void FakeSocket::Accept(qint32 requestId) {
    calls << QStringLiteral("Accept %1").arg(requestId);
    state = sckConnected;
}

StreamSocket::SendResult FakeSocket::SendData(const QString& text) {
    if (state != sckConnected) {
        return SendResult::NotConnected;
    }
    if (backlogged) {
        return SendResult::Backlogged;
    }
    sent << text;
    return SendResult::Sent;
}

void FakeSocket::Close() {
    calls << QStringLiteral("Close");
    state = sckClosed;
}

bool FakeSocket::FlushOutgoing(int) {
    calls << QStringLiteral("Flush");
    return true;
}

} // namespace parlo::test
