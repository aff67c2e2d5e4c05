#pragma once

#include "ChatEnd.h"

#include <QSize>
#include <QString>
#include <functional>

class QLineEdit;
class QPlainTextEdit;

namespace parlo::bench {

// Drives a real chat end as its user does: through the window's controls,
// found by their design names.
QLineEdit& inputBox(ChatEnd& end);
QPlainTextEdit& outputBox(ChatEnd& end);

// The size of a started caller window's text box.
QSize transcriptSize();

// The nickname the window's caption shows.
QString nickname(const ChatEnd& end);

// The whole transcript as the user copies it from the text box: entries
// one a line.
QString copiedText(ChatEnd& end);

// The last line of the end's text box, where the user reads the newest entry.
QString lastShownLine(ChatEnd& end);

// Types `line` into an input box and presses Enter; true when the window
// took it (the box is empty again).
bool typeLine(QLineEdit& input, const QString& line);

// Lets events run until `done()` or until `timeoutMs` passed; true when done.
bool spinUntil(const std::function<bool()>& done, int timeoutMs);

// Lets events run for `ms`.
void settle(int ms);

// The caller calls the host at 127.0.0.1 on the port of its settings
// (address box, Connect) and, once the host has confirmed, says "ready".
bool call(ChatEnd& caller);

// The caller calls the host and each says a line; true once each has shown
// the other's line under its name.
bool converse(ChatEnd& host, ChatEnd& caller);

} // namespace parlo::bench
