#pragma once

#include <QSize>

class QWidget;

// Windows whose controls stand at fixed places (in twips) keep those places while the text fits;
// with a larger font (a desktop's default font, a scaled screen) the controls make room for it.
namespace lw::fit {

// The room a control needs to show its content in its own font: the whole caption of a label,
// button, check box or option button, one line of text in a box. A control that scrolls (a list,
// an editor) or shows nothing needs no more than it has.
QSize contentSize(const QWidget* control);

// Tells how much room a control needs that cannot tell by itself (a list that shows its widest
// row); a width or height of 0 asks for nothing.
void setNeededSize(QWidget* control, const QSize& size);

// Makes room inside a container for what its controls need, as below, without resizing the
// container itself; returns how much larger it has to be.
QSize makeRoom(QWidget* container);

// Makes room in a window so that every control shows all of its content and no two overlap:
// a control that needs more room first takes the free space beside or below it; beyond that,
// what stands right of (below) it moves on by as much, what spans that edge grows with it, and
// so do the frames around it and the window. Where everything fits nothing changes. Controls that
// are hidden, and containers that have a layout, are left as they are. A window of a fixed size
// keeps a fixed size, the grown one. Returns how much the window grew.
QSize growToContent(QWidget* window);

} // namespace lw::fit
