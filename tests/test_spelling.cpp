#include "EditorHost.h"
#include "editor/DisplayFormats.h"
#include "editor/LetterEditor.h"
#include "editor/PersonalWordList.h"
#include "editor/SpellChecker.h"
#include "editor/SpellingDictionaries.h"
#include "editor/SpellingMarks.h"
#include "editor/SpellingSettings.h"
#include "editor/WordSplitter.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QTextLayout>
#include <sys/stat.h>

using namespace lw;
using namespace Qt::StringLiterals;

namespace {

const QString fixtures = QStringLiteral(LW_FIXTURES_DIR "/spelling");

SpellingDictionary fixtureDictionary(const QString& name)
{
    return {name, fixtures + u'/' + name + QStringLiteral(".aff"), dictionaryDisplayName(name)};
}

QStringList wordsOf(const QString& text)
{
    QStringList words;
    for (const WordSpan& word : spellingWords(text))
        words.append(text.mid(word.start, word.length));
    return words;
}

QStringList underlinedWords(const SpellingMarks& marks, const LetterEditor& box)
{
    QStringList words;
    const QString text = box.Text();
    for (const WordSpan& word : marks.underlined())
        words.append(text.mid(word.start, word.length));
    return words;
}

// The pieces of text drawn with a wavy underline over them.
QStringList wavyPieces(const LetterEditor& box)
{
    QStringList pieces;
    const auto selections = box.textEdit()->extraSelections();
    for (const QTextEdit::ExtraSelection& selection : selections) {
        if (selection.format.underlineStyle() == QTextCharFormat::WaveUnderline)
            pieces.append(selection.cursor.selectedText());
    }
    return pieces;
}

// Every run of the document's own formats that is underlined in any way.
int storedUnderlines(const QTextDocument& document)
{
    int count = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto run = block.begin(); !run.atEnd(); ++run) {
            const QTextCharFormat format = run.fragment().charFormat();
            if (format.fontUnderline() || format.underlineStyle() != QTextCharFormat::NoUnderline)
                ++count;
        }
    }
    return count;
}

} // namespace

class SpellingTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void splitsWords_data();
    void splitsWords();
    void splitterResumes();

    void findsDictionaries();
    void skipsBrokenDictionaries();
    void defaultLanguage_data();
    void defaultLanguage();

    void checksWords_data();
    void checksWords();
    void suggests();
    void unreadableDictionaryIsNoDictionary();

    void personalWordsRoundTrip();
    void personalWordsKeepWhatTheFileHeld();
    void personalWordsRefuseAnUnreadableFile_data();
    void personalWordsRefuseAnUnreadableFile();
    void ignoredWordsLastOneRun();

    void settingsRoundTrip();

    void underlinesMisspeltWords();
    void underlineIsNeverPartOfTheDocument();
    void documentReadInPiecesIsChecked();
    void copyingAnUnderlinedWordCopiesNoUnderline();
    void wordBeingTypedWaitsForThePause();
    void editedParagraphIsCheckedAgain();
    void visibleParagraphsFirst();
    void longParagraphInSlices();
    void switchedOffLeavesNothing();
    void laterDictionaryUnderlinesWhatIsThere();
    void secondDecoratorSharesTheParagraph();

private:
    QTemporaryDir home;
};

void SpellingTest::initTestCase()
{
    QVERIFY(home.isValid());
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toUtf8());
}

