#include "editor/EditorWidget.h"

#include <QImage>
#include <QMimeData>
#include <QMouseEvent>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

namespace lw {

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

} // namespace

EditorWidget::EditorWidget(QWidget* parent) : QTextEdit(parent)
{
    // The program shows a popup of its own on the right button.
    setContextMenuPolicy(Qt::PreventContextMenu);
    // Formatting counts as a change too: a user who bolds a word has modified the document.
    connect(document(), &QTextDocument::contentsChanged, this, &EditorWidget::contentChanged);
}

void EditorWidget::insertPicture(const QImage& picture)
{
    if (picture.isNull())
        return;
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
    return isPicture(source) || QTextEdit::canInsertFromMimeData(source);
}

void EditorWidget::insertFromMimeData(const QMimeData* source)
{
    if (isPicture(source))
        insertPicture(qvariant_cast<QImage>(source->imageData()));
    else
        QTextEdit::insertFromMimeData(source);
}

void EditorWidget::focusInEvent(QFocusEvent* event)
{
    QTextEdit::focusInEvent(event);
    emit gotFocus();
}

void EditorWidget::mousePressEvent(QMouseEvent* event)
{
    QTextEdit::mousePressEvent(event);
    const int button = buttonCode(event->button());
    if (button == 0)
        return;
    const QPoint at = viewport()->mapTo(this, event->position().toPoint());
    emit mouseDown(button, int(event->modifiers()), at.x(), at.y());
}

} // namespace lw
