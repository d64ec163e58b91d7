#include "editor/DocumentKinds.h"

#include "editor/RichTextBox.h"

#include <QFileInfo>

namespace lw {

QString documentFilters()
{
    return QStringLiteral("Text Files (*.txt)|*.txt|Rich Text Format (*.rtf)|*.rtf|"
                          "OpenDocument Text (*.odt)|*.odt|All Files (*.*)|*.*|");
}

int documentFileType(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.compare(u"rtf", Qt::CaseInsensitive) == 0)
        return RichTextBox::RichText;
    if (suffix.compare(u"odt", Qt::CaseInsensitive) == 0)
        return RichTextBox::OpenDocumentText;
    return RichTextBox::PlainText;
}

} // namespace lw
