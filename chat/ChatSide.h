#pragma once

#include "Phase.h"
#include "SideTraits.h"

#include <utility>

namespace parlo {

// What a press of the Connect button (or Enter in the address box) does.
enum class ConnectPress {
    Ignore,
    FocusAddress, // nothing to call: the user is sent to the address box
    Call,         // a new attempt to the address typed
    Withdraw,     // the call under way is given up, with a goodbye
};

// What differs between the caller and the host program: its traits, and the
// one decision each takes its own way. Chosen once at start-up.
class ChatSide {
public:
    explicit ChatSide(SideTraits traits) : m_traits(std::move(traits)) {}
    virtual ~ChatSide() = default;

    const SideTraits& traits() const { return m_traits; }

    virtual ConnectPress connectPressed(Phase phase, bool addressEmpty) const = 0;

private:
    SideTraits m_traits;
};

} // namespace parlo
