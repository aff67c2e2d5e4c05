#pragma once

#include <QString>
#include <optional>

namespace parlo::fuzz {

// A second, deliberately plain reading of a connection number to compare the
// wire parser against: spaces around, an optional sign, decimal digits, and a
// value within 32-bit signed range.
inline std::optional<qint32> referenceConnectionNumber(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == QLatin1Char(' ')) {
        ++begin;
    }
    while (end > begin && text[end - 1] == QLatin1Char(' ')) {
        --end;
    }
    bool negative = false;
    if (begin < end && (text[begin] == QLatin1Char('-') || text[begin] == QLatin1Char('+'))) {
        negative = text[begin] == QLatin1Char('-');
        ++begin;
    }
    if (begin == end) {
        return std::nullopt;
    }
    for (qsizetype i = begin; i < end; ++i) {
        if (text[i] < QLatin1Char('0') || text[i] > QLatin1Char('9')) {
            return std::nullopt;
        }
    }
    while (begin < end - 1 && text[begin] == QLatin1Char('0')) {
        ++begin; // leading zeros do not count towards the range
    }
    if (end - begin > 10) {
        return std::nullopt;
    }
    qint64 value = 0;
    for (qsizetype i = begin; i < end; ++i) {
        value = value * 10 + (text[i].unicode() - '0');
    }
    if (negative) {
        value = -value;
    }
    if (value < -2147483648LL || value > 2147483647LL) {
        return std::nullopt;
    }
    return static_cast<qint32>(value);
}

} // namespace parlo::fuzz
