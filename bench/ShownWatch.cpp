#include "ShownWatch.h"

#include <QEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <ctime>

namespace parlo::bench {

qint64 monotonicNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

ShownWatch::ShownWatch(QPlainTextEdit& box, std::function<void(qint64)> onShown)
    : m_box(box), m_onShown(std::move(onShown)) {
    m_box.viewport()->installEventFilter(this);
}

void ShownWatch::expect(const QString& line) {
    m_line = line;
    m_painting = false;
    m_shownAtNs = 0;
}

bool ShownWatch::eventFilter(QObject* watched, QEvent* event) {
    // The filter sees the paint before it happens: the time is taken by a
    // call queued behind it.
    if (event->type() == QEvent::Paint && !m_painting && !m_line.isEmpty() &&
        m_box.document()->lastBlock().text() == m_line) {
        m_painting = true;
        const QString line = m_line;
        QMetaObject::invokeMethod(
            this,
            [this, line] {
                if (m_line == line && m_shownAtNs == 0) {
                    m_shownAtNs = monotonicNs();
                    if (m_onShown) {
                        m_onShown(m_shownAtNs);
                    }
                }
            },
            Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace parlo::bench
