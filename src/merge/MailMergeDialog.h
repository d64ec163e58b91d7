#pragma once

#include "formats/DocumentText.h"

#include <QDialog>
#include <QSizeF>
#include <memory>

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTextDocument;
class QTextEdit;

namespace lw {

class MailMerge;
struct MergeResult;

// Mail Merge: the letter in the editor filled from each row of a table. The window chooses the
// table, shows the checks and a preview of any recipient's letter, and starts the merge in the
// chosen output; the work is MailMerge's.
class MailMergeDialog : public QDialog
{
    Q_OBJECT
public:
    // `letter` is copied as it stands; `title` names the letters (the PDF's title).
    MailMergeDialog(QWidget* parent, const QTextDocument& letter, const QString& title,
                    const TextFileFormat& textFormat, QSizeF screenDpi);
    ~MailMergeDialog() override;

    // Reads the table and shows its checks and the first letter; a table that cannot be read is
    // told in a message and the window stays as it was.
    bool openTable(const QString& path);
    void chooseTable();
    void chooseFolder();
    void showLetter(int letter);
    void previousLetter();
    void nextLetter();
    // Merges into the chosen output, after the user agreed to go on where the checks found
    // something. Returns true when every letter was made.
    bool merge();

    enum class Output { Print, SinglePdf, Files };
    void setOutput(Output output);

    QLineEdit* tableEdit() const { return table; }
    QPlainTextEdit* checksView() const { return checks; }
    QTextEdit* previewView() const { return preview; }
    QLabel* letterLabel() const { return position; }
    QPushButton* previousButton() const { return previous; }
    QPushButton* nextButton() const { return next; }
    QRadioButton* printChoice() const { return printAll; }
    QRadioButton* pdfChoice() const { return onePdf; }
    QRadioButton* filesChoice() const { return perLetter; }
    QComboBox* formatBox() const { return format; }
    QLineEdit* folderEdit() const { return folder; }
    QComboBox* nameColumnBox() const { return nameColumn; }
    QPushButton* mergeButton() const { return mergeNow; }
    int currentLetter() const { return shownLetter; }

private:
    void updateControls();
    bool confirmChecks();
    void tell(const MergeResult& result, Output output, const QString& where);

    std::unique_ptr<QTextDocument> original;
    QString letterTitle;
    TextFileFormat fileFormat;
    QSizeF dpi;
    std::unique_ptr<MailMerge> mailMerge;
    std::unique_ptr<QTextDocument> previewDocument;
    int shownLetter = -1;

    QLineEdit* table;
    QPushButton* browseTable;
    QPlainTextEdit* checks;
    QLabel* position;
    QTextEdit* preview;
    QPushButton* previous;
    QPushButton* next;
    QButtonGroup* outputs;
    QRadioButton* printAll;
    QRadioButton* onePdf;
    QRadioButton* perLetter;
    QComboBox* format;
    QLineEdit* folder;
    QPushButton* browseFolder;
    QComboBox* nameColumn;
    QPushButton* mergeNow;
    QPushButton* close;
};

} // namespace lw
