#pragma once

#include <QString>
#include <QStringView>

namespace parlo {

// Text from the peer as it is shown: exactly one line. Line breaks and other
// control characters become visible symbols, so a received line can never
// pose as an entry of its own.
QString shownOnOneLine(QStringView text);

// A received nickname as it is kept: on one line, and at most this long, so
// that a name repeated before every entry costs no more than a short entry.
inline constexpr qsizetype kMaxPeerNameLength = 64;
QString shownPeerName(QStringView name);

} // namespace parlo
