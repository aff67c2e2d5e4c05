#pragma once

namespace parlo {

// Where a chat end stands. The Connect button's caption, the panel in front,
// the status text and whether typed lines count all follow from it.
enum class Phase {
    Idle,        // nothing open: the caller at rest, or an end that failed
    Listening,   // the host waits for a caller
    Calling,     // an outgoing attempt is under way
    Introducing, // connected; the peer has not introduced itself yet
    Talking,     // the peer has introduced itself: the conversation is on
};

} // namespace parlo
