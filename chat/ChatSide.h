#pragma once

#include <QString>

namespace parlo {

class frmClient;

// What differs between the caller and the host program: chosen once at start-up.
class ChatSide {
public:
    virtual ~ChatSide() = default;

    // "parlocall" or "parlohost": names the program and its single-instance lock.
    virtual QString programName() const = 0;
    virtual QString designCaption() const = 0;
    virtual QString defaultName() const = 0;
    // The help block lines (after the leading empty lines), each without its line break.
    virtual QString helpText() const = 0;
    virtual bool hasCommandsMenu() const = 0;
    virtual bool startsWithChatPanel() const = 0;
    virtual bool aboutClosesOnEsc() const = 0;

    // Whether a typed line may be routed now.
    virtual bool acceptsTypedLines(const frmClient& form) const = 0;

    // Start-up: the socket steps and the status text.
    virtual void startUp(frmClient& form) = 0;

    // Local commands whose steps differ.
    virtual void myConnect(frmClient& form, const QString& arg) = 0;
    virtual void myDisconnect(frmClient& form) = 0;

    // Peer keywords whose steps differ.
    virtual void peerConnect(frmClient& form) = 0;
    virtual void peerDisconnect(frmClient& form) = 0;
    virtual void connectionConfirmed(frmClient& form) = 0;
    // The peer ended the conversation: its matching "/terminate", or the
    // connection closed under us.
    virtual void conversationEnded(frmClient& form) = 0;

    // Window and socket events.
    virtual void cmdConnect_Click(frmClient& form) = 0;
    virtual void tcpClient_Connect(frmClient& form) = 0;
    virtual void tcpClient_ConnectionRequest(frmClient& form, qint32 requestID) = 0;
    virtual void tcpClient_Error(frmClient& form, const QString& description) = 0;
    virtual void Form_Unload(frmClient& form) = 0;
};

} // namespace parlo
