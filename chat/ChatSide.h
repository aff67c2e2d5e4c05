#pragma once

#include "SideTraits.h"

#include <utility>

namespace parlo {

class frmClient;

// What differs between the caller and the host program: its traits and the
// few steps each carries out its own way. Chosen once at start-up.
class ChatSide {
public:
    explicit ChatSide(SideTraits traits) : m_traits(std::move(traits)) {}
    virtual ~ChatSide() = default;

    const SideTraits& traits() const { return m_traits; }

    // Start-up's socket steps and status text.
    virtual void startUp(frmClient& form) { backToIdle(form); }
    // The conversation is over: wait for the next one.
    virtual void backToIdle(frmClient& form) = 0;
    // The local "/connect" command.
    virtual void myConnect(frmClient& form, const QString& arg) = 0;
    virtual void cmdConnect_Click(frmClient& form) = 0;
    virtual void tcpClient_ConnectionRequest(frmClient& /*form*/, qint32 /*requestID*/) {}
    // An attempt to connect failed (its status text is already shown).
    virtual void attemptFailed(frmClient& /*form*/) {}

private:
    SideTraits m_traits;
};

} // namespace parlo
