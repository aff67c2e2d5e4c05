#pragma once

#include <QObject>
#include <QString>
#include <QtGlobal>
#include <functional>

class QPlainTextEdit;

namespace parlo::bench {

// The system-wide monotonic clock in nanoseconds, the same in every process.
qint64 monotonicNs();

// Notes when a text box shows an awaited line to its user: the line is the
// box's last paragraph and the box has painted it. The time is taken once the
// paint is over, so it includes the paint.
class ShownWatch : public QObject {
public:
    // `onShown` (optional) runs with the time, right after the paint.
    explicit ShownWatch(QPlainTextEdit& box, std::function<void(qint64)> onShown = {});

    // Awaits `line`, forgetting what was awaited before.
    void expect(const QString& line);
    bool shown() const { return m_shownAtNs != 0; }
    qint64 shownAtNs() const { return m_shownAtNs; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPlainTextEdit& m_box;
    std::function<void(qint64)> m_onShown;
    QString m_line;
    bool m_painting = false;
    qint64 m_shownAtNs = 0;
};

} // namespace parlo::bench
