#include "CallerSide.h"

#include "Controls.h"
#include "StreamSocket.h"
#include "Texts.h"
#include "Wire.h"
#include "frmClient.h"

namespace parlo {

namespace {
const QString kIdle = QStringLiteral("Idle.");
} // namespace

CallerSide::CallerSide()
    : ChatSide({
          .programName = QStringLiteral("parlocall"),
          .designCaption = QStringLiteral("TCP Client"),
          .defaultName = QStringLiteral("Client"),
          .helpText = QStringLiteral(" Welcome to Parlo, the supported commands are:\r\n"
                                     ">> /nick <name>. (change username)\r\n"
                                     ">> /disconnect. (disconnect)\r\n"
                                     ">> /cls. (clear screen)\r\n"
                                     ">> /restore. (restore after cls)\r\n"),
          .connectedStatus = QStringLiteral("Connected. (%1)"),
          .needsConfirmation = true,
          .hasCommandsMenu = true,
          .listsHosts = true,
      }) {}

void CallerSide::backToIdle(frmClient& form) {
    form.controls.setConnectCaption(texts::kConnect);
    form.controls.setStatusText(kIdle);
    form.blnConfirmed = false;
    // Back to the connect panel, the only place a new call can start from.
    form.SHOW_CONNECT();
}

void CallerSide::attemptFailed(frmClient& form) {
    form.SHOW_CONNECT();
}

void CallerSide::startAttempt(frmClient& form, const QString& host) {
    form.strCalledAddress = host;
    form.tcpClient.Connect(host, form.settings.port);
    form.controls.setConnectCaption(texts::kDisconnect);
    form.controls.setStatusText(texts::kConnecting);
}

void CallerSide::myConnect(frmClient& form, const QString& arg) {
    if (form.tcpClient.State() != StreamSocket::sckClosed) {
        form.appendFeedback(QStringLiteral(">> You must first disconnect."));
        return;
    }
    // The button and status read as after the Connect button; an outcome that
    // arrives during the yield (connected, refused) overrides them.
    startAttempt(form, arg);
    form.controls.doEvents();
}

void CallerSide::cmdConnect_Click(frmClient& form) {
    if (form.controls.connectCaption() != texts::kConnect) {
        withdraw(form);
        return;
    }
    const QString address = form.controls.addressText();
    if (address.isEmpty()) {
        form.controls.focusAddress();
        return;
    }
    if (form.tcpClient.State() != StreamSocket::sckClosed) {
        form.tcpClient.Close();
    }
    startAttempt(form, address);
}

void CallerSide::withdraw(frmClient& form) {
    // The goodbye carries the number this caller still holds.
    form.controls.setConnectCaption(texts::kConnect);
    form.sendControl(wire::terminate(form.lngConnID));
    form.controls.doEvents();
    const bool wasConnected = form.tcpClient.State() == StreamSocket::sckConnected;
    form.tcpClient.Close();
    if (wasConnected) {
        // The attempt succeeded during the pause and has just been closed again:
        // say so, rather than leave "Connected." over a closed socket.
        form.controls.setStatusText(kIdle);
        form.SHOW_CONNECT();
    }
}

} // namespace parlo
