#include "frmClient.h"

#include "ChatSide.h"
#include "Controls.h"
#include "PeerText.h"
#include "Product.h"
#include "Texts.h"
#include "Wire.h"

#include <utility>

namespace parlo {

namespace {

const QString kMe = QStringLiteral("me");
const QString kPeer = QStringLiteral("peer");
const QString kCRLF = QStringLiteral("\r\n");

const QString kIdle = QStringLiteral("Idle.");
const QString kListening = QStringLiteral("Listening...");
const QString kConnecting = QStringLiteral("Connecting...");
const QString kCouldNotConnect = QStringLiteral("Could not establish a connection.");
const QString kHostNotFound = QStringLiteral("Host not found.");
const QString kCouldNotListen = QStringLiteral("Could not listen on port %1.");

const QString kChangeNameBox =
    QStringLiteral("Your peer has the same name as you, you have 60 secs to change yours.");
const QString kInvalidName = QStringLiteral(">> Invalid username, try again.");
const QString kNewName = QStringLiteral(">> Your new username is: %1.");
const QString kMustDisconnect = QStringLiteral(">> You must first disconnect.");
const QString kDisconnected = QStringLiteral(">> %1 disconnected.");
const QString kNotConnected = QStringLiteral(">> Not connected: message not sent.");
const QString kNotReceiving = QStringLiteral(">> Your peer is not receiving: message not sent.");

// How long closing the window waits for the goodbye to reach the network.
constexpr int kFlushTimeoutMs = 2000;

QString welcome() {
    return QStringLiteral("Welcome to %1, the supported commands are:").arg(product::kName);
}

// The help in the transcript: an empty line, the banner, then a line for each
// command; every line ends in a line break, the last one too.
QString helpBlock(const QStringList& commands) {
    QString block = kCRLF + QLatin1Char(' ') + welcome() + kCRLF;
    for (const QString& command : commands) {
        block += QStringLiteral(">> ") + command + kCRLF;
    }
    return block;
}

// The same commands in the Help > Commands box, each after a tab.
QString commandsBox(const QStringList& commands) {
    QString box = welcome() + kCRLF;
    for (const QString& command : commands) {
        box += QLatin1Char('\t') + command + kCRLF;
    }
    return box;
}

// What the user reads after an attempt failed.
QString failureText(StreamSocket::Failure failure) {
    return failure == StreamSocket::Failure::NameNotFound ? kHostNotFound : kCouldNotConnect;
}

} // namespace

frmClient::frmClient(StreamSocket& socket, Controls& controls, const ChatSide& side,
                     const ChatSettings& settings, QObject* parent)
    : QObject(parent), tcpClient(socket), controls(controls), m_side(side), m_settings(settings),
      m_transcript(controls), m_peerBoxes(controls) {
    m_introductionTimer.setSingleShot(true);
    m_introductionTimer.setInterval(m_settings.introductionTimeout);
    connect(&m_introductionTimer, &QTimer::timeout, this, &frmClient::introductionOverdue);
    connect(&tcpClient, &StreamSocket::Connected, this, &frmClient::tcpClient_Connect);
    connect(&tcpClient, &StreamSocket::ConnectionRequest, this,
            &frmClient::tcpClient_ConnectionRequest);
    connect(&tcpClient, &StreamSocket::DataArrival, this, &frmClient::tcpClient_DataArrival);
    connect(&tcpClient, &StreamSocket::Error, this, &frmClient::tcpClient_Error);
    connect(&tcpClient, &StreamSocket::PeerClosed, this, &frmClient::tcpClient_Close);
}

// ---- start-up and window events -------------------------------------------

void frmClient::Form_Load() {
    strMyName = m_side.traits().defaultName;
    if (m_side.traits().listens) {
        tcpClient.setLocalPort(m_settings.port);
    }
    rest();
    setCaptionFromName();
}

void frmClient::Form_Unload() {
    if (connected() && typedLinesCount()) {
        sayGoodbye();
    }
}

void frmClient::mnuExit_Click() {
    controls.endProgram();
}

void frmClient::mnuCommands_Click() {
    controls.messageBox(commandsBox(m_side.traits().commands));
}

void frmClient::cmdConnect_Click() {
    const QString address = controls.addressText();
    switch (m_side.connectPressed(m_phase, address.isEmpty())) {
    case ConnectPress::Ignore:
        return;
    case ConnectPress::FocusAddress:
        controls.focusAddress();
        return;
    case ConnectPress::Call:
        call(address);
        return;
    case ConnectPress::Withdraw:
        hangUp();
        return;
    }
}

void frmClient::cboAddress_KeyPress(int KeyAscii) {
    if (KeyAscii == kEnter) {
        cmdConnect_Click();
    }
}

void frmClient::txtSend_KeyPress(int KeyAscii) {
    if (KeyAscii != kEnter || !typedLinesCount()) {
        return;
    }
    const QString typed = controls.inputText();
    if (wire::trimSpaces(typed).isEmpty()) {
        return;
    }
    ProcessSTR(typed, kMe);
    controls.setInputText(QString());
}

void frmClient::cmdSend_Click() {
    txtSend_KeyPress(kEnter);
    focusFrontPanel();
}

// ---- socket notifications ---------------------------------------------------

void frmClient::tcpClient_Connect() {
    connectionOpened();
}

void frmClient::tcpClient_ConnectionRequest(qint32 requestID) {
    if (m_phase != Phase::Listening) {
        return; // the request is turned away
    }
    tcpClient.Close();
    lngConnID = requestID;
    tcpClient.Accept(requestID);
    connectionOpened();
    sendControl(wire::connectionConfirmed(lngConnID));
    controls.doEvents();
    if (!connected() || lngConnID != requestID) {
        return; // the caller left during the pause: nobody to announce ourselves to
    }
    sendControl(wire::nick(strMyName));
}

void frmClient::tcpClient_DataArrival() {
    QString data = tcpClient.GetData();
    // Messages that arrived joined in one read are routed one by one where
    // their boundary is certain; everything else is one line.
    while (!data.isEmpty()) {
        const QString message = wire::takeFirstMessage(data, lngConnID);
        ProcessSTR(message, kPeer);
    }
}

void frmClient::tcpClient_Error(StreamSocket::Failure failure) {
    tcpClient.Close();
    moveTo(Phase::Idle, failureText(failure));
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
            HandleMyKeyword(command->keyword, command->argument, strMsg);
        } else {
            HandlePeerKeyword(command->keyword, command->argument, strMsg);
        }
        return;
    }
    if (from == kMe) {
        appendChatLine(strMyName, strMsg);
        sendTyped(strMsg);
    } else {
        showPeerLine(shownOnOneLine(strMsg));
    }
    AUTO_SCROLL();
}

