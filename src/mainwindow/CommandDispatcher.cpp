#include "mainwindow/CommandDispatcher.h"

#include "formats/FileKind.h"

#include "editor/DocumentFiles.h"
#include "editor/EditorCommands.h"
#include "editor/EditorTools.h"
#include "editor/FieldTools.h"
#include "editor/FileManagerDialog.h"
#include "editor/LetterEditor.h"
#include "editor/PrintRichText.h"
#include "library/modMain.h"
#include "mainwindow/CommandTables.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/MenuBarControl.h"
#include "mainwindow/PopupMenuControl.h"
#include "mainwindow/SpellingCommands.h"
#include "merge/MailMergeDialog.h"
#include "platform/ProgramFolders.h"
#include "platform/RegularFile.h"
#include "platform/Services.h"

#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>
#include <QTextDocument>
#include <QUrl>

namespace lw {

namespace {

using Command = void (CommandDispatcher::*)();

struct KeyedCommand
{
    const char* menu; // nullptr where only the item key counts
    const char* key;
    Command run;
};

template <std::size_t N>
Command lookUp(const KeyedCommand (&table)[N], const QString& menu, const QString& key)
{
    for (const KeyedCommand& entry : table) {
        if ((!entry.menu || menu == QLatin1String(entry.menu)) && key == QLatin1String(entry.key))
            return entry.run;
    }
    return nullptr;
}

// Opens a chosen file for reading, or tells why not: one that cannot be read, or no regular file,
// whose reading (a FIFO, a device) would hold the window for good.
bool openChosenFile(QWidget* parent, QFile& file, const QString& title)
{
    QString error;
    if (openRegularFile(file, &error))
        return true;
    message(parent,
            QStringLiteral("The file %1 cannot be opened:\n%2.")
                .arg(QDir::toNativeSeparators(file.fileName()), error),
            title, MsgButtons::Ok, MsgIcon::Exclamation);
    return false;
}

constexpr const char* supportMail = "mailto:support@brightquill.com?subject=Letterwright%206.7";

} // namespace

CommandDispatcher::CommandDispatcher(MainWindow& window)
    : QObject(&window), w(window), editorTools(new EditorTools(&window, window.RTB)),
      spellingCommands(new SpellingCommands(window)),
      fieldTools(new FieldTools(&window, window.RTB))
{
    connect(editorTools, &EditorTools::findNextEnabledChanged, this, [this](bool enabled) {
        w.MenuBar->setItemEnabled(QStringLiteral("mnuEdit"), QStringLiteral("FindNext"), enabled);
    });
    connect(w.RTB, &LetterEditor::MouseDown, this, &CommandDispatcher::RTB_MouseDown);
    connect(w.RTB, &LetterEditor::ContextMenuKey, this, &CommandDispatcher::RTB_ContextMenuKey);
}

void CommandDispatcher::MenuBar_ItemClick(const QString& menuKey, const QString& itemKey)
{
    static const KeyedCommand menuItems[] = {
        {"mnuFile", "Open", &CommandDispatcher::Open},
        {"mnuFile", "Save", &CommandDispatcher::Save},
        {"mnuFile", "SaveAs", &CommandDispatcher::SaveAs},
        {"mnuFile", "Print", &CommandDispatcher::Print},
        {"mnuFile", "PrintPreview", &CommandDispatcher::PrintPreview},
        {"mnuFile", "ExportPdf", &CommandDispatcher::ExportPdf},
        {"mnuFile", "MailMerge", &CommandDispatcher::ShowMailMerge},
        {"mnuFile", "PageSetup", &CommandDispatcher::PageSetup},
        {"mnuFile", "PrintSetup", &CommandDispatcher::PrintSetup},
        {"mnuFile", "Exit", &CommandDispatcher::Exit},
        {"mnuEdit", "Undo", &CommandDispatcher::Undo},
        {"mnuEdit", "Cut", &CommandDispatcher::Cut},
        {"mnuEdit", "Copy", &CommandDispatcher::Copy},
        {"mnuEdit", "Paste", &CommandDispatcher::Paste},
        {"mnuEdit", "Delete", &CommandDispatcher::Delete},
        {"mnuEdit", "SelectAll", &CommandDispatcher::SelectAll},
        {"mnuEdit", "Find", &CommandDispatcher::Find},
        {"mnuEdit", "FindNext", &CommandDispatcher::FindNext},
        {"mnuEdit", "Replace", &CommandDispatcher::Replace},
        {"mnuEdit", "GoTo", &CommandDispatcher::GoTo},
        {"mnuEdit", "File_Manager", &CommandDispatcher::ShowFileManager},
        {"mnuEdit", "Sender_Details", &CommandDispatcher::SenderDetails},
        {"mnuInsert", "Symbol", &CommandDispatcher::Symbol},
        {"mnuInsert", "DateTime", &CommandDispatcher::DateTime},
        {"mnuInsert", "TextFile", &CommandDispatcher::InsertTextFile},
        {"mnuInsert", "Picture", &CommandDispatcher::InsertPicture},
        {"mnuInsert", "FillFields", &CommandDispatcher::FillFields},
        {"mnuInsert", "NextField", &CommandDispatcher::NextField},
        {"mnuInsert", "PreviousField", &CommandDispatcher::PreviousField},
        {"mnuFormat", "Font", &CommandDispatcher::FontDialog},
        {"mnuFormat", "Bullet", &CommandDispatcher::Bullets},
        {"mnuFormat", "To_Upper_Case", &CommandDispatcher::UpperCase},
        {"mnuFormat", "To_Lower_Case", &CommandDispatcher::LowerCase},
        {"mnuFormat", "Increase_Indent", &CommandDispatcher::IncreaseIndent},
        {"mnuFormat", "Decrease_Indent", &CommandDispatcher::DecreaseIndent},
        {"mnuHelp", "Support", &CommandDispatcher::Support},
        {"mnuHelp", "Help", &CommandDispatcher::Help},
    };
    if (spellingCommands->MenuItemClick(menuKey, itemKey))
        return;
    if (const Command run = lookUp(menuItems, menuKey, itemKey))
        (this->*run)();
}

void CommandDispatcher::MenuBar_ToolClick(const QString&, const QString& toolKey)
{
    // NUMBERING toggles a numbered list as BULLETS toggles bullets; TRANSLATE has no command and
    // the colour tool acts through its colours.
    static const KeyedCommand tools[] = {
        {nullptr, "OPEN", &CommandDispatcher::Open},
        {nullptr, "SAVE", &CommandDispatcher::Save},
        {nullptr, "PRINT", &CommandDispatcher::Print},
        {nullptr, "CUT", &CommandDispatcher::Cut},
        {nullptr, "COPY", &CommandDispatcher::Copy},
        {nullptr, "PASTE", &CommandDispatcher::Paste},
        {nullptr, "BOLD", &CommandDispatcher::Bold},
        {nullptr, "ITALIC", &CommandDispatcher::Italic},
        {nullptr, "UNDERLINE", &CommandDispatcher::Underline},
        {nullptr, "LJUSTIFY", &CommandDispatcher::AlignLeft},
        {nullptr, "CJUSTIFY", &CommandDispatcher::AlignCenter},
        {nullptr, "RJUSTIFY", &CommandDispatcher::AlignRight},
        {nullptr, "BULLETS", &CommandDispatcher::Bullets},
        {nullptr, "NUMBERING", &CommandDispatcher::Numbering},
        {nullptr, "DECREASEINDENT", &CommandDispatcher::DecreaseIndent},
        {nullptr, "INCREASEINDENT", &CommandDispatcher::IncreaseIndent},
        {nullptr, "FILLFIELDS", &CommandDispatcher::FillFields},
    };
    if (const Command run = lookUp(tools, QString(), toolKey))
        (this->*run)();
}

void CommandDispatcher::MenuBar_ToolColor(const QString&, const QString&, quint32 bgr)
{
    w.RTB->setSelColor(bgr);
}

void CommandDispatcher::mnuPopup_ItemClick(const QString& menuKey, const QString& itemKey)
{
    static const KeyedCommand popupItems[] = {
        {popupMenuKey, "Undo", &CommandDispatcher::Undo},
        {popupMenuKey, "Cut", &CommandDispatcher::Cut},
        {popupMenuKey, "Copy", &CommandDispatcher::Copy},
        {popupMenuKey, "Paste", &CommandDispatcher::Paste},
        {popupMenuKey, "Delete", &CommandDispatcher::Delete},
        {popupMenuKey, "SelectAll", &CommandDispatcher::SelectAll},
        {popupMenuKey, "Find", &CommandDispatcher::Find},
        {popupMenuKey, "Replace", &CommandDispatcher::PopupReplace},
        {popupMenuKey, "GoTo", &CommandDispatcher::GoTo},
    };
    if (menuKey == QLatin1String(popupMenuKey) && spellingCommands->PopupItemClick(itemKey))
        return;
    if (const Command run = lookUp(popupItems, menuKey, itemKey))
        (this->*run)();
}

void CommandDispatcher::RTB_MouseDown(int button, int, int x, int y)
{
    if (button != 2)
        return;
    spellingCommands->PreparePopup(w.RTB->positionAt(x, y));
    w.mnuPopup->showPopup(QString::fromLatin1(popupMenuKey), QCursor::pos());
}

void CommandDispatcher::RTB_ContextMenuKey()
{
    w.showEditorPopup();
}

FileManagerDialog* CommandDispatcher::fileManager() const
{
    return manageFiles;
}

QString CommandDispatcher::helpPath()
{
    return programDirectory() + QStringLiteral("/help/index.html");
}

QString CommandDispatcher::supportAddress()
{
    return QString::fromLatin1(supportMail);
}

void CommandDispatcher::Open()
{
    w.OpenDocument();
}

void CommandDispatcher::Save()
{
    // Asks about unfilled fields itself, as every save of the document does.
    w.SaveDocument();
}

void CommandDispatcher::SaveAs()
{
    if (!fieldTools->confirmFilled(QStringLiteral("Save")))
        return;
    w.SaveDocumentAs();
}

void CommandDispatcher::Exit()
{
    w.close();
}

void CommandDispatcher::Find()
{
    editorTools->showFind(true);
}

void CommandDispatcher::FindNext()
{
    editorTools->findNext();
}

void CommandDispatcher::Replace()
{
    editorTools->showFind(false);
}

void CommandDispatcher::PopupReplace()
{
    editorTools->showReplaceFromPopup();
}

void CommandDispatcher::GoTo()
{
    editorTools->showGoTo();
}

void CommandDispatcher::Symbol()
{
    editorTools->showSymbols();
}

void CommandDispatcher::DateTime()
{
    editorTools->showTimeDate();
}

void CommandDispatcher::Print()
{
    if (!fieldTools->confirmFilled(QStringLiteral("Print")))
        return;
    PrintDocument(*w.RTB, &w);
}

void CommandDispatcher::PrintPreview()
{
    PreviewRichText(&w, *w.RTB, services().printers->currentPrinter(), 720, 720, 720, 720,
                    [this] { return fieldTools->confirmFilled(QStringLiteral("Print")); });
}

void CommandDispatcher::ExportPdf()
{
    if (!fieldTools->confirmFilled(QStringLiteral("Export")))
        return;
    cDialog& dialog = w.MainDialog;
    // The dialog's other settings are Open's and Save As's: they are left as they were.
    const QString filter = dialog.Filter();
    const qint16 filterIndex = dialog.FilterIndex();
    const QString title = dialog.DialogTitle();
    dialog.setDialogTitle(QStringLiteral("Export as PDF"));
    dialog.setFilter(QStringLiteral("PDF Files (*.pdf)|*.pdf|"));
    dialog.setFilterIndex(1);
    dialog.setCancelError(true);
    QString path;
    try {
        dialog.ShowSave();
        path = dialog.cFileName.Item(1);
    } catch (const std::exception&) {
    }
    dialog.setFilter(filter);
    dialog.setFilterIndex(filterIndex);
    dialog.setDialogTitle(title);
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        path += QStringLiteral(".pdf");
        // The dialog asked about the name as typed, not about this one.
        if (QFileInfo::exists(path) &&
            message(&w,
                    QStringLiteral("%1 already exists.\nDo you want to replace it?")
                        .arg(QDir::toNativeSeparators(path)),
                    QStringLiteral("Export as PDF"), MsgButtons::YesNo,
                    MsgIcon::Exclamation) != MsgAnswer::Yes)
            return;
    }
    QString documentTitle = w.RTB->document()->metaInformation(QTextDocument::DocumentTitle);
    if (documentTitle.isEmpty())
        documentTitle = QFileInfo(path).completeBaseName();
    QString error;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool written = lw::ExportPdf(*w.RTB, services().printers->currentPrinter().pageLayout(),
                                       path, documentTitle, 720, 720, 720, 720, &error);
    QGuiApplication::restoreOverrideCursor();
    if (!written)
        message(&w, error + QStringLiteral("\n\nThe PDF has not been made."),
                QStringLiteral("Export as PDF"), MsgButtons::Ok, MsgIcon::Exclamation);
}

