#pragma once

#include <QString>
#include <QStringList>

namespace parlo {

// What sets one program apart that is plain data.
struct SideTraits {
    // "parlocall" or "parlohost": names the program, its lock and its desktop entry.
    QString programName{};
    QString defaultName{};
    // The commands the help lists, one line each (see Texts.h).
    QStringList commands{};
    // The status text once connected; "%1" stands for the peer's address.
    QString connectedStatus{};
    // The Connect button's caption while a call is open.
    QString busyConnectCaption{};
    // The box the local "/connect" shows. Without one, "/connect" is refused:
    // typed lines count only during a conversation, which must end first.
    QString myConnectBox{};
    // Boxes shown for the peer's "/connect" and "/disconnect"; empty for none.
    QString peerConnectBox{};
    QString peerDisconnectBox{};
    // Listens for callers at start-up and again after every conversation, and
    // so announces itself on the network and shows its own addresses; an end
    // that does not lists the hosts it finds and the addresses it called before.
    bool listens = false;
    // The peer introduces itself by confirming the connection (else by its
    // nickname), and typed lines count only once it has.
    bool needsConfirmation = false;
    // The chat panel stays in front, in a conversation or not.
    bool startsWithChatPanel = false;
    bool hasCommandsMenu = false;
    bool aboutClosesOnEsc = false;
};

} // namespace parlo
