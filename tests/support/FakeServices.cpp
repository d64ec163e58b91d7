#include "FakeServices.h"

#include <QTest>

namespace lw::test {

namespace {

QString describe(const QString& text, const QString& title, MsgButtons buttons, MsgIcon icon)
{
    return QStringLiteral("\"%1\" titled \"%2\" (buttons %3, icon %4)")
        .arg(text, title)
        .arg(static_cast<int>(buttons))
        .arg(static_cast<int>(icon));
}

void fail(const QString& what)
{
    QTest::qFail(qPrintable(what), __FILE__, __LINE__);
}

// An unscripted dialog fails the test and is cancelled.
template <typename T> T take(std::deque<T>& answers, const char* dialog)
{
    T answer{};
    if (answers.empty()) {
        fail(QStringLiteral("unexpected %1 dialog").arg(QLatin1String(dialog)));
        return answer;
    }
    std::swap(answer, answers.front());
    answers.pop_front();
    return answer;
}

} // namespace

void FakeMessages::expect(const QString& text, const QString& title, MsgButtons buttons,
                          MsgIcon icon, MsgAnswer answer)
{
    expected.push_back({{text, title, buttons, icon}, answer});
}

MsgAnswer FakeMessages::show(QWidget*, const QString& text, const QString& title,
                             MsgButtons buttons, MsgIcon icon)
{
    shown.append({text, title, buttons, icon});
    const MsgAnswer fallback = buttons == MsgButtons::YesNo         ? MsgAnswer::No
                               : buttons == MsgButtons::YesNoCancel ? MsgAnswer::Cancel
                                                                    : MsgAnswer::Ok;
    if (expected.empty()) {
        fail(QStringLiteral("unexpected message ") + describe(text, title, buttons, icon));
        return fallback;
    }
    const Expected next = expected.front();
    expected.pop_front();
    const ShownMessage& want = next.message;
    if (want.text != text || want.title != title || want.buttons != buttons || want.icon != icon) {
        fail(QStringLiteral("message ") + describe(text, title, buttons, icon) +
             QStringLiteral(" shown where ") +
             describe(want.text, want.title, want.buttons, want.icon) +
             QStringLiteral(" was expected"));
        return fallback;
    }
    return next.answer;
}

void FakeMessages::verifyDone()
{
    if (!expected.empty()) {
        const ShownMessage& want = expected.front().message;
        expected.clear();
        fail(QStringLiteral("expected message never shown: ") +
             describe(want.text, want.title, want.buttons, want.icon));
    }
}

std::optional<QStringList> FakeDialogs::openFiles(const FileDialogRequest& request)
{
    openRequests.append(request);
    return take(openAnswers, "open");
}

std::optional<QString> FakeDialogs::saveFile(const FileDialogRequest& request)
{
    saveRequests.append(request);
    std::optional<QString> answer = take(saveAnswers, "save");
    if (!saveFilterAnswers.empty()) {
        if (answer && request.chosenFilter)
            *request.chosenFilter = saveFilterAnswers.front();
        saveFilterAnswers.pop_front();
    }
    return answer;
}

std::optional<QString> FakeDialogs::chooseFolder(const FileDialogRequest& request)
{
    folderRequests.append(request);
    return take(folderAnswers, "folder");
}

std::optional<FontChoice> FakeDialogs::chooseFont(QWidget*, const FontChoice& initial)
{
    ++fontCalls;
    fontRequests.append(initial);
    return take(fontAnswers, "font");
}

std::optional<QColor> FakeDialogs::chooseColor(QWidget*, const QColor&)
{
    ++colorCalls;
    return take(colorAnswers, "colour");
}

bool FakeDialogs::pageSetup(QWidget*, QPrinter& printer)
{
    ++pageSetupCalls;
    const auto answer = take(pageSetupAnswers, "page setup");
    if (!answer)
        return false;
    answer(printer);
    return true;
}

bool FakeDialogs::choosePrinter(QWidget*, PrinterSettings& settings)
{
    ++printerCalls;
    printerRequests.append(settings);
    const auto answer = take(printerAnswers, "printer");
    if (!answer)
        return false;
    answer(settings);
    return true;
}

void FakeDialogs::verifyDone()
{
    const bool left = !openAnswers.empty() || !saveAnswers.empty() || !saveFilterAnswers.empty() ||
                      !fontAnswers.empty() || !colorAnswers.empty() || !pageSetupAnswers.empty() ||
                      !printerAnswers.empty() || !previewAnswers.empty() || !folderAnswers.empty();
    folderAnswers.clear();
    openAnswers.clear();
    saveAnswers.clear();
    saveFilterAnswers.clear();
    fontAnswers.clear();
    colorAnswers.clear();
    pageSetupAnswers.clear();
    printerAnswers.clear();
    previewAnswers.clear();
    if (left)
        fail(QStringLiteral("a scripted dialog answer was never used"));
}

bool FakeDialogs::printPreview(QWidget*, QPrinter& printer,
                               const std::function<void(QPrinter&)>& paint,
                               const std::function<bool()>& mayPrint)
{
    ++previewCalls;
    QPrinter preview(QPrinter::HighResolution);
    preview.setOutputFormat(QPrinter::PdfFormat);
    preview.setOutputFileName(previewPath());
    preview.setPageLayout(printer.pageLayout());
    paint(preview);
    const bool print = !previewAnswers.empty() && previewAnswers.front();
    if (!previewAnswers.empty())
        previewAnswers.pop_front();
    if (!print || (mayPrint && !mayPrint()))
        return false;
    paint(printer);
    return true;
}

QString FakeDialogs::previewPath() const
{
    return previewDir.filePath(QStringLiteral("preview.pdf"));
}

bool FakeDesktop::openUrl(const QUrl& url)
{
    openedUrls.append(url);
    return opens;
}

bool FakeDesktop::startProgram(const QString& program, const QStringList& arguments)
{
    startedPrograms.append(QStringList{program} + arguments);
    return true;
}

FakePrinters::FakePrinters() = default;

QString FakePrinters::outputPath() const
{
    return dir.filePath(QStringLiteral("printed.pdf"));
}

QPrinter& FakePrinters::currentPrinter()
{
    if (!printer) {
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(outputPath());
    }
    return *printer;
}

PrinterSettings FakePrinters::currentSettings()
{
    // The PDF printer knows neither the fake printer names nor duplex: those are kept here.
    PrinterSettings settings = printerSettingsOf(currentPrinter());
    settings.printerName = currentName;
    settings.duplex = duplex;
    return settings;
}

void FakePrinters::applySettings(const PrinterSettings& settings)
{
    if (printers.contains(settings.printerName))
        currentName = settings.printerName;
    QPrinter& printer = currentPrinter();
    printer.setCopyCount(settings.copies);
    duplex = settings.duplex;
    printer.setPageOrientation(settings.orientation);
    printer.setPageSize(settings.pageSize);
    if (settings.resolution > 0)
        printer.setResolution(settings.resolution);
    printer.setColorMode(settings.colorMode);
    printer.setPaperSource(settings.paperSource);
}

void FakeApplication::terminate(int exitCode)
{
    exitCodes.append(exitCode);
}

namespace {

class FakeProgressReport : public ProgressReport
{
public:
    FakeProgressReport(FakeProgress& progress, int job) : progress(progress), job(job) {}
    bool advance(qint64 done) override
    {
        QList<qint64>& advances = progress.jobs[job].advances;
        advances.append(done);
        return (progress.cancelAt < 0 || advances.size() < progress.cancelAt) &&
               (progress.cancelPast < 0 || done <= progress.cancelPast);
    }

private:
    FakeProgress& progress;
    int job;
};

} // namespace

std::unique_ptr<ProgressReport> FakeProgress::begin(QWidget*, const QString& label, qint64 total)
{
    jobs.append({label, total, {}});
    return std::make_unique<FakeProgressReport>(*this, int(jobs.size() - 1));
}

FakePlatform::FakePlatform()
    : previous(services()), previousConfigHome(qgetenv("XDG_CONFIG_HOME")),
      hadConfigHome(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"))
{
    // The program's settings (recent files) go to a folder of the test's own.
    qputenv("XDG_CONFIG_HOME", configFolder.path().toUtf8());
    install();
}

void FakePlatform::install()
{
    installServices(
        {&messages, &dialogs, shell, &desktop, &printers, &clock, &application, &progress});
}

FakePlatform::~FakePlatform()
{
    messages.verifyDone();
    dialogs.verifyDone();
    installServices(previous);
    if (hadConfigHome)
        qputenv("XDG_CONFIG_HOME", previousConfigHome);
    else
        qunsetenv("XDG_CONFIG_HOME");
}

} // namespace lw::test
