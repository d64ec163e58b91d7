#include "formats/FileKind.h"

#include <QFileInfo>

namespace lw {

QString documentFilters()
{
    return QStringLiteral("Text Files (*.txt)|*.txt|Rich Text Format (*.rtf)|*.rtf|"
                          "OpenDocument Text (*.odt)|*.odt|All Files (*.*)|*.*|");
}

FileKind fileKindOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.compare(u"rtf", Qt::CaseInsensitive) == 0)
        return FileKind::RichText;
    if (suffix.compare(u"odt", Qt::CaseInsensitive) == 0)
        return FileKind::OpenDocument;
    return FileKind::PlainText;
}

} // namespace lw
