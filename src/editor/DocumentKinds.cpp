#include "editor/DocumentKinds.h"

#include "editor/RichTextBox.h"

#include <QFileInfo>

namespace lw {

namespace {

enum Filter { TextFiles = 1, RichTextFiles = 2, OpenDocumentFiles = 3, AllFiles = 4 };

} // namespace

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

QString savedDocumentName(const QString& chosen, int filterIndex)
{
    QString suffix = QFileInfo(chosen).suffix();
    // "Mr. Smith" has no extension.
    if (suffix.contains(u' ') || suffix.size() > 10)
        suffix.clear();
    for (const char* known : {"txt", "rtf", "odt"}) {
        if (suffix.compare(QLatin1String(known), Qt::CaseInsensitive) == 0)
            return chosen;
    }
    switch (filterIndex) {
    case RichTextFiles:
        return chosen + QStringLiteral(".rtf");
    case OpenDocumentFiles:
        return chosen + QStringLiteral(".odt");
    default:
        return suffix.isEmpty() ? chosen + QStringLiteral(".txt") : chosen;
    }
}

} // namespace lw
