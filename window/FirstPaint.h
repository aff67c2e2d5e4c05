#pragma once

#include <functional>

class QWidget;

namespace parlo {

// Runs `work` once `window` has been painted for the first time. What the user
// does not need in order to see the window waits for it, so that start-up is
// the window's alone.
void afterFirstPaint(QWidget& window, std::function<void()> work);

} // namespace parlo
