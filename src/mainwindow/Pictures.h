#pragma once

#include <QIcon>
#include <QString>

// The main window's 16 x 16 pictures, addressed by index as the menus and the toolbar name them,
// drawn from the desktop's icon theme. A disabled picture is the greyed copy of its entry's
// picture, so it maps to the same icon, drawn in the icon's disabled mode.
namespace lw::pictures {

inline constexpr int size = 16;

// The freedesktop icon name of a picture; empty for -1 and for an index without a picture.
QString iconName(int index);
// The icon of a picture; a null icon for -1.
QIcon icon(int index);
// Uses Breeze when the desktop names no icon theme, and as the fallback of any other theme;
// searches the icon folders of the XDG data directories also where the platform names none.
void useIconTheme();

} // namespace lw::pictures
