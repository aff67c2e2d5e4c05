#pragma once

namespace parlo {

// Makes a write to a connection the peer has closed an error the socket
// reports, never a signal that ends the program.
void ignoreBrokenPipe();

} // namespace parlo
