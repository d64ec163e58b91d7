#pragma once

#include <QTextEdit>

class QImage;

namespace lw {

// The QTextEdit behind RichTextBox: raises its notifications and takes pictures from the clipboard.
class EditorWidget : public QTextEdit
{
    Q_OBJECT
public:
    explicit EditorWidget(QWidget* parent = nullptr);

    // Inserts the picture at the caret, replacing the selection.
    void insertPicture(const QImage& picture);

signals:
    // Text or formatting changed, by the user or by the program.
    void contentChanged();
    void gotFocus();
    // button 1 left, 2 right, 4 middle; x and y in this widget.
    void mouseDown(int button, int shift, int x, int y);

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    int pictureCount = 0;
};

} // namespace lw
