#pragma once

#include "Wire.h"

#include <chrono>

namespace parlo {

// How a chat end meets its peer.
struct ChatSettings {
    // Where the host listens and the caller calls.
    quint16 port = wire::kPort;
    // A connection on which the peer has not introduced itself by then is
    // closed, so that a silent stranger cannot hold the host. A well-behaved
    // peer does it within milliseconds.
    std::chrono::milliseconds introductionTimeout = std::chrono::seconds(30);
};

} // namespace parlo
