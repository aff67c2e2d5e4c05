#pragma once

#include <QtGlobal>

namespace parlo {

// Sets the keepalive timing and the bound on unacknowledged data (KeepAlive.h)
// on a connected socket, through the options of the platform it runs on. Does
// nothing for an invalid descriptor; an option the platform lacks keeps the
// system's default.
void applyKeepAliveOptions(qintptr socketDescriptor);

} // namespace parlo
