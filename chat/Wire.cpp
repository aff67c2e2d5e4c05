#include "Wire.h"

#include <limits>

namespace parlo::wire {

namespace {

const QChar kSpace = QLatin1Char(' ');
// Each control message's leading text, exactly as it travels.
const QString kConfirmedPrefix = QStringLiteral("/connection_confirmed ");
const QString kNickPrefix = QStringLiteral("/nick ");
const QString kTerminatePrefix = QStringLiteral("/terminate ");

bool isAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

QStringView withoutSurroundingSpaces(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == kSpace) {
        ++begin;
    }
    while (end > begin && text[end - 1] == kSpace) {
        --end;
    }
    return text.sliced(begin, end - begin);
}

// Length of "[spaces][sign]digits" at the start of `text`, or 0 when there is none.
qsizetype numberTokenLength(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == kSpace) {
        ++i;
    }
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        ++i;
    }
    const qsizetype digitsStart = i;
    while (i < text.size() && isAsciiDigit(text[i])) {
        ++i;
    }
    return i > digitsStart ? i : 0;
}

// Length of the leading control message whose end is certain, or 0.
qsizetype leadingNumberedMessageLength(QStringView data) {
    for (const QString* prefix : {&kConfirmedPrefix, &kTerminatePrefix}) {
        if (!data.startsWith(*prefix, Qt::CaseInsensitive)) {
            continue;
        }
        const QStringView afterPrefix = data.mid(prefix->size());
        const qsizetype numberLength = numberTokenLength(afterPrefix);
        if (numberLength == 0 || !parseConnectionNumber(afterPrefix.first(numberLength))) {
            return 0;
        }
        // Only a following message ends the number; anything else is part of
        // one line ("/connection_confirmed 0x10" is no number at all).
        if (!afterPrefix.mid(numberLength).startsWith(QLatin1Char('/'))) {
            return 0;
        }
        return prefix->size() + numberLength;
    }
    return 0;
}

} // namespace

QString connectionConfirmed(qint32 connId) {
    return kConfirmedPrefix + QString::number(connId);
}

QString nick(const QString& name) {
    return kNickPrefix + name;
}

QString terminate(qint32 connId) {
    return kTerminatePrefix + QString::number(connId);
}

std::optional<CommandLine> splitCommandLine(const QString& line) {
    if (!line.startsWith(QLatin1Char('/'))) {
        return std::nullopt;
    }
    const qsizetype space = line.indexOf(kSpace);
    if (space < 0) {
        return CommandLine{line.mid(1).toLower(), QString()};
    }
    return CommandLine{line.mid(1, space - 1).toLower(), line.mid(space + 1)};
}

std::optional<qint32> parseConnectionNumber(QStringView text) {
    const QStringView number = withoutSurroundingSpaces(text);
    qsizetype begin = 0;
    const qsizetype end = number.size();
    bool negative = false;
    if (begin < end && (number[begin] == QLatin1Char('+') || number[begin] == QLatin1Char('-'))) {
        negative = number[begin] == QLatin1Char('-');
        ++begin;
    }
    if (begin == end) {
        return std::nullopt;
    }
    // Accumulate as a negative value: its range holds the most negative qint32.
    constexpr qint64 lowest = std::numeric_limits<qint32>::min();
    qint64 value = 0;
    for (qsizetype i = begin; i < end; ++i) {
        if (!isAsciiDigit(number[i])) {
            return std::nullopt;
        }
        value = value * 10 - (number[i].unicode() - '0');
        if (value < lowest) {
            return std::nullopt;
        }
    }
    if (!negative) {
        value = -value;
        if (value > std::numeric_limits<qint32>::max()) {
            return std::nullopt;
        }
    }
    return static_cast<qint32>(value);
}

QString takeFirstMessage(QString& data, qint32 ownConnId) {
    qsizetype cut = leadingNumberedMessageLength(data);
    if (cut == 0) {
        const qsizetype goodbye = data.lastIndexOf(kTerminatePrefix, -1, Qt::CaseInsensitive);
        if (goodbye > 0) {
            const auto number =
                parseConnectionNumber(QStringView(data).mid(goodbye + kTerminatePrefix.size()));
            if (number && *number == ownConnId) {
                cut = goodbye;
            }
        }
    }
    if (cut == 0) {
        return std::exchange(data, QString());
    }
    QString first = data.left(cut);
    data.remove(0, cut);
    return first;
}

QString trimSpaces(const QString& text) {
    return withoutSurroundingSpaces(text).toString();
}

} // namespace parlo::wire