void CommandDispatcher::ShowMailMerge()
{
    // The letters are named after the letter's file, or its title in the library.
    QString title = w.RTB->document()->metaInformation(QTextDocument::DocumentTitle);
    if (title.isEmpty() && !w.CurrentDocumentPath.isEmpty())
        title = QFileInfo(w.CurrentDocumentPath).completeBaseName();
    if (title.isEmpty())
        title = QStringLiteral("Letters");
    const QWidget* editor = w.RTB->widget();
    MailMergeDialog window(&w, *w.RTB->document(), title, w.DocumentFormat,
                           QSizeF(editor->logicalDpiX(), editor->logicalDpiY()));
    window.exec();
}

void CommandDispatcher::OpenRecent(const QString& path)
{
    w.documentFiles.OpenRecentDocument(path);
}

void CommandDispatcher::PageSetup()
{
    try {
        w.MainDialog.ShowPageSetup();
    } catch (const std::exception&) {
        // A cancelled dialog is a choice of nothing.
    }
}

void CommandDispatcher::PrintSetup()
{
    w.MainDialog.ShowPrinter();
}

void CommandDispatcher::FontDialog()
{
    cDialog& dialog = w.MainDialog;
    if (!dialog.ShowFont())
        return;
    QFont font(dialog.FontName());
    font.setPointSize(dialog.FontSize());
    font.setBold(dialog.FontBold());
    font.setItalic(dialog.FontItalic());
    font.setUnderline(dialog.FontUnderline());
    font.setStrikeOut(dialog.FontStrikeThru());
    w.RTB->beginEdit();
    w.RTB->setSelFont(font);
    // The desktop's font dialog offers no colour: the text keeps its own.
    if (dialog.FontColorChosen())
        w.RTB->setSelColor(dialog.FontColor());
    w.RTB->endEdit();
}

