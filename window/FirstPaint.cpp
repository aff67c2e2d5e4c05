#include "FirstPaint.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace parlo {

namespace {

// A window that is not painted soon (shown minimised, say) gets the work anyway.
constexpr auto kLatest = std::chrono::seconds(1);

// Waits for the window's first repaint (the update request a top-level window
// gets once it has something to show), then lets the work run from the event
// loop, once the painted window has gone to the screen.
class FirstPaint final : public QObject {
public:
    FirstPaint(QWidget& window, std::function<void()> work)
        : QObject(&window), m_window(window), m_work(std::move(work)) {
        window.installEventFilter(this);
        QTimer::singleShot(kLatest, this, &FirstPaint::runSoon);
    }

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::UpdateRequest && m_window.isVisible()) {
            runSoon();
        }
        return false;
    }

private:
    void runSoon() {
        m_window.removeEventFilter(this);
        if (m_work) {
            QTimer::singleShot(0, &m_window, std::exchange(m_work, nullptr));
        }
        deleteLater();
    }

    QWidget& m_window;
    std::function<void()> m_work;
};

} // namespace

void afterFirstPaint(QWidget& window, std::function<void()> work) {
    new FirstPaint(window, std::move(work));
}

} // namespace parlo
