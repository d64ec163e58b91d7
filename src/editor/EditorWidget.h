#pragma once

#include <QTextEdit>
#include <functional>
#include <memory>

class QImage;

namespace lw {

class DisplayFormats;

// Whether `text` has a run of characters without a space longer than a line can ever show.
bool hasVeryLongWord(QStringView text);

// The QTextEdit behind LetterEditor: raises its notifications and takes pictures from the
// clipboard.
class EditorWidget : public QTextEdit
{
    Q_OBJECT
public:
    explicit EditorWidget(QWidget* parent = nullptr);

    // Pictures the document does not hold are looked up in the program's other editors: text
    // cut from one editor and pasted into another refers to its pictures by name.
    QVariant loadResource(int type, const QUrl& name) override;
    // Inserts the picture at the caret, replacing the selection.
    void insertPicture(const QImage& picture);

    // The formats drawn over the text that are not part of it, such as the spelling underline.
    DisplayFormats* displayFormats() const { return formats; }

    // Before `text` goes in: a very long word makes the document break lines anywhere, since
    // Qt lays out the rest of a word longer than a line again for every line it breaks.
    void breakAnywhereFor(QStringView text);

    // An empty document with the settings of the editor's own (base font, tab stops, margins,
    // how lines break), to be built out of sight and shown with replaceDocument().
    std::unique_ptr<QTextDocument> newDocument() const;
    // Shows `fresh` in place of the document, which is deleted: a long file is read into a
    // document of its own, so that the letter stays whole until the new one is complete.
    void replaceDocument(std::unique_ptr<QTextDocument> fresh);

    // Takes over the paste of a plain text, returning true, or leaves it to Qt with false: a
    // long text goes in behind a progress window.
    std::function<bool(const QString& text)> pastePlainText;

signals:
    // Text or formatting changed, by the user or by the program.
    void contentChanged();
    void gotFocus();
    // button 1 left, 2 right, 4 middle; x and y in this widget.
    void mouseDown(int button, int shift, int x, int y);
    // The menu key or Shift+F10.
    void contextMenuKey();
    // replaceDocument() put another document in place: what follows the old one follows this.
    void documentReplaced();

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Makes the pictures of a pasted range the document's own, while their source still exists.
    void adoptPictures(int start, int end);

    DisplayFormats* formats;
};

} // namespace lw