void SpellingTest::splitsWords_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("words");

    QTest::newRow("nominal: sentence")
        << "We recieve your paymnet." << QStringList{"We", "recieve", "your", "paymnet"};
    QTest::newRow("nominal: apostrophes inside a word")
        << "don't tell the client's wife"
        << QStringList{"don't", "tell", "the", "client's", "wife"};
    QTest::newRow("nominal: typographic apostrophe")
        << u"don\u2019t"_s << QStringList{u"don\u2019t"_s};
    QTest::newRow("nominal: quotes around a word")
        << "'Hello' he said, \u2018fine\u2019" << QStringList{"Hello", "he", "said", "fine"};
    QTest::newRow("nominal: apostrophe after a plural")
        << "the clients' letters" << QStringList{"the", "clients", "letters"};
    QTest::newRow("nominal: hyphenated word")
        << "a well-known well-knwn firm" << QStringList{"a", "well-known", "well-knwn", "firm"};
    QTest::newRow("nominal: dashes between words")
        << "yes - no -- maybe\u2013later" << QStringList{"yes", "no", "maybe", "later"};
    QTest::newRow("nominal: placeholder")
        << "Dear [Recipient Nme], thank you" << QStringList{"Dear", "thank", "you"};
    QTest::newRow("nominal: placeholder with a possessive")
        << "[Company]'s order" << QStringList{"order"};
    QTest::newRow("robustness: unclosed bracket")
        << "[Recipient Name, thank" << QStringList{"Recipient", "Name", "thank"};
    QTest::newRow("robustness: brackets within brackets")
        << "[a [Nme] b] end" << QStringList{"a", "b", "end"};
    QTest::newRow("robustness: placeholder ends at the line")
        << "[Nme\nok] end" << QStringList{"Nme", "ok", "end"};
    QTest::newRow("nominal: web addresses")
        << "see https://example.com/recieve and www.exmple.org. or (http://x.y/z),"
        << QStringList{"see", "and", "or"};
    QTest::newRow("nominal: e-mail addresses")
        << "write to jane.doe@exmple.com or <bob@exmple.co.uk> or mailto:sales@x.org today"
        << QStringList{"write", "to", "or", "or", "today"};
    QTest::newRow("robustness: at sign alone") << "@handle me@" << QStringList{"handle", "me"};
    QTest::newRow("nominal: numbers and words with digits")
        << "the 3rd A4 sheet, 2024, covid19, 12:30 and 1,5" << QStringList{"the", "sheet", "and"};
    QTest::newRow("nominal: capitals up to six letters")
        << "NASA VAT USA GMBH ÖBB INVOICE ABCDEFG Nasa"
        << QStringList{"INVOICE", "ABCDEFG", "Nasa"};
    QTest::newRow("nominal: dotted abbreviations") << "e.g. i.e. U.S.A. etc." << QStringList{"etc"};
    QTest::newRow("nominal: accented letters")
        << u"Ölund naïve café \u00E6sthetic"_s
        << QStringList{u"Ölund"_s, u"naïve"_s, u"café"_s, u"\u00E6sthetic"_s};
    QTest::newRow("nominal: combining marks")
        << u"cafe\u0301 ok"_s << QStringList{u"cafe\u0301"_s, "ok"};
    QTest::newRow("nominal: right-to-left text")
        << u"\u05E9\u05DC\u05D5\u05DD \u05E2\u05D5\u05DC\u05DD, \u0645\u0631\u062D\u0628\u0627"_s
        << QStringList{u"\u05E9\u05DC\u05D5\u05DD"_s, u"\u05E2\u05D5\u05DC\u05DD"_s,
                       u"\u0645\u0631\u062D\u0628\u0627"_s};
    QTest::newRow("robustness: direction marks part words")
        << u"\u200F\u05E9\u05DC\u05D5\u05DD\u200E world\u202C"_s
        << QStringList{u"\u05E9\u05DC\u05D5\u05DD"_s, "world"};
    QTest::newRow("robustness: Persian joiner inside a word")
        << u"\u0645\u06CC\u200C\u062E\u0648\u0627\u0647\u0645"_s
        << QStringList{u"\u0645\u06CC\u200C\u062E\u0648\u0627\u0647\u0645"_s};
    QTest::newRow("robustness: scripts without spaces")
        << u"\u4F60\u597D\u4E16\u754C hello \u0E2A\u0E27\u0E31\u0E2A\u0E14\u0E35"_s
        << QStringList{"hello"};
    QTest::newRow("robustness: soft hyphen inside a word")
        << u"pay\u00ADment"_s << QStringList{u"pay\u00ADment"_s};
    QTest::newRow("robustness: letters outside the basic plane")
        << u"\U0001D400\U0001D401 abc \U0001D41A\U0001D41B"_s
        << QStringList{"abc", u"\U0001D41A\U0001D41B"_s};
    QTest::newRow("robustness: no words") << "!!! ... --- ''" << QStringList{};
    QTest::newRow("robustness: empty") << "" << QStringList{};
}

void SpellingTest::splitsWords()
{
    QFETCH(QString, text);
    QFETCH(QStringList, words);
    QCOMPARE(wordsOf(text), words);
}

void SpellingTest::splitterResumes()
{
    // A long paragraph is read over several slices: going on from where it stopped finds the
    // same words as one pass.
    const QString text =
        QStringLiteral("Dear [Name], see www.example.com and recieve it's 3rd one");
    WordSplitter whole(text);
    QList<WordSpan> expected;
    for (WordSpan word; whole.next(word);)
        expected.append(word);
    QList<WordSpan> found;
    WordSplitter first(text);
    WordSpan word;
    QVERIFY(first.next(word));
    found.append(word);
    WordSplitter rest(text, first.position());
    while (rest.next(word))
        found.append(word);
    QVERIFY(found == expected);
    QCOMPARE(found.size(), 6);
}

