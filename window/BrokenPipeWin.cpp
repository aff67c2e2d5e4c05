// Windows sockets report a closed connection as an error of the write itself:
// there is no signal to ignore.

#include "BrokenPipe.h"

namespace parlo {

void ignoreBrokenPipe() {}

} // namespace parlo
