#include "ReadableColours.h"

#include <QEvent>
#include <QWidget>
#include <cmath>

namespace parlo {

namespace {

double linear(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& colour) {
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}

// Adjusts a widget's palette each time it changes, so that the text stays readable.
class ReadableFilter final : public QObject {
public:
    ReadableFilter(QWidget* widget, QPalette::ColorRole text, QPalette::ColorRole background,
                   const QColor& wanted)
        : QObject(widget), m_text(text), m_background(background), m_wanted(wanted) {
        apply(widget);
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::PaletteChange) {
            apply(static_cast<QWidget*>(watched));
        }
        return false;
    }

private:
    void apply(QWidget* widget) const {
        QPalette palette = widget->palette();
        for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            palette.setColor(group, m_text,
                             readableOn(m_wanted, palette.color(group, m_background)));
        }
        if (palette != widget->palette()) { // setting it again would come back here
            widget->setPalette(palette);
        }
    }

    const QPalette::ColorRole m_text;
    const QPalette::ColorRole m_background;
    const QColor m_wanted;
};

} // namespace

double contrastRatio(const QColor& first, const QColor& second) {
    const double a = luminance(first);
    const double b = luminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QColor readableOn(const QColor& wanted, const QColor& background) {
    if (contrastRatio(wanted, background) >= kReadableContrast) {
        return wanted;
    }
    // Towards white on a dark background, towards black on a light one: the
    // least change of lightness that reaches the contrast, found by halving.
    const bool lighter = luminance(background) < 0.18;
    const QColor hsl = wanted.toHsl();
    double near = hsl.lightnessF();
    double far = lighter ? 1.0 : 0.0;
    const auto shade = [&](double lightness) { // in the 8 bits a channel is drawn with
        return QColor(
            QColor::fromHslF(hsl.hslHueF(), hsl.hslSaturationF(), float(lightness)).rgb());
    };
    if (contrastRatio(shade(far), background) < kReadableContrast) {
        return shade(far); // nothing of that hue reads better
    }
    for (int step = 0; step < 16; ++step) {
        const double middle = (near + far) / 2;
        if (contrastRatio(shade(middle), background) >= kReadableContrast) {
            far = middle;
        } else {
            near = middle;
        }
    }
    return shade(far);
}

void keepReadable(QWidget* widget, QPalette::ColorRole textRole, QPalette::ColorRole backgroundRole,
                  const QColor& wanted) {
    new ReadableFilter(widget, textRole, backgroundRole, wanted);
}

} // namespace parlo