void SpellingTest::findsDictionaries()
{
    const QList<SpellingDictionary> found = findDictionaries({fixtures});
    QCOMPARE(found.size(), 2);
    QCOMPARE(found[0].name, QStringLiteral("en_GB"));
    QCOMPARE(found[0].displayName, QStringLiteral("English (United Kingdom)"));
    QCOMPARE(found[0].affixPath, fixtures + QStringLiteral("/en_GB.aff"));
    QCOMPARE(found[1].name, QStringLiteral("en_US"));
    QCOMPARE(found[1].displayName, QStringLiteral("English (United States)"));
    QCOMPARE(dictionaryDisplayName(QStringLiteral("de_DE_frami")),
             QStringLiteral("German (Germany) [de_DE_frami]"));
    QCOMPARE(dictionaryDisplayName(QStringLiteral("fr")), QStringLiteral("French"));
    QCOMPARE(dictionaryDisplayName(QStringLiteral("medical")), QStringLiteral("medical"));
}

void SpellingTest::skipsBrokenDictionaries()
{
    QTemporaryDir first;
    QTemporaryDir second;
    const auto write = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write("x\n") == 2;
    };
    // Only an affix file; a word file that is a pipe; a hyphenation file without affixes.
    QVERIFY(write(first.filePath(QStringLiteral("de_DE.aff"))));
    QVERIFY(write(first.filePath(QStringLiteral("fr_FR.aff"))));
    QCOMPARE(
        mkfifo(QFile::encodeName(first.filePath(QStringLiteral("fr_FR.dic"))).constData(), 0600),
        0);
    QVERIFY(write(first.filePath(QStringLiteral("hyph_en_US.dic"))));
    // The same name in an earlier folder wins.
    QVERIFY(QFile::copy(fixtures + QStringLiteral("/en_US.aff"),
                        first.filePath(QStringLiteral("en_US.aff"))));
    QVERIFY(QFile::copy(fixtures + QStringLiteral("/en_US.dic"),
                        first.filePath(QStringLiteral("en_US.dic"))));
    const QList<SpellingDictionary> found =
        findDictionaries({first.path(), fixtures, second.filePath(QStringLiteral("missing"))});
    QStringList names;
    for (const SpellingDictionary& dictionary : found)
        names.append(dictionary.name);
    QCOMPARE(names, QStringList({"en_GB", "en_US"}));
    QCOMPARE(found[1].affixPath, first.filePath(QStringLiteral("en_US.aff")));
}

void SpellingTest::defaultLanguage_data()
{
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("chosen");

    QTest::newRow("nominal: the locale's own") << QStringList{"de_DE", "en_GB", "en_US"} << "de_DE"
                                               << "de_DE";
    QTest::newRow("nominal: same language, other territory")
        << QStringList{"de_AT", "de_DE", "en_US"} << "de_CH"
        << "de_AT";
    QTest::newRow("nominal: British locale") << QStringList{"en_GB", "en_US"} << "en_GB"
                                             << "en_GB";
    QTest::newRow("nominal: no dictionary of the language: English")
        << QStringList{"en_GB", "en_US", "fr_FR"} << "nl_NL"
        << "en_US";
    QTest::newRow("nominal: C locale: English") << QStringList{"de_DE", "en_GB"} << "C"
                                                << "en_GB";
    QTest::newRow("robustness: no English: the first") << QStringList{"fr_FR", "nl_NL"} << "C"
                                                       << "fr_FR";
    QTest::newRow("robustness: none installed") << QStringList{} << "en_US"
                                                << "";
}

void SpellingTest::defaultLanguage()
{
    QFETCH(QStringList, installed);
    QFETCH(QString, locale);
    QFETCH(QString, chosen);
    QList<SpellingDictionary> dictionaries;
    for (const QString& name : installed)
        dictionaries.append({name, QString(), dictionaryDisplayName(name)});
    QCOMPARE(defaultDictionary(dictionaries, QLocale(locale)).name, chosen);
}

void SpellingTest::checksWords_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<bool>("correct");

    QTest::newRow("nominal: known word") << "receive" << true;
    QTest::newRow("nominal: misspelt") << "recieve" << false;
    QTest::newRow("nominal: capitalised at a sentence start") << "Receive" << true;
    QTest::newRow("nominal: in capitals") << "RECEIVE" << true;
    QTest::newRow("nominal: plural by affix") << "payments" << true;
    QTest::newRow("nominal: hyphenated known parts") << "well-known" << true;
    QTest::newRow("nominal: hyphenated misspelt part") << "well-knwn" << false;
    QTest::newRow("nominal: apostrophe") << "don't" << true;
    QTest::newRow("nominal: typographic apostrophe") << u"don\u2019t"_s << true;
    QTest::newRow("nominal: accented") << u"café"_s << true;
    QTest::newRow("nominal: accent as a combining mark") << u"cafe\u0301"_s << true;
    QTest::newRow("nominal: soft hyphen") << u"pay\u00ADment"_s << true;
    QTest::newRow("nominal: British spelling in the American dictionary") << "colour" << false;
    QTest::newRow("robustness: very long run of letters") << QString(5000, u'x') << true;
}

