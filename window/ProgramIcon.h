#pragma once

#include <QIcon>
#include <QString>

namespace parlo {

// The window icon of the program `programName`: the icon theme's, where the
// program is installed; else the copy built into the program, so that it has
// its icon when run from the build folder too.
QIcon programIcon(const QString& programName);

} // namespace parlo
