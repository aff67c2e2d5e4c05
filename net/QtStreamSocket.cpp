#include "QtStreamSocket.h"

#include "KeepAliveOptions.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTimer>
#include <limits>

namespace parlo {

namespace {

// How long a socket closed with unsent data may keep trying to hand it over.
constexpr int kLingerMs = 5000;

// What we read ahead of the chat. Beyond it the data stays with TCP, whose
// flow control holds a flooding peer back instead of our memory growing.
constexpr qint64 kReadAheadBytes = 4 * QtStreamSocket::kMaxChunkBytes;

qint32 randomFirstRequestId() {
    // Positive and different from run to run, so that a stale "/terminate"
    // from an earlier conversation cannot match a new one.
    return static_cast<qint32>(QRandomGenerator::global()->bounded(1, 1 << 30));
}

// The address as users write it: IPv4-mapped IPv6 addresses as a dotted quad.
QString displayAddress(const QHostAddress& address) {
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    return isV4 ? QHostAddress(v4).toString() : address.toString();
}

StreamSocket::Failure failureOf(QAbstractSocket::SocketError error) {
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return StreamSocket::Failure::Refused;
    case QAbstractSocket::HostNotFoundError:
        return StreamSocket::Failure::NameNotFound;
    case QAbstractSocket::SocketTimeoutError:
        return StreamSocket::Failure::TimedOut;
    case QAbstractSocket::NetworkError:
        return StreamSocket::Failure::Unreachable;
    default:
        return StreamSocket::Failure::Other;
    }
}

} // namespace

QtStreamSocket::QtStreamSocket(QObject* parent)
    : StreamSocket(parent), m_nextRequestId(randomFirstRequestId()) {
    connect(&m_server, &QTcpServer::newConnection, this, &QtStreamSocket::onServerConnection);
}

QtStreamSocket::~QtStreamSocket() {
    for (QTcpSocket* pending : std::as_const(m_pending)) {
        delete pending;
    }
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
        delete m_socket;
    }
}

void QtStreamSocket::Connect(const QString& host, quint16 port) {
    // Whatever the socket was doing (listening included) ends: one socket, one purpose.
    Close();
    auto* socket = new QTcpSocket(this);
    adopt(socket);
    socket->connectToHost(host, port);
}

bool QtStreamSocket::Listen() {
    Close();
    return m_server.listen(QHostAddress::Any, m_localPort);
}

void QtStreamSocket::Accept(qint32 requestId) {
    QTcpSocket* socket = m_pending.take(requestId);
    if (!socket) {
        return;
    }
    releaseSocket();
    adopt(socket);
    m_connected = true;
    configureConnection(socket);
    if (socket->state() != QAbstractSocket::ConnectedState) {
        // The caller gave up before we took the call.
        m_peerGone = true;
    }
    scheduleDelivery();
}

StreamSocket::SendResult QtStreamSocket::SendData(const QString& text) {
    if (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState) {
        return SendResult::NotConnected;
    }
    if (m_socket->bytesToWrite() > kMaxBacklogBytes) {
        return SendResult::Backlogged;
    }
    m_socket->write(text.toUtf8());
    m_socket->flush();
    return SendResult::Sent;
}

QString QtStreamSocket::GetData() {
    if (!m_socket) {
        return {};
    }
    const QByteArray bytes = m_socket->read(kMaxChunkBytes);
    m_bytesTaken += bytes.size();
    return m_decoder.decode(bytes);
}

void QtStreamSocket::Close() {
    m_server.close();
    releaseSocket();
}

quint16 QtStreamSocket::LocalPort() const {
    return m_server.isListening() ? m_server.serverPort() : m_localPort;
}

QString QtStreamSocket::RemoteHostIP() const {
    return m_socket ? displayAddress(m_socket->peerAddress()) : QString();
}

bool QtStreamSocket::FlushOutgoing(int timeoutMs) {
    if (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState) {
        return false;
    }
    QElapsedTimer clock;
    clock.start();
    while (m_socket->bytesToWrite() > 0 && clock.elapsed() < timeoutMs) {
        if (!m_socket->waitForBytesWritten(static_cast<int>(timeoutMs - clock.elapsed()))) {
            break;
        }
    }
    return m_socket->bytesToWrite() == 0;
}

