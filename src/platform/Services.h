#pragma once

#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>

class QWidget;

// Everything the program asks of the desktop goes through these interfaces, so that tests can
// script the user's answers and see every message, dialog and shell operation.
namespace lw {

enum class MsgButtons { Ok, YesNo, YesNoCancel };
enum class MsgIcon { None, Information, Exclamation, Critical };
enum class MsgAnswer { Ok, Yes, No, Cancel };

class MessageService
{
public:
    virtual ~MessageService() = default;
    // Shows a modal message box and returns the button the user pressed. Closing a box that has
    // a Cancel button (Esc, the window's close button) answers Cancel.
    virtual MsgAnswer show(QWidget* parent, const QString& text, const QString& title,
                           MsgButtons buttons, MsgIcon icon) = 0;
};

struct FileDialogRequest
{
    QWidget* parent = nullptr;
    QString title;
    QString initialDir;
    QString defaultFilename;
    QStringList nameFilters; // Qt form, one entry per description: "Text Files (*.txt)"
    int filterIndex = 0;     // 0-based
    bool multiSelect = false;
    // Where a confirmed dialog puts the filter the user chose last (0-based); may be null.
    int* chosenFilter = nullptr;
};

struct FontChoice
{
    QString family;
    double pointSize = 10;
    int weight = 400; // CSS-like 100..900
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    // Invalid where the dialog offers no colour: the text keeps its own.
    QColor color;
    // The sizes the dialog accepts, in points; 0 for no limit. A dialog refuses a size outside
    // them with a message.
    double minPointSize = 0;
    double maxPointSize = 0;
};

// What the printer dialog shows and gives back: the printer and the settings of its jobs.
struct PrinterSettings
{
    QString printerName;
    int copies = 1;
    QPrinter::DuplexMode duplex = QPrinter::DuplexNone;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QPageSize pageSize{QPageSize::A4};
    int resolution = 0; // dots per inch; 0 leaves the printer's own
    QPrinter::ColorMode colorMode = QPrinter::Color;
    QPrinter::PaperSource paperSource = QPrinter::Auto;
};

// The settings a printer holds now.
PrinterSettings printerSettingsOf(const QPrinter& printer);

// The standard dialogs. Every method returns nothing (std::nullopt or false) when cancelled.
class DialogService
{
public:
    virtual ~DialogService() = default;
    virtual std::optional<QStringList> openFiles(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> saveFile(const FileDialogRequest& request) = 0;
    // A folder; `request.initialDir` is where the dialog starts.
    virtual std::optional<QString> chooseFolder(const FileDialogRequest& request) = 0;
    virtual std::optional<FontChoice> chooseFont(QWidget* parent, const FontChoice& initial) = 0;
    virtual std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) = 0;
    virtual bool pageSetup(QWidget* parent, QPrinter& printer) = 0;
    // Shows the printer dialog preset to `settings`; on acceptance `settings` holds the choice.
    virtual bool choosePrinter(QWidget* parent, PrinterSettings& settings) = 0;
    // Shows the print preview of the pages `paint` draws on the printer; printing from it asks
    // `mayPrint` first (false closes the preview unprinted), then calls `paint` on the printer
    // itself. True when the user printed.
    virtual bool printPreview(QWidget* parent, QPrinter& printer,
                              const std::function<void(QPrinter&)>& paint,
                              const std::function<bool()>& mayPrint) = 0;
};

// Shell file operations with the confirmations, progress and error messages a file manager shows.
// Each returns true when the operation was done.
class ShellService
{
public:
    virtual ~ShellService() = default;
    virtual bool copyFile(QWidget* parent, const QString& from, const QString& to) = 0;
    virtual bool renameFile(QWidget* parent, const QString& from, const QString& to) = 0;
    virtual bool deleteFile(QWidget* parent, const QString& path) = 0; // to the trash
};

class DesktopService
{
public:
    virtual ~DesktopService() = default;
    virtual bool openUrl(const QUrl& url) = 0;
    // Starts a program without waiting for it.
    virtual bool startProgram(const QString& program, const QStringList& arguments) = 0;
};

class PrinterService
{
public:
    virtual ~PrinterService() = default;
    virtual QStringList installedPrinters() = 0;
    // The program-wide current printer; its settings persist for the run.
    virtual QPrinter& currentPrinter() = 0;
    // The current printer's name and job settings.
    virtual PrinterSettings currentSettings() = 0;
    // Makes the named printer current, when it is installed, and gives it these job settings; a
    // setting the printer cannot take is passed over.
    virtual void applySettings(const PrinterSettings& settings) = 0;
    // No printer is installed: each print goes to a PDF file of its own, which the current
    // printer's output file names.
    virtual bool printsToFiles() = 0;
};

class ClockService
{
public:
    virtual ~ClockService() = default;
    virtual QDateTime now() = 0;
    // Blocks the user interface for the given time.
    virtual void pause(int milliseconds) = 0;
};

class ApplicationService
{
public:
    virtual ~ApplicationService() = default;
    // Ends the program with the given exit code: no further window or message follows.
    virtual void terminate(int exitCode) = 0;
    virtual bool terminated() const = 0;
};

// The progress of a long job the user started.
class ProgressReport
{
public:
    virtual ~ProgressReport() = default;
    // Reports how much of the job is done; false once the user has cancelled it.
    virtual bool advance(qint64 done) = 0;
};

// A progress window with Cancel, shown only once a job has taken about a second.
class ProgressService
{
public:
    virtual ~ProgressService() = default;
    // Begins a job of `total` units of work, described by `label`.
    virtual std::unique_ptr<ProgressReport> begin(QWidget* parent, const QString& label,
                                                  qint64 total) = 0;
};

struct Services
{
    MessageService* messages = nullptr;
    DialogService* dialogs = nullptr;
    ShellService* shell = nullptr;
    DesktopService* desktop = nullptr;
    PrinterService* printers = nullptr;
    ClockService* clock = nullptr;
    ApplicationService* application = nullptr;
    ProgressService* progress = nullptr;
};

// The services in use, installed once by the program or by a test.
Services& services();
void installServices(const Services& services);

// Shorthand for the common message box.
MsgAnswer message(QWidget* parent, const QString& text, const QString& title,
                  MsgButtons buttons = MsgButtons::Ok, MsgIcon icon = MsgIcon::None);

} // namespace lw
