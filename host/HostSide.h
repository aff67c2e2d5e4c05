#pragma once

#include "ChatSide.h"

namespace parlo {

// The host program: listens on the chat port and takes one caller at a time.
class HostSide final : public ChatSide {
public:
    HostSide();

    ConnectPress connectPressed(Phase phase, bool addressEmpty) const override;
};

} // namespace parlo
