#pragma once

#include <QString>

namespace parlo {

// What sets one program apart that is plain data.
struct SideTraits {
    // "parlocall" or "parlohost": names the program, its lock and its desktop entry.
    QString programName{};
    // The window's caption until start-up puts the nickname there.
    QString designCaption{};
    QString defaultName{};
    // The help block's lines (after the leading empty lines), each ending in a line break.
    QString helpText{};
    // The status text once connected; "%1" stands for the peer's address.
    QString connectedStatus{};
    // Boxes shown for the peer's "/connect" and "/disconnect"; empty for none.
    QString peerConnectBox{};
    QString peerDisconnectBox{};
    // Typed lines count only once the peer has confirmed the connection.
    bool needsConfirmation = false;
    bool hasCommandsMenu = false;
    bool startsWithChatPanel = false;
    bool aboutClosesOnEsc = false;
    // The host announces itself on the network and shows its own addresses;
    // the caller lists the hosts it finds and the addresses it called before.
    bool announcesItself = false;
    bool listsHosts = false;
};

} // namespace parlo
