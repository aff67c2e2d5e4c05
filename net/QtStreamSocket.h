#pragma once

#include "StreamSocket.h"

#include <QHash>
#include <QPointer>
#include <QStringDecoder>
#include <QTcpServer>
#include <QTcpSocket>

namespace parlo {

// StreamSocket over QTcpServer/QTcpSocket. One object listens and then carries
// the conversation, like the control the chat window was designed around.
class QtStreamSocket final : public StreamSocket {
    Q_OBJECT
public:
    // At most this many bytes are handed out per data notification.
    static constexpr qint64 kMaxChunkBytes = 64 * 1024;
    // Sends are refused while this much is still waiting for a peer that does not read.
    static constexpr qint64 kMaxBacklogBytes = 8 * 1024 * 1024;

    explicit QtStreamSocket(QObject* parent = nullptr);
    ~QtStreamSocket() override;

    void Connect(const QString& host, quint16 port) override;
    bool Listen() override;
    void Accept(qint32 requestId) override;
    SendResult SendData(const QString& text) override;
    QString GetData() override;
    void Close() override;

    void setLocalPort(quint16 port) override { m_localPort = port; }
    quint16 LocalPort() const override;
    QString RemoteHostIP() const override;
    bool FlushOutgoing(int timeoutMs) override;

private:
    void adopt(QTcpSocket* socket);
    void onServerConnection();
    void onSocketConnected();
    void onSocketError(QAbstractSocket::SocketError error);
    void onPeerGone();
    void deliverData();
    void scheduleDelivery();
    void releaseSocket();
    static void configureConnection(QTcpSocket* socket);

    QTcpServer m_server;
    QPointer<QTcpSocket> m_socket;
    QHash<qint32, QTcpSocket*> m_pending;
    QStringDecoder m_decoder{QStringDecoder::Utf8};
    quint16 m_localPort = 0;
    qint32 m_nextRequestId;
    bool m_connected = false;      // the current socket reached the connected state
    bool m_peerGone = false;       // the peer closed or reset; notify once the data is out
    bool m_inDataArrival = false;  // a data notification is being handled
    bool m_deliveryQueued = false; // a deferred delivery is waiting in the event loop
    qint64 m_bytesTaken = 0;       // bytes handed out by GetData, ever
};

} // namespace parlo