void QtStreamSocket::adopt(QTcpSocket* socket) {
    socket->setParent(this);
    socket->setReadBufferSize(kReadAheadBytes);
    m_socket = socket;
    m_decoder.resetState();
    m_connected = false;
    m_peerGone = false;
    connect(socket, &QTcpSocket::connected, this, &QtStreamSocket::onSocketConnected);
    connect(socket, &QTcpSocket::readyRead, this, &QtStreamSocket::deliverData);
    connect(socket, &QTcpSocket::disconnected, this, &QtStreamSocket::onPeerGone);
    // Errors are reported from the event loop, never from inside Connect(): the
    // caller finishes its own steps before it hears about the failure.
    connect(socket, &QTcpSocket::errorOccurred, this, &QtStreamSocket::onSocketError,
            Qt::QueuedConnection);
}

void QtStreamSocket::onServerConnection() {
    while (m_server.hasPendingConnections()) {
        QTcpSocket* incoming = m_server.nextPendingConnection();
        const qint32 id = m_nextRequestId;
        m_nextRequestId = (id == std::numeric_limits<qint32>::max()) ? 1 : id + 1;
        incoming->setParent(this);
        m_pending.insert(id, incoming);
        emit ConnectionRequest(id);
        // A request the handler did not accept is turned away.
        if (QTcpSocket* refused = m_pending.take(id)) {
            refused->abort();
            refused->deleteLater();
        }
    }
}

void QtStreamSocket::onSocketConnected() {
    m_connected = true;
    configureConnection(m_socket);
    emit Connected();
}

void QtStreamSocket::onSocketError(QAbstractSocket::SocketError error) {
    auto* source = qobject_cast<QTcpSocket*>(sender());
    if (!source || source != m_socket) {
        return; // a socket we have already let go of
    }
    if (m_connected) {
        // A conversation that breaks (closed, reset, keepalive gave up) ends the
        // same way as a peer that closed on purpose.
        onPeerGone();
        return;
    }
    releaseSocket();
    emit Error(failureOf(error));
}

void QtStreamSocket::onPeerGone() {
    if (!m_connected) {
        return;
    }
    m_peerGone = true;
    scheduleDelivery();
}

void QtStreamSocket::scheduleDelivery() {
    if (m_deliveryQueued) {
        return;
    }
    m_deliveryQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_deliveryQueued = false;
            deliverData();
        },
        Qt::QueuedConnection);
}

// Hands out one chunk per notification and lets the event loop run between
// chunks, so a flood of data never freezes the window. Qt does not repeat
// readyRead for data that arrived while a handler ran a nested event loop, so
// after every notification the buffer is checked again.
void QtStreamSocket::deliverData() {
    if (m_inDataArrival || !m_socket) {
        return; // re-checked once the running handler returns
    }
    QPointer<QTcpSocket> socket = m_socket;
    if (socket->bytesAvailable() > 0) {
        const qint64 takenBefore = m_bytesTaken;
        m_inDataArrival = true;
        emit DataArrival();
        m_inDataArrival = false;
        if (socket != m_socket) {
            if (m_socket && m_socket->bytesAvailable() > 0) {
                scheduleDelivery();
            }
            return;
        }
        if (socket->bytesAvailable() > 0) {
            // More arrived, or is left over: deliver it from the event loop.
            // A handler that took nothing is not asked again until new data comes.
            if (m_bytesTaken > takenBefore) {
                scheduleDelivery();
            }
            return;
        }
    }
    if (m_peerGone && socket->bytesAvailable() == 0) {
        releaseSocket();
        emit PeerClosed();
    }
}

void QtStreamSocket::releaseSocket() {
    QTcpSocket* socket = m_socket;
    m_socket = nullptr;
    m_connected = false;
    m_peerGone = false;
    if (!socket) {
        return;
    }
    socket->disconnect(this);
    if (socket->state() == QAbstractSocket::ConnectedState && socket->bytesToWrite() > 0) {
        // Let what was already sent (a goodbye, say) leave before the close;
        // give up after a while if the peer does not take it.
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(kLingerMs, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        socket->disconnectFromHost();
        return;
    }
    socket->abort();
    socket->deleteLater();
}

void QtStreamSocket::configureConnection(QTcpSocket* socket) {
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    socket->setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    applyKeepAliveOptions(socket->socketDescriptor());
}

} // namespace parlo