void frmClient::AUTO_SCROLL() {
    controls.scrollOutputToEnd();
    focusFrontPanel();
}

void frmClient::HandlePeerKeyword(const QString& Command, const QString& Arg, const QString& msg) {
    const SideTraits& traits = m_side.traits();
    // Only a whole 32-bit number confirms a connection or ends one.
    const std::optional<qint32> number = wire::parseConnectionNumber(Arg);
    if (Command == QLatin1String("nick")) {
        strPeerName = shownPeerName(Arg);
        m_peerNamed = true;
        if (!traits.needsConfirmation) {
            beginTalking();
        }
    } else if (Command == QLatin1String("connect")) {
        raisePeerBox(traits.peerConnectBox);
    } else if (Command == QLatin1String("disconnect")) {
        raisePeerBox(traits.peerDisconnectBox);
    } else if (Command == QLatin1String("connection_confirmed") && number) {
        lngConnID = *number;
        sendControl(wire::nick(strMyName));
        if (traits.needsConfirmation) {
            beginTalking();
        }
    } else if (Command == QLatin1String("change_name")) {
        raisePeerBox(kChangeNameBox);
    } else if (Command == QLatin1String("terminate")) {
        if (number == lngConnID) {
            conversationEnded();
        }
    } else {
        showPeerLine(shownOnOneLine(msg));
    }
    AUTO_SCROLL();
}

void frmClient::HandleMyKeyword(const QString& Command, const QString& Arg, const QString& msg) {
    if (Command == QLatin1String("help")) {
        m_transcript.append(helpBlock(m_side.traits().commands));
    } else if (Command == QLatin1String("cls")) {
        m_transcript.clear();
    } else if (Command == QLatin1String("restore")) {
        m_transcript.restore();
    } else if (Command == QLatin1String("nick")) {
        myNick(Arg);
    } else if (Command == QLatin1String("connect")) {
        myConnect();
    } else if (Command == QLatin1String("disconnect")) {
        hangUp();
    } else {
        // Any other "/" line is echoed and sent as typed, like a chat line.
        appendChatLine(strMyName, msg);
        sendTyped(msg);
    }
    AUTO_SCROLL();
}

// ---- where the chat end stands ------------------------------------------------

void frmClient::moveTo(Phase phase, const QString& status) {
    m_phase = phase;
    controls.setStatusText(status.isEmpty() ? statusOf(phase) : status);
    const bool callOpen = phase != Phase::Idle && phase != Phase::Listening;
    controls.setConnectCaption(callOpen ? m_side.traits().busyConnectCaption : texts::kConnect);
    if (chatPanelInFront()) {
        SHOW_CHAT();
    } else {
        SHOW_CONNECT();
    }
    if (phase == Phase::Introducing) {
        m_introductionTimer.start();
    } else {
        m_introductionTimer.stop();
    }
    emit phaseChanged(phase);
}

QString frmClient::statusOf(Phase phase) const {
    switch (phase) {
    case Phase::Idle:
        return kIdle;
    case Phase::Listening:
        return kListening;
    case Phase::Calling:
        return kConnecting;
    case Phase::Introducing:
    case Phase::Talking:
        break;
    }
    return m_side.traits().connectedStatus.arg(tcpClient.RemoteHostIP());
}

