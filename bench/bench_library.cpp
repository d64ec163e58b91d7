// A library of 100,000 letters: the keyword search against SQLite's own ASCII `like`, choosing a
// category and adding a favourite in the main window, and the start-up beyond the splash pause;
// each beside the same work on the library as it was made before it had its indexes.

#include "BenchSupport.h"
#include "app/Letterwright.h"
#include "library/DataFile.h"
#include "library/LetterStatements.h"
#include "library/LibraryFile.h"
#include "library/SqliteDatabase.h"
#include "mainwindow/MainWindow.h"
#include "platform/QtServices.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <sqlite3.h>

using namespace lw;

namespace {

constexpr int letterCount = 100000;
constexpr int rounds = 5;
const QString keyword = QStringLiteral("payment");

// No pause, no dialog: a message in a benchmark means something went wrong.
class BenchMessages : public MessageService
{
public:
    MsgAnswer show(QWidget*, const QString& text, const QString& title, MsgButtons,
                   MsgIcon) override
    {
        std::fprintf(stderr, "unexpected message: %s: %s\n", qPrintable(title), qPrintable(text));
        std::exit(2);
    }
};

class NoPause : public QtClockService
{
public:
    void pause(int) override {}
};

LibraryContents generatedLibrary()
{
    LibraryContents contents;
    const QStringList subjects = {"Business",  "Complaints", "Credit",      "Employment",
                                  "Finance",   "Goodwill",   "Invitations", "Management",
                                  "Personal",  "Property",   "Purchasing",  "Sales",
                                  "Service",   "Community",  "Legal",       "Travel",
                                  "Insurance", "Education",  "Health",      "Réclamations"};
    const QStringList categories = {"Requests",  "Replies",   "Reminders", "Apologies",
                                    "Thanks",    "Refusals",  "Offers",    "Confirmations",
                                    "Inquiries", "Références"};
    for (const QString& subject : subjects)
        contents.subjects.append({subject, categories});
    const QStringList topics = {"late payment",
                                "delivery of chairs",
                                "the new contract",
                                "your invoice",
                                "the annual report",
                                "a refund",
                                "Ärger mit der Lieferung",
                                "réclamation de paiement",
                                "the office move",
                                "an overdue account"};
    const QString body = bench::letterText(600);
    for (int i = 0; i < letterCount; ++i) {
        LetterRecord letter;
        letter.title =
            QStringLiteral("Letter %1 about %2").arg(i).arg(topics.at(i % topics.size()));
        letter.subject = subjects.at(i % subjects.size());
        letter.category = categories.at(i / subjects.size() % categories.size());
        letter.content = body;
        letter.favorite = i % 97 == 0 ? 1 : 0;
        contents.letters.append(letter);
    }
    return contents;
}

// Built by the builder, with its indexes, and a copy as libraries were made before them.
void makeLibraries(const QString& withIndexes, const QString& without)
{
    QString error;
    if (!createLibraryFile(withIndexes, generatedLibrary(), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        std::exit(2);
    }
    QFile::copy(withIndexes, without);
    datafile::restoreSignature(without, nullptr);
    SqliteDatabase db;
    db.open(without);
    for (const QString& index : sql::indexNames())
        db.execute(QStringLiteral("drop index ") + index);
    db.execute(QStringLiteral("vacuum"));
    db.close();
    datafile::writeMarker(without, nullptr);
}

// SQLite's own `like` and an ASCII-only case-blind collation: the engine's plain speed.
int asciiCollation(void*, int lengthA, const void* a, int lengthB, const void* b)
{
    const int order = sqlite3_strnicmp(static_cast<const char*>(a), static_cast<const char*>(b),
                                       std::min(lengthA, lengthB));
    return order != 0 ? order : lengthA - lengthB;
}

QStringList searchWithAsciiLike(const QString& path)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_create_collation(db, "lw_nocase", SQLITE_UTF8, nullptr, asciiCollation);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql::searchTitles(keyword).toUtf8().constData(), -1, &statement,
                       nullptr);
    QStringList titles;
    while (sqlite3_step(statement) == SQLITE_ROW)
        titles.append(
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0))));
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return titles;
}

QStringList searchWithOurs(const QString& path)
{
    SqliteDatabase db;
    db.open(path);
    const auto rows = db.execute(sql::searchTitles(keyword));
    QStringList titles;
    for (const Row& row : *rows)
        titles.append(row.value(0).toString());
    return titles;
}

bool keywordSearch(const QString& path)
{
    datafile::restoreSignature(path, nullptr);
    // Same titles, in the same order, as the old `like`, which folded pattern and title anew for
    // every row: likeMatches and compareIgnoringCase still are that rule.
    QStringList expected;
    for (const LetterRecord& letter : generatedLibrary().letters) {
        if (likeMatches(QLatin1Char('%') + keyword + QLatin1Char('%'), letter.title))
            expected.append(letter.title);
    }
    std::sort(expected.begin(), expected.end(),
              [](const QString& a, const QString& b) { return compareIgnoringCase(a, b) < 0; });
    QStringList ours;
    bench::requireSame("keyword search", (ours = searchWithOurs(path)).join(u'\n').toUtf8(),
                       expected.join(u'\n').toUtf8());
    const double oursMs = bench::bestOf(rounds, [&] { ours = searchWithOurs(path); });
    const double asciiMs = bench::bestOf(rounds, [&] { searchWithAsciiLike(path); });
    datafile::writeMarker(path, nullptr);
    return bench::ratioRow(QStringLiteral("Keyword search over 100,000 letters (Unicode, case "
                                          "ignored)"),
                           oursMs, asciiMs, 2, QStringLiteral("SQLite's ASCII like"));
}

