// On Linux and the other systems with a system bus, the DNS-SD responder is
// Avahi's daemon, reached over D-Bus.

#include "AvahiAnnouncer.h"
#include "AvahiBrowser.h"
#include "DnsSdPlatform.h"

namespace parlo {

std::unique_ptr<ServiceAnnouncer> platformAnnouncer() {
    return std::make_unique<AvahiAnnouncer>();
}

std::unique_ptr<ServiceBrowser> platformBrowser() {
    return std::make_unique<AvahiBrowser>();
}

} // namespace parlo
