#include "PanelLayout.h"

namespace parlo {

QSizeF PanelLayout::resized(QSizeF current, QSizeF outer, bool minimized) {
    if (minimized) {
        return current;
    }
    QSizeF panel = current;
    if (outer.width() > kWidthThreshold) {
        panel.setWidth(outer.width() - kWidthMargin);
    }
    if (outer.height() > kHeightThreshold) {
        panel.setHeight(outer.height() - kHeightMargin);
    }
    return panel;
}

} // namespace parlo
