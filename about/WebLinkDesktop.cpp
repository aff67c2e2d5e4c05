// The web link where there is no registry: the desktop's URL handler, which
// opens the user's default browser.

#include "WebLink.h"

#include <QDesktopServices>
#include <QUrl>

namespace parlo {

void followWebLink(modIEOps&, const QString& address) {
    // Nothing is shown when no handler takes the address.
    QDesktopServices::openUrl(QUrl::fromUserInput(address));
}

} // namespace parlo
