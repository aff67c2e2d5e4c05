#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace parlo::bench {

// How many times each figure is measured; the tables give the median and the
// spread, so that a reader can tell a real change from noise.
constexpr int kRuns = 5;

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

// One figure over several runs.
struct Spread {
    double median = 0;
    double min = 0;
    double max = 0;
};

inline Spread spreadOf(const std::vector<double>& runs) {
    if (runs.empty()) {
        return {};
    }
    const auto [low, high] = std::minmax_element(runs.begin(), runs.end());
    return {percentile(runs, 0.5), *low, *high};
}

// Each run's `values` over its `references`.
inline std::vector<double> ratios(const std::vector<double>& values,
                                  const std::vector<double>& references) {
    std::vector<double> result;
    for (std::size_t i = 0; i < std::min(values.size(), references.size()); ++i) {
        result.push_back(references[i] > 0 ? values[i] / references[i] : 0);
    }
    return result;
}

// "471.0 us (455.2-490.1)": the median, then the least and the most of the runs.
inline QString spread(const std::vector<double>& runs, int decimals, const char* unit) {
    const Spread s = spreadOf(runs);
    const auto number = [decimals](double v) { return QString::number(v, 'f', decimals); };
    return number(s.median) + QLatin1String(unit) + QStringLiteral(" (") + number(s.min) +
           QLatin1Char('-') + number(s.max) + QLatin1Char(')');
}

inline QString micros(const std::vector<double>& runs) {
    return spread(runs, 1, " us");
}

inline QString times(const std::vector<double>& runs) {
    return spread(runs, 2, "x");
}

// One row of the table scripts/bench.sh prints:
// measure | Parlo | reference | ratio | goal | met
inline void row(const char* measure, const QString& value, const QString& reference,
                const QString& ratio, const char* goal, bool met) {
    std::printf("ROW|%s|%s|%s|%s|%s|%s\n", measure, qPrintable(value), qPrintable(reference),
                qPrintable(ratio), goal, met ? "yes" : "NO");
    std::fflush(stdout);
}

// A row held to "the median of the runs' ratios at most `most`".
inline void ratioRow(const char* measure, const QString& value, const QString& reference,
                     const std::vector<double>& runRatios, double most, const char* goal) {
    row(measure, value, reference, times(runRatios), goal, spreadOf(runRatios).median <= most);
}

// A figure with no goal of its own.
inline void infoRow(const char* measure, const QString& value) {
    row(measure, value, QStringLiteral("-"), QStringLiteral("-"), "-", true);
}

inline QString mib(double bytes) {
    return QString::number(bytes / (1024.0 * 1024.0), 'f', 1) + QStringLiteral(" MiB");
}

} // namespace parlo::bench
