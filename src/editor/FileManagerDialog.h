#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace lw {

// The shell's file operations on one file, with the shell's own questions, progress and
// messages; failures are reported there and go no further. The owner's window is blocked while a
// long copy shows its progress.
void ShellCopyFile(const QString& source, const QString& target, QWidget* owner = nullptr);
void ShellRenameFile(const QString& source, const QString& target, QWidget* owner = nullptr);
// Moves the file to the trash, after the shell's question.
void ShellDeleteFile(const QString& path, QWidget* owner = nullptr);

// The file manager: deletes the file named in the File name box, or copies or renames the file
// of the From box to the To box, in a lower section that the two toggle buttons open and close.
// A modeless window owned by the main window, discarded when it is closed.
class FileManagerDialog : public QWidget
{
    Q_OBJECT
public:
    enum class Section { Closed, CopyOpen, RenameOpen };

    // Window heights in twips, caption and borders included.
    static constexpr int ClosedHeight = 1545;
    static constexpr int OpenHeight = 2835;

    explicit FileManagerDialog(QWidget* owner = nullptr);

    Section section() const { return state; }
    // The window's height in twips, caption and borders included.
    int windowHeight() const { return heightTwips; }

    QLabel* Label1 = nullptr;
    QLineEdit* txtFileName = nullptr;
    QPushButton* cmdDCopy = nullptr;
    QPushButton* cmdDRename = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QPushButton* cmdClose = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* txtFrom = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* txtTo = nullptr;
    QPushButton* cmdCopy = nullptr;
    QPushButton* cmdRename = nullptr;

    // Hidden while it had the keyboard, it hands the keyboard back to its owner's window.
    void setVisible(bool visible) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void cmdBrowse_Click();
    void cmdDCopy_Click();
    void cmdDRename_Click();
    void cmdDelete_Click();
    void setSection(Section section);
    void setWindowHeight(int height);

    Section state = Section::Closed;
    int heightTwips = 0;
    // The room a larger font took: in all, and above the lower section.
    QSize grown{0, 0};
    int upperGrowth = 0;
};

} // namespace lw
