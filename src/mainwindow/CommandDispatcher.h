#pragma once

#include <QObject>
#include <QPointer>

namespace lw {

class EditorTools;
class FieldTools;
class MainWindow;
class FileManagerDialog;
class SpellingCommands;

// Turns the command keys of the menus, the toolbar and the popup into action.
class CommandDispatcher : public QObject
{
    Q_OBJECT
public:
    explicit CommandDispatcher(MainWindow& window);

    void MenuBar_ItemClick(const QString& menuKey, const QString& itemKey);
    void MenuBar_ToolClick(const QString& bandKey, const QString& toolKey);
    void MenuBar_ToolColor(const QString& bandKey, const QString& toolKey, quint32 bgr);
    void mnuPopup_ItemClick(const QString& menuKey, const QString& itemKey);
    void RTB_MouseDown(int button, int shift, int x, int y);
    // The menu key, or Shift+F10, in the editor: the popup at the caret.
    void RTB_ContextMenuKey();

    // Opens a file chosen from the recent files at the end of the File menu.
    void OpenRecent(const QString& path);

    EditorTools& tools() { return *editorTools; }
    FieldTools& fields() { return *fieldTools; }
    SpellingCommands& spelling() { return *spellingCommands; }
    FileManagerDialog* fileManager() const;

    // Where the manual and the support address are opened.
    static QString helpPath();
    static QString supportAddress();

private:
    void Open();
    void Save();
    void SaveAs();
    void Exit();
    void Find();
    void FindNext();
    void Replace();
    void PopupReplace();
    void GoTo();
    void Symbol();
    void DateTime();
    void Print();
    void PrintPreview();
    void ExportPdf();
    void ShowMailMerge();
    void PageSetup();
    void PrintSetup();
    void FontDialog();
    void InsertTextFile();
    void InsertPicture();
    void ShowFileManager();
    void Help();
    void Support();
    void Undo();
    void Cut();
    void Copy();
    void Paste();
    void Delete();
    void SelectAll();
    void Bold();
    void Italic();
    void Underline();
    void Bullets();
    void Numbering();
    void IncreaseIndent();
    void DecreaseIndent();
    void UpperCase();
    void LowerCase();
    void AlignLeft();
    void AlignCenter();
    void AlignRight();
    void FillFields();
    void NextField();
    void PreviousField();
    void SenderDetails();

    MainWindow& w;
    EditorTools* editorTools;
    SpellingCommands* spellingCommands;
    QPointer<FileManagerDialog> manageFiles;
    FieldTools* fieldTools;
};

} // namespace lw
