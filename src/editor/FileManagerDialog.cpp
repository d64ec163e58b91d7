#include "editor/FileManagerDialog.h"

#include "platform/Accessibility.h"
#include "platform/ContentFit.h"
#include "platform/Services.h"
#include "platform/Twips.h"
#include "utilities/cDialog.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <exception>

namespace lw {

namespace {

constexpr int ClientWidth = 7470;
// The window heights count the caption and borders; the closed window's client area is 990
// twips high, which leaves the lower section just out of sight.
constexpr int Decoration = FileManagerDialog::ClosedHeight - 990;

template <typename T>
T* control(QWidget* parent, const QString& name, int left, int top, int width, int height)
{
    auto* result = new T(parent);
    result->setObjectName(name);
    twips::place(result, left, top, width, height);
    return result;
}

QLabel* label(QWidget* parent, const QString& name, const QString& caption, int left, int top,
              int width, int height)
{
    auto* result = control<QLabel>(parent, name, left, top, width, height);
    result->setText(caption);
    return result;
}

QPushButton* button(QWidget* parent, const QString& name, const QString& caption, int left, int top,
                    int width, int height)
{
    auto* result = control<QPushButton>(parent, name, left, top, width, height);
    result->setText(caption);
    return result;
}

} // namespace

void ShellCopyFile(const QString& source, const QString& target, QWidget* owner)
{
    services().shell->copyFile(owner, source, target);
}

void ShellRenameFile(const QString& source, const QString& target, QWidget* owner)
{
    services().shell->renameFile(owner, source, target);
}

void ShellDeleteFile(const QString& path, QWidget* owner)
{
    services().shell->deleteFile(owner, path);
}

FileManagerDialog::FileManagerDialog(QWidget* owner) : QWidget(owner, Qt::Dialog)
{
    setObjectName(QStringLiteral("FileManagerDialog"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("  Manage Files"));
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(8.25);
    setFont(font);

    Label1 =
        label(this, QStringLiteral("Label1"), QStringLiteral("File name:"), 120, 180, 975, 255);
    txtFileName = control<QLineEdit>(this, QStringLiteral("txtFileName"), 1320, 120, 5835, 315);
    cmdDCopy =
        button(this, QStringLiteral("cmdDCopy"), QStringLiteral("&Copy to"), 240, 540, 975, 330);
    cmdDRename = button(this, QStringLiteral("cmdDRename"), QStringLiteral("&Rename to"), 1320, 540,
                        1215, 330);
    cmdDelete =
        button(this, QStringLiteral("cmdDelete"), QStringLiteral("&Delete"), 2640, 540, 975, 330);
    cmdBrowse = button(this, QStringLiteral("cmdBrowse"), QStringLiteral("&Browse..."), 5040, 540,
                       1095, 330);
    cmdClose =
        button(this, QStringLiteral("cmdClose"), QStringLiteral("Close"), 6240, 540, 975, 330);
    Label2 = label(this, QStringLiteral("Label2"), QStringLiteral("From:"), 120, 1200, 975, 255);
    txtFrom = control<QLineEdit>(this, QStringLiteral("txtFrom"), 1200, 1200, 6015, 285);
    Label3 = label(this, QStringLiteral("Label3"), QStringLiteral("To:"), 120, 1590, 975, 255);
    txtTo = control<QLineEdit>(this, QStringLiteral("txtTo"), 1200, 1560, 6015, 285);
    cmdCopy =
        button(this, QStringLiteral("cmdCopy"), QStringLiteral("Copy"), 6120, 1920, 1095, 375);
    cmdRename =
        button(this, QStringLiteral("cmdRename"), QStringLiteral("Rename"), 5940, 1920, 1275, 375);
    Label1->setBuddy(txtFileName);
    Label2->setBuddy(txtFrom);
    Label3->setBuddy(txtTo);

    // The From box follows every change of the File name box, and a click in it.
    connect(txtFileName, &QLineEdit::textChanged, txtFrom, &QLineEdit::setText);
    txtFileName->installEventFilter(this);
    connect(cmdBrowse, &QPushButton::clicked, this, &FileManagerDialog::cmdBrowse_Click);
    connect(cmdDCopy, &QPushButton::clicked, this, &FileManagerDialog::cmdDCopy_Click);
    connect(cmdDRename, &QPushButton::clicked, this, &FileManagerDialog::cmdDRename_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &FileManagerDialog::cmdDelete_Click);
    connect(cmdCopy, &QPushButton::clicked, this,
            [this] { ShellCopyFile(txtFrom->text(), txtTo->text(), this); });
    connect(cmdRename, &QPushButton::clicked, this,
            [this] { ShellRenameFile(txtFrom->text(), txtTo->text(), this); });
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);

    accessibility::announceWindows();
    // With a larger font the controls make room, the lower section below the upper one; the Copy
    // and Rename buttons, shown one at a time, keep their place under the To box.
    cmdCopy->hide();
    cmdRename->hide();
    setWindowHeight(OpenHeight);
    const QPoint toCorner = txtTo->geometry().bottomRight();
    const int lowerTop = Label2->y();
    grown = fit::growToContent(this);
    upperGrowth = Label2->y() - lowerTop;
    for (QPushButton* button : {cmdCopy, cmdRename})
        button->move(button->pos() + txtTo->geometry().bottomRight() - toCorner);
    setSection(Section::Closed);
}

void FileManagerDialog::setVisible(bool visible)
{
    const bool hadKeyboard = !visible && isVisible() && isActiveWindow();
    QWidget::setVisible(visible);
    // A window manager usually does this; without one the keyboard would be nowhere.
    if (hadKeyboard && parentWidget() && parentWidget()->window()->isVisible())
        parentWidget()->window()->activateWindow();
}

void FileManagerDialog::keyPressEvent(QKeyEvent* event)
{
    // Esc closes the window, as Close does.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool FileManagerDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtFileName && event->type() == QEvent::MouseButtonPress)
        txtFrom->setText(txtFileName->text());
    return QWidget::eventFilter(watched, event);
}

void FileManagerDialog::cmdBrowse_Click()
{
    // Each Browse has a dialog of its own, with every other setting at its start value.
    cDialog dialog;
    dialog.setDialogTitle(QStringLiteral("Select File"));
    dialog.setFilter(QStringLiteral("All Files (*.*)|*.*"));
    try {
        dialog.ShowOpen();
        txtFileName->setText(dialog.cFileName.Item(1));
    } catch (const std::exception&) {
        // Cancelled, or the dialog failed: the File name box keeps its text.
    }
    txtFrom->setText(txtFileName->text());
}

void FileManagerDialog::cmdDCopy_Click()
{
    if (state == Section::CopyOpen) {
        setSection(Section::Closed);
        cmdDCopy->setText(QStringLiteral("&Copy ->"));
    } else {
        setSection(Section::CopyOpen);
        cmdDCopy->setText(QStringLiteral("&Copy <-"));
    }
    cmdDRename->setText(QStringLiteral("&Rename ->"));
}

void FileManagerDialog::cmdDRename_Click()
{
    if (state == Section::RenameOpen) {
        setSection(Section::Closed);
        cmdDRename->setText(QStringLiteral("&Rename ->"));
    } else {
        setSection(Section::RenameOpen);
        cmdDRename->setText(QStringLiteral("&Rename <-"));
    }
    cmdDCopy->setText(QStringLiteral("&Copy ->"));
}

void FileManagerDialog::cmdDelete_Click()
{
    setSection(Section::Closed);
    ShellDeleteFile(txtFileName->text(), this);
}

void FileManagerDialog::setSection(Section section)
{
    state = section;
    setWindowHeight(section == Section::Closed ? ClosedHeight : OpenHeight);
    // The closed section is out of sight: neither Tab nor a screen reader finds its boxes.
    for (QWidget* lower : {static_cast<QWidget*>(Label2), static_cast<QWidget*>(txtFrom),
                           static_cast<QWidget*>(Label3), static_cast<QWidget*>(txtTo)})
        lower->setVisible(section != Section::Closed);
    cmdCopy->setVisible(section == Section::CopyOpen);
    cmdRename->setVisible(section == Section::RenameOpen);
}

void FileManagerDialog::setWindowHeight(int height)
{
    heightTwips = height;
    int pixels = twips::toPixelsY(height - Decoration, this) +
                 (height == ClosedHeight ? upperGrowth : grown.height());
    // The designed open height cuts the Copy and Rename buttons' lower edge off.
    if (height != ClosedHeight) {
        const int margin = twips::toPixelsY(120, this);
        for (const QPushButton* button : {cmdCopy, cmdRename})
            pixels = qMax(pixels, button->geometry().bottom() + 1 + margin);
    }
    setFixedSize(twips::toPixelsX(ClientWidth, this) + grown.width(), pixels);
}

} // namespace lw
