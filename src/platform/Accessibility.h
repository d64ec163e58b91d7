#pragma once

#include <QString>

class QLabel;

// What assistive technology (screen readers over AT-SPI) is told about the program's windows.
namespace lw::accessibility {

// Our windows that are plain widgets, not QDialog or QMainWindow, are announced as a window (or
// as a dialog when they are made one) instead of as an anonymous pane, and a tool button that
// opens its action's menu at once offers a screen reader that menu. Safe to call repeatedly.
void announceWindows();

// Drops the interface assistive technology has of an object, so that it is made afresh: for a
// control that is made another kind of control after Qt made it (a tool button given a menu).
void askAgain(QObject* object);

// A label whose text changes at run time: its text is what a screen reader reads as its name,
// and every change of it is announced; `description` says what the label is about.
void nameFollowsText(QLabel* label, const QString& description);

} // namespace lw::accessibility
