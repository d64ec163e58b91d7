#include "platform/Fonts.h"

namespace lw::fonts {

QFont named(const QString& family, double points, bool bold)
{
    QFont font(family);
    font.setPointSizeF(points);
    // Set even when false, so that a label inside a bold frame does not inherit the weight.
    font.setBold(bold);
    return font;
}

} // namespace lw::fonts
