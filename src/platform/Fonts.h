#pragma once

#include <QFont>

// The fonts the main window's controls are stored with, asked for by name: fontconfig stands in
// with its nearest match where a family is not installed.
namespace lw::fonts {

QFont named(const QString& family, double points, bool bold = false);
inline QFont verdana(double points, bool bold = false)
{
    return named(QStringLiteral("Verdana"), points, bold);
}

} // namespace lw::fonts

namespace lw {
// The base font of a letter, in the editor and wherever a letter is laid out without it.
inline QFont letterFont()
{
    return fonts::verdana(9.75);
}
} // namespace lw
