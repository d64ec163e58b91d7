#include "merge/MailMergeDialog.h"

#include "editor/DocumentFiles.h"
#include "merge/MailMerge.h"
#include "merge/MergeNames.h"
#include "platform/Services.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>

namespace lw {

namespace {

const QString mergeTitle = QStringLiteral("Mail Merge");

QString letters(int count)
{
    return count == 1 ? QStringLiteral("1 letter") : QStringLiteral("%1 letters").arg(count);
}

// A label whose text names the control it stands before, for the eye and for a screen reader.
QLabel* labelFor(const QString& text, QWidget* control, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(control);
    control->setAccessibleName(QString(text).remove(u'&'));
    return label;
}

QPushButton* button(const QString& text, QWidget* parent)
{
    auto* result = new QPushButton(text, parent);
    result->setAccessibleName(QString(text).remove(u'&').remove(QStringLiteral("...")));
    result->setAutoDefault(false);
    return result;
}

} // namespace

MailMergeDialog::MailMergeDialog(QWidget* parent, const QTextDocument& letter, const QString& title,
                                 const TextFileFormat& textFormat, QSizeF screenDpi)
    : QDialog(parent), original(letter.clone()), letterTitle(title), fileFormat(textFormat),
      dpi(screenDpi)
{
    setObjectName(QStringLiteral("MailMergeDialog"));
    setWindowTitle(mergeTitle);
    setAccessibleName(mergeTitle);
    setSizeGripEnabled(true);

    // The table.
    table = new QLineEdit(this);
    table->setReadOnly(true);
    browseTable = button(QStringLiteral("&Choose Table..."), this);
    auto* tableRow = new QHBoxLayout;
    tableRow->addWidget(labelFor(QStringLiteral("&Table:"), table, this));
    tableRow->addWidget(table, 1);
    tableRow->addWidget(browseTable);

    // What the table holds for the letter.
    auto* checksBox = new QGroupBox(QStringLiteral("Checks"), this);
    checks = new QPlainTextEdit(checksBox);
    checks->setReadOnly(true);
    checks->setTabChangesFocus(true);
    checks->setAccessibleName(QStringLiteral("Checks"));
    checks->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    auto* checksLayout = new QVBoxLayout(checksBox);
    checksLayout->addWidget(checks);

    // One recipient's letter.
    auto* previewBox = new QGroupBox(QStringLiteral("Preview"), this);
    position = new QLabel(QStringLiteral("No table chosen."), previewBox);
    position->setAccessibleName(QStringLiteral("Letter shown"));
    preview = new QTextEdit(previewBox);
    preview->setReadOnly(true);
    preview->setTabChangesFocus(true);
    preview->setAccessibleName(QStringLiteral("Preview"));
    previous = button(QStringLiteral("&Previous"), previewBox);
    next = button(QStringLiteral("&Next"), previewBox);
    auto* stepRow = new QHBoxLayout;
    stepRow->addWidget(position, 1);
    stepRow->addWidget(previous);
    stepRow->addWidget(next);
    auto* previewLayout = new QVBoxLayout(previewBox);
    previewLayout->addLayout(stepRow);
    previewLayout->addWidget(preview, 1);

    // Where the letters go.
    auto* outputBox = new QGroupBox(QStringLiteral("Output"), this);
    printAll = new QRadioButton(QStringLiteral("Print &all letters"), outputBox);
    onePdf = new QRadioButton(QStringLiteral("&One PDF with all letters"), outputBox);
    perLetter = new QRadioButton(QStringLiteral("One &file per letter"), outputBox);
    for (QRadioButton* choice : {printAll, onePdf, perLetter})
        choice->setAccessibleName(choice->text().remove(u'&'));
    outputs = new QButtonGroup(this);
    outputs->addButton(printAll, int(Output::Print));
    outputs->addButton(onePdf, int(Output::SinglePdf));
    outputs->addButton(perLetter, int(Output::Files));
    perLetter->setChecked(true);

    format = new QComboBox(outputBox);
    format->addItem(QStringLiteral("Text (.txt)"), int(MergeFormat::Text));
    format->addItem(QStringLiteral("Rich Text Format (.rtf)"), int(MergeFormat::Rtf));
    format->addItem(QStringLiteral("OpenDocument Text (.odt)"), int(MergeFormat::OpenDocument));
    format->addItem(QStringLiteral("PDF (.pdf)"), int(MergeFormat::Pdf));
    folder = new QLineEdit(outputBox);
    browseFolder = button(QStringLiteral("Choose Fold&er..."), outputBox);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(folder, 1);
    folderRow->addWidget(browseFolder);
    nameColumn = new QComboBox(outputBox);
    auto* fileSettings = new QFormLayout;
    fileSettings->addRow(labelFor(QStringLiteral("Fo&rmat:"), format, outputBox), format);
    fileSettings->addRow(labelFor(QStringLiteral("Fol&der:"), folder, outputBox), folderRow);
    fileSettings->addRow(
        labelFor(QStringLiteral("Name files from co&lumn:"), nameColumn, outputBox), nameColumn);
    auto* outputLayout = new QVBoxLayout(outputBox);
    outputLayout->addWidget(printAll);
    outputLayout->addWidget(onePdf);
    outputLayout->addWidget(perLetter);
    outputLayout->addLayout(fileSettings);

    mergeNow = new QPushButton(QStringLiteral("&Merge"), this);
    mergeNow->setAccessibleName(QStringLiteral("Merge"));
    mergeNow->setDefault(true);
    close = new QPushButton(QStringLiteral("Close"), this);
    close->setAccessibleName(QStringLiteral("Close"));
    close->setAutoDefault(false);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(mergeNow, QDialogButtonBox::AcceptRole);
    buttons->addButton(close, QDialogButtonBox::RejectRole);

    auto* left = new QVBoxLayout;
    left->addWidget(checksBox, 1);
    left->addWidget(outputBox);
    auto* middle = new QHBoxLayout;
    middle->addLayout(left, 2);
    middle->addWidget(previewBox, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(tableRow);
    layout->addLayout(middle, 1);
    layout->addWidget(buttons);
    resize(1000, 680);

    connect(browseTable, &QPushButton::clicked, this, &MailMergeDialog::chooseTable);
    connect(browseFolder, &QPushButton::clicked, this, &MailMergeDialog::chooseFolder);
    connect(previous, &QPushButton::clicked, this, &MailMergeDialog::previousLetter);
    connect(next, &QPushButton::clicked, this, &MailMergeDialog::nextLetter);
    connect(mergeNow, &QPushButton::clicked, this, [this] { merge(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(outputs, &QButtonGroup::idClicked, this, [this] { updateControls(); });
    connect(folder, &QLineEdit::textChanged, this, [this] { updateControls(); });
    updateControls();
    browseTable->setFocus();
}

MailMergeDialog::~MailMergeDialog()
{
    // The preview lets go of its document before the document goes.
    preview->setDocument(nullptr);
}

void MailMergeDialog::chooseTable()
{
    FileDialogRequest request;
    request.parent = this;
    request.title = QStringLiteral("Choose the table of recipients");
    request.nameFilters = {QStringLiteral("Tables (*.csv *.tsv *.txt)"),
                           QStringLiteral("All Files (*)")};
    const QString current = table->text();
    request.initialDir = current.isEmpty()
                             ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                             : QFileInfo(current).absolutePath();
    const std::optional<QStringList> chosen = services().dialogs->openFiles(request);
    if (chosen && !chosen->isEmpty())
        openTable(chosen->first());
}

bool MailMergeDialog::openTable(const QString& path)
{
    QString error;
    std::optional<MergeTable> read = MergeTable::read(path, &error);
    if (!read) {
        message(this, error, mergeTitle, MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    if (read->rowCount() == 0) {
        message(this,
                QStringLiteral("The table %1 has no rows below its header: there is nobody to "
                               "write to.")
                    .arg(QDir::toNativeSeparators(path)),
                mergeTitle, MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    const QStringList columns = read->columns();
    preview->setDocument(nullptr);
    previewDocument.reset();
    mailMerge = std::make_unique<MailMerge>(*original, std::move(*read));
    table->setText(QDir::toNativeSeparators(path));

    const MergeChecks found = mailMerge->checks();
    QStringList lines{QStringLiteral("%1 from %2 rows.")
                          .arg(letters(mailMerge->letterCount()))
                          .arg(mailMerge->letterCount() + found.emptyRows.size())};
    lines += found.describe();
    checks->setPlainText(lines.join(u'\n'));

    nameColumn->clear();
    nameColumn->addItem(QStringLiteral("(none: Letter 1, Letter 2...)"), -1);
    for (int column = 0; column < columns.size(); ++column) {
        if (!columns.at(column).isEmpty())
            nameColumn->addItem(columns.at(column), column);
    }
    // Files are best named after the recipient where the table has one.
    const int recipient = mailMerge->table().columnOf(QStringLiteral("Recipient Name"));
    const int named = nameColumn->findData(
        recipient >= 0 ? recipient : mailMerge->table().columnOf(QStringLiteral("Name")));
    nameColumn->setCurrentIndex(std::max(named, 0));
    if (folder->text().isEmpty())
        folder->setText(QDir::toNativeSeparators(QFileInfo(path).absolutePath()));

    showLetter(0);
    return true;
}

void MailMergeDialog::chooseFolder()
{
    FileDialogRequest request;
    request.parent = this;
    request.title = QStringLiteral("Choose the folder for the letters");
    request.initialDir = folder->text();
    const std::optional<QString> chosen = services().dialogs->chooseFolder(request);
    if (chosen)
        folder->setText(QDir::toNativeSeparators(*chosen));
}

void MailMergeDialog::showLetter(int letter)
{
    if (!mailMerge || letter < 0 || letter >= mailMerge->letterCount())
        return;
    std::unique_ptr<QTextDocument> shown = mailMerge->letter(letter);
    preview->setDocument(shown.get());
    previewDocument = std::move(shown);
    shownLetter = letter;
    position->setText(QStringLiteral("Letter %1 of %2 (row %3 of the table)")
                          .arg(letter + 1)
                          .arg(mailMerge->letterCount())
                          .arg(mailMerge->table().tableRow(letter)));
    updateControls();
}

void MailMergeDialog::previousLetter()
{
    showLetter(shownLetter - 1);
}

void MailMergeDialog::nextLetter()
{
    showLetter(shownLetter + 1);
}

void MailMergeDialog::setOutput(Output output)
{
    outputs->button(int(output))->setChecked(true);
    updateControls();
}

void MailMergeDialog::updateControls()
{
    const bool loaded = mailMerge != nullptr;
    previous->setEnabled(loaded && shownLetter > 0);
    next->setEnabled(loaded && shownLetter + 1 < mailMerge->letterCount());
    const bool files = perLetter->isChecked();
    format->setEnabled(files);
    folder->setEnabled(files);
    browseFolder->setEnabled(files);
    nameColumn->setEnabled(files && loaded);
    mergeNow->setEnabled(loaded && (!files || !folder->text().trimmed().isEmpty()));
}

bool MailMergeDialog::confirmChecks()
{
    const MergeChecks found = mailMerge->checks();
    if (found.fieldsWithoutColumn.isEmpty() && found.emptyCells.isEmpty() &&
        found.otherCellCounts.isEmpty())
        return true;
    return message(this,
                   QStringLiteral("The checks found fields that stay as they are in some letters "
                                  "(see Checks).\nMerge all %1 anyway?")
                       .arg(letters(mailMerge->letterCount())),
                   mergeTitle, MsgButtons::YesNo, MsgIcon::Exclamation) == MsgAnswer::Yes;
}

bool MailMergeDialog::merge()
{
    if (!mailMerge || !confirmChecks())
        return false;
    const auto output = Output(outputs->checkedId());
    const int total = mailMerge->letterCount();

    MergePage page;
    PrinterService& printers = *services().printers;
    page.layout = printers.currentPrinter().pageLayout();
    page.screenDpi = dpi;
    page.title = letterTitle;

    QString where;
    FileMerge job;
    if (output == Output::SinglePdf) {
        FileDialogRequest request;
        request.parent = this;
        request.title = QStringLiteral("Save the letters as one PDF");
        request.nameFilters = {QStringLiteral("PDF Files (*.pdf)")};
        request.initialDir = folder->text();
        request.defaultFilename = safeFileName(letterTitle).isEmpty()
                                      ? QStringLiteral("Letters.pdf")
                                      : safeFileName(letterTitle) + QStringLiteral(".pdf");
        const std::optional<QString> chosen = services().dialogs->saveFile(request);
        if (!chosen)
            return false;
        where = withDefaultExtension(*chosen, QStringLiteral("pdf"));
        // The dialog asked about the name as typed, not about this one.
        if (where != *chosen && QFileInfo::exists(where) &&
            message(this,
                    QStringLiteral("%1 already exists.\nDo you want to replace it?")
                        .arg(QDir::toNativeSeparators(where)),
                    mergeTitle, MsgButtons::YesNo, MsgIcon::Exclamation) != MsgAnswer::Yes)
            return false;
    } else if (output == Output::Files) {
        job.folder = QDir::fromNativeSeparators(folder->text().trimmed());
        job.format = MergeFormat(format->currentData().toInt());
        job.nameColumn = nameColumn->currentData().toInt();
        job.textFormat = fileFormat;
        job.page = page;
        where = job.folder;
        if (!QFileInfo(job.folder).isDir()) {
            message(this,
                    QStringLiteral("The folder %1 does not exist.")
                        .arg(QDir::toNativeSeparators(job.folder)),
                    mergeTitle, MsgButtons::Ok, MsgIcon::Exclamation);
            return false;
        }
        const QStringList existing = existingMergeFiles(*mailMerge, job);
        if (!existing.isEmpty()) {
            const QString question =
                existing.size() == 1
                    ? QStringLiteral("%1 already exists.\nDo you want to replace it?")
                          .arg(QDir::toNativeSeparators(existing.first()))
                    : QStringLiteral("%1 of the letters' files are already in %2, such as %3.\n"
                                     "Do you want to replace them?")
                          .arg(existing.size())
                          .arg(QDir::toNativeSeparators(job.folder),
                               QFileInfo(existing.first()).fileName());
            if (message(this, question, mergeTitle, MsgButtons::YesNo, MsgIcon::Exclamation) !=
                MsgAnswer::Yes)
                return false;
            job.replaceExisting = true;
        }
    }

    std::unique_ptr<ProgressReport> report;
    if (ProgressService* progress = services().progress)
        report = progress->begin(this, QStringLiteral("Writing %1...").arg(letters(total)), total);
    const auto step = [&](int done) { return !report || report->advance(done); };
    MergeResult result;
    switch (output) {
    case Output::Print:
        result = mergeToPrinter(*mailMerge, printers.currentPrinter(), page, step);
        where = printers.printsToFiles() ? printers.currentPrinter().outputFileName() : QString();
        break;
    case Output::SinglePdf:
        result = mergeToPdf(*mailMerge, where, page, step);
        break;
    case Output::Files:
        result = mergeToFiles(*mailMerge, job, step);
        break;
    }
    report.reset();
    tell(result, output, where);
    return !result.failed() && !result.cancelled;
}

void MailMergeDialog::tell(const MergeResult& result, Output output, const QString& where)
{
    const int total = mailMerge->letterCount();
    const QString place = QDir::toNativeSeparators(where);
    if (result.failed()) {
        QString text = result.error;
        if (output == Output::Files && result.written > 0)
            text += QStringLiteral("\n%1 of %2 had been written to %3.")
                        .arg(result.written)
                        .arg(letters(total), place);
        else if (output == Output::Files)
            text += QStringLiteral("\nNo letter was written.");
        message(this, text, mergeTitle, MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    if (result.cancelled) {
        QString text;
        switch (output) {
        case Output::Print:
            text = QStringLiteral("The merge was cancelled: %1 of %2 were printed.")
                       .arg(result.written)
                       .arg(letters(total));
            break;
        case Output::SinglePdf:
            text = QStringLiteral("The merge was cancelled: no PDF was written.");
            break;
        case Output::Files:
            text = QStringLiteral("The merge was cancelled: %1 of %2 were written to %3.")
                       .arg(result.written)
                       .arg(letters(total), place);
            break;
        }
        message(this, text, mergeTitle, MsgButtons::Ok, MsgIcon::Information);
        return;
    }
    QString text;
    switch (output) {
    case Output::Print:
        text = where.isEmpty()
                   ? QStringLiteral("%1 printed.").arg(letters(result.written))
                   : QStringLiteral("No printer is installed, so %1 were printed to the PDF file "
                                    "%2.")
                         .arg(letters(result.written), place);
        break;
    case Output::SinglePdf:
        text = QStringLiteral("%1 written into %2.").arg(letters(result.written), place);
        break;
    case Output::Files:
        text = QStringLiteral("%1 written to %2.").arg(letters(result.written), place);
        break;
    }
    message(this, text, mergeTitle, MsgButtons::Ok, MsgIcon::Information);
}

} // namespace lw
