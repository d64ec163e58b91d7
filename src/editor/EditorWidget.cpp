#include "editor/EditorWidget.h"

#include "editor/DisplayFormats.h"
#include "rtf/RtfReader.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

namespace lw {

bool hasVeryLongWord(QStringView text)
{
    constexpr qsizetype veryLong = 20000;
    if (text.size() <= veryLong)
        return false;
    qsizetype run = 0;
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        const bool space = c < 0x80 ? (c == u' ' || (c >= u'\t' && c <= u'\r'))
                                    : (QChar::isSpace(c) || c == QChar::ParagraphSeparator);
        if (space)
            run = 0;
        else if (++run > veryLong)
            return true;
    }
    return false;
}

namespace {

int buttonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

// A picture alone, as Insert Picture or an image viewer leaves it; copied text that holds
// pictures comes as HTML with the text.
bool isPicture(const QMimeData* source)
{
    return source->hasImage() && !source->hasText();
}

// What word processors put on the clipboard; it keeps more than their HTML does.
QString richTextFormat(const QMimeData* source)
{
    for (const char* format : {"text/rtf", "application/rtf", "text/richtext"}) {
        if (source->hasFormat(QLatin1String(format)))
            return QLatin1String(format);
    }
    return QString();
}

} // namespace

EditorWidget::EditorWidget(QWidget* parent) : QTextEdit(parent), formats(new DisplayFormats(this))
{
    // The program shows a popup of its own on the right button.
    setContextMenuPolicy(Qt::PreventContextMenu);
    // Formatting counts as a change too: a user who bolds a word has modified the document.
    connect(document(), &QTextDocument::contentsChanged, this, &EditorWidget::contentChanged);
}

QVariant EditorWidget::loadResource(int type, const QUrl& name)
{
    // The other documents ask back for what they do not hold themselves.
    static bool searching = false;
    if (!searching) {
        searching = true;
        QVariant found;
        const QWidgetList widgets = QApplication::allWidgets();
        for (QWidget* widget : widgets) {
            auto* other = qobject_cast<EditorWidget*>(widget);
            if (other && other != this) {
                found = other->document()->resource(type, name);
                if (found.isValid())
                    break;
            }
        }
        searching = false;
        if (found.isValid())
            return found;
    }
    return QTextEdit::loadResource(type, name);
}

void EditorWidget::insertPicture(const QImage& picture)
{
    if (picture.isNull())
        return;
    // Names unique in the whole program, so that a picture pasted into another editor cannot
    // be taken for one of that editor's own.
    static int pictureCount = 0;
    const QUrl name(QStringLiteral("picture:%1").arg(++pictureCount));
    document()->addResource(QTextDocument::ImageResource, name, picture);
    QTextImageFormat format;
    format.setName(name.toString());
    QTextCursor cursor = textCursor();
    cursor.insertImage(format);
    setTextCursor(cursor);
}

bool EditorWidget::canInsertFromMimeData(const QMimeData* source) const
{
    if (!source || source->formats().isEmpty())
        return false;
    return isPicture(source) || !richTextFormat(source).isEmpty() ||
           QTextEdit::canInsertFromMimeData(source);
}

void EditorWidget::breakAnywhereFor(QStringView text)
{
    QTextOption option = document()->defaultTextOption();
    if (option.wrapMode() == QTextOption::WrapAnywhere || !hasVeryLongWord(text))
        return;
    // Set on the document, not the widget: the widget would lay the document out at once.
    option.setWrapMode(QTextOption::WrapAnywhere);
    document()->setDefaultTextOption(option);
}

std::unique_ptr<QTextDocument> EditorWidget::newDocument() const
{
    const QTextDocument* own = document();
    auto fresh = std::make_unique<QTextDocument>();
    fresh->setDefaultTextOption(own->defaultTextOption());
    fresh->setDefaultFont(own->defaultFont());
    fresh->setIndentWidth(own->indentWidth());
    fresh->setDocumentMargin(own->documentMargin());
    fresh->setDefaultStyleSheet(own->defaultStyleSheet());
    fresh->setUseDesignMetrics(own->useDesignMetrics());
    return fresh;
}

