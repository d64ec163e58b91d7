#pragma once

#include "editor/DocumentFiles.h"
#include "editor/LetterEditor.h"
#include "library/LetterChanges.h"
#include "library/LibraryBrowser.h"
#include "library/LibraryWindow.h"
#include "utilities/cDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QWidget>

namespace lw::test {

// The library's commands on plain controls, without the main window.
class LibraryWindowDouble : public LibraryWindow
{
public:
    LibraryWindowDouble()
    {
        dialog.ParentHwnd = &window;
        editorBox = new LetterEditor(&window);
        QObject::connect(editorBox, &LetterEditor::Change, [this] { modified = true; });
    }

    QWidget* dialogParent() override { return &window; }
    LetterEditor& editor() override { return *editorBox; }
    cDialog& fileDialog() override { return dialog; }
    QString& documentPath() override { return path; }
    bool& documentModified() override { return modified; }
    TextFileFormat& documentFormat() override { return format; }
    bool SaveDocument() override { return letterChanges.SaveDocument(); }
    bool SaveDocumentAs() override { return documentFiles.SaveDocumentAs(); }
    QComboBox* subjectBox() override { return subjects; }
    QComboBox* categoryBox() override { return categories; }
    QListWidget* titleList(int list) override { return lists[list]; }
    QLabel* letterCountLine() override { return letterCount; }
    QLabel* favoriteCountLine() override { return favoriteCount; }
    QLineEdit* searchBox() override { return search; }
    void showLetterTitle(const QString& text) override { shownTitle = text; }
    LibraryBrowser& library() override { return browser; }
    LetterChanges& changes() override { return letterChanges; }

    QWidget window;
    QComboBox* subjects = new QComboBox(&window);
    QComboBox* categories = new QComboBox(&window);
    QListWidget* lists[2] = {new QListWidget(&window), new QListWidget(&window)};
    QLabel* letterCount = new QLabel(&window);
    QLabel* favoriteCount = new QLabel(&window);
    QLineEdit* search = new QLineEdit(&window);
    LetterEditor* editorBox = nullptr;
    cDialog dialog;
    QString path;
    bool modified = false;
    TextFileFormat format;
    QString shownTitle;
    DocumentFiles documentFiles{*this};
    LetterChanges letterChanges{*this};
    LibraryBrowser browser{*this};
};

} // namespace lw::test
