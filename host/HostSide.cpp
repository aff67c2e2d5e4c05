#include "HostSide.h"

#include "SideSteps.h"
#include "frmClient.h"

namespace parlo {

QString HostSide::helpText() const {
    return QStringLiteral(" Welcome to Parlo, the supported commands are:\r\n"
                          ">> /nick <name>. (change username)\r\n"
                          ">> /connect <ip>. (connect to peer)\r\n"
                          ">> /disconnect. (disconnect)\r\n"
                          ">> /cls. (clear screen)\r\n"
                          ">> /restore. (restore conversation)\r\n");
}

bool HostSide::acceptsTypedLines(const frmClient&) const {
    // The host routes typed lines whether or not a caller is connected.
    return true;
}

void HostSide::startUp(frmClient& form) {
    form.tcpClient.setLocalPort(form.port);
    listenAgain(form);
}

void HostSide::listenAgain(frmClient& form) {
    const bool listening = form.tcpClient.Listen();
    form.controls.setStatusText(listening ? QStringLiteral("Listening...")
                                          : QStringLiteral("Could not listen on port ") +
                                                QString::number(form.tcpClient.LocalPort()) +
                                                QStringLiteral("."));
}

void HostSide::showConnectedTo(frmClient& form) {
    form.controls.setStatusText(QStringLiteral("Connected to ") + form.tcpClient.RemoteHostIP());
}

void HostSide::myConnect(frmClient& form, const QString&) {
    form.controls.messageBox(QStringLiteral("my connect"));
}

void HostSide::myDisconnect(frmClient& form) {
    form.sendControl(wire::terminate(form.lngConnID));
    form.controls.doEvents();
    form.tcpClient.Close();
    listenAgain(form);
}

void HostSide::peerConnect(frmClient& form) {
    form.controls.messageBox(QStringLiteral("peer connect"));
}

void HostSide::peerDisconnect(frmClient& form) {
    form.controls.messageBox(QStringLiteral("peer disconnect"));
}

void HostSide::connectionConfirmed(frmClient&) {
    // The host has no confirmation phase of its own.
}

void HostSide::conversationEnded(frmClient& form) {
    form.tcpClient.Close();
    form.appendDisconnectedLine();
    listenAgain(form);
}

void HostSide::cmdConnect_Click(frmClient& form) {
    const QString address = form.controls.addressText();
    if (address.isEmpty()) {
        return;
    }
    // Connect stops listening first: one socket, one purpose.
    form.tcpClient.Connect(address, form.port);
    form.controls.setStatusText(QStringLiteral("Connecting..."));
}

void HostSide::tcpClient_Connect(frmClient& form) {
    showConnectedTo(form);
    form.controls.showChatPanel();
}

void HostSide::tcpClient_ConnectionRequest(frmClient& form, qint32 requestID) {
    if (form.tcpClient.State() != StreamSocket::sckClosed) {
        form.tcpClient.Close();
    }
    form.lngConnID = requestID;
    form.tcpClient.Accept(requestID);
    form.sendControl(wire::connectionConfirmed(form.lngConnID));
    form.controls.doEvents();
    if (form.tcpClient.State() != StreamSocket::sckConnected) {
        // The caller left during the pause and the conversation has already
        // been wound up; nothing is left to announce.
        return;
    }
    form.sendControl(wire::nick(form.strMyName));
    showConnectedTo(form);
}

void HostSide::tcpClient_Error(frmClient& form, const QString& description) {
    // The failure of the host's own call is shown where the user looks.
    if (const QString text = failureText(description); !text.isEmpty()) {
        form.controls.setStatusText(text);
    }
    form.controls.setConnectCaption(QStringLiteral("Connect"));
    if (form.tcpClient.State() != StreamSocket::sckClosed) {
        form.tcpClient.Close();
    }
}

void HostSide::Form_Unload(frmClient& form) {
    if (form.tcpClient.State() == StreamSocket::sckConnected) {
        sayGoodbye(form);
    }
}

} // namespace parlo
