#include "PeerBoxes.h"

#include "Controls.h"

#include <utility>

namespace parlo {

PeerBoxes::PeerBoxes(Controls& controls, QObject* parent) : QObject(parent), m_controls(controls) {}

void PeerBoxes::raise(const QString& text) {
    if (m_waiting.contains(text)) {
        return;
    }
    m_waiting.append(text);
    if (!std::exchange(m_scheduled, true)) {
        QMetaObject::invokeMethod(this, &PeerBoxes::showWaiting, Qt::QueuedConnection);
    }
}

void PeerBoxes::showWaiting() {
    m_scheduled = false;
    if (std::exchange(m_open, true)) {
        return; // run by the open box's own event loop: that loop shows the rest
    }
    while (!m_waiting.isEmpty()) {
        m_controls.messageBox(m_waiting.takeFirst());
    }
    m_open = false;
}

} // namespace parlo
