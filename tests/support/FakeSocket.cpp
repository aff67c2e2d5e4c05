#include "FakeSocket.h"

namespace parlo::test {

void FakeSocket::Connect(const QString& host, quint16 port) {
    calls << QStringLiteral("Connect %1:%2").arg(host).arg(port);
    state = sckConnecting;
}

bool FakeSocket::Listen() {
    calls << QStringLiteral("Listen");
    if (listenSucceeds) {
        state = sckListening;
    }
    return listenSucceeds;
}

void FakeSocket::Accept(qint32 requestId) {
    calls << QStringLiteral("Accept %1").arg(requestId);
    state = sckConnected;
}

StreamSocket::SendResult FakeSocket::SendData(const QString& text) {
    if (state != sckConnected) {
        calls << QStringLiteral("SendData dropped ") + text;
        return SendResult::NotConnected;
    }
    calls << QStringLiteral("SendData ") + text;
    sent << text;
    return SendResult::Sent;
}

QString FakeSocket::GetData() {
    return incoming.isEmpty() ? QString() : incoming.takeFirst();
}

void FakeSocket::Close() {
    calls << QStringLiteral("Close");
    state = sckClosed;
}

bool FakeSocket::FlushOutgoing(int) {
    calls << QStringLiteral("Flush");
    return state == sckConnected;
}

void FakeSocket::deliver(const QString& text) {
    incoming << text;
    emit DataArrival(text.size());
}

} // namespace parlo::test
