#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <exception>
#include <optional>
#include <stdexcept>
#include <utility>

class QWidget;

namespace lw {

// A dialog cancelled while CancelError is set. It stands for a choice of nothing: callers catch
// it and carry on, and it is never shown to the user.
class DialogCancelled : public std::exception
{
public:
    const char* what() const noexcept override { return "dialog cancelled"; }
};

// Reading an item that a result list does not hold, or reading a list that is absent.
class MissingFileItem : public std::out_of_range
{
public:
    MissingFileItem() : std::out_of_range("no such file in the dialog's result list") {}
};

// A result list of the file dialogs: absent until a dialog is confirmed, then items counted
// from 1.
class FileList
{
public:
    FileList() = default; // no list
    explicit FileList(QStringList items) : list(std::move(items)) {}

    bool exists() const { return list.has_value(); }
    int Count() const { return list ? int(list->size()) : 0; }
    // Throws MissingFileItem when the list is absent or has no item `index`.
    QString Item(int index) const;
    QStringList items() const { return list.value_or(QStringList()); }

    bool operator==(const FileList&) const = default;

private:
    std::optional<QStringList> list;
};

// The common dialog service: a caller sets properties, calls one of the Show methods and reads
// the result from the properties, the result lists or the colour returned. Every property keeps
// the last value it was given.
class cDialog
{
public:
    // Full paths and names without folder of the files of the last confirmed open or save dialog.
    FileList cFileName;
    FileList cFileTitle;
    // Owner of the open-file dialog; the other dialogs have none.
    QWidget* ParentHwnd = nullptr;
    // The file type the user chose in the last confirmed save dialog (1-based). FilterIndex itself
    // is not updated from the dialog.
    qint16 chosenFilterIndex() const { return chosenFilter; }

    bool CancelError() const { return cancelError; }
    void setCancelError(bool value) { cancelError = value; }
    bool MultiSelect() const { return multiSelect; }
    void setMultiSelect(bool value) { multiSelect = value; }
    QString DefaultFilename() const { return defaultFilename; }
    void setDefaultFilename(const QString& value) { defaultFilename = value; }
    QString DialogTitle() const { return dialogTitle; }
    void setDialogTitle(const QString& value) { dialogTitle = value; }
    QString InitialDir() const { return initialDir; }
    void setInitialDir(const QString& value) { initialDir = value; }
    QString Filter() const { return filter; }
    void setFilter(const QString& value) { filter = value; }
    qint16 FilterIndex() const { return filterIndex; }
    void setFilterIndex(qint16 value) { filterIndex = value; }
    QString FontName() const { return fontName; }
    void setFontName(const QString& value) { fontName = value; }
    qint16 FontSize() const { return fontSize; }
    void setFontSize(qint16 value) { fontSize = value; }
    quint32 FontColor() const { return fontColor; } // 0x00BBGGRR
    void setFontColor(quint32 value) { fontColor = value; }
    bool FontBold() const { return fontBold; }
    void setFontBold(bool value) { fontBold = value; }
    bool FontItalic() const { return fontItalic; }
    void setFontItalic(bool value) { fontItalic = value; }
    bool FontUnderline() const { return fontUnderline; }
    void setFontUnderline(bool value) { fontUnderline = value; }
    bool FontStrikeThru() const { return fontStrikeThru; }
    void setFontStrikeThru(bool value) { fontStrikeThru = value; }

    // A cancelled dialog changes nothing. With CancelError set, ShowOpen, ShowSave, ShowColor and
    // ShowPageSetup then throw DialogCancelled; ShowFont and ShowPrinter always return normally.
    // ShowOpen and ShowSave throw std::invalid_argument before any dialog when DefaultFilename
    // does not fit the file buffer, and std::length_error when the chosen path fills it.
    void ShowOpen();
    void ShowSave();
    // True when the user confirmed a font.
    bool ShowFont();
    // The last confirmed font dialog offered a colour, now in FontColor; a dialog without one
    // leaves FontColor as it was.
    bool FontColorChosen() const { return fontColorChosen; }
    std::optional<quint32> ShowColor(); // 0x00BBGGRR
    void ShowPageSetup();
    // With no printer installed, shows the missing-printer message instead of the dialog.
    void ShowPrinter();

    // Every "|" replaced by a NUL: the Filter as the platform's list of description and pattern
    // pairs.
    static QString ConvertFilter(const QString& text);
    // Fills both result lists from a confirmed dialog's file buffer: one path, or a folder and
    // file names, NUL-separated and ended by a pair of NULs. Throws std::length_error when the
    // buffer holds no such pair; both lists are then empty.
    void ParseFileList(const QString& buffer);

    // Room of the file buffer, without its terminating NUL.
    static constexpr int PathCapacity = 260;
    static constexpr int MultiSelectCapacity = 9999;

private:
    void cancelled() const;

    bool cancelError = false;
    bool multiSelect = false;
    QString defaultFilename;
    QString dialogTitle;
    QString initialDir;
    QString filter;
    qint16 filterIndex = 1;
    qint16 chosenFilter = 1;
    QString fontName = QStringLiteral("Arial");
    qint16 fontSize = 10;
    quint32 fontColor = 0;
    bool fontBold = false;
    bool fontItalic = false;
    bool fontUnderline = false;
    bool fontStrikeThru = false;
    bool fontColorChosen = false;
};

// The extension of the first pattern of the Filter's `index`th type (1-based): "txt" for
// "Text Files (*.txt)|*.txt|"; empty for a type of every file ("*.*") or an index it has not.
QString defaultExtension(const QString& filter, int index);

// The file type list of a Filter as Qt name filters, one per description and pattern pair:
// "Text Files (*.txt)|*.txt|" gives "Text Files (*.txt) (*.txt)". Patterns are separated by
// blanks, and "*.*" becomes "*" so that a file without an extension matches too.
QStringList nameFilters(const QString& filter);

} // namespace lw
