#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>

namespace parlo::faults {

template <typename Condition> bool pumpUntil(Condition done, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

} // namespace parlo::faults
