// POSIX systems send SIGPIPE to a process that writes to a closed connection;
// a peer that vanishes while we write must end the conversation, not the program.

#include "BrokenPipe.h"

#include <csignal>

namespace parlo {

void ignoreBrokenPipe() {
    std::signal(SIGPIPE, SIG_IGN);
}

} // namespace parlo
