#include "HostSide.h"

#include "Controls.h"
#include "StreamSocket.h"
#include "Texts.h"
#include "Wire.h"
#include "frmClient.h"

namespace parlo {

HostSide::HostSide()
    : ChatSide({
          .programName = QStringLiteral("parlohost"),
          .designCaption = QStringLiteral("TCP Server"),
          .defaultName = QStringLiteral("Server"),
          .helpText = QStringLiteral(" Welcome to Parlo, the supported commands are:\r\n"
                                     ">> /nick <name>. (change username)\r\n"
                                     ">> /connect <ip>. (connect to peer)\r\n"
                                     ">> /disconnect. (disconnect)\r\n"
                                     ">> /cls. (clear screen)\r\n"
                                     ">> /restore. (restore conversation)\r\n"),
          .connectedStatus = QStringLiteral("Connected to %1"),
          .peerConnectBox = QStringLiteral("peer connect"),
          .peerDisconnectBox = QStringLiteral("peer disconnect"),
          .startsWithChatPanel = true,
          .aboutClosesOnEsc = true,
          .announcesItself = true,
      }) {}

void HostSide::startUp(frmClient& form) {
    form.tcpClient.setLocalPort(form.settings.port);
    backToIdle(form);
}

void HostSide::backToIdle(frmClient& form) {
    const bool listening = form.tcpClient.Listen();
    emit form.listeningChanged(listening);
    form.controls.setStatusText(
        listening ? QStringLiteral("Listening...")
                  : QStringLiteral("Could not listen on port %1.").arg(form.tcpClient.LocalPort()));
}

void HostSide::myConnect(frmClient& form, const QString&) {
    form.controls.messageBox(QStringLiteral("my connect"));
}

void HostSide::cmdConnect_Click(frmClient& form) {
    const QString address = form.controls.addressText();
    if (address.isEmpty()) {
        return;
    }
    // Connect stops listening first: one socket, one purpose.
    form.tcpClient.Connect(address, form.settings.port);
    emit form.listeningChanged(false);
    form.controls.setStatusText(texts::kConnecting);
}

void HostSide::tcpClient_ConnectionRequest(frmClient& form, qint32 requestID) {
    if (form.tcpClient.State() != StreamSocket::sckClosed) {
        form.tcpClient.Close();
    }
    form.lngConnID = requestID;
    form.tcpClient.Accept(requestID);
    emit form.listeningChanged(false); // one caller at a time
    form.connectionOpened();
    form.sendControl(wire::connectionConfirmed(form.lngConnID));
    form.controls.doEvents();
    if (form.tcpClient.State() != StreamSocket::sckConnected) {
        // The caller left during the pause and the conversation has already
        // been wound up; nothing is left to announce.
        return;
    }
    form.sendControl(wire::nick(form.strMyName));
    form.showConnectedStatus();
}

} // namespace parlo
