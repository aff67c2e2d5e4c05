#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace parlo::bench {

// The value at fraction `p` (0..1) of the sorted samples.
inline double percentile(std::vector<double> samples, double p) {
    if (samples.empty()) {
        return 0;
    }
    std::sort(samples.begin(), samples.end());
    const auto index = static_cast<std::size_t>(p * double(samples.size() - 1) + 0.5);
    return samples[std::min(index, samples.size() - 1)];
}

// A field of /proc/<pid>/status in KiB ("VmRSS", "VmHWM"); 0 when unknown.
inline qint64 statusKiB(const char* field, const QString& pid = QStringLiteral("self")) {
    QFile status(QStringLiteral("/proc/") + pid + QStringLiteral("/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key)) {
            return line.mid(key.size()).trimmed().split(' ').value(0).toLongLong();
        }
    }
    return 0;
}

// One row of the table scripts/bench.sh prints:
// measure | Parlo | reference | ratio | goal | met
inline void row(const char* measure, const QString& value, const QString& reference,
                const QString& ratio, const char* goal, bool met) {
    std::printf("ROW|%s|%s|%s|%s|%s|%s\n", measure, qPrintable(value), qPrintable(reference),
                qPrintable(ratio), goal, met ? "yes" : "NO");
    std::fflush(stdout);
}

inline QString micros(double us) {
    return QString::number(us, 'f', 1) + QStringLiteral(" us");
}

inline QString times(double ratio) {
    return QString::number(ratio, 'f', 2) + QStringLiteral("x");
}

inline QString mib(double bytes) {
    return QString::number(bytes / (1024.0 * 1024.0), 'f', 1) + QStringLiteral(" MiB");
}

} // namespace parlo::bench