bool frmClient::connected() const {
    return m_phase == Phase::Introducing || m_phase == Phase::Talking;
}

// The caller counts nothing typed until the host has confirmed the connection.
bool frmClient::typedLinesCount() const {
    return !m_side.traits().needsConfirmation || m_phase == Phase::Talking;
}

bool frmClient::chatPanelInFront() const {
    return connected() || m_side.traits().startsWithChatPanel;
}

void frmClient::SHOW_CHAT() {
    controls.showChatPanel();
}

void frmClient::SHOW_CONNECT() {
    controls.showConnectPanel();
}

// The keyboard focus goes where the user can type next, never to a hidden box.
void frmClient::focusFrontPanel() {
    if (chatPanelInFront()) {
        controls.focusInput();
    } else {
        controls.focusAddress();
    }
}

// ---- the connection's course --------------------------------------------------

void frmClient::call(const QString& address) {
    m_calledAddress = address;
    tcpClient.Connect(address, m_settings.port);
    moveTo(Phase::Calling);
}

void frmClient::listen() {
    m_calledAddress.clear(); // the next conversation is a caller's
    if (tcpClient.Listen()) {
        moveTo(Phase::Listening);
    } else {
        moveTo(Phase::Idle, kCouldNotListen.arg(tcpClient.LocalPort()));
    }
}

// Waits for the next conversation: the host listens, the caller is idle.
void frmClient::rest() {
    if (m_side.traits().listens) {
        listen();
    } else {
        moveTo(Phase::Idle);
    }
}

// A connection to a peer has just been made: it has a while to introduce itself.
void frmClient::connectionOpened() {
    m_peerNamed = false;
    moveTo(Phase::Introducing);
}

void frmClient::beginTalking() {
    if (m_phase != Phase::Introducing) {
        return;
    }
    moveTo(Phase::Talking);
    if (!m_calledAddress.isEmpty()) {
        emit callTaken(std::exchange(m_calledAddress, QString()));
    }
}

void frmClient::conversationEnded() {
    tcpClient.Close();
    // A connection that ends before the peer said who it is (a port probe,
    // a caller that gave up) ends silently: nobody left who had arrived.
    if (std::exchange(m_peerNamed, false)) {
        m_transcript.append(kDisconnected.arg(strPeerName));
    }
    rest();
}

// The caller waits for the host's confirmation, the host for the caller's
// nickname; a peer that stays silent is let go, silently.
void frmClient::introductionOverdue() {
    tcpClient.Close();
    rest();
}

// The user ends the call or the conversation (an attempt under way too): the
// goodbye carries the number this end still holds (that of its last
// conversation, or 0), and the end waits for the next one.
void frmClient::hangUp() {
    sendControl(wire::terminate(lngConnID));
    controls.doEvents();
    tcpClient.Close();
    rest();
}

// Sends "/terminate" with the connection number, makes sure it has left
// (bounded wait) and closes the socket: the program may end right after.
void frmClient::sayGoodbye() {
    sendControl(wire::terminate(lngConnID));
    controls.doEvents();
    tcpClient.FlushOutgoing(kFlushTimeoutMs);
    tcpClient.Close();
}

// ---- local commands -------------------------------------------------------------

void frmClient::myNick(const QString& Arg) {
    const QString name = wire::trimSpaces(Arg);
    if (name.isEmpty() || name.toLower() == strPeerName.toLower()) {
        m_transcript.append(kInvalidName);
        return;
    }
    strMyName = name;
    sendControl(wire::nick(name));
    m_transcript.append(kNewName.arg(name));
    setCaptionFromName();
}

void frmClient::myConnect() {
    const QString& box = m_side.traits().myConnectBox;
    if (box.isEmpty()) {
        m_transcript.append(kMustDisconnect);
    } else {
        controls.messageBox(box);
    }
}

// ---- shared steps -------------------------------------------------------------

void frmClient::appendChatLine(const QString& name, const QString& line) {
    m_transcript.append(name + QStringLiteral(": ") + line);
}

void frmClient::showPeerLine(const QString& shownLine) {
    appendChatLine(strPeerName, shownLine);
    controls.peerLineArrived(strPeerName, shownLine);
}

void frmClient::raisePeerBox(const QString& text) {
    if (!text.isEmpty()) {
        m_peerBoxes.raise(text);
    }
}

void frmClient::setCaptionFromName() {
    controls.setCaption(strMyName + QStringLiteral(" - ") + product::kName);
    emit myNameChanged(strMyName);
}

void frmClient::sendControl(const QString& message) {
    tcpClient.SendData(message);
}

void frmClient::sendTyped(const QString& text) {
    switch (tcpClient.SendData(text)) {
    case StreamSocket::SendResult::Sent:
        return;
    case StreamSocket::SendResult::NotConnected:
        m_transcript.append(kNotConnected);
        return;
    case StreamSocket::SendResult::Backlogged:
        m_transcript.append(kNotReceiving);
        return;
    }
}

} // namespace parlo
