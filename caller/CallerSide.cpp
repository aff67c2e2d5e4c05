#include "CallerSide.h"

#include "Texts.h"

namespace parlo {

CallerSide::CallerSide()
    : ChatSide({
          .programName = QStringLiteral("parlocall"),
          .defaultName = QStringLiteral("Client"),
          .commands = {texts::kNickHelp, texts::kDisconnectHelp, texts::kClsHelp,
                       texts::kRestoreAfterClsHelp},
          .connectedStatus = QStringLiteral("Connected. (%1)"),
          .busyConnectCaption = texts::kDisconnect,
          .needsConfirmation = true,
          .hasCommandsMenu = true,
      }) {}

// The button reads "Disconnect" while a call is open, and then gives it up.
ConnectPress CallerSide::connectPressed(Phase phase, bool addressEmpty) const {
    if (phase != Phase::Idle) {
        return ConnectPress::Withdraw;
    }
    return addressEmpty ? ConnectPress::FocusAddress : ConnectPress::Call;
}

} // namespace parlo
