#pragma once

#include <QObject>
#include <QStringList>

namespace parlo {

class Controls;

// Boxes raised by the peer's keywords. Each is shown from the event loop,
// never inside the handler that raised it, so the socket keeps being read
// while one is open; one is open at a time, and a box already waiting is not
// queued twice (the texts are fixed: one copy says it all).
class PeerBoxes : public QObject {
    Q_OBJECT
public:
    explicit PeerBoxes(Controls& controls, QObject* parent = nullptr);

    void raise(const QString& text);

private:
    void showWaiting();

    Controls& m_controls;
    QStringList m_waiting;
    bool m_scheduled = false;
    bool m_open = false;
};

} // namespace parlo
