// The product picture: where it paints and how it leaves the painter.
#include "picture.h"
#include "testSuites.h"

#include <QImage>
#include <QPainter>
#include <QTest>

namespace {

// The smallest rectangle holding every pixel that is not fully transparent.
QRect paintedBounds(const QImage& image) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) != 0) {
                bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    return bounds;
}

QImage blankImage(QSize size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

} // namespace

class PictureTest : public QObject {
    Q_OBJECT
private slots:
    void fillsTargetAndStaysInside_data();
    void fillsTargetAndStaysInside();
    void emptyTargetPaintsNothing();
    void leavesPainterAsFound();
    void widgetFillsItsRect();
};

void PictureTest::fillsTargetAndStaysInside_data() {
    QTest::addColumn<QRectF>("target");

    QTest::newRow("design size at origin") << QRectF(0, 0, 128, 87);
    QTest::newRow("design size moved") << QRectF(40, 30, 128, 87);
    QTest::newRow("double size") << QRectF(10, 5, 256, 174);
    QTest::newRow("half size") << QRectF(100, 100, 64, 43.5);
    QTest::newRow("stretched wide") << QRectF(0, 60, 300, 40);
}

void PictureTest::fillsTargetAndStaysInside() {
    QFETCH(QRectF, target);

    QImage image = blankImage(QSize(320, 240));
    {
        QPainter painter(&image);
        paintParloPicture(painter, target);
    }
    const QRect bounds = paintedBounds(image);
    const QRect allowed = target.toAlignedRect();

    QVERIFY2(allowed.contains(bounds), "the picture paints outside its target");
    // Scaled to the target: the drawing spans nearly all of it both ways.
    QVERIFY2(bounds.width() >= 0.85 * target.width(),
             "the picture does not fill the target's width");
    QVERIFY2(bounds.height() >= 0.85 * target.height(),
             "the picture does not fill the target's height");
}

void PictureTest::emptyTargetPaintsNothing() {
    QImage image = blankImage(QSize(64, 64));
    {
        QPainter painter(&image);
        paintParloPicture(painter, QRectF(10, 10, 0, 30));
        paintParloPicture(painter, QRectF(10, 10, 30, -5));
    }
    QCOMPARE(paintedBounds(image), QRect());
}

void PictureTest::leavesPainterAsFound() {
    QImage image = blankImage(QSize(200, 200));
    QPainter painter(&image);
    painter.translate(7, 3);
    painter.setPen(QPen(Qt::green, 3));
    painter.setBrush(Qt::yellow);
    painter.setClipRect(QRect(0, 0, 150, 150));
    const QTransform transform = painter.transform();
    const QRegion clip = painter.clipRegion();

    paintParloPicture(painter, QRectF(0, 0, 128, 87));

    QCOMPARE(painter.transform(), transform);
    QCOMPARE(painter.pen(), QPen(Qt::green, 3));
    QCOMPARE(painter.brush(), QBrush(Qt::yellow));
    QCOMPARE(painter.clipRegion(), clip);
    QVERIFY(!painter.testRenderHint(QPainter::Antialiasing));
}

void PictureTest::widgetFillsItsRect() {
    PictureWidget widget;
    QCOMPARE(widget.sizeHint(), QSize(128, 87));
    QCOMPARE(widget.focusPolicy(), Qt::NoFocus);

    widget.resize(256, 174);
    QImage image = blankImage(QSize(256, 174));
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    const QRect bounds = paintedBounds(image);
    QVERIFY2(bounds.width() >= 0.85 * 256 && bounds.height() >= 0.85 * 174,
             "the widget does not scale the picture to its size");
}

int runPictureTests(int argc, char** argv) {
    PictureTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_picture.moc"
