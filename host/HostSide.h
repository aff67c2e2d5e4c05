#pragma once

#include "ChatSide.h"

namespace parlo {

// The host program: listens on the chat port and takes one caller at a time.
class HostSide final : public ChatSide {
public:
    QString programName() const override { return QStringLiteral("parlohost"); }
    QString designCaption() const override { return QStringLiteral("TCP Server"); }
    QString defaultName() const override { return QStringLiteral("Server"); }
    QString helpText() const override;
    bool hasCommandsMenu() const override { return false; }
    bool startsWithChatPanel() const override { return true; }
    bool aboutClosesOnEsc() const override { return true; }

    bool acceptsTypedLines(const frmClient& form) const override;
    void startUp(frmClient& form) override;

    void myConnect(frmClient& form, const QString& arg) override;
    void myDisconnect(frmClient& form) override;

    void peerConnect(frmClient& form) override;
    void peerDisconnect(frmClient& form) override;
    void connectionConfirmed(frmClient& form) override;
    void conversationEnded(frmClient& form) override;

    void cmdConnect_Click(frmClient& form) override;
    void tcpClient_Connect(frmClient& form) override;
    void tcpClient_ConnectionRequest(frmClient& form, qint32 requestID) override;
    void tcpClient_Error(frmClient& form, const QString& description) override;
    void Form_Unload(frmClient& form) override;

private:
    // Listens again on the chat port and says so in the status bar.
    static void listenAgain(frmClient& form);
    static void showConnectedTo(frmClient& form);
};

} // namespace parlo
