#pragma once

#include <QFont>

// The About box's fonts. Each names its classic Windows face first and falls back
// to look-alikes that Linux machines usually carry, then to the generic family.

// "MS Sans Serif" at the given size: the window font and most labels.
QFont msSansSerifFont(qreal pointSize, bool bold = false);
// "Microsoft Sans Serif" at the given size.
QFont microsoftSansSerifFont(qreal pointSize, bool bold = false);
// "Times New Roman" at the given size.
QFont timesNewRomanFont(qreal pointSize);