void CommandDispatcher::InsertTextFile()
{
    cDialog& dialog = w.MainDialog;
    dialog.setDialogTitle(QStringLiteral("Select File to Insert"));
    dialog.setFilter(QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*|"));
    // A cancel must not insert the file an earlier dialog chose.
    dialog.setCancelError(true);
    QString path;
    try {
        dialog.ShowOpen();
        path = dialog.cFileName.Item(1);
    } catch (const std::exception&) {
        return;
    }
    if (const QString tooLarge = documentFileTooLarge(path); !tooLarge.isEmpty()) {
        message(&w, tooLarge, QStringLiteral("Insert Text File"), MsgButtons::Ok,
                MsgIcon::Exclamation);
        return;
    }
    {
        QFile chosen(path);
        if (!openChosenFile(&w, chosen, QStringLiteral("Insert Text File")))
            return;
    }
    const auto cannotRead = [this, &path] {
        message(&w,
                QStringLiteral("The file %1 cannot be read.").arg(QDir::toNativeSeparators(path)),
                QStringLiteral("Insert Text File"), MsgButtons::Ok, MsgIcon::Exclamation);
    };
    // Straight into the document: the user's clipboard keeps what it holds. Plain text takes the
    // format of text typed at the caret, as a paste of plain text does.
    if (const FileKind kind = fileKindOf(path); kind != FileKind::PlainText) {
        QString error;
        const bool done = insertDocumentFile(*w.RTB, *w.rtfTemp, &w, path, kind, &error);
        w.rtfTemp->setText(QString());
        // Cancelled: the letter is as it was.
        if (!done && !error.isEmpty())
            cannotRead();
    } else {
        const std::optional<DecodedText> read = readDocumentFile(path);
        if (!read) {
            cannotRead();
            return;
        }
        if (!read->text.isEmpty())
            placeDocumentText(*w.RTB, &w, path, read->text, TextPlace::Selection);
    }
}

void CommandDispatcher::InsertPicture()
{
    cDialog& dialog = w.MainDialog;
    dialog.setDialogTitle(QStringLiteral("Select Picture..."));
    dialog.setFilter(QStringLiteral("Bitmaps (*.bmp;*.dib)|*.bmp;*.dib|GIF Images (*.gif)|*.gif|"
                                    "JPEG Images (*.jpg)|*.jpg;*.jpeg|PNG Images (*.png)|*.png|"));
    dialog.setCancelError(true);
    QString path;
    try {
        dialog.ShowOpen();
        path = dialog.cFileName.Item(1);
    } catch (const std::exception&) {
        return;
    }
    QFile file(path);
    if (!openChosenFile(&w, file, QStringLiteral("Insert Picture")))
        return;
    QImageReader reader(&file);
    const QImage picture = reader.read();
    if (picture.isNull()) {
        message(&w,
                QStringLiteral("The file %1 is no picture that can be inserted:\n%2.")
                    .arg(QDir::toNativeSeparators(path), reader.errorString()),
                QStringLiteral("Insert Picture"), MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    w.picInsert->setPixmap(QPixmap::fromImage(picture));
    w.RTB->insertPicture(picture);
}

void CommandDispatcher::ShowFileManager()
{
    if (!manageFiles)
        manageFiles = new FileManagerDialog(&w);
    manageFiles->show();
    manageFiles->raise();
    manageFiles->activateWindow();
}

void CommandDispatcher::Help()
{
    if (!services().desktop->openUrl(QUrl::fromLocalFile(helpPath())))
        message(&w, QStringLiteral("The manual %1 cannot be opened.").arg(helpPath()),
                QStringLiteral("Help"), MsgButtons::Ok, MsgIcon::Exclamation);
}

void CommandDispatcher::Support()
{
    if (!services().desktop->openUrl(QUrl(supportAddress())))
        message(&w,
                QStringLiteral("No mail program is set up to write to %1. Please write to that "
                               "address from the mail program you use.")
                    .arg(QUrl(supportAddress()).path()),
                QStringLiteral("Technical Support"), MsgButtons::Ok, MsgIcon::Exclamation);
}

void CommandDispatcher::Undo()
{
    w.RTB->undo();
}

void CommandDispatcher::Cut()
{
    w.RTB->cut();
}

void CommandDispatcher::Copy()
{
    w.RTB->copy();
}

void CommandDispatcher::Paste()
{
    w.RTB->paste();
}

void CommandDispatcher::Delete()
{
    w.RTB->deleteForward();
}

void CommandDispatcher::SelectAll()
{
    editorcommands::SelectAll(*w.RTB);
}

void CommandDispatcher::Bold()
{
    editorcommands::ToggleBold(*w.RTB);
}

void CommandDispatcher::Italic()
{
    editorcommands::ToggleItalic(*w.RTB);
}

void CommandDispatcher::Underline()
{
    editorcommands::ToggleUnderline(*w.RTB);
}

void CommandDispatcher::Bullets()
{
    editorcommands::ToggleBullet(*w.RTB);
}

void CommandDispatcher::Numbering()
{
    editorcommands::ToggleNumbering(*w.RTB);
}

void CommandDispatcher::IncreaseIndent()
{
    editorcommands::ChangeIndent(*w.RTB, editorcommands::indentStep);
}

void CommandDispatcher::DecreaseIndent()
{
    editorcommands::ChangeIndent(*w.RTB, -editorcommands::indentStep);
}

void CommandDispatcher::UpperCase()
{
    editorcommands::ChangeCase(*w.RTB, true);
}

void CommandDispatcher::LowerCase()
{
    editorcommands::ChangeCase(*w.RTB, false);
}

void CommandDispatcher::AlignLeft()
{
    w.RTB->setSelAlignment(LetterEditor::AlignLeft);
}

void CommandDispatcher::AlignCenter()
{
    w.RTB->setSelAlignment(LetterEditor::AlignCenter);
}

void CommandDispatcher::AlignRight()
{
    w.RTB->setSelAlignment(LetterEditor::AlignRight);
}

void CommandDispatcher::FillFields()
{
    fieldTools->showFillFields();
}

void CommandDispatcher::NextField()
{
    fieldTools->nextField();
}

void CommandDispatcher::PreviousField()
{
    fieldTools->previousField();
}

void CommandDispatcher::SenderDetails()
{
    fieldTools->showSenderDetails();
}

} // namespace lw
