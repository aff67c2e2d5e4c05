#pragma once

#include "ChatSide.h"

namespace parlo {

// The caller program: connects to a host by address or name.
class CallerSide final : public ChatSide {
public:
    QString programName() const override { return QStringLiteral("parlocall"); }
    QString designCaption() const override { return QStringLiteral("TCP Client"); }
    QString defaultName() const override { return QStringLiteral("Client"); }
    QString helpText() const override;
    bool hasCommandsMenu() const override { return true; }
    bool startsWithChatPanel() const override { return false; }
    bool aboutClosesOnEsc() const override { return false; }

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
    static void startAttempt(frmClient& form, const QString& host);
};

} // namespace parlo
