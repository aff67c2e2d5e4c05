#include "Picture.h"

#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

namespace parlo {

namespace {

constexpr qreal kDesignWidth = 128;
constexpr qreal kDesignHeight = 87;

const QColor kOutline(80, 80, 80);
const QColor kDeepBlue(11, 61, 145);

// One monitor, 48 wide and 46 high in design units, its top-left corner at origin.
void drawMonitor(QPainter& painter, QPointF origin) {
    const qreal x = origin.x();
    const qreal y = origin.y();

    painter.setPen(QPen(kOutline, 1));
    painter.setBrush(QColor(120, 120, 120));
    painter.drawRect(QRectF(x + 20, y + 36, 8, 6));
    painter.drawRoundedRect(QRectF(x + 12, y + 42, 24, 4), 1.5, 1.5);

    QLinearGradient casing(x, y, x, y + 36);
    casing.setColorAt(0, QColor(225, 225, 225));
    casing.setColorAt(1, QColor(165, 165, 165));
    painter.setBrush(casing);
    painter.drawRoundedRect(QRectF(x, y, 48, 36), 3, 3);

    QLinearGradient screen(x, y + 4, x + 40, y + 30);
    screen.setColorAt(0, QColor(58, 123, 213));
    screen.setColorAt(1, kDeepBlue);
    painter.setPen(Qt::NoPen);
    painter.setBrush(screen);
    painter.drawRect(QRectF(x + 4, y + 4, 40, 26));

    // A few lines of "text" on the screen.
    painter.setPen(QPen(QColor(220, 235, 255), 1.6, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(x + 8, y + 10), QPointF(x + 32, y + 10));
    painter.drawLine(QPointF(x + 8, y + 16), QPointF(x + 38, y + 16));
    painter.drawLine(QPointF(x + 8, y + 22), QPointF(x + 26, y + 22));
}

void drawCable(QPainter& painter) {
    QPainterPath cable(QPointF(28, 72));
    cable.cubicTo(QPointF(28, 86), QPointF(100, 86), QPointF(100, 72));
    painter.setPen(QPen(QColor(60, 60, 60), 2, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(cable);
}

void drawSpeechBubble(QPainter& painter) {
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(40, 2, 48, 20), 6, 6);
    QPainterPath tail;
    tail.moveTo(50, 20);
    tail.lineTo(44, 30);
    tail.lineTo(60, 20);
    tail.closeSubpath();
    painter.setPen(QPen(kDeepBlue, 1.5));
    painter.setBrush(Qt::white);
    painter.drawPath(bubble.united(tail));

    painter.setPen(Qt::NoPen);
    painter.setBrush(kDeepBlue);
    for (const qreal cx : {54.0, 64.0, 74.0}) {
        painter.drawEllipse(QPointF(cx, 12), 2.2, 2.2);
    }
}

} // namespace

void paintParloPicture(QPainter& painter, const QRectF& target) {
    if (target.isEmpty()) {
        return;
    }
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(target.topLeft());
    painter.scale(target.width() / kDesignWidth, target.height() / kDesignHeight);

    drawCable(painter);
    drawMonitor(painter, QPointF(4, 26));
    drawMonitor(painter, QPointF(76, 26));
    drawSpeechBubble(painter);

    painter.restore();
}

PictureWidget::PictureWidget(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
}

QSize PictureWidget::sizeHint() const {
    return QSize(static_cast<int>(kDesignWidth), static_cast<int>(kDesignHeight));
}

void PictureWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintParloPicture(painter, QRectF(rect()));
}

} // namespace parlo
