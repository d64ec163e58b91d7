// The full check of a 100,000-letter library (SQLite's quick_check of every page) against what
// start-up always did before the window shows: opening the library and reading its schema. The
// check runs on a thread of its own after the window shows; this says what it costs.
#include "library/DataFile.h"
#include "library/LibraryCheck.h"
#include "library/LibraryFile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

using namespace lw;

namespace {

double bestOf(int runs, const std::function<void()>& work)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lwx37.dat"));
    LibraryContents contents;
    const int subjects = 20;
    const int categories = 10;
    for (int s = 0; s < subjects; ++s) {
        QStringList names;
        for (int c = 0; c < categories; ++c)
            names.append(QStringLiteral("Category %1").arg(c));
        contents.subjects.append({QStringLiteral("Subject %1").arg(s), names});
    }
    const QString body = QStringLiteral("Dear Sir or Madam,\nThank you for your letter of the "
                                        "tenth. We have looked into the matter and will reply "
                                        "within the week.\nYours faithfully,\n");
    for (int i = 0; i < 100000; ++i) {
        contents.letters.append({0, QStringLiteral("Letter number %1").arg(i),
                                 QStringLiteral("Subject %1").arg(i % subjects),
                                 QStringLiteral("Category %1").arg(i / subjects % categories),
                                 body + QString::number(i), QString(), 0});
    }
    QString error;
    if (!createLibraryFile(path, contents, &error) || !datafile::restoreSignature(path, &error)) {
        std::fprintf(stderr, "cannot build the library: %s\n", qPrintable(error));
        return 1;
    }
    const QString connection = datafile::connectionString(path);
    const double size = QFileInfo(path).size() / 1048576.0;

    const double baseline = bestOf(5, [&] { datafile::isReadableLibrary(connection, nullptr); });
    CheckResult result;
    const double check = bestOf(5, [&] { result = checkLibrary(connection); });
    if (result.verdict != CheckResult::Verdict::Sound) {
        std::fprintf(stderr, "the check found: %s\n", qPrintable(result.problem));
        return 1;
    }
    std::printf("library: 100000 letters, %.1f MB\n", size);
    std::printf("start-up schema read (baseline): %8.2f ms\n", baseline);
    std::printf("full check (quick_check):        %8.2f ms  (%.0fx the baseline; runs after the "
                "window shows)\n",
                check, check / std::max(baseline, 1e-3));
    return 0;
}
