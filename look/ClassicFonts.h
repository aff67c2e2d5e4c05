#pragma once

#include <QFont>

namespace parlo {

// The fonts of the classic Windows look. Each names its Windows face first and
// falls back to look-alikes that Linux machines usually carry, then to the
// generic family. The first installed family is picked once per program run,
// so widgets do not search the font database for missing faces again and again.

// "MS Sans Serif" at the given size: the window font and most labels.
QFont msSansSerifFont(qreal pointSize, bool bold = false);
// "Microsoft Sans Serif" at the given size.
QFont microsoftSansSerifFont(qreal pointSize, bool bold = false);
// "Times New Roman" at the given size.
QFont timesNewRomanFont(qreal pointSize);
// "Lucida Console" at the given size: the transcript and the input box.
QFont lucidaConsoleFont(qreal pointSize);

} // namespace parlo
