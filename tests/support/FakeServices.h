#pragma once

#include "platform/FileShell.h"
#include "platform/Services.h"

#include <QList>
#include <QPrinter>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <memory>

// Test doubles of the desktop: scripted answers, every call recorded. An unexpected message or
// dialog fails the running test.
namespace lw::test {

struct ShownMessage
{
    QString text;
    QString title;
    MsgButtons buttons;
    MsgIcon icon;
};

class FakeMessages : public MessageService
{
public:
    // The next message must have exactly this text, title, buttons and icon; the user answers.
    void expect(const QString& text, const QString& title, MsgButtons buttons, MsgIcon icon,
                MsgAnswer answer = MsgAnswer::Ok);
    MsgAnswer show(QWidget* parent, const QString& text, const QString& title, MsgButtons buttons,
                   MsgIcon icon) override;
    // Fails the test when an expected message was never shown; clears the script.
    void verifyDone();

    QList<ShownMessage> shown;

private:
    struct Expected
    {
        ShownMessage message;
        MsgAnswer answer;
    };
    std::deque<Expected> expected;
};

class FakeDialogs : public DialogService
{
public:
    std::optional<QStringList> openFiles(const FileDialogRequest& request) override;
    std::optional<QString> saveFile(const FileDialogRequest& request) override;
    std::optional<QString> chooseFolder(const FileDialogRequest& request) override;
    std::optional<FontChoice> chooseFont(QWidget* parent, const FontChoice& initial) override;
    std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) override;
    bool pageSetup(QWidget* parent, QPrinter& printer) override;
    bool choosePrinter(QWidget* parent, PrinterSettings& settings) override;
    // Draws the preview's pages into a PDF file of their own (previewPath()), as the preview
    // would show them; then the user prints from it when the next answer says so.
    bool printPreview(QWidget* parent, QPrinter& printer,
                      const std::function<void(QPrinter&)>& paint,
                      const std::function<bool()>& mayPrint) override;
    QString previewPath() const;
    void verifyDone();

    // Scripted answers, taken in order; std::nullopt is a cancel.
    std::deque<std::optional<QStringList>> openAnswers;
    std::deque<std::optional<QString>> saveAnswers;
    std::deque<std::optional<QString>> folderAnswers;
    // The file type the user picks (0-based) with the save answer of the same turn; without one the
    // dialog's preset type stays chosen.
    std::deque<int> saveFilterAnswers;
    std::deque<std::optional<FontChoice>> fontAnswers;
    std::deque<std::optional<QColor>> colorAnswers;
    // A page-setup answer edits the printer the dialog shows and accepts; nullptr cancels.
    std::deque<std::function<void(QPrinter&)>> pageSetupAnswers;
    // A printer answer edits the settings the dialog was preset to and accepts; nullptr cancels.
    std::deque<std::function<void(PrinterSettings&)>> printerAnswers;
    // Whether the user prints from each preview; no answer closes it.
    std::deque<bool> previewAnswers;

    QList<FileDialogRequest> openRequests;
    QList<FileDialogRequest> saveRequests;
    QList<FileDialogRequest> folderRequests;
    QList<FontChoice> fontRequests;         // the font each dialog started with
    QList<PrinterSettings> printerRequests; // the settings each dialog was preset to
    int fontCalls = 0;
    int colorCalls = 0;
    int pageSetupCalls = 0;
    int printerCalls = 0;
    int previewCalls = 0;

private:
    QTemporaryDir previewDir;
};

class FakeDesktop : public DesktopService
{
public:
    bool openUrl(const QUrl& url) override;
    bool startProgram(const QString& program, const QStringList& arguments) override;

    QList<QUrl> openedUrls;
    QList<QStringList> startedPrograms; // program first, then its arguments
    // What openUrl answers: false as on a desktop where no program takes the address.
    bool opens = true;
};

// Prints to PDF files in a temporary folder, so that tests can count pages.
class FakePrinters : public PrinterService
{
public:
    FakePrinters();
    QStringList installedPrinters() override { return printers; }
    QPrinter& currentPrinter() override;
    PrinterSettings currentSettings() override;
    void applySettings(const PrinterSettings& settings) override;
    bool printsToFiles() override { return toFiles; }

    QStringList printers{QStringLiteral("PDF")};
    // As on a machine without a printer: each print is a PDF file.
    bool toFiles = false;
    // The current printer's name and duplex mode, which the PDF printer cannot hold itself.
    QString currentName{QStringLiteral("PDF")};
    QPrinter::DuplexMode duplex = QPrinter::DuplexNone;
    QString outputPath() const;

private:
    QTemporaryDir dir;
    std::unique_ptr<QPrinter> printer;
};

class FakeClock : public ClockService
{
public:
    QDateTime now() override { return fixedNow; }
    void pause(int milliseconds) override { pauses.append(milliseconds); }

    QDateTime fixedNow{QDate(2026, 12, 10), QTime(19, 7, 5)};
    QList<int> pauses;
};

class FakeApplication : public ApplicationService
{
public:
    void terminate(int exitCode) override;
    bool terminated() const override { return exitCodes.size() > 0; }

    QList<int> exitCodes;
};

// Records each job's progress; the user cancels when the job has advanced `cancelAt` times, or
// once it has done more than `cancelPast` units.
class FakeProgress : public ProgressService
{
public:
    struct Job
    {
        QString label;
        qint64 total = 0;
        QList<qint64> advances;
    };
    std::unique_ptr<ProgressReport> begin(QWidget* parent, const QString& label,
                                          qint64 total) override;

    QList<Job> jobs;
    int cancelAt = -1;      // never
    qint64 cancelPast = -1; // never
};

// Installs every double for the lifetime of the object and verifies the scripts at its end.
class FakePlatform
{
public:
    FakePlatform();
    ~FakePlatform();
    FakePlatform(const FakePlatform&) = delete;
    FakePlatform& operator=(const FakePlatform&) = delete;

    FakeMessages messages;
    FakeDialogs dialogs;
    FakeDesktop desktop;
    FakePrinters printers;
    FakeClock clock;
    FakeApplication application;
    FakeProgress progress;
    FileShell fileShell;
    ShellService* shell = &fileShell; // the real shell works on the test's own files

    void install();
    // The XDG config folder while the doubles are installed.
    QString configHome() const { return configFolder.path(); }

private:
    Services previous;
    QTemporaryDir configFolder;
    QByteArray previousConfigHome;
    bool hadConfigHome;
};

} // namespace lw::test
