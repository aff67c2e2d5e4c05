#pragma once

#include "ChatSide.h"

namespace parlo {

// The caller program: connects to a host by address or name.
class CallerSide final : public ChatSide {
public:
    CallerSide();

    void backToIdle(frmClient& form) override;
    void myConnect(frmClient& form, const QString& arg) override;
    void cmdConnect_Click(frmClient& form) override;
    void attemptFailed(frmClient& form) override;

private:
    static void startAttempt(frmClient& form, const QString& host);
    static void withdraw(frmClient& form);
};

} // namespace parlo
