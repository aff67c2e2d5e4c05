#pragma once

// How an established connection finds out that the peer's machine has dropped
// off the network (no close, no reset: its packets simply stop), so that the
// conversation ends within about half a minute instead of many minutes.
//
// Two situations, two mechanisms:
// - Idle: keepalive probes start after kIdleSeconds without traffic and repeat
//   every kIntervalSeconds. Without a user timeout the connection is given up
//   after kProbeCount unanswered probes: 20 + 2 x 5 = 30 s.
// - Data sent and not acknowledged: keepalive does not probe while data is in
//   flight, and retransmissions back off exponentially for about 15 minutes
//   (tcp_retries2). kUserTimeoutMs bounds how long sent data may stay
//   unacknowledged: after 30 s the connection is given up.
// On Linux the user timeout also takes over from the probe count for the idle
// case (it ends at the first probe due once 30 s passed without a reply), so
// both situations end after 30 s, half the minute we promise users, leaving
// room for a slow tick of the timers and for a lossy link that recovers.
namespace parlo::keepalive {

inline constexpr int kIdleSeconds = 20;
inline constexpr int kIntervalSeconds = 5;
inline constexpr int kProbeCount = 2;
inline constexpr int kUserTimeoutMs = 30'000;

} // namespace parlo::keepalive
