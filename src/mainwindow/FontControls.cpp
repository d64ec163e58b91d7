#include "mainwindow/FontControls.h"

#include <QComboBox>
#include <QFontInfo>
#include <QRegularExpression>

namespace lw::fontcontrols {

double sizeValue(const QString& text)
{
    static const QRegularExpression leadingNumber(
        QStringLiteral(R"(^\s*([+-]?(\d+\.?\d*|\.\d+)))"));
    const QRegularExpressionMatch match = leadingNumber.match(text);
    return match.hasMatch() ? match.captured(1).toDouble() : 0.0;
}

void selectFace(QComboBox* faces, const QString& family, const QFont& typingFont)
{
    int index = faces->findText(family);
    if (index < 0)
        index = faces->findText(QFontInfo(typingFont).family());
    faces->setCurrentIndex(index);
}

} // namespace lw::fontcontrols