void SpellingTest::checksWords()
{
    QFETCH(QString, word);
    QFETCH(bool, correct);
    SpellChecker checker;
    QString error;
    QVERIFY2(checker.loadDictionary(fixtureDictionary(QStringLiteral("en_US")), &error),
             qPrintable(error));
    QCOMPARE(checker.isCorrect(word), correct);
    // Asked again, from the cache.
    QCOMPARE(checker.isCorrect(word), correct);
}

void SpellingTest::suggests()
{
    SpellChecker checker;
    QVERIFY(checker.loadDictionary(fixtureDictionary(QStringLiteral("en_US"))));
    QCOMPARE(checker.suggestions(QStringLiteral("recieve")).value(0), QStringLiteral("receive"));
    QCOMPARE(checker.suggestions(QStringLiteral("paymnet")).value(0), QStringLiteral("payment"));
    QVERIFY(checker.suggestions(QStringLiteral("recieve"), 1).size() == 1);
    QVERIFY(checker.suggestions(QStringLiteral("zzzzzzqqq")).isEmpty());
    QVERIFY(checker.suggestions(QString(5000, u'x')).isEmpty());
}

void SpellingTest::unreadableDictionaryIsNoDictionary()
{
    QTemporaryDir folder;
    QFile affix(folder.filePath(QStringLiteral("xx_XX.aff")));
    QVERIFY(affix.open(QIODevice::WriteOnly));
    affix.write("SET UTF-8\n");
    affix.close();
    const SpellingDictionary broken{QStringLiteral("xx_XX"), affix.fileName(),
                                    QStringLiteral("xx_XX")};
    SpellChecker checker;
    QString error;
    QVERIFY(!checker.loadDictionary(broken, &error));
    QVERIFY2(error.startsWith(QStringLiteral("Cannot read the dictionary ") +
                              QDir::toNativeSeparators(affix.fileName())),
             qPrintable(error));
    QVERIFY(!checker.isReady());
    QVERIFY(checker.isCorrect(QStringLiteral("recieve")));

    // In the background too: the error arrives with the change.
    QSignalSpy changed(&checker, &SpellChecker::changed);
    checker.setDictionary(broken);
    QVERIFY(changed.wait());
    QVERIFY(!checker.isReady());
    QVERIFY(!checker.loadError().isEmpty());
    checker.setDictionary(fixtureDictionary(QStringLiteral("en_US")));
    QVERIFY(changed.wait());
    QVERIFY(checker.isReady());
    QVERIFY(checker.loadError().isEmpty());
    QVERIFY(!checker.isCorrect(QStringLiteral("recieve")));
}

void SpellingTest::personalWordsRoundTrip()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("letterwright/words.txt"));
    {
        SpellChecker checker;
        checker.personalWords() = PersonalWordList(path);
        QVERIFY(checker.loadDictionary(fixtureDictionary(QStringLiteral("en_US"))));
        QVERIFY(checker.loadPersonalWords());
        QVERIFY(!checker.isCorrect(QStringLiteral("Letterwright")));
        QString error;
        QVERIFY2(checker.addToPersonalWords(QStringLiteral("Letterwright"), &error),
                 qPrintable(error));
        QVERIFY2(checker.addToPersonalWords(QStringLiteral("Ölundström"), &error),
                 qPrintable(error));
        QVERIFY(checker.isCorrect(QStringLiteral("Letterwright")));
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QStringLiteral("Letterwright\nÖlundström\n").toUtf8());

    SpellChecker later;
    later.personalWords() = PersonalWordList(path);
    QVERIFY(later.loadDictionary(fixtureDictionary(QStringLiteral("en_US"))));
    QVERIFY(later.loadPersonalWords());
    QVERIFY(later.isCorrect(QStringLiteral("Letterwright")));
    QVERIFY(later.isCorrect(QStringLiteral("LETTERWRIGHT")));
    QVERIFY(later.isCorrect(u"Ölundström"_s));
    // Capitals where the word has none are still a misspelling.
    QVERIFY(!later.isCorrect(QStringLiteral("letterwright")));
}

void SpellingTest::personalWordsKeepWhatTheFileHeld()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("words.txt"));
    // Not UTF-8 on one line, no line feed at the end.
    const QByteArray before("Brightquill\r\nna\xEFve\nzed");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(before);
    file.close();

    PersonalWordList list(path);
    QVERIFY(list.load());
    QVERIFY(list.contains(u"Brightquill"));
    QVERIFY(list.contains(u"zed"));
    QVERIFY(list.add(QStringLiteral("Letterwright")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before + "\nLetterwright\n");
    QVERIFY(list.contains(u"Letterwright"));
}

