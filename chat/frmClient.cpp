#include "frmClient.h"

#include "ChatSide.h"
#include "Controls.h"
#include "PeerText.h"
#include "StreamSocket.h"
#include "Texts.h"
#include "Wire.h"

#include <QTimer>

namespace parlo {

namespace {

const QString kMe = QStringLiteral("me");
const QString kPeer = QStringLiteral("peer");
const QString kCaptionSuffix = QStringLiteral(" - Parlo");
const QString kCRLF = QStringLiteral("\r\n");
const QString kChangeNameBox =
    QStringLiteral("Your peer has the same name as you, you have 60 secs to change yours.");
const QString kCommandsBox = QStringLiteral("Welcome to Parlo, the supported commands are:\r\n"
                                            "\t/nick <name>. (change username)\r\n"
                                            "\t/disconnect. (disconnect)\r\n"
                                            "\t/cls. (clear screen)\r\n"
                                            "\t/restore. (restore after cls)\r\n");
const QString kInvalidName = QStringLiteral(">> Invalid username, try again.");
const QString kNewName = QStringLiteral(">> Your new username is: %1.");
const QString kDisconnected = QStringLiteral(">> %1 disconnected.");
const QString kNotConnected = QStringLiteral(">> Not connected: message not sent.");
const QString kNotReceiving = QStringLiteral(">> Your peer is not receiving: message not sent.");

// How long closing the window waits for the goodbye to reach the network.
constexpr int kFlushTimeoutMs = 2000;

// The status text for a failed attempt, by the socket's description; empty
// for failures that have no text of their own.
QString failureText(const QString& description) {
    if (description == QLatin1String("Connection is forcefully rejected")) {
        return QStringLiteral("Could not establish a connection.");
    }
    if (description == QLatin1String("Authoritative answer: Host not found")) {
        return QStringLiteral("Host not found.");
    }
    return {};
}

} // namespace

frmClient::frmClient(StreamSocket& socket, Controls& controls, ChatSide& side,
                     const ChatSettings& settings, QObject* parent)
    : QObject(parent), tcpClient(socket), controls(controls), settings(settings), m_side(side) {
    connect(&tcpClient, &StreamSocket::Connected, this, &frmClient::tcpClient_Connect);
    connect(&tcpClient, &StreamSocket::ConnectionRequest, this,
            &frmClient::tcpClient_ConnectionRequest);
    connect(&tcpClient, &StreamSocket::DataArrival, this, &frmClient::tcpClient_DataArrival);
    connect(&tcpClient, &StreamSocket::Error, this, &frmClient::tcpClient_Error);
    connect(&tcpClient, &StreamSocket::PeerClosed, this, &frmClient::tcpClient_Close);
}

QString frmClient::strSavedOutput() const {
    return m_savedFollowsTranscript ? controls.outputText() : m_savedOutput;
}

// ---- start-up and window events -------------------------------------------

void frmClient::Form_Load() {
    strMyName = m_side.traits().defaultName;
    if (m_side.traits().startsWithChatPanel) {
        SHOW_CHAT();
    } else {
        SHOW_CONNECT();
    }
    m_side.startUp(*this);
    setCaptionFromName();
}

void frmClient::Form_Unload() {
    const bool inConversation = !m_side.traits().needsConfirmation || blnConfirmed;
    if (tcpClient.State() == StreamSocket::sckConnected && inConversation) {
        sayGoodbye();
        blnConfirmed = false;
    }
}

void frmClient::mnuExit_Click() {
    controls.endProgram();
}

void frmClient::mnuCommands_Click() {
    controls.messageBox(kCommandsBox);
}

void frmClient::cmdConnect_Click() {
    m_side.cmdConnect_Click(*this);
}

void frmClient::cboAddress_KeyPress(int KeyAscii) {
    if (KeyAscii == kEnter) {
        cmdConnect_Click();
    }
}

void frmClient::txtSend_KeyPress(int& KeyAscii) {
    if (KeyAscii != kEnter) {
        return;
    }
    const QString typed = controls.inputText();
    // The caller counts nothing typed until the host has confirmed the connection.
    const bool accepted = !m_side.traits().needsConfirmation || blnConfirmed;
    if (wire::trimSpaces(typed).isEmpty() || !accepted) {
        return;
    }
    ProcessSTR(typed, kMe);
    controls.setInputText(QString());
}

void frmClient::cmdSend_Click() {
    int key = kEnter;
    txtSend_KeyPress(key);
    focusFrontPanel();
}

// ---- socket notifications ---------------------------------------------------

void frmClient::tcpClient_Connect() {
    connectionOpened();
    showConnectedStatus();
    SHOW_CHAT();
}

void frmClient::tcpClient_ConnectionRequest(qint32 requestID) {
    m_side.tcpClient_ConnectionRequest(*this, requestID);
}

void frmClient::tcpClient_DataArrival(qint64 /*bytesTotal*/) {
    QString data = tcpClient.GetData();
    // Messages that arrived joined in one read are routed one by one where
    // their boundary is certain; everything else is one line.
    // A read that ends inside a character yields no text until the rest arrives.
    while (!data.isEmpty()) {
        const QString message = wire::takeFirstMessage(data, lngConnID);
        ProcessSTR(message, kPeer);
    }
}

void frmClient::tcpClient_Error(int /*Number*/, const QString& Description) {
    // The failure is shown where the user looks.
    if (const QString text = failureText(Description); !text.isEmpty()) {
        controls.setStatusText(text);
    }
    controls.setConnectCaption(texts::kConnect);
    if (tcpClient.State() != StreamSocket::sckClosed) {
        tcpClient.Close();
    }
    m_side.attemptFailed(*this);
}

void frmClient::tcpClient_Close() {
    // The peer is gone without a goodbye (its program ended or crashed): the
    // conversation ends as if it had said "/terminate".
    conversationEnded();
    AUTO_SCROLL();
}

// ---- routing ----------------------------------------------------------------

void frmClient::ProcessSTR(const QString& strMsg, const QString& from) {
    if (const auto command = wire::splitCommandLine(strMsg)) {
        if (from == kMe) {
            HandleMyKeyword(command->keyword, command->argument);
        } else {
            HandlePeerKeyword(command->keyword, command->argument, strMsg);
        }
        return;
    }
    if (from == kMe) {
        appendChatLine(strMyName, strMsg);
        sendTyped(controls.inputText());
    } else {
        appendChatLine(strPeerName, shownOnOneLine(strMsg));
        controls.alertIfInactive();
    }
    AUTO_SCROLL();
}

void frmClient::AUTO_SCROLL() {
    controls.scrollOutputToEnd();
    focusFrontPanel();
}

// The keyboard focus goes where the user can type next, never to a hidden box.
void frmClient::focusFrontPanel() {
    if (m_chatInFront) {
        controls.focusInput();
    } else {
        controls.focusAddress();
    }
}

void frmClient::HandlePeerKeyword(const QString& Command, const QString& Arg, const QString& msg) {
    const SideTraits& traits = m_side.traits();
    bool recognised = true;
    if (Command == QLatin1String("nick")) {
        strPeerName = shownPeerName(Arg);
        m_peerIntroduced = true;
    } else if (Command == QLatin1String("connect")) {
        showPeerBox(traits.peerConnectBox);
    } else if (Command == QLatin1String("disconnect")) {
        showPeerBox(traits.peerDisconnectBox);
    } else if (Command == QLatin1String("connection_confirmed")) {
        // A number that is not a whole 32-bit number is no confirmation.
        if (const auto number = wire::parseConnectionNumber(Arg)) {
            lngConnID = *number;
            sendControl(wire::nick(strMyName));
            blnConfirmed = true;
            m_peerConfirmed = true;
            if (!strCalledAddress.isEmpty()) {
                emit callConfirmed(std::exchange(strCalledAddress, QString()));
            }
        } else {
            recognised = false;
        }
    } else if (Command == QLatin1String("change_name")) {
        showPeerBox(kChangeNameBox);
    } else if (Command == QLatin1String("terminate")) {
        const auto number = wire::parseConnectionNumber(Arg);
        if (number && *number == lngConnID) {
            conversationEnded();
        }
    } else {
        recognised = false;
    }
    if (!recognised) {
        appendChatLine(strPeerName, shownOnOneLine(msg));
        controls.alertIfInactive();
    }
    AUTO_SCROLL();
}

void frmClient::HandleMyKeyword(const QString& Command, const QString& Arg) {
    if (Command == QLatin1String("help")) {
        showHelp();
    } else if (Command == QLatin1String("cls")) {
        cls();
    } else if (Command == QLatin1String("restore")) {
        restore();
    } else if (Command == QLatin1String("nick")) {
        myNick(Arg);
    } else if (Command == QLatin1String("connect")) {
        m_side.myConnect(*this, Arg);
    } else if (Command == QLatin1String("disconnect")) {
        myDisconnect();
    } else {
        // Any other "/" line is echoed and sent as typed, like a chat line.
        const QString typed = controls.inputText();
        appendChatLine(strMyName, typed);
        sendTyped(typed);
    }
    AUTO_SCROLL();
}

void frmClient::showHelp() {
    appendFeedback(kCRLF + m_side.traits().helpText);
}

void frmClient::cls() {
    if (m_savedFollowsTranscript) {
        m_savedOutput = controls.outputText();
        m_savedFollowsTranscript = false;
    }
    controls.setOutputText(QString());
}

void frmClient::restore() {
    const QString saved = strSavedOutput();
    controls.setOutputText(saved);
    m_savedFollowsTranscript = true;
    m_savedOutput.clear();
}

void frmClient::myNick(const QString& Arg) {
    const QString name = wire::trimSpaces(Arg);
    if (name.isEmpty() || name.toLower() == strPeerName.toLower()) {
        appendFeedback(kInvalidName);
        return;
    }
    strMyName = name;
    sendControl(wire::nick(name));
    appendFeedback(kNewName.arg(name));
    setCaptionFromName();
}

void frmClient::myDisconnect() {
    sendControl(wire::terminate(lngConnID));
    controls.doEvents();
    tcpClient.Close();
    m_side.backToIdle(*this);
}

void frmClient::conversationEnded() {
    tcpClient.Close();
    // A connection that ends before the peer said who it is (a port probe,
    // a caller that gave up) ends silently: nobody left who had arrived.
    if (std::exchange(m_peerIntroduced, false)) {
        appendFeedback(kDisconnected.arg(strPeerName));
    }
    m_side.backToIdle(*this);
}

void frmClient::connectionOpened() {
    ++m_connection;
    m_peerIntroduced = false;
    m_peerConfirmed = false;
    QTimer::singleShot(settings.introductionTimeout, this,
                       [this, connection = m_connection] { introductionOverdue(connection); });
}

void frmClient::introductionOverdue(quint64 connection) {
    // The caller waits for the host's confirmation, the host for the caller's nickname.
    const bool introduced = m_side.traits().needsConfirmation ? m_peerConfirmed : m_peerIntroduced;
    if (connection != m_connection || introduced ||
        tcpClient.State() != StreamSocket::sckConnected) {
        return;
    }
    tcpClient.Close();
    m_side.backToIdle(*this);
}

// Shown after the handler that raised it returns: a box opened inside a data
// notification would keep the socket from delivering anything until it closed.
void frmClient::showPeerBox(const QString& text) {
    if (text.isEmpty() || m_pendingBoxes.contains(text)) {
        return; // the texts are fixed: one waiting copy says it all
    }
    m_pendingBoxes.append(text);
    if (!m_peerBoxOpen && !std::exchange(m_peerBoxScheduled, true)) {
        QMetaObject::invokeMethod(this, &frmClient::showPendingPeerBoxes, Qt::QueuedConnection);
    }
}

void frmClient::showPendingPeerBoxes() {
    m_peerBoxScheduled = false;
    if (std::exchange(m_peerBoxOpen, true)) {
        return;
    }
    while (!m_pendingBoxes.isEmpty()) {
        controls.messageBox(m_pendingBoxes.takeFirst());
    }
    m_peerBoxOpen = false;
}

// Sends "/terminate" with the connection number, makes sure it has left
// (bounded wait) and closes the socket: the program may end right after.
void frmClient::sayGoodbye() {
    sendControl(wire::terminate(lngConnID));
    controls.doEvents();
    tcpClient.FlushOutgoing(kFlushTimeoutMs);
    tcpClient.Close();
}

// ---- shared steps -------------------------------------------------------------

void frmClient::SHOW_CHAT() {
    m_chatInFront = true;
    controls.showChatPanel();
}

void frmClient::SHOW_CONNECT() {
    m_chatInFront = false;
    controls.showConnectPanel();
}

void frmClient::appendEntry(const QString& entry) {
    controls.appendOutput(kCRLF + entry);
}

void frmClient::appendFeedback(const QString& text) {
    appendEntry(text);
    saveTranscript();
}

void frmClient::appendChatLine(const QString& name, const QString& line) {
    appendEntry(name + QStringLiteral(": ") + line);
    saveTranscript();
}

void frmClient::saveTranscript() {
    m_savedFollowsTranscript = true;
    m_savedOutput.clear();
}

void frmClient::setCaptionFromName() {
    controls.setCaption(strMyName + kCaptionSuffix);
    emit myNameChanged(strMyName);
}

void frmClient::showConnectedStatus() {
    controls.setStatusText(m_side.traits().connectedStatus.arg(tcpClient.RemoteHostIP()));
}

void frmClient::sendControl(const QString& message) {
    tcpClient.SendData(message);
}

void frmClient::sendTyped(const QString& text) {
    switch (tcpClient.SendData(text)) {
    case StreamSocket::SendResult::Sent:
        return;
    case StreamSocket::SendResult::NotConnected:
        appendFeedback(kNotConnected);
        break;
    case StreamSocket::SendResult::Backlogged:
        appendFeedback(kNotReceiving);
        break;
    }
}

} // namespace parlo
