#pragma once

#include "ChatSide.h"

namespace parlo {

// The host program: listens on the chat port and takes one caller at a time.
class HostSide final : public ChatSide {
public:
    HostSide();

    void startUp(frmClient& form) override;
    // Listens again on the chat port and says so in the status bar.
    void backToIdle(frmClient& form) override;
    void myConnect(frmClient& form, const QString& arg) override;
    void cmdConnect_Click(frmClient& form) override;
    void tcpClient_ConnectionRequest(frmClient& form, qint32 requestID) override;
};

} // namespace parlo
