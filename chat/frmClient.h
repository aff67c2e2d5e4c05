#pragma once

#include "ChatSettings.h"

#include <QObject>
#include <QString>
#include <QStringList>

namespace parlo {

class ChatSide;
class Controls;
class StreamSocket;

// The chat window's model: the chat state, the routing of every line, the
// peer keyword handler and the local command interpreter. Widgets stay behind
// the Controls interface, the socket behind StreamSocket, and what differs
// between the two programs behind ChatSide.
class frmClient : public QObject {
    Q_OBJECT
public:
    static constexpr int kEnter = 13;

    frmClient(StreamSocket& socket, Controls& controls, ChatSide& side,
              const ChatSettings& settings, QObject* parent = nullptr);

    // The chat state.
    QString strMyName;
    QString strPeerName;
    qint32 lngConnID = 0;
    bool blnConfirmed = false;
    QString strSavedOutput() const;

    // The address of the call under way, as the user gave it.
    QString strCalledAddress;

    StreamSocket& tcpClient;
    Controls& controls;
    const ChatSettings settings;

    // Start-up and window events.
    void Form_Load();
    void Form_Unload();
    void mnuExit_Click();
    void mnuCommands_Click();
    void cmdConnect_Click();
    void cboAddress_KeyPress(int KeyAscii);
    void txtSend_KeyPress(int& KeyAscii);
    void cmdSend_Click();

    // Socket notifications.
    void tcpClient_Connect();
    void tcpClient_ConnectionRequest(qint32 requestID);
    void tcpClient_DataArrival(qint64 bytesTotal);
    void tcpClient_Error(int Number, const QString& Description);
    void tcpClient_Close();

    // Routing.
    void ProcessSTR(const QString& strMsg, const QString& from);
    void HandleMyKeyword(const QString& Command, const QString& Arg);
    void HandlePeerKeyword(const QString& Command, const QString& Arg, const QString& msg);
    void AUTO_SCROLL();

    // Steps the two sides share.
    void SHOW_CHAT();
    void SHOW_CONNECT();
    // Appends a feedback entry (">> ...") and saves the transcript.
    void appendFeedback(const QString& text);
    // Sends a protocol message; with no connection it is dropped silently.
    void sendControl(const QString& message);
    void showConnectedStatus();
    // A connection to a peer has just been made: it has a while to introduce itself.
    void connectionOpened();

signals:
    // The host started or stopped taking callers.
    void listeningChanged(bool listening);
    // The nickname this end goes by; told at start-up and after each change.
    void myNameChanged(const QString& name);
    // The host at `address` (as the user gave it) confirmed this end's call.
    void callConfirmed(const QString& address);

private:
    void myNick(const QString& Arg);
    void myDisconnect();
    void cls();
    void restore();
    void showHelp();
    void conversationEnded();
    void sayGoodbye();
    void appendEntry(const QString& entry);
    void appendChatLine(const QString& name, const QString& line);
    void saveTranscript();
    void setCaptionFromName();
    // Sends text the user typed; a failed send is reported in the transcript.
    void sendTyped(const QString& text);
    void focusFrontPanel();
    void showPeerBox(const QString& text);
    void showPendingPeerBoxes();
    void introductionOverdue(quint64 connection);

    ChatSide& m_side;
    bool m_chatInFront = false;
    // Boxes raised by the peer wait here and are shown one at a time from the
    // event loop, so the socket keeps being read while one is open.
    QStringList m_pendingBoxes;
    bool m_peerBoxScheduled = false;
    bool m_peerBoxOpen = false;
    // The current connection, and what the peer has said on it.
    quint64 m_connection = 0;
    bool m_peerIntroduced = false; // its "/nick" arrived
    bool m_peerConfirmed = false;  // its "/connection_confirmed" arrived
    // While true the saved copy equals the transcript, so it need not be
    // copied after every entry; a clear makes them differ.
    bool m_savedFollowsTranscript = true;
    QString m_savedOutput;
};

} // namespace parlo
