#pragma once

#include "ChatSide.h"

namespace parlo {

// The caller program: connects to a host by address or name.
class CallerSide final : public ChatSide {
public:
    CallerSide();

    ConnectPress connectPressed(Phase phase, bool addressEmpty) const override;
};

} // namespace parlo
