#pragma once

#include "platform/Services.h"

#include <QPrinter>
#include <functional>
#include <memory>

class QPrintPreviewDialog;

// The real desktop behind the service interfaces.
namespace lw {

class QtMessageService : public MessageService
{
public:
    MsgAnswer show(QWidget* parent, const QString& text, const QString& title, MsgButtons buttons,
                   MsgIcon icon) override;
};

class QtDialogService : public DialogService
{
public:
    std::optional<QStringList> openFiles(const FileDialogRequest& request) override;
    std::optional<QString> saveFile(const FileDialogRequest& request) override;
    std::optional<QString> chooseFolder(const FileDialogRequest& request) override;
    std::optional<FontChoice> chooseFont(QWidget* parent, const FontChoice& initial) override;
    std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) override;
    bool pageSetup(QWidget* parent, QPrinter& printer) override;
    bool choosePrinter(QWidget* parent, PrinterSettings& settings) override;
    bool printPreview(QWidget* parent, QPrinter& printer,
                      const std::function<void(QPrinter&)>& paint,
                      const std::function<bool()>& mayPrint) override;

    // The extension a name filter's first pattern gives ("Text Files (*.txt)": "txt"), empty for
    // one that matches every name.
    static QString defaultSuffixOf(const QString& nameFilter);
};

// Makes the preview's Print button ask `mayPrint` first; false closes the preview unprinted.
// False when this Qt's dialog offers no way in.
bool askBeforePrinting(QPrintPreviewDialog& dialog, const std::function<bool()>& mayPrint);

class QtDesktopService : public DesktopService
{
public:
    bool openUrl(const QUrl& url) override;
    bool startProgram(const QString& program, const QStringList& arguments) override;
};

class QtPrinterService : public PrinterService
{
public:
    QStringList installedPrinters() override;
    // With no printer installed, the current printer writes each print to a PDF file of its own
    // in the user's documents folder.
    QPrinter& currentPrinter() override;
    PrinterSettings currentSettings() override;
    void applySettings(const PrinterSettings& settings) override;
    bool printsToFiles() override;

    // The first of "Letterwright.pdf", "Letterwright (2).pdf", ... not yet in the folder.
    static QString unusedPrintFile(const QString& folder);

private:
    std::unique_ptr<QPrinter> printer;
};

class QtClockService : public ClockService
{
public:
    QDateTime now() override;
    void pause(int milliseconds) override;
};

class QtApplicationService : public ApplicationService
{
public:
    void terminate(int exitCode) override;
    bool terminated() const override { return ended; }
    // The status the program ends with after terminate.
    int exitCode() const { return code; }

private:
    bool ended = false;
    int code = 0;
};

// QProgressDialog, window-modal, shown after a second.
class QtProgressService : public ProgressService
{
public:
    std::unique_ptr<ProgressReport> begin(QWidget* parent, const QString& label,
                                          qint64 total) override;
};

} // namespace lw
