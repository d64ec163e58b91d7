#include "library/LibrarySource.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

using namespace lw;

// Checks the default library's sources as a reviewer would: complete letters, one placeholder
// vocabulary, enough letters everywhere.
class DefaultLibraryTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void coversEverySubjectAndCategory();
    void everyLetterIsComplete();
    void placeholdersComeFromTheList();
    void titlesAndFilesAreUnique();

private:
    LibraryContents library;
    QSet<QString> placeholders;
};

void DefaultLibraryTest::initTestCase()
{
    librarysource::SourceError error;
    const auto read = librarysource::read(QStringLiteral(LW_LIBRARY_SOURCE_DIR), &error);
    QVERIFY2(read, qPrintable(error.text()));
    library = *read;
    QFile list(QStringLiteral(LW_LIBRARY_SOURCE_DIR "/placeholders.txt"));
    QVERIFY(list.open(QIODevice::ReadOnly));
    for (const QByteArray& line : list.readAll().split('\n')) {
        if (line.startsWith('['))
            placeholders.insert(QString::fromUtf8(line.trimmed()));
    }
    QVERIFY(placeholders.contains(QStringLiteral("[Your Name]")));
}

void DefaultLibraryTest::coversEverySubjectAndCategory()
{
    QVERIFY(library.subjects.size() >= 12);
    QVERIFY(library.letters.size() >= 240);
    for (const auto& [subject, categories] : library.subjects) {
        QVERIFY2(categories.size() >= 3 && categories.size() <= 8, qPrintable(subject));
        for (const QString& category : categories) {
            const auto count = std::count_if(
                library.letters.cbegin(), library.letters.cend(), [&](const LetterRecord& l) {
                    return l.subject == subject && l.category == category;
                });
            QVERIFY2(count >= 3, qPrintable(subject + " / " + category));
        }
    }
}

void DefaultLibraryTest::everyLetterIsComplete()
{
    for (const LetterRecord& letter : library.letters) {
        const QString& text = letter.content;
        const qsizetype count =
            text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts).size();
        QVERIFY2(count >= 120 && count <= 350,
                 qPrintable(letter.title + ": " + QString::number(count) + " words"));
        QVERIFY2(text.contains(QStringLiteral("[Date]")), qPrintable(letter.title));
        QVERIFY2(text.contains(QRegularExpression(QStringLiteral("^Dear "),
                                                  QRegularExpression::MultilineOption)) ||
                     text.contains(QStringLiteral("To Whom It May Concern")),
                 qPrintable(letter.title + ": no salutation"));
        QVERIFY2(text.contains(QStringLiteral("[Your Name]")),
                 qPrintable(letter.title + ": no signature"));
        QVERIFY2(!letter.file.isEmpty(), qPrintable(letter.title + ": no letter file"));
    }
}

void DefaultLibraryTest::placeholdersComeFromTheList()
{
    static const QRegularExpression bracketed(QStringLiteral("\\[[^\\]\\n]*\\]"));
    for (const LetterRecord& letter : library.letters) {
        auto it = bracketed.globalMatch(letter.content);
        while (it.hasNext()) {
            const QString name = it.next().captured();
            QVERIFY2(placeholders.contains(name), qPrintable(letter.title + ": " + name));
        }
    }
}

void DefaultLibraryTest::titlesAndFilesAreUnique()
{
    QSet<QString> titles;
    QSet<QString> files;
    int withApostrophe = 0;
    for (const LetterRecord& letter : library.letters) {
        QVERIFY2(!titles.contains(letter.title.toCaseFolded()), qPrintable(letter.title));
        titles.insert(letter.title.toCaseFolded());
        QVERIFY2(!files.contains(letter.file.toCaseFolded()), qPrintable(letter.file));
        files.insert(letter.file.toCaseFolded());
        withApostrophe += letter.title.contains(u'\'');
    }
    QVERIFY(withApostrophe > 0);
}

QTEST_MAIN(DefaultLibraryTest)
#include "test_defaultlibrary.moc"
