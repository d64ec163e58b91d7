#pragma once

#include "formats/FileKind.h"

#include <QFont>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTextCursor>
#include <functional>
#include <optional>
#include <utility>

class QImage;
class QRect;
class QTextCharFormat;
class QTextDocument;
class QTextEdit;
class QWidget;

namespace lw {

class DisplayFormats;
class EditorWidget;

// The rich-text edit control the rest of the program talks to, over a QTextEdit.
// Positions are character positions of the document; a paragraph break counts as one character,
// so an index into Text() is a position. Setters clamp positions past the end to the end.
class LetterEditor : public QObject
{
    Q_OBJECT
public:
    enum class ScaleUnit { Twips, Millimetres };
    enum FindOption { WholeWord = 2, MatchCase = 4, NoHighlight = 8 };
    enum Alignment { AlignLeft = 0, AlignRight = 1, AlignCenter = 2 };

    explicit LetterEditor(QWidget* parent = nullptr);
    ~LetterEditor() override;

    QWidget* widget() const;
    QTextEdit* textEdit() const;
    QTextDocument* document() const;

    // The whole content as plain text, lines separated by a line feed; pictures stand as U+FFFC.
    QString Text() const;
    // Replaces the whole content; text beginning with an RTF header is read as rich text.
    void setText(const QString& text);
    int TextLength() const;
    // Reports how much of a long change is done; returns false to cancel it.
    using Progress = std::function<bool(qint64 done, qint64 total)>;
    // Replaces the whole content with plain text as setText does, in pieces, calling `progress`
    // after each; when it returns false the editor is left as it was (text, formats, selection,
    // scroll, undo history) and this returns false. Text beginning with an RTF header is read in
    // one piece.
    // Looks at a document read, before it is shown; may change it. False drops it.
    using Accept = std::function<bool(QTextDocument& read)>;
    // `accept`, when given, sees an RTF text read before it is shown.
    bool setTextInPieces(const QString& text, const Progress& progress, const Accept& accept = {});
    // Text longer than this goes in at the selection in pieces, behind a progress window: a
    // million characters take about half a second to lay out there. A paste of plain text too.
    static constexpr qsizetype textInsertedInPieces = qsizetype(1) << 20;
    // setSelText in pieces, as one undo step; cancelled as setTextInPieces is.
    bool setSelTextInPieces(const QString& text, const Progress& progress);

    QString SelText() const;
    // Replaces the selection, or inserts at the caret, with the formatting of text typed there;
    // the caret then stands after the inserted text with nothing selected.
    void setSelText(const QString& text);
    int SelStart() const;
    void setSelStart(int position); // caret there, nothing selected
    int SelLength() const;
    void setSelLength(int length);
    // Replaces every run of text in the selection by `change` of it, keeping the run's format;
    // pictures and paragraph formats stay as they are. One undo step; the caret then stands
    // after the changed text with nothing selected. Without a selection nothing changes.
    void changeSelText(const std::function<QString(const QString&)>& change);
    // Inserts the whole content of `source` at the selection, replacing it, with its formatting
    // and pictures, as one undo step. An empty source changes nothing.
    void insertContent(const LetterEditor& source);
    // insertContent in pieces of about `paragraphs` paragraphs each, never splitting a list or a
    // table, calling `progress` with the paragraphs copied after each; cancelled as
    // setSelTextInPieces is.
    bool insertContentInPieces(const LetterEditor& source, const Progress& progress,
                               int paragraphs = 5000);
    // Inserts the picture at the selection, replacing it; a null picture changes nothing.
    void insertPicture(const QImage& picture);

    // Tri-state: std::nullopt when the selection is mixed. Setting applies to the selection, or to
    // the text typed next at the caret.
    std::optional<bool> SelBold() const;
    void setSelBold(bool on);
    std::optional<bool> SelItalic() const;
    void setSelItalic(bool on);
    std::optional<bool> SelUnderline() const;
    void setSelUnderline(bool on);
    std::optional<bool> SelBullet() const;
    void setSelBullet(bool on);
    // Numbered list, the companion of bullets.
    std::optional<bool> SelNumbering() const;
    void setSelNumbering(bool on);

    std::optional<int> SelAlignment() const;
    void setSelAlignment(int alignment);

    // Paragraph indents in the current scale unit (pixels of the editor's screen underneath): the
    // left indent, where the first line starts, and the hanging indent, how much further in the
    // other lines start (negative: less far). Neither lets a line start left of the margin: a left
    // indent below 0 becomes 0. A list's own indent comes on top of both.
    std::optional<double> SelIndent() const;
    void setSelIndent(double indent);
    std::optional<double> SelHangingIndent() const;
    void setSelHangingIndent(double indent);
    ScaleUnit scaleUnit() const { return unit; }
    void setScaleUnit(ScaleUnit scale) { unit = scale; }

    // Colour as 0x00BBGGRR; std::nullopt when mixed.
    std::optional<quint32> SelColor() const;
    void setSelColor(quint32 bgr);
    std::optional<QString> SelFontName() const;
    void setSelFontName(const QString& family);
    std::optional<double> SelFontSize() const;
    void setSelFontSize(double points);
    // Applies every attribute of the font (face, size, weight, italic, underline, strike-out).
    void setSelFont(const QFont& font);

