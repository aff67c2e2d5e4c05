#pragma once

#include "ProgramWindow.h"

namespace parlo::desktop {

// A host window and a caller window in one process, talking over loopback
// on a free port.
struct Conversation {
    Conversation();

    ProgramWindow host{ProgramWindow::Program::Host, 0};
    ProgramWindow caller{ProgramWindow::Program::Caller, 0};

    // The caller calls the host at `address` the way a user does (address box,
    // Connect button); true once the host has confirmed it and both know each
    // other's nickname.
    bool connect(const QString& address);

    // `from` types `line`; true once it has arrived whole in `to`'s transcript
    // as its only new entry.
    static bool say(ProgramWindow& from, ProgramWindow& to, const QString& line);

    static constexpr int kWaitMs = 5000;
};

} // namespace parlo::desktop
