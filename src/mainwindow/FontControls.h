#pragma once

#include <QString>

class QComboBox;
class QFont;

// The toolbar's font face and size boxes.
namespace lw::fontcontrols {

// The leading decimal number of an entry ("12" gives 12, "10.5 pt" 10.5); 0 when there is none.
double sizeValue(const QString& text);

// Selects `family` in the face box where it is installed, otherwise the family that fontconfig
// gives for `typingFont`: the box then names the face the text typed next actually gets.
void selectFace(QComboBox* faces, const QString& family, const QFont& typingFont);

} // namespace lw::fontcontrols
