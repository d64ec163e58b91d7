#include "platform/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace lw::twips {

namespace {

double dpiX(const QWidget* widget)
{
    if (widget)
        return widget->logicalDpiX();
    return QGuiApplication::primaryScreen()
               ? QGuiApplication::primaryScreen()->logicalDotsPerInchX()
               : 96.0;
}

double dpiY(const QWidget* widget)
{
    if (widget)
        return widget->logicalDpiY();
    return QGuiApplication::primaryScreen()
               ? QGuiApplication::primaryScreen()->logicalDotsPerInchY()
               : 96.0;
}

} // namespace

int toPixelsX(int twips, const QWidget* widget)
{
    return static_cast<int>(std::lround(twips * dpiX(widget) / perInch));
}

int toPixelsY(int twips, const QWidget* widget)
{
    return static_cast<int>(std::lround(twips * dpiY(widget) / perInch));
}

int fromPixelsX(int pixels, const QWidget* widget)
{
    return static_cast<int>(std::lround(pixels * perInch / dpiX(widget)));
}

int fromPixelsY(int pixels, const QWidget* widget)
{
    return static_cast<int>(std::lround(pixels * perInch / dpiY(widget)));
}

QRect toPixels(const QRect& r, const QWidget* widget)
{
    return {toPixelsX(r.left(), widget), toPixelsY(r.top(), widget), toPixelsX(r.width(), widget),
            toPixelsY(r.height(), widget)};
}

void place(QWidget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(toPixels(QRect(left, top, width, height), widget));
}

} // namespace lw::twips
