#pragma once

#include <QString>

namespace parlo {

// Where one user's copy of a program keeps its single-instance lock and the
// channel a later copy uses to wake it. Both are the user's own, so another
// user's copy, or what it left behind, never meets them. Each platform has its
// own layer (InstancePlaceUnix.cpp, InstancePlaceWin.cpp).
struct InstancePlace {
    QString lockFile;
    QString wakeChannel; // a QLocalServer name
};

InstancePlace instancePlace(const QString& programName);

} // namespace parlo
