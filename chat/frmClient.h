#pragma once

#include "ChatSettings.h"
#include "PeerBoxes.h"
#include "Phase.h"
#include "StreamSocket.h"
#include "Transcript.h"

#include <QObject>
#include <QString>
#include <QTimer>

namespace parlo {

class ChatSide;
class Controls;

// The chat window's model: the chat state, the routing of every line, the
// peer keyword handler and the local command interpreter. It owns where the
// chat end stands (its phase) and the transcript; the widgets stay behind the
// write-only Controls, the socket behind StreamSocket, and what differs
// between the two programs behind ChatSide.
class frmClient : public QObject {
    Q_OBJECT
public:
    static constexpr int kEnter = 13;

    frmClient(StreamSocket& socket, Controls& controls, const ChatSide& side,
              const ChatSettings& settings, QObject* parent = nullptr);

    // Start-up and the window's events.
    void Form_Load();
    void Form_Unload();
    void mnuExit_Click();
    void mnuCommands_Click();
    void cmdConnect_Click();
    void cboAddress_KeyPress(int KeyAscii);
    void txtSend_KeyPress(int KeyAscii);
    void cmdSend_Click();

signals:
    // Where this end now stands.
    void phaseChanged(parlo::Phase phase);
    // The nickname this end goes by: at start-up and after each change.
    void myNameChanged(const QString& name);
    // The host this end called at `address` (as the user gave it) took the call.
    void callTaken(const QString& address);

private:
    // The socket's notifications.
    void tcpClient_Connect();
    void tcpClient_ConnectionRequest(qint32 requestID);
    void tcpClient_DataArrival();
    void tcpClient_Error(StreamSocket::Failure failure);
    void tcpClient_Close();

    // Routing.
    void ProcessSTR(const QString& strMsg, const QString& from);
    void HandleMyKeyword(const QString& Command, const QString& Arg, const QString& msg);
    void HandlePeerKeyword(const QString& Command, const QString& Arg, const QString& msg);
    void AUTO_SCROLL();

    // Where the chat end stands, and what follows from it.
    void moveTo(Phase phase, const QString& status = QString());
    QString statusOf(Phase phase) const;
    bool connected() const;
    bool typedLinesCount() const;
    bool chatPanelInFront() const;
    void SHOW_CHAT();
    void SHOW_CONNECT();
    void focusFrontPanel();

    // The connection's course.
    void call(const QString& address);
    void listen();
    void rest();
    void connectionOpened();
    void beginTalking();
    void conversationEnded();
    void introductionOverdue();
    void hangUp();
    void sayGoodbye();

    // Local commands.
    void myNick(const QString& Arg);
    void myConnect();

    void appendChatLine(const QString& name, const QString& line);
    void showPeerLine(const QString& shownLine);
    void raisePeerBox(const QString& text);
    void setCaptionFromName();
    // Sends a protocol message; with no connection it is dropped silently.
    void sendControl(const QString& message);
    // Sends text the user typed; a failed send is reported in the transcript.
    void sendTyped(const QString& text);

    StreamSocket& tcpClient;
    Controls& controls;
    const ChatSide& m_side;
    const ChatSettings m_settings;

    // The chat state.
    Phase m_phase = Phase::Idle;
    QString strMyName;
    QString strPeerName;
    qint32 lngConnID = 0;
    // The address this end called last, until the call is taken.
    QString m_calledAddress;
    // The peer said its name on the current connection; only then is its
    // leaving worth a line.
    bool m_peerNamed = false;
    Transcript m_transcript;

    PeerBoxes m_peerBoxes;
    // A connection on which the peer does not introduce itself in time is closed.
    QTimer m_introductionTimer;
};

} // namespace parlo