struct Timings
{
    double startUp = 0;
    double category = 0;
    double favorite = 0;
};

// The program as a user starts it (the splash pause aside), then a few category choices and
// favourites added.
Timings useProgram(const QString& home)
{
    qputenv("XDG_DATA_HOME", QFile::encodeName(home));
    Timings timings;
    timings.startUp = bench::bestOf(3, [&] {
        Letterwright program;
        if (!program.StartUp())
            std::exit(2);
        program.mainWindow()->show();
        QApplication::processEvents();
    });

    Letterwright program;
    program.StartUp();
    MainWindow& window = *program.mainWindow();
    window.show();
    QApplication::processEvents();
    int category = 0;
    timings.category = bench::bestOf(rounds, [&] {
        category = (category + 3) % window.Cmb[1]->count();
        window.Cmb[1]->setCurrentIndex(category);
        QApplication::processEvents();
    });
    if (window.lstBx[0]->count() != letterCount / 200)
        std::exit(2);
    int row = 0;
    timings.favorite = bench::bestOf(
        rounds,
        [&] {
            window.cmdBtn[4]->click();
            QApplication::processEvents();
        },
        [&] {
            // A letter that is not a favourite yet: those whose number 97 divides are.
            const auto isFavorite = [&](int r) {
                return window.lstBx[0]->item(r)->text().section(u' ', 1, 1).toInt() % 97 == 0;
            };
            while (isFavorite(++row)) {
            }
            window.lstBx[0]->setCurrentRow(row);
            QApplication::processEvents();
        });
    return timings;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    BenchMessages messages;
    QtDialogService dialogs;
    QtDesktopService desktop;
    QtPrinterService printers;
    NoPause clock;
    QtApplicationService application;
    installServices({&messages, &dialogs, nullptr, &desktop, &printers, &clock, &application});

    QTemporaryDir newHome;
    QTemporaryDir oldHome;
    const QString withIndexes = newHome.filePath(QStringLiteral("letterwright/lwx37.dat"));
    const QString without = oldHome.filePath(QStringLiteral("letterwright/lwx37.dat"));
    QDir().mkpath(QFileInfo(withIndexes).path());
    QDir().mkpath(QFileInfo(without).path());
    makeLibraries(withIndexes, without);

    bool pass = keywordSearch(withIndexes);
    // The old library's first start adds its indexes; the times that follow are as ours. So the
    // old library's figures come from the same program with the indexes dropped again: the
    // choice and the favourite measured before any start.
    const Timings ours = useProgram(newHome.path());
    const QString oldCopy = oldHome.filePath(QStringLiteral("letterwright/old.dat"));
    QFile::copy(without, oldCopy);
    const auto firstStart = [&] {
        QFile::remove(without);
        QFile::copy(oldCopy, without);
        qputenv("XDG_DATA_HOME", QFile::encodeName(oldHome.path()));
        Letterwright program;
        const double start = bench::processorMilliseconds();
        program.StartUp();
        program.mainWindow()->show();
        QApplication::processEvents();
        return bench::processorMilliseconds() - start;
    };
    const double oldFirstStart = firstStart();

    // Choosing a category without the indexes: the old library opened without adding them.
    QFile::remove(without);
    QFile::copy(oldCopy, without);
    datafile::restoreSignature(without, nullptr);
    double oldCategory = 0;
    {
        SqliteDatabase db;
        db.open(datafile::connectionString(without));
        oldCategory = bench::bestOf(rounds, [&] {
            db.execute(sql::letterTitles(QStringLiteral("Finance"), QStringLiteral("Replies")));
        });
    }
    double oldFavorites = 0;
    {
        SqliteDatabase db;
        db.open(datafile::connectionString(without));
        oldFavorites = bench::bestOf(rounds, [&] { db.execute(sql::favoriteTitles()); });
    }

    pass &=
        bench::timeRow(QStringLiteral("Choosing a category, 100,000 letters (list and letter "
                                      "shown)"),
                       ours.category, oldCategory, 50, QStringLiteral("its query without indexes"));
    pass &= bench::timeRow(QStringLiteral("Adding a favourite, 100,000 letters (list refilled, "
                                          "letter shown)"),
                           ours.favorite, oldFavorites, 50,
                           QStringLiteral("its query without indexes"));
    pass &= bench::timeRow(QStringLiteral("Start-up beyond the splash pause, 100,000 letters"),
                           ours.startUp, oldFirstStart, 200,
                           QStringLiteral("first start adding the indexes"));
    return pass ? 0 : 1;
}
