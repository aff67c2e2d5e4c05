#pragma once

#include <QString>

// System texts that more than one part of the program shows.
namespace parlo::texts {

// The Connect button's two captions.
inline const QString kConnect = QStringLiteral("Connect");
inline const QString kDisconnect = QStringLiteral("Disconnect");

// The commands as the help block and the Commands box list them.
inline const QString kNickHelp = QStringLiteral("/nick <name>. (change username)");
inline const QString kConnectHelp = QStringLiteral("/connect <ip>. (connect to peer)");
inline const QString kDisconnectHelp = QStringLiteral("/disconnect. (disconnect)");
inline const QString kClsHelp = QStringLiteral("/cls. (clear screen)");
inline const QString kRestoreAfterClsHelp = QStringLiteral("/restore. (restore after cls)");
inline const QString kRestoreConversationHelp = QStringLiteral("/restore. (restore conversation)");

} // namespace parlo::texts
