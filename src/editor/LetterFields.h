#pragma once

#include "editor/FieldVocabulary.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QTextCursor>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QTextDocument;

namespace lw {

// One place of a field in the document.
struct FieldOccurrence
{
    int position = 0; // of its opening bracket
    int length = 0;   // both brackets included
    QString name;     // as it stands, brackets included: "[Amount]"

    int end() const { return position + length; }
    bool operator==(const FieldOccurrence&) const = default;
};

// A bracketed text of a paragraph that has the shape of a field, by offset in the paragraph.
struct BracketedText
{
    int offset = 0;
    int length = 0; // both brackets included
    bool operator==(const BracketedText&) const = default;
};

// The longest name a field may have, brackets left out, in characters.
inline constexpr int maximumFieldNameLength = 60;

// The bracketed texts of one paragraph that have the shape of a field: between a '[' and the next
// ']', 1 to 60 characters on one line, not starting with a blank and holding at least one letter.
// Of nested brackets the innermost pair counts; a bracket without its partner is plain text.
QList<BracketedText> findBracketedTexts(QStringView paragraph);

// The fields of a letter: its bracketed placeholders such as "[Recipient Name]", in the order they
// first appear, kept up to date as the document changes. A bracketed text is a field when the
// vocabulary holds it or when it occurs twice or more; "[sic]" standing once is plain text. What a
// fill put in is the user's text and never a field, brackets or not.
//
// Only the paragraphs an edit touches are read again, so that it keeps pace with typing in a long
// document.
//
// It needs no window: to fill a letter away from the editor, as for many recipients, give it a
// copy of the document (QTextDocument::clone()) and fill that copy; the editor's letter stays as
// it is. One LetterFields per document (one whose document is gone finds nothing); it follows every
// change made to the document, by anyone, while it exists. Values are plain text.
class LetterFields : public QObject
{
    Q_OBJECT
public:
    LetterFields(QTextDocument* document, const FieldVocabulary& vocabulary,
                 QObject* parent = nullptr);
    ~LetterFields() override;

    QTextDocument* document() const { return doc; }
    const FieldVocabulary& vocabulary() const { return words; }

    // Every field once, in the order of its first occurrence.
    QStringList fields() const;
    bool isField(const QString& name) const;
    bool isEmpty() const;
    // How often the bracketed text occurs, whether it is a field or not.
    int occurrenceCount(const QString& name) const;
    // The places of a field, first to last; none when it is not a field.
    QList<FieldOccurrence> occurrences(const QString& name) const;
    // The places of every field that overlap the range, first to last.
    QList<FieldOccurrence> occurrencesBetween(int from, int to) const;
    // The first field that starts at or after `position`, else the first of the document.
    std::optional<FieldOccurrence> nextField(int position) const;
    // The last field that starts before `position`, else the last of the document.
    std::optional<FieldOccurrence> previousField(int position) const;
    std::optional<FieldOccurrence> firstField() const;

    // Replaces every occurrence of each named field by its value, in one undo step. Each value
    // takes the format of the field's name where it stood, so that a bold "[Amount]" becomes a bold
    // amount; line breaks in a value become paragraph breaks. Names that are not fields are passed
    // over, and a value is never taken for fields, nor filled in turn. Returns the number of
    // occurrences replaced.
    int fill(const QList<std::pair<QString, QString>>& values);
    int fill(const QString& name, const QString& value);

    // Reads the whole document again.
    void rescan();
    // Follows `document` instead, as the editor's new document: read whole, nothing filled.
    void setDocument(QTextDocument* document);

signals:
    // The fields, their order or their places have changed.
    void fieldsChanged();
    // The whole content was removed at once, as when another letter or file takes the editor, or
    // another document took its place.
    void documentReplaced();

private:
    struct Candidate
    {
        int offset;
        int length;
        QString name;
        bool operator==(const Candidate&) const = default;
    };
    using Paragraph = std::vector<Candidate>;

    // The text a fill put in, from its first character to after its last: a start that moves
    // on with text typed before the value and an end that stays before text typed after it.
    struct Filled
    {
        QTextCursor start;
        QTextCursor end;
    };

    void contentsChange(int from, int removed, int added);
    std::unique_ptr<Paragraph> scan(int blockNumber) const;
    bool isFilledText(int position) const;
    void count(const Paragraph* paragraph, int step);
    int blockPosition(int blockNumber) const;
    // Calls `visit(blockNumber, candidate)` on every field from the paragraph `first` on, in order
    // and around the end, until it returns true. Returns whether it did.
    template <typename Visit> bool forEachField(int first, Visit visit) const;

    QPointer<QTextDocument> doc;
    FieldVocabulary words;
    std::vector<std::unique_ptr<Paragraph>> paragraphs; // one per block; null for none
    QHash<QString, int> counts;
    std::vector<Filled> filled; // in the order of the document
    int characters = 0;
    mutable std::optional<QStringList> ordered;
};

} // namespace lw
