#include "TestLibrary.h"

#include "editor/SpellingDictionaries.h"
#include "library/DataFile.h"
#include "library/modMain.h"
#include "platform/ProgramFolders.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace lw::test {

TestLibrary::TestLibrary()
    : previousHome(qgetenv("XDG_DATA_HOME")), previousConfigHome(qgetenv("XDG_CONFIG_HOME"))
{
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", configHome().toUtf8());
    modMain() = ModMain();
    setProgramDirectory({});
    // The tests' own small dictionaries, whatever the machine has installed.
    setDictionaryFolders({spellingFixtures()});
}

TestLibrary::~TestLibrary()
{
    qputenv("XDG_DATA_HOME", previousHome);
    qputenv("XDG_CONFIG_HOME", previousConfigHome);
    modMain() = ModMain();
    setProgramDirectory({});
    setDictionaryFolders({});
}

QString TestLibrary::configHome() const
{
    return home.filePath(QStringLiteral(".config"));
}

QString TestLibrary::spellingFixtures()
{
    return QStringLiteral(LW_FIXTURES_DIR "/spelling");
}

LibraryContents TestLibrary::sample()
{
    LibraryContents library;
    library.subjects = {
        {QStringLiteral("Business"), {QStringLiteral("Complaints"), QStringLiteral("Orders")}},
        {QStringLiteral("Personal"), {QStringLiteral("Thanks")}},
        {QStringLiteral("Zero"), {}},
    };
    auto letter = [](const char* title, const char* subject, const char* category, const char* body,
                     const char* file, int favorite) {
        return LetterRecord{0,
                            QString::fromUtf8(title),
                            QString::fromUtf8(subject),
                            QString::fromUtf8(category),
                            QString::fromUtf8(body),
                            QString::fromUtf8(file),
                            favorite};
    };
    library.letters = {
        letter("Late Delivery", "Business", "Complaints", "Dear Sir,\nThe goods came late.",
               "late.txt", 0),
        letter("Damaged Goods", "Business", "Complaints", "Dear Madam,\nThe box was crushed.",
               "damaged.txt", 1),
        letter("O'Neil's Refund", "Business", "Complaints", "Refund for 'O'Neil'.", "oneil.txt", 0),
        letter("First Order", "Business", "Orders", "Please send 10% more.", "order.txt", 0),
        letter("Élan Award", "Personal", "Thanks", "Merci à Ärzte.", "", 1),
    };
    return library;
}

void TestLibrary::create(const LibraryContents& contents)
{
    QDir().mkpath(datafile::dataFolder());
    QString error;
    if (!createLibraryFile(dataFilePath(), contents, &error))
        QTest::qFail(qPrintable(error), __FILE__, __LINE__);
}

QString TestLibrary::dataFilePath() const
{
    return datafile::dataFilePath();
}

QByteArray TestLibrary::bytes() const
{
    QFile file(dataFilePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

LibraryContents TestLibrary::contents() const
{
    QString error;
    auto read = readLibraryFile(dataFilePath(), &error);
    if (!read) {
        QTest::qFail(qPrintable(error), __FILE__, __LINE__);
        return {};
    }
    return *read;
}

} // namespace lw::test
