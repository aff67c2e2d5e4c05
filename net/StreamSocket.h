#pragma once

#include <QObject>
#include <QString>

namespace parlo {

// The one TCP stream socket a chat window relies on. Everything runs on the
// user-interface thread; outcomes of Connect and Listen arrive as notifications.
class StreamSocket : public QObject {
    Q_OBJECT
public:
    // Why an outgoing attempt failed. The chat core alone decides what the
    // user reads for each.
    enum class Failure { Refused, NameNotFound, TimedOut, Unreachable, Other };
    Q_ENUM(Failure)

    // Why a send did not go out.
    enum class SendResult { Sent, NotConnected, Backlogged };

    using QObject::QObject;
    ~StreamSocket() override = default;

    // Ends whatever the socket was doing (listening included) and starts an attempt.
    virtual void Connect(const QString& host, quint16 port) = 0;
    // Starts listening on LocalPort(); false when the port cannot be bound.
    virtual bool Listen() = 0;
    virtual void Accept(qint32 requestId) = 0;
    virtual SendResult SendData(const QString& text) = 0;
    // Returns the text waiting on the connection (at most one chunk per call).
    virtual QString GetData() = 0;
    // Ends a connection, an attempt or listening; harmless when there is none.
    virtual void Close() = 0;

    virtual void setLocalPort(quint16 port) = 0;
    // The port set for Listen; while listening, the port actually bound (the
    // one the system chose when 0 was set).
    virtual quint16 LocalPort() const = 0;
    // The peer's address written the way users write it.
    virtual QString RemoteHostIP() const = 0;

    // Waits (bounded) until everything sent has been handed to the network.
    virtual bool FlushOutgoing(int timeoutMs) = 0;

signals:
    void Connected();
    void ConnectionRequest(qint32 requestId);
    void DataArrival();
    // An outgoing attempt failed; the socket is closed.
    void Error(StreamSocket::Failure failure);
    // The peer ended the connection; all data that came before it has been delivered.
    void PeerClosed();
};

} // namespace parlo