void EditorWidget::replaceDocument(std::unique_ptr<QTextDocument> fresh)
{
    QPointer<QTextDocument> old = document();
    // Qt gives a new document the widget's way of breaking lines, and lays out the part shown at
    // once: the widget takes the new document's way first, so that a very long word is not laid
    // out word-wrapped. The old document is no longer laid out meanwhile.
    old->setPageSize(QSizeF(0, 0));
    setWordWrapMode(fresh->defaultTextOption().wrapMode());
    disconnect(old, &QTextDocument::contentsChanged, this, &EditorWidget::contentChanged);
    // They hold cursors into the old document, which Qt reads when they are next replaced.
    setExtraSelections({});
    fresh->setParent(this);
    QTextDocument* shown = fresh.release();
    setDocument(shown);
    connect(shown, &QTextDocument::contentsChanged, this, &EditorWidget::contentChanged);
    // The widget's first document belongs to Qt, which has deleted it; the others are ours.
    delete old.data();
    emit documentReplaced();
}

void EditorWidget::insertFromMimeData(const QMimeData* source)
{
    // An emptied X11 clipboard hands over data without a single format, on which Qt's own paste
    // reads the first format of an empty list.
    if (!source || source->formats().isEmpty())
        return;
    const QString rich = richTextFormat(source);
    // Only what Qt would paste as plain text: a copy from an editor carries its formats as HTML.
    const bool plainOnly = rich.isEmpty() && !isPicture(source) && !source->hasHtml() &&
                           !source->hasFormat(QStringLiteral("application/x-qrichtext")) &&
                           !source->hasFormat(QStringLiteral("text/markdown")) && source->hasText();
    if (plainOnly && pastePlainText && pastePlainText(source->text()))
        return;
    // The plain text stands for the rich text's words; RTF alone is searched as it is.
    if (source->hasText())
        breakAnywhereFor(source->text());
    else if (!rich.isEmpty())
        breakAnywhereFor(QString::fromLatin1(source->data(rich)));
    if (!rich.isEmpty()) {
        QTextCursor cursor = textCursor();
        readRtf(source->data(rich), cursor);
        setTextCursor(cursor);
    } else if (isPicture(source)) {
        insertPicture(qvariant_cast<QImage>(source->imageData()));
    } else {
        const int start = textCursor().selectionStart();
        QTextEdit::insertFromMimeData(source);
        adoptPictures(start, textCursor().position());
    }
}

void EditorWidget::adoptPictures(int start, int end)
{
    for (QTextBlock block = document()->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment run = it.fragment();
            if (run.position() >= start && run.position() < end && run.charFormat().isImageFormat())
                // Asking loads the picture once and keeps it in the document.
                document()->resource(QTextDocument::ImageResource,
                                     QUrl(run.charFormat().toImageFormat().name()));
        }
    }
}

void EditorWidget::focusInEvent(QFocusEvent* event)
{
    QTextEdit::focusInEvent(event);
    emit gotFocus();
}

void EditorWidget::keyPressEvent(QKeyEvent* event)
{
    const bool menuKey = event->key() == Qt::Key_Menu ||
                         (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
    if (!menuKey) {
        QTextEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    emit contextMenuKey();
}

void EditorWidget::mousePressEvent(QMouseEvent* event)
{
    QTextEdit::mousePressEvent(event);
    const int button = buttonCode(event->button());
    if (button == 0)
        return;
    const QPoint at = viewport()->mapTo(this, event->position().toPoint());
    emit mouseDown(button, int(event->modifiers()), at.x(), at.y());
    // Taken: the program answers every button through mouseDown.
    event->accept();
}

} // namespace lw
