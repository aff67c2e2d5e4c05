#pragma once

#include <QObject>
#include <QString>

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

    frmClient(StreamSocket& socket, Controls& controls, ChatSide& side, quint16 port,
              QObject* parent = nullptr);

    // The chat state.
    QString strMyName;
    QString strPeerName;
    qint32 lngConnID = 0;
    bool blnConfirmed = false;
    QString strSavedOutput() const;

    StreamSocket& tcpClient;
    Controls& controls;
    // The port to listen on and to call.
    const quint16 port;

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

private:
    void LoadIPs();
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

    ChatSide& m_side;
    // While true the saved copy equals the transcript, so it need not be
    // copied after every entry; a clear makes them differ.
    bool m_savedFollowsTranscript = true;
    QString m_savedOutput;
};

} // namespace parlo
