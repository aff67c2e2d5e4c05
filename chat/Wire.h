#pragma once

#include <QString>
#include <QStringView>
#include <optional>

namespace parlo::wire {

// The port both programs meet on.
inline constexpr quint16 kPort = 1983;

// Control messages exactly as they travel: "/", keyword, one space, argument.
QString connectionConfirmed(qint32 connId);
QString nick(const QString& name);
QString terminate(qint32 connId);

// A command line cut at its first space (the character 32 only): the keyword
// between "/" and that space, lower-cased; the argument everything after it.
struct CommandLine {
    QString keyword;
    QString argument;
};
// Empty when the line does not begin with "/".
std::optional<CommandLine> splitCommandLine(const QString& line);

// A connection number: optional spaces, an optional sign, decimal digits,
// optional spaces, within 32-bit signed range. Anything else is not a number.
std::optional<qint32> parseConnectionNumber(QStringView text);

// The protocol has no framing, so one read may hold several messages. Cuts the
// first message off `data` where its end is certain and returns it; `data`
// keeps the rest (empty when the read was a single message).
//  - a read that begins with "/connection_confirmed" or "/terminate", a space
//    and a whole number, followed by text that begins with "/", ends right
//    after the number;
//  - a read that ends with "/terminate " and `ownConnId`, with text before it,
//    ends just before that message.
QString takeFirstMessage(QString& data, qint32 ownConnId);

// Removes leading and trailing spaces (the character 32 only).
QString trimSpaces(const QString& text);

} // namespace parlo::wire