    // The base font.
    QFont Font() const;
    void setFont(const QFont& font);

    // Searches from `start` to `end` (-1: the end of the text); the match must lie within. Returns
    // the match's position or -1; without NoHighlight the match becomes the selection. A whole
    // word has no letter, digit or combining mark right before or after it. An empty text is
    // never found.
    int Find(const QString& text, int start, int end = -1, int options = 0);
    // Replaces every match as Find and SelText would one after another from the start of the
    // text, each with the formatting of its match's first character, in one edit (one undo step,
    // one relayout); returns how many were replaced. Text inserted is never searched again.
    int replaceEvery(const QString& text, const QString& replacement, int options = 0);

    // Replaces the content with the file; returns false (content unchanged) when it cannot be read,
    // with `error` set when given.
    bool LoadFile(const QString& path, FileKind kind, QString* error = nullptr);
    // LoadFile behind `progress`, told of the units of the file's text read; when it says stop,
    // the editor is left as it was, as setTextInPieces leaves it, and this returns false with
    // `error` empty. `accept`, when given, sees the file's document before it is shown, and
    // returns false with `error` empty when it drops it.
    bool LoadFile(const QString& path, FileKind kind, const Progress& progress,
                  QString* error = nullptr, const Accept& accept = {});
    // Writes the content as plain text, RTF or OpenDocument Text, replacing the file in one step;
    // returns false with `error` set when it fails, leaving the old file.
    bool SaveFile(const QString& path, FileKind kind, QString* error = nullptr);

    void undo();
    void cut();
    void copy();
    void paste();
    void clear(); // removes the selection
    // As the Del key: removes the selection, or without one the character after the caret.
    void deleteForward();

    // First position of a 0-based line (a paragraph; word wrap makes no lines); line -1 is the
    // caret's line; -1 when there is no such line.
    int lineIndex(int line) const;
    int lineCount() const;

    // Several changes that make one command: one undo step, one relayout and one Change at
    // endEdit. Pairs may nest. Meanwhile the members read and set the edit's own selection; the
    // widget shows it at endEdit.
    void beginEdit();
    void endEdit();

    void setFocus();
    bool hasFocus() const;

    // The formats drawn over the text without being part of it, such as the spelling underline.
    DisplayFormats* displayFormats() const;
    // The position nearest to a point of the widget over text: before the character there, or
    // after it when the point is on its second half; -1 where there is no text.
    int positionAt(int x, int y) const;
    // The first and last positions on screen.
    std::pair<int, int> visibleRange() const;
    // Where the caret stands, in the widget.
    QRect caretRect() const;

signals:
    // The content changed, by the user or by the program; formatting counts too.
    void Change();
    void GotFocus();
    // button 1 left, 2 right, 4 middle; shift state as Qt::KeyboardModifiers; x and y in the
    // widget. The editor opens no context menu of its own.
    void MouseDown(int button, int shift, int x, int y);
    // The menu key, or Shift+F10, asks for the popup menu at the caret.
    void ContextMenuKey();
    // A long file was read into a document of its own, which now stands in the editor in place
    // of the old one: what follows the document follows the new one.
    void documentReplaced();

private:
    // The selection: the edit's own cursor while an edit is open, otherwise the widget's.
    QTextCursor cursor() const;
    void setCursor(const QTextCursor& cursor);
    // Runs a command of the widget itself on the current selection.
    template <typename Command> void onWidgetCursor(Command command);
    void mergeCharFormat(const QTextCharFormat& format);
    void replaceContent(const QString& text);
    void replaceContentPlain(const QString& text);
    void replaceContentRich(const std::function<void(QTextCursor&)>& read);
    // The work of insertContent.
    void insertFragmentOf(const LetterEditor& source);
    // Gives the document copies of the source's pictures used from `start` to `end`, so that
    // they outlive the source's next content.
    void adoptPicturesOf(const LetterEditor& source, int start, int end);
    // Writes `text` at `writer` in pieces, asking `progress` after each; false when it said stop.
    bool writeInPieces(QTextCursor& writer, const QString& text, const QTextCharFormat& format,
                       const Progress& progress);
    // Chooses how lines break for text about to go in; `replacing`: it is the whole document.
    void fitWrapping(QStringView text, bool replacing);
    static void fitWrappingOf(QTextDocument* doc, QStringView text, bool replacing);
    // Writes the new content with `write` into a document of its own, then shows it in place of
    // the letter; when `write` or `accept` returns false, nothing changes and this returns false.
    // `text`: the plain text written, when it is that.
    bool replaceDocument(const std::function<bool(QTextCursor&)>& write,
                         const std::optional<QString>& text, const Accept& accept = {});
    // Keeps the caches in step with the editor's document.
    void followDocument();
    // The document's text as Find searches it for `pattern`.
    QString textToSearch(const QString& pattern) const;
    int clampPosition(qint64 position) const;
    double toUnits(qreal pixels) const;
    qreal toPixels(double units) const;

    QPointer<EditorWidget> editor;
    ScaleUnit unit = ScaleUnit::Twips;
    std::optional<QTextCursor> editCursor;
    // While the document is unchanged: its text as searched, and the plain text it was loaded
    // from, which gives that text without reading the document.
    mutable std::optional<QString> searchedText;
    mutable std::optional<QString> loadedText;
    int editDepth = 0;
};

} // namespace lw
