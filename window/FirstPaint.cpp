#include "FirstPaint.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace parlo {

namespace {

// Waits for the window's first paint, then lets the work run from the event
// loop, once the painted window has gone to the screen.
class FirstPaint final : public QObject {
public:
    FirstPaint(QWidget& window, std::function<void()> work)
        : QObject(&window), m_work(std::move(work)) {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, parent(), std::move(m_work));
            deleteLater();
        }
        return false;
    }

private:
    std::function<void()> m_work;
};

} // namespace

void afterFirstPaint(QWidget& window, std::function<void()> work) {
    new FirstPaint(window, std::move(work));
}

} // namespace parlo