void SpellingTest::personalWordsRefuseAnUnreadableFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("robustness: a folder in its place") << "folder";
    QTest::newRow("robustness: a pipe in its place") << "pipe";
    QTest::newRow("robustness: no permission to read") << "unreadable";
}

void SpellingTest::personalWordsRefuseAnUnreadableFile()
{
    QFETCH(QString, kind);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("words.txt"));
    if (kind == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(path));
    } else if (kind == QLatin1String("pipe")) {
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Brightquill\n");
        file.close();
        QVERIFY(file.setPermissions(QFileDevice::WriteOwner));
        if (file.open(QIODevice::ReadOnly))
            QSKIP("Running with the right to read any file.");
    }
    PersonalWordList list(path);
    QString error;
    QVERIFY(!list.load(&error));
    QVERIFY2(error.startsWith(QStringLiteral("Cannot read ") + QDir::toNativeSeparators(path)),
             qPrintable(error));
    error.clear();
    QVERIFY(!list.add(QStringLiteral("Letterwright"), &error));
    QVERIFY2(error.startsWith(QStringLiteral("Cannot read ") + QDir::toNativeSeparators(path)),
             qPrintable(error));
    const QFileInfo info(path);
    QCOMPARE(info.isDir(), kind == QLatin1String("folder"));
    if (kind == QLatin1String("unreadable")) {
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("Brightquill\n"));
    }

    // Still counted as right for this run.
    SpellChecker checker;
    checker.personalWords() = PersonalWordList(path);
    QVERIFY(checker.loadDictionary(fixtureDictionary(QStringLiteral("en_US"))));
    QVERIFY(!checker.addToPersonalWords(QStringLiteral("Letterwright"), &error));
    QVERIFY(checker.isCorrect(QStringLiteral("Letterwright")));
}

void SpellingTest::ignoredWordsLastOneRun()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("words.txt"));
    {
        SpellChecker checker;
        checker.personalWords() = PersonalWordList(path);
        QVERIFY(checker.loadDictionary(fixtureDictionary(QStringLiteral("en_US"))));
        QSignalSpy changed(&checker, &SpellChecker::changed);
        checker.ignore(QStringLiteral("Brightquill"));
        QCOMPARE(changed.size(), 1);
        QVERIFY(checker.isCorrect(QStringLiteral("Brightquill")));
        QVERIFY(checker.isCorrect(QStringLiteral("BRIGHTQUILL")));
    }
    QVERIFY(!QFile::exists(path));
    SpellChecker later;
    later.personalWords() = PersonalWordList(path);
    QVERIFY(later.loadDictionary(fixtureDictionary(QStringLiteral("en_US"))));
    QVERIFY(!later.isCorrect(QStringLiteral("Brightquill")));
}

void SpellingTest::settingsRoundTrip()
{
    QCOMPARE(SpellingSettings::settingsPath(),
             home.filePath(QStringLiteral("config/letterwright/letterwright.conf")));
    const SpellingSettings fresh = SpellingSettings::load();
    QVERIFY(fresh.language.isEmpty());
    QVERIFY(fresh.checkAsYouType);
    SpellingSettings changed;
    changed.language = QStringLiteral("en_GB");
    changed.checkAsYouType = false;
    QString error;
    QVERIFY2(changed.save(&error), qPrintable(error));
    const SpellingSettings loaded = SpellingSettings::load();
    QCOMPARE(loaded.language, QStringLiteral("en_GB"));
    QCOMPARE(loaded.checkAsYouType, false);
    QVERIFY(QFile::remove(SpellingSettings::settingsPath()));
}

void SpellingTest::underlinesMisspeltWords()
{
    test::EditorHost host;
    SpellChecker checker;
    QVERIFY(checker.loadDictionary(fixtureDictionary(QStringLiteral("en_US"))));
    SpellingMarks marks(*host.editor->displayFormats(), checker);
    QVERIFY(host.show());
    host.editor->setText(QStringLiteral(
        "Dear [Recipient Nme],\nWe recieve your paymnet for invoice 4711 of NASA.\nSee "
        "www.exmple.com or write to sales@exmple.com."));
    marks.finish();
    QCOMPARE(underlinedWords(marks, *host.editor), QStringList({"recieve", "paymnet"}));
    QCOMPARE(wavyPieces(*host.editor), QStringList({"recieve", "paymnet"}));
    const int at = int(host.editor->Text().indexOf(QStringLiteral("paymnet")));
    QVERIFY(marks.misspeltWordAt(at) == WordSpan({at, 7}));
    QVERIFY(marks.misspeltWordAt(at + 7) == WordSpan({at, 7}));
    QVERIFY(!marks.misspeltWordAt(at - 2));
    QVERIFY(!marks.misspeltWordAt(1000));
}

