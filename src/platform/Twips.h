#pragma once

#include <QRect>

class QWidget;

// Window geometry is stored in twips (1/1440 inch) and converted with the screen's logical DPI.
namespace lw::twips {

inline constexpr int perInch = 1440;

int toPixelsX(int twips, const QWidget* widget);
int toPixelsY(int twips, const QWidget* widget);
int fromPixelsX(int pixels, const QWidget* widget);
int fromPixelsY(int pixels, const QWidget* widget);
QRect toPixels(const QRect& twipsRect, const QWidget* widget);
// Places a widget at a geometry given in twips, relative to its parent.
void place(QWidget* widget, int left, int top, int width, int height);

} // namespace lw::twips
