#pragma once

#include <vector>

namespace parlo::bench {

// Typed-line latency with the receiving window in a process of its own, so
// the sender's repaint does not stand in the receiver's way, as between two
// real programs. Returns microseconds per line; empty when it could not run.
std::vector<double> crossProcessLatency(const char* self, int lines);

// The receiving side: a caller window that connects to `port`, notes when each
// line arrives and prints the times when the sender says "done".
int runReceiver(unsigned short port);

} // namespace parlo::bench