void SpellingTest::documentReadInPiecesIsChecked()
{
    test::EditorHost host;
    SpellChecker checker;
    QVERIFY(checker.loadDictionary(fixtureDictionary(QStringLiteral("en_US"))));
    SpellingMarks marks(*host.editor->displayFormats(), checker);
    QVERIFY(host.show());
    host.editor->setText(QStringLiteral("We recieve your letter."));
    marks.finish();
    QCOMPARE(underlinedWords(marks, *host.editor), QStringList({"recieve"}));
    // A long file is read into a document of its own, which takes the editor's place.
    QVERIFY(host.editor->setTextInPieces(QStringLiteral("Your paymnet is here.\nThank you."),
                                         [](qint64, qint64) { return true; }));
    marks.finish();
    QCOMPARE(underlinedWords(marks, *host.editor), QStringList({"paymnet"}));
    QCOMPARE(wavyPieces(*host.editor), QStringList({"paymnet"}));
    // Words typed into it are checked as ever.
    host.editor->setSelStart(host.editor->TextLength());
    host.editor->setSelText(QStringLiteral(" Sincerly yours."));
    marks.finish();
    QCOMPARE(underlinedWords(marks, *host.editor), QStringList({"paymnet", "Sincerly"}));
}

void SpellingTest::underlineIsNeverPartOfTheDocument()
{
    test::EditorHost host;
    SpellChecker checker;
    QVERIFY(checker.loadDictionary(fixtureDictionary(QStringLiteral("en_US"))));
    SpellingMarks marks(*host.editor->displayFormats(), checker);
    QVERIFY(host.show());
    host.editor->setText(QStringLiteral("We recieve your paymnet."));
    QSignalSpy changes(host.editor, &LetterEditor::Change);
    const bool modified = host.editor->document()->isModified();
    const int undoSteps = host.editor->document()->availableUndoSteps();
    marks.finish();
    QCOMPARE(wavyPieces(*host.editor), QStringList({"recieve", "paymnet"}));
    // Drawn only: no change, no undo step, nothing in the document's own formats or its HTML.
    QCOMPARE(changes.size(), 0);
    QCOMPARE(host.editor->document()->isModified(), modified);
    QCOMPARE(host.editor->document()->availableUndoSteps(), undoSteps);
    QCOMPARE(storedUnderlines(*host.editor->document()), 0);
    const QString html = host.editor->document()->toHtml();
    QVERIFY(!html.contains(QStringLiteral("underline")));
    QVERIFY(!html.contains(QStringLiteral("wave")));
    // A copy, as printing and the writers take it, has none either.
    std::unique_ptr<QTextDocument> copy(host.editor->document()->clone());
    QCOMPARE(storedUnderlines(*copy), 0);
    for (QTextBlock block = copy->begin(); block.isValid(); block = block.next())
        QVERIFY(block.layout()->formats().isEmpty());
}

void SpellingTest::copyingAnUnderlinedWordCopiesNoUnderline()
{
    test::EditorHost host;
    SpellChecker checker;
    QVERIFY(checker.loadDictionary(fixtureDictionary(QStringLiteral("en_US"))));
    SpellingMarks marks(*host.editor->displayFormats(), checker);
    QVERIFY(host.show());
    host.setText(QStringLiteral("We recieve your paymnet."), 3, 7);
    marks.finish();
    QCOMPARE(wavyPieces(*host.editor), QStringList({"recieve", "paymnet"}));
    host.editor->copy();
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    QVERIFY(copied);
    QCOMPARE(copied->text(), QStringLiteral("recieve"));
    QVERIFY(copied->hasHtml());
    QVERIFY2(!copied->html().contains(QStringLiteral("underline")), qPrintable(copied->html()));
    const QTextDocumentFragment fragment = QTextDocumentFragment::fromHtml(copied->html());
    QTextDocument pasted;
    QTextCursor(&pasted).insertFragment(fragment);
    QCOMPARE(storedUnderlines(pasted), 0);
}

