#pragma once

#include "CallerSide.h"
#include "HostSide.h"

#include <memory>

namespace parlo::test {

// The host's or the caller's side, as the program would choose it.
inline std::unique_ptr<ChatSide> makeSide(bool host) {
    if (host) {
        return std::make_unique<HostSide>();
    }
    return std::make_unique<CallerSide>();
}

} // namespace parlo::test
