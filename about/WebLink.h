#pragma once

#include <QString>

namespace parlo {

class modIEOps;

// Opens the About box's web address. On Windows the browser found in the
// registry is started (launcher's showDoc, with the oldest browser version the
// link accepts); where there is no registry, the desktop's own URL handler opens
// it and the launcher is not used. A failure is silent on both.
void followWebLink(modIEOps& launcher, const QString& address);

} // namespace parlo
