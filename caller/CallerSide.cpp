#include "CallerSide.h"

#include "SideSteps.h"
#include "frmClient.h"

namespace parlo {

namespace {
const QString kConnect = QStringLiteral("Connect");
const QString kDisconnect = QStringLiteral("Disconnect");
const QString kIdle = QStringLiteral("Idle.");
} // namespace

QString CallerSide::helpText() const {
    return QStringLiteral(" Welcome to Parlo, the supported commands are:\r\n"
                          ">> /nick <name>. (change username)\r\n"
                          ">> /disconnect. (disconnect)\r\n"
                          ">> /cls. (clear screen)\r\n"
                          ">> /restore. (restore after cls)\r\n");
}

bool CallerSide::acceptsTypedLines(const frmClient& form) const {
    // Nothing typed counts until the host has confirmed the connection.
    return form.blnConfirmed;
}

void CallerSide::startUp(frmClient& form) {
    form.controls.setStatusText(kIdle);
}

void CallerSide::startAttempt(frmClient& form, const QString& host) {
    form.tcpClient.Connect(host, form.port);
    form.controls.setConnectCaption(kDisconnect);
    form.controls.setStatusText(QStringLiteral("Connecting..."));
}

void CallerSide::myConnect(frmClient& form, const QString& arg) {
    if (form.tcpClient.State() != StreamSocket::sckClosed) {
        form.appendLine(QStringLiteral(">> You must first disconnect."));
        form.saveTranscript();
        return;
    }
    // The button and status read as after the Connect button; an outcome that
    // arrives during the yield (connected, refused) overrides them.
    startAttempt(form, arg);
    form.controls.doEvents();
}

void CallerSide::myDisconnect(frmClient& form) {
    form.sendControl(wire::terminate(form.lngConnID));
    form.controls.setStatusText(kIdle);
    form.controls.setConnectCaption(kConnect);
    form.controls.doEvents();
    form.tcpClient.Close();
    form.blnConfirmed = false;
    // Back to the connect panel, the only place a new call can start from.
    form.controls.showConnectPanel();
}

void CallerSide::peerConnect(frmClient&) {}

void CallerSide::peerDisconnect(frmClient&) {}

void CallerSide::connectionConfirmed(frmClient& form) {
    form.blnConfirmed = true;
}

void CallerSide::conversationEnded(frmClient& form) {
    form.tcpClient.Close();
    form.controls.setConnectCaption(kConnect);
    form.appendDisconnectedLine();
    form.controls.setStatusText(kIdle);
    form.blnConfirmed = false;
    form.controls.showConnectPanel();
}

void CallerSide::cmdConnect_Click(frmClient& form) {
    if (form.controls.connectCaption() == kConnect) {
        const QString address = form.controls.addressText();
        if (address.isEmpty()) {
            form.controls.focusAddress();
            return;
        }
        if (form.tcpClient.State() != StreamSocket::sckClosed) {
            form.tcpClient.Close();
        }
        startAttempt(form, address);
        return;
    }
    // Withdraw: the goodbye carries the number this caller still holds.
    form.controls.setConnectCaption(kConnect);
    form.sendControl(wire::terminate(form.lngConnID));
    form.controls.doEvents();
    const bool wasConnected = form.tcpClient.State() == StreamSocket::sckConnected;
    form.tcpClient.Close();
    if (wasConnected) {
        // The attempt succeeded during the pause and has just been closed again:
        // say so, rather than leave "Connected." over a closed socket.
        form.controls.setStatusText(kIdle);
        form.controls.showConnectPanel();
    }
}

void CallerSide::tcpClient_Connect(frmClient& form) {
    form.controls.setStatusText(QStringLiteral("Connected. (") + form.tcpClient.RemoteHostIP() +
                                QStringLiteral(")"));
    form.controls.showChatPanel();
}

void CallerSide::tcpClient_ConnectionRequest(frmClient&, qint32) {
    // The caller never listens.
}

void CallerSide::tcpClient_Error(frmClient& form, const QString& description) {
    if (const QString text = failureText(description); !text.isEmpty()) {
        form.controls.setStatusText(text);
    }
    form.controls.setConnectCaption(kConnect);
    if (form.tcpClient.State() != StreamSocket::sckClosed) {
        form.tcpClient.Close();
    }
    form.controls.showConnectPanel();
}

void CallerSide::Form_Unload(frmClient& form) {
    if (form.tcpClient.State() == StreamSocket::sckConnected && form.blnConfirmed) {
        sayGoodbye(form);
        form.blnConfirmed = false;
    }
}

} // namespace parlo
