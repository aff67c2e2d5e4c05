#pragma once

#include <QString>

// System texts that more than one part of the program shows.
namespace parlo::texts {

inline const QString kConnect = QStringLiteral("Connect");
inline const QString kDisconnect = QStringLiteral("Disconnect");
inline const QString kConnecting = QStringLiteral("Connecting...");

} // namespace parlo::texts
