// The web link on Windows: the browser registered in the local-machine registry.

#include "WebLink.h"

#include "modIEOps.h"

namespace parlo {

namespace {

// The oldest browser version the link will start.
constexpr qint16 kMinimumBrowserVersion = 6;

} // namespace

void followWebLink(modIEOps& launcher, const QString& address) {
    // The launcher's error text is dropped: nothing is shown when the browser does not start.
    static_cast<void>(launcher.showDoc(address, kMinimumBrowserVersion));
}

} // namespace parlo
