#pragma once

#include <QSizeF>

namespace parlo {

// The rule that sizes the two stacked panels from the window's outer size,
// all in twips. A dimension at or below its threshold is left as it was, so a
// panel never shrinks to nothing.
struct PanelLayout {
    static constexpr double kWidthThreshold = 5745;
    static constexpr double kWidthMargin = 400;
    static constexpr double kHeightThreshold = 4260;
    static constexpr double kHeightMargin = 1200;

    static QSizeF resized(QSizeF current, QSizeF outer, bool minimized);
};

} // namespace parlo