void SpellingTest::wordBeingTypedWaitsForThePause()
{
    test::EditorHost host;
    SpellChecker checker;
    QVERIFY(checker.loadDictionary(fixtureDictionary(QStringLiteral("en_US"))));
    SpellingMarks marks(*host.editor->displayFormats(), checker);
    QVERIFY(host.show());
    QTextEdit* edit = host.editor->textEdit();
    QTest::keyClicks(edit, QStringLiteral("We recieve "));
    // Checked as the space was typed, without waiting for the background.
    QCOMPARE(wavyPieces(*host.editor), QStringList({"recieve"}));
    QTest::keyClicks(edit, QStringLiteral("your paymnet"));
    QCOMPARE(wavyPieces(*host.editor), QStringList({"recieve"}));
    QTRY_COMPARE(wavyPieces(*host.editor), QStringList({"recieve", "paymnet"}));
    // Mended by hand: the underline goes with the keystroke that mends it.
    QTest::keyClick(edit, Qt::Key_Home);
    for (int i = 0; i < 6; ++i)
        QTest::keyClick(edit, Qt::Key_Right);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClick(edit, Qt::Key_Right);
    QTest::keyClick(edit, Qt::Key_I);
    QCOMPARE(host.editor->Text(), QStringLiteral("We receive your paymnet"));
    QTRY_COMPARE(wavyPieces(*host.editor), QStringList({"paymnet"}));
}

void SpellingTest::editedParagraphIsCheckedAgain()
{
    test::EditorHost host;
    SpellChecker checker;
    QVERIFY(checker.loadDictionary(fixtureDictionary(QStringLiteral("en_US"))));
    SpellingMarks marks(*host.editor->displayFormats(), checker);
    QVERIFY(host.show());
    host.editor->setText(QStringLiteral("first paymnet\nsecond recieve\nthird line"));
    marks.finish();
    QCOMPARE(underlinedWords(marks, *host.editor), QStringList({"paymnet", "recieve"}));
    // A paste replaces a word in the middle paragraph; the others keep their marks.
    host.editor->setSelStart(int(host.editor->Text().indexOf(QStringLiteral("recieve"))));
    host.editor->setSelLength(7);
    host.editor->setSelText(QStringLiteral("receive ordr"));
    marks.finish();
    QCOMPARE(underlinedWords(marks, *host.editor), QStringList({"paymnet", "ordr"}));
    host.editor->undo();
    marks.finish();
    QCOMPARE(underlinedWords(marks, *host.editor), QStringList({"paymnet", "recieve"}));
    // A new paragraph typed between them.
    host.editor->setSelStart(13);
    QTest::keyClick(host.editor->textEdit(), Qt::Key_Return);
    QTest::keyClicks(host.editor->textEdit(), QStringLiteral("thnk you "));
    marks.finish();
    QCOMPARE(underlinedWords(marks, *host.editor), QStringList({"paymnet", "thnk", "recieve"}));
}

void SpellingTest::visibleParagraphsFirst()
{
    test::EditorHost host;
    SpellChecker checker;
    QVERIFY(checker.loadDictionary(fixtureDictionary(QStringLiteral("en_US"))));
    SpellingMarks marks(*host.editor->displayFormats(), checker);
    QVERIFY(host.show());
    QStringList lines;
    for (int i = 0; i < 30000; ++i)
        lines.append(QStringLiteral("we receive your payment for the invoice, thank you"));
    lines.append(QStringLiteral("last paymnet"));
    host.editor->setText(lines.join(u'\n'));
    // A large text is not checked in one go.
    QVERIFY(!marks.isDone());
    QTextEdit* edit = host.editor->textEdit();
    edit->moveCursor(QTextCursor::End);
    edit->ensureCursorVisible();
    QVERIFY(edit->verticalScrollBar()->value() > 0);
    // The next slices reach the paragraph on screen long before the sweep would.
    QTRY_COMPARE(wavyPieces(*host.editor), QStringList({"paymnet"}));
    QVERIFY(!marks.isDone());
    QSignalSpy done(&marks, &SpellingMarks::done);
    QVERIFY(done.wait(60000));
    QVERIFY(marks.isDone());
    QCOMPARE(underlinedWords(marks, *host.editor), QStringList({"paymnet"}));
    QVERIFY(marks.timing().slices > 1);
}

void SpellingTest::longParagraphInSlices()
{
    test::EditorHost host;
    SpellChecker checker;
    QVERIFY(checker.loadDictionary(fixtureDictionary(QStringLiteral("en_US"))));
    SpellingMarks marks(*host.editor->displayFormats(), checker);
    QVERIFY(host.show());
    // One paragraph far too long to check between two keystrokes.
    QString text;
    for (int i = 0; i < 20000; ++i)
        text += QStringLiteral("we receive your payment ");
    text += QStringLiteral("paymnet");
    host.editor->setText(text);
    QVERIFY(!marks.isDone());
    QSignalSpy done(&marks, &SpellingMarks::done);
    QVERIFY(done.wait(30000));
    QCOMPARE(underlinedWords(marks, *host.editor), QStringList({"paymnet"}));
    QVERIFY(marks.timing().slices > 1);
}

