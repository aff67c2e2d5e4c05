#include "HostSide.h"

#include "Texts.h"

namespace parlo {

HostSide::HostSide()
    : ChatSide({
          .programName = QStringLiteral("parlohost"),
          .defaultName = QStringLiteral("Server"),
          .commands = {texts::kNickHelp, texts::kConnectHelp, texts::kDisconnectHelp,
                       texts::kClsHelp, texts::kRestoreConversationHelp},
          .connectedStatus = QStringLiteral("Connected to %1"),
          .busyConnectCaption = texts::kConnect,
          .myConnectBox = QStringLiteral("my connect"),
          .peerConnectBox = QStringLiteral("peer connect"),
          .peerDisconnectBox = QStringLiteral("peer disconnect"),
          .listens = true,
          .startsWithChatPanel = true,
          .aboutClosesOnEsc = true,
      }) {}

// The button always reads "Connect": every press with an address calls out,
// whatever the socket was doing.
ConnectPress HostSide::connectPressed(Phase /*phase*/, bool addressEmpty) const {
    return addressEmpty ? ConnectPress::Ignore : ConnectPress::Call;
}

} // namespace parlo
