#pragma once

#include <QRectF>
#include <QSize>
#include <QWidget>

class QPainter;
class QPaintEvent;

namespace parlo {

// The product's picture: two monitors joined by a cable, with a speech bubble
// between them. Drawn at a design size of 128 x 87 and scaled to fit target.
// Paints nothing outside target and leaves the painter's state as it found it.
void paintParloPicture(QPainter& painter, const QRectF& target);

// Shows the picture scaled into its whole rectangle. Vector drawing, so it stays
// crisp at any device pixel ratio. Takes no keyboard focus.
class PictureWidget : public QWidget {
    Q_OBJECT
public:
    explicit PictureWidget(QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace parlo
