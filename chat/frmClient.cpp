#include "frmClient.h"

namespace parlo {

namespace {

const QString kMe = QStringLiteral("me");
const QString kPeer = QStringLiteral("peer");
const QString kCaptionSuffix = QStringLiteral(" - Parlo");
const QString kCRLF = QStringLiteral("\r\n");

} // namespace

frmClient::frmClient(StreamSocket& socket, Controls& controls, ChatSide& side, QObject* parent)
    : QObject(parent), tcpClient(socket), controls(controls), side(side) {
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
    strMyName = side.defaultName();
    LoadIPs();
    side.startUp(*this);
    setCaptionFromName();
}

void frmClient::LoadIPs() {
    // The address list starts empty: the user always types the address.
}

void frmClient::Form_Unload() {
    side.Form_Unload(*this);
}

void frmClient::mnuExit_Click() {
    controls.endProgram();
}

void frmClient::mnuCommands_Click() {
    controls.messageBox(commandsText());
}

QString frmClient::commandsText() {
    return QStringLiteral("Welcome to Parlo, the supported commands are:\r\n"
                          "\t/nick <name>. (change username)\r\n"
                          "\t/disconnect. (disconnect)\r\n"
                          "\t/cls. (clear screen)\r\n"
                          "\t/restore. (restore after cls)\r\n");
}

void frmClient::cmdConnect_Click() {
    side.cmdConnect_Click(*this);
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
    if (wire::trimSpaces(typed).isEmpty() || !side.acceptsTypedLines(*this)) {
        return;
    }
    ProcessSTR(typed, kMe);
    controls.setInputText(QString());
}

void frmClient::cmdSend_Click() {
    int key = kEnter;
    txtSend_KeyPress(key);
    controls.focusInput();
}

// ---- socket notifications ---------------------------------------------------

void frmClient::tcpClient_Connect() {
    side.tcpClient_Connect(*this);
}

void frmClient::tcpClient_ConnectionRequest(qint32 requestID) {
    side.tcpClient_ConnectionRequest(*this, requestID);
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
    side.tcpClient_Error(*this, Description);
}

void frmClient::tcpClient_Close() {
    // The peer is gone without a goodbye (its program ended or crashed): the
    // conversation ends as if it had said "/terminate".
    side.conversationEnded(*this);
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
        appendLine(strMyName + QStringLiteral(": ") + strMsg);
        saveTranscript();
        sendTyped(controls.inputText());
    } else {
        appendLine(strPeerName + QStringLiteral(": ") + strMsg);
        saveTranscript();
        controls.alertIfInactive();
    }
    AUTO_SCROLL();
}

void frmClient::AUTO_SCROLL() {
    controls.scrollOutputToEnd();
    controls.focusInput();
}

void frmClient::HandlePeerKeyword(const QString& Command, const QString& Arg, const QString& msg) {
    bool recognised = true;
    if (Command == QLatin1String("nick")) {
        strPeerName = Arg;
    } else if (Command == QLatin1String("connect")) {
        side.peerConnect(*this);
    } else if (Command == QLatin1String("disconnect")) {
        side.peerDisconnect(*this);
    } else if (Command == QLatin1String("connection_confirmed")) {
        // A number that is not a whole 32-bit number is no confirmation.
        if (const auto number = wire::parseConnectionNumber(Arg)) {
            lngConnID = *number;
            sendControl(wire::nick(strMyName));
            side.connectionConfirmed(*this);
        } else {
            recognised = false;
        }
    } else if (Command == QLatin1String("change_name")) {
        controls.messageBox(QStringLiteral(
            "Your peer has the same name as you, you have 60 secs to change yours."));
    } else if (Command == QLatin1String("terminate")) {
        const auto number = wire::parseConnectionNumber(Arg);
        if (number && *number == lngConnID) {
            side.conversationEnded(*this);
        }
    } else {
        recognised = false;
    }
    if (!recognised) {
        appendLine(strPeerName + QStringLiteral(": ") + msg);
        saveTranscript();
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
        side.myConnect(*this, Arg);
    } else if (Command == QLatin1String("disconnect")) {
        side.myDisconnect(*this);
    } else {
        // Any other "/" line is echoed and sent as typed, like a chat line.
        const QString typed = controls.inputText();
        appendLine(strMyName + QStringLiteral(": ") + typed);
        saveTranscript();
        sendTyped(typed);
    }
    AUTO_SCROLL();
}

void frmClient::showHelp() {
    appendLine(kCRLF + side.helpText());
    saveTranscript();
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
        appendLine(QStringLiteral(">> Invalid username, try again."));
        saveTranscript();
        return;
    }
    strMyName = name;
    sendControl(wire::nick(name));
    appendLine(QStringLiteral(">> Your new username is: ") + name + QStringLiteral("."));
    saveTranscript();
    setCaptionFromName();
}

// ---- shared steps -------------------------------------------------------------

void frmClient::appendLine(const QString& line) {
    controls.appendOutput(kCRLF + line);
}

void frmClient::saveTranscript() {
    m_savedFollowsTranscript = true;
    m_savedOutput.clear();
}

void frmClient::setCaptionFromName() {
    controls.setCaption(strMyName + kCaptionSuffix);
}

void frmClient::appendDisconnectedLine() {
    appendLine(QStringLiteral(">> ") + strPeerName + QStringLiteral(" disconnected."));
    saveTranscript();
}

void frmClient::sendControl(const QString& message) {
    tcpClient.SendData(message);
}

void frmClient::sendTyped(const QString& text) {
    switch (tcpClient.SendData(text)) {
    case StreamSocket::SendResult::Sent:
        return;
    case StreamSocket::SendResult::NotConnected:
        appendLine(QStringLiteral(">> Not connected: message not sent."));
        break;
    case StreamSocket::SendResult::Backlogged:
        appendLine(QStringLiteral(">> Your peer is not receiving: message not sent."));
        break;
    }
    saveTranscript();
}

} // namespace parlo
