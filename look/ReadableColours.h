#pragma once

#include <QColor>
#include <QPalette>

class QWidget;

namespace parlo {

// Colours that stay readable under light and dark palettes: a text keeps the
// colour it was designed with where that reads well on what is behind it, and
// otherwise takes the nearest lighter or darker shade of the same hue that does.

// Text against its background needs at least this contrast (WCAG AA, normal text).
inline constexpr double kReadableContrast = 4.5;

// The contrast of two colours as WCAG defines it, from 1 (the same) to 21 (black on white).
double contrastRatio(const QColor& first, const QColor& second);

// `wanted` where it has kReadableContrast on `background`; else the nearest shade of it that has.
QColor readableOn(const QColor& wanted, const QColor& background);

// Shows `widget`'s `textRole` in `wanted`, or in the nearest shade of it that
// stays readable on its `backgroundRole`, now and whenever its palette changes
// (the desktop switching between a light and a dark theme).
void keepReadable(QWidget* widget, QPalette::ColorRole textRole, QPalette::ColorRole backgroundRole,
                  const QColor& wanted);

} // namespace parlo
