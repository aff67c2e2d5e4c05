#pragma once

class QWidget;

namespace parlo {

// Shows `window` in front of the others: restored if minimised, raised, and
// given the keyboard where the window system lets a program take it.
void bringForward(QWidget& window);

} // namespace parlo