void SpellingTest::switchedOffLeavesNothing()
{
    test::EditorHost host;
    SpellChecker checker;
    QVERIFY(checker.loadDictionary(fixtureDictionary(QStringLiteral("en_US"))));
    SpellingMarks marks(*host.editor->displayFormats(), checker);
    QVERIFY(host.show());
    host.editor->setText(QStringLiteral("We recieve your paymnet."));
    marks.finish();
    QCOMPARE(wavyPieces(*host.editor).size(), 2);
    marks.setEnabled(false);
    marks.finish();
    QCOMPARE(wavyPieces(*host.editor), QStringList());
    QVERIFY(marks.underlined().isEmpty());
    QVERIFY(!marks.misspeltWordAt(4));
    QTest::keyClicks(host.editor->textEdit(), QStringLiteral("thnk "));
    marks.finish();
    QCOMPARE(wavyPieces(*host.editor), QStringList());
    marks.setEnabled(true);
    marks.finish();
    QCOMPARE(wavyPieces(*host.editor), QStringList({"thnk", "recieve", "paymnet"}));
}

void SpellingTest::laterDictionaryUnderlinesWhatIsThere()
{
    test::EditorHost host;
    SpellChecker checker;
    SpellingMarks marks(*host.editor->displayFormats(), checker);
    QVERIFY(host.show());
    host.editor->setText(QStringLiteral("We recieve your colour paymnet."));
    marks.finish();
    QCOMPARE(wavyPieces(*host.editor), QStringList());
    // Read in the background, then every paragraph is checked again.
    checker.setDictionary(fixtureDictionary(QStringLiteral("en_US")));
    QTRY_COMPARE(wavyPieces(*host.editor), QStringList({"recieve", "colour", "paymnet"}));
    checker.setDictionary(fixtureDictionary(QStringLiteral("en_GB")));
    QTRY_COMPARE(wavyPieces(*host.editor), QStringList({"recieve", "paymnet"}));
    checker.ignore(QStringLiteral("recieve"));
    QTRY_COMPARE(wavyPieces(*host.editor), QStringList({"paymnet"}));
    checker.setDictionary({});
    QTRY_COMPARE(wavyPieces(*host.editor), QStringList());
}

namespace {

// A second display-only format on the same document: from a placeholder to the end of its
// paragraph, a tint.
class PlaceholderTint : public DisplayDecorator
{
public:
    void decorate(const QTextBlock& block, QList<QTextLayout::FormatRange>& formats) override
    {
        QTextCharFormat tint;
        tint.setBackground(QColor(255, 255, 0));
        const QString text = block.text();
        const qsizetype at = text.indexOf(u'[');
        if (at >= 0)
            formats.append({int(at), int(text.size() - at), tint});
    }
};

// The pieces drawn over the text: "text" with "wavy" and "tinted" as they apply.
QStringList drawnPieces(const LetterEditor& box)
{
    QStringList pieces;
    const auto selections = box.textEdit()->extraSelections();
    for (const QTextEdit::ExtraSelection& selection : selections) {
        QString piece = selection.cursor.selectedText();
        if (selection.format.underlineStyle() == QTextCharFormat::WaveUnderline)
            piece += QStringLiteral(" wavy");
        if (selection.format.background().color() == QColor(255, 255, 0))
            piece += QStringLiteral(" tinted");
        pieces.append(piece);
    }
    return pieces;
}

} // namespace

void SpellingTest::secondDecoratorSharesTheParagraph()
{
    test::EditorHost host;
    SpellChecker checker;
    QVERIFY(checker.loadDictionary(fixtureDictionary(QStringLiteral("en_US"))));
    PlaceholderTint tint;
    host.editor->displayFormats()->addDecorator(&tint);
    SpellingMarks marks(*host.editor->displayFormats(), checker);
    QVERIFY(host.show());
    host.editor->setText(QStringLiteral("Dear recieve [Name] recieve"));
    marks.finish();
    // Where both apply, both are drawn.
    QCOMPARE(drawnPieces(*host.editor),
             QStringList({"recieve wavy", "[Name]  tinted", "recieve wavy tinted"}));
    // Spelling drawing its paragraph again keeps the other decorator's tint.
    checker.ignore(QStringLiteral("recieve"));
    marks.finish();
    QCOMPARE(drawnPieces(*host.editor), QStringList({"[Name] recieve tinted"}));
    host.editor->displayFormats()->removeDecorator(&tint);
    host.editor->displayFormats()->redrawNow();
    QCOMPARE(drawnPieces(*host.editor), QStringList());
}

QTEST_MAIN(SpellingTest)
#include "test_spelling.moc"
