#pragma once

#include "editor/FieldVocabulary.h"
#include "formats/DocumentText.h"
#include "merge/MergeChecks.h"
#include "merge/MergeTable.h"

#include <QList>
#include <QPageLayout>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QPrinter;
class QTextDocument;

namespace lw {

// One letter to many recipients: the fields of a letter filled from the rows of a table, one
// letter a row. The letter is copied once; each recipient's letter is made when it is asked for
// and let go after it is written, so that a long table needs no more memory than a short one.
class MailMerge
{
public:
    // `letter` is copied with its formats and pictures. A bracketed text is a field of the merge
    // when the vocabulary holds it, when it stands in the letter more than once, or when a column
    // of the table is named so.
    MailMerge(const QTextDocument& letter, MergeTable table,
              const FieldVocabulary& vocabulary = FieldVocabulary::installed());
    ~MailMerge();
    MailMerge(const MailMerge&) = delete;
    MailMerge& operator=(const MailMerge&) = delete;

    const MergeTable& table() const { return rows; }
    // The letter's fields with their brackets, in the order they first appear.
    const QStringList& fields() const { return letterFields; }
    MergeChecks checks() const;
    int letterCount() const { return rows.rowCount(); }

    // The values of a recipient's letter (0-based): each field that has a non-empty cell, with
    // its text. Fields whose cell is empty or missing are left out, and stay as they are.
    QList<std::pair<QString, QString>> values(int letter) const;
    // The letter of a recipient, its fields filled.
    std::unique_ptr<QTextDocument> letter(int letter) const;
    // The letter as the merge holds it, every field as it stands.
    const QTextDocument& unfilled() const { return *original; }
    // Fills a recipient's fields in `copy`, a copy of unfilled() with its text as it is, in one
    // edit block: where the copy keeps its undo, one undo puts it back.
    void fill(QTextDocument& copy, int letter) const;
    // The plain text of a recipient's letter: documentText(*letter(n)), made without a document.
    QString plainLetter(int letter) const;

private:
    MergeTable rows;
    std::unique_ptr<QTextDocument> original;
    FieldVocabulary words;
    QStringList letterFields;
    QList<std::pair<QString, int>> columnOfField;
    // Every place of a field that has a column, first to last, as the field engine found them.
    struct Place
    {
        int position;
        int length;
        int field; // into columnOfField
    };
    // The row's value for the place, trimmed, its line breaks as line feeds; empty for none.
    QString valueFor(const Place& place, const QStringList& cells) const;

    std::vector<Place> places;
    QString originalText; // plainText of the original
};

// The paper of the locale: Letter in the United States, A4 elsewhere, in portrait.
QPageLayout defaultMergeLayout();

// How letters are laid on paper: the page, the margins in twips from the paper's edges (half an
// inch, as Print uses), and the resolution of the screen the letter was laid out for.
struct MergePage
{
    QPageLayout layout = defaultMergeLayout();
    int leftMargin = 720;
    int topMargin = 720;
    int rightMargin = 720;
    int bottomMargin = 720;
    QSizeF screenDpi{96, 96};
    QString title; // the PDF's title
};

enum class MergeFormat { Text, Rtf, OpenDocument, Pdf };

// The extension of the files of a format, without its dot; the format of an extension
// ("txt", "rtf", "odt", "pdf"; letter case does not count).
QString extensionOf(MergeFormat format);
std::optional<MergeFormat> mergeFormatOf(const QString& extension);

// What a merge did.
struct MergeResult
{
    int written = 0; // letters written or printed
    bool cancelled = false;
    QString error;     // why it stopped, naming the file; empty when it did not fail
    QStringList files; // the files written, in order

    bool failed() const { return !error.isEmpty(); }
};

// Told after each letter with the number done; returns false to stop before the next one.
using MergeProgress = std::function<bool(int done)>;

// One file per letter in `folder`, named from the column `nameColumn` (-1: "Letter 001"...).
struct FileMerge
{
    QString folder;
    MergeFormat format = MergeFormat::Text;
    int nameColumn = -1;
    // How text files are encoded: as the letter's own file.
    TextFileFormat textFormat;
    MergePage page;
    // Files of the same names already in the folder are replaced; otherwise the merge refuses
    // to start when there is one.
    bool replaceExisting = false;
};

// The names the files of a merge get, in the order of the letters.
QStringList mergeFileNames(const MailMerge& merge, MergeFormat format, int nameColumn);
// Those of them that are already in the folder.
QStringList existingMergeFiles(const MailMerge& merge, const FileMerge& job);

// Writes every letter to a file of its own. Each file is written whole or not at all: a cancel or
// a failure leaves the files written before it, complete, and no part of another.
MergeResult mergeToFiles(const MailMerge& merge, const FileMerge& job,
                         const MergeProgress& progress = {});

// Writes every letter into one PDF file, each from a new page. The file appears only once it is
// complete: a cancel or a failure leaves what stood there before.
MergeResult mergeToPdf(const MailMerge& merge, const QString& path, const MergePage& page,
                       const MergeProgress& progress = {});

// Prints every letter as one job on the printer, each from a new page, with the page's margins
// (its layout is the printer's own). A cancel ends the job after the letter in hand.
MergeResult mergeToPrinter(const MailMerge& merge, QPrinter& printer, const MergePage& page,
                           const MergeProgress& progress = {});

} // namespace lw
