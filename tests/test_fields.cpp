#include "FakeServices.h"
#include "editor/FieldHighlight.h"
#include "editor/FieldVocabulary.h"
#include "editor/LetterFields.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

using namespace lw;

Q_DECLARE_METATYPE(QList<BracketedText>)

namespace {

// The vocabulary of the default library, as the program reads it.
const FieldVocabulary& libraryVocabulary()
{
    static const FieldVocabulary vocabulary = [] {
        QString error;
        const auto loaded = FieldVocabulary::load(
            QStringLiteral(LW_LIBRARY_SOURCE_DIR "/placeholders.txt"), &error);
        if (!loaded)
            qFatal("The vocabulary cannot be read: %s", qPrintable(error));
        return *loaded;
    }();
    return vocabulary;
}

QStringList namesOf(const QList<FieldOccurrence>& occurrences)
{
    QStringList names;
    for (const FieldOccurrence& occurrence : occurrences)
        names.append(occurrence.name);
    return names;
}

// Every field occurrence of the document, as the index holds it.
QList<FieldOccurrence> everyOccurrence(const LetterFields& fields)
{
    return fields.occurrencesBetween(0, fields.document()->characterCount());
}

// Inserts text with a character format at the end of the document.
void append(QTextDocument& document, const QString& text, const QTextCharFormat& format = {})
{
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text, format);
}

QTextCharFormat bold()
{
    QTextCharFormat format;
    format.setFontWeight(QFont::Bold);
    return format;
}

QTextCharFormat italicRed()
{
    QTextCharFormat format;
    format.setFontItalic(true);
    format.setForeground(QColor(Qt::red));
    return format;
}

// The character formats of the document's text, one entry per run: text and weight and italic.
QStringList formatRuns(const QTextDocument& document)
{
    QStringList runs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            runs.append(
                QStringLiteral("%1|%2%3%4")
                    .arg(fragment.text(),
                         format.fontWeight() >= QFont::Bold ? QStringLiteral("b") : "",
                         format.fontItalic() ? QStringLiteral("i") : "",
                         format.foreground().color() == Qt::red ? QStringLiteral("r") : ""));
        }
        runs.append(QStringLiteral("¶"));
    }
    return runs;
}

} // namespace

class FieldsTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    // The shape of a field.
    void bracketedTexts_data();
    void bracketedTexts();

    // The vocabulary.
    void vocabularyFromText();
    void vocabularyFileMissing();
    void installedVocabularyHoldsTheLibrarysFields();

    // Which bracketed texts are fields, and in which order.
    void fieldsOfALetter_data();
    void fieldsOfALetter();
    void everyLibraryFieldIsFoundOnce();
    void editsKeepTheIndexTrue();
    void randomEditsKeepTheIndexTrue();
    void typingAfterAFieldChangesNothing();
    void replacingTheWholeTextIsTold();

    // Walking the fields.
    void nextAndPrevious_data();
    void nextAndPrevious();
    void noFieldNoNext();

    // Filling.
    void fill_data();
    void fill();
    void fillKeepsTheFormatAroundEachOccurrence();
    void fillIsOneUndoStep();
    void fillPassesOverWhatIsNoField();
    void textAroundAFilledValueIsReadAsBefore();

    // The tint of unfilled fields.
    void tintIsDrawnNeverStored();
    void tintCoversOnlyTheScreen();

private:
    QTemporaryDir config;
};

void FieldsTest::initTestCase()
{
    QVERIFY(config.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
}

void FieldsTest::bracketedTexts_data()
{
    QTest::addColumn<QString>("paragraph");
    QTest::addColumn<QList<BracketedText>>("expected");

    const QString sixty(60, u'x');
    QTest::newRow("nominal: one field")
        << "Dear [Recipient Name]," << QList<BracketedText>{{5, 16}};
    QTest::newRow("nominal: two fields")
        << "[Amount] on [Due Date]" << QList<BracketedText>{{0, 8}, {12, 10}};
    QTest::newRow("nominal: punctuation inside")
        << "[City, State ZIP]" << QList<BracketedText>{{0, 17}};
    QTest::newRow("nominal: sixty characters")
        << "[" + sixty + "]" << QList<BracketedText>{{0, 62}};
    QTest::newRow("nominal: non-ASCII letters")
        << "[Ünterschrift Zoë]" << QList<BracketedText>{{0, 18}};
    // 59 characters and one outside the basic plane: 60 characters in 61 UTF-16 units.
    QTest::newRow("nominal: a character outside the basic plane counts once")
        << "[" + QString(59, u'x') + QStringLiteral("😀") + "]" << QList<BracketedText>{{0, 63}};
    QTest::newRow("look-alike: sixty-one characters")
        << "[" + sixty + "y]" << QList<BracketedText>{};
    QTest::newRow("look-alike: empty brackets") << "a [] b" << QList<BracketedText>{};
    QTest::newRow("look-alike: starts with a blank") << "[ Amount]" << QList<BracketedText>{};
    QTest::newRow("look-alike: starts with a no-break space")
        << QStringLiteral("[\u00a0Amount]") << QList<BracketedText>{};
    QTest::newRow("look-alike: a number") << "see [12] and [3.1]" << QList<BracketedText>{};
    QTest::newRow("look-alike: an ellipsis")
        << "he said [...] and [\u2026]" << QList<BracketedText>{};
    QTest::newRow("nested: the innermost pair") << "[[Amount]]" << QList<BracketedText>{{1, 8}};
    QTest::newRow("nested: inside a longer text")
        << "[Total [Amount] due]" << QList<BracketedText>{{7, 8}};
    QTest::newRow("broken: no closing bracket") << "[Amount due" << QList<BracketedText>{};
    QTest::newRow("broken: no opening bracket") << "Amount] due" << QList<BracketedText>{};
    QTest::newRow("broken: two closing brackets") << "[Amo]unt]" << QList<BracketedText>{{0, 5}};
    QTest::newRow("broken: a tab inside") << "[Amo\tunt]" << QList<BracketedText>{};
    QTest::newRow("broken: a line break inside")
        << QStringLiteral("[Amo\u2028unt]") << QList<BracketedText>{};
    QTest::newRow("broken: a picture inside")
        << QStringLiteral("[Amo\ufffcunt]") << QList<BracketedText>{};
    QTest::newRow("robustness: a broken one before a whole one")
        << "[Amo\tunt [Date]" << QList<BracketedText>{{9, 6}};
    QTest::newRow("robustness: only brackets") << "]][[][" << QList<BracketedText>{};
}

void FieldsTest::bracketedTexts()
{
    QFETCH(QString, paragraph);
    QFETCH(QList<BracketedText>, expected);
    QCOMPARE(findBracketedTexts(paragraph), expected);
}

void FieldsTest::vocabularyFromText()
{
    const FieldVocabulary vocabulary = FieldVocabulary::fromText(
        u"# a comment\n[Date]\r\n\n  [Your Name]  \nnot a field\n[broken\n[date]\n[a[b]\n");
    QCOMPARE(vocabulary.names(), QStringList({"[Date]", "[Your Name]"}));
    QVERIFY(vocabulary.contains(u"[DATE]"));
    QVERIFY(vocabulary.contains(u"[your name]"));
    QVERIFY(!vocabulary.contains(u"Date"));
    QVERIFY(!vocabulary.contains(u"[Amount]"));
}

void FieldsTest::vocabularyFileMissing()
{
    QTemporaryDir dir;
    QString error;
    QVERIFY(!FieldVocabulary::load(dir.filePath(QStringLiteral("none.txt")), &error));
    QVERIFY(!error.isEmpty());
    // A folder is no vocabulary either.
    QVERIFY(!FieldVocabulary::load(dir.path(), &error));
}

void FieldsTest::installedVocabularyHoldsTheLibrarysFields()
{
    const FieldVocabulary& installed = FieldVocabulary::installed();
    QCOMPARE(installed.names(), libraryVocabulary().names());
    QVERIFY(installed.names().size() > 40);
    QVERIFY(installed.contains(u"[Your City, State ZIP]"));
}

void FieldsTest::fieldsOfALetter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("nominal: order of first appearance, each once")
        << "[Date]\n\n[Recipient Name]\nDear [Recipient Name],\nYou owe [Amount] by [Date]."
        << QStringList{"[Date]", "[Recipient Name]", "[Amount]"};
    QTest::newRow("nominal: two in one paragraph keep their order")
        << "[Amount] on [Due Date]" << QStringList{"[Amount]", "[Due Date]"};
    QTest::newRow("nominal: the vocabulary ignores letter case")
        << "[date] and [DATE]" << QStringList{"[date]", "[DATE]"};
    QTest::newRow("plain text: [sic] once is no field") << "He wrote [sic] twice." << QStringList{};
    QTest::newRow("repeated: an unknown text twice is a field")
        << "[Gift Item] arrived.\nThe [Gift Item] is lovely." << QStringList{"[Gift Item]"};
    QTest::newRow("repeated: twice in one paragraph") << "[Foo] or [Foo]" << QStringList{"[Foo]"};
    QTest::newRow("repeated: counted in the order of the first")
        << "[Foo] [Date] [Foo]" << QStringList{"[Foo]", "[Date]"};
    QTest::newRow("look-alike: numbers twice are no fields")
        << "[1] and [1] and [...] [...]" << QStringList{};
    QTest::newRow("nested: the inner field") << "[[Amount]]" << QStringList{"[Amount]"};
    QTest::newRow("broken: across a paragraph break") << "[Amount\n]" << QStringList{};
    QTest::newRow("broken: a lone bracket") << "a [ b ] c [Date" << QStringList{};
    QTest::newRow("empty document") << "" << QStringList{};
}

void FieldsTest::fieldsOfALetter()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QTextDocument document;
    document.setPlainText(text);
    LetterFields fields(&document, libraryVocabulary());
    QCOMPARE(fields.fields(), expected);
    QCOMPARE(fields.isEmpty(), expected.isEmpty());
    for (const QString& field : expected) {
        const QList<FieldOccurrence> places = fields.occurrences(field);
        QVERIFY(!places.isEmpty());
        for (const FieldOccurrence& place : places)
            QCOMPARE(text.mid(place.position, place.length), field);
    }
}

void FieldsTest::everyLibraryFieldIsFoundOnce()
{
    QString text;
    for (const QString& name : libraryVocabulary().names())
        text += QStringLiteral("Before %1 after.\n").arg(name);
    QTextDocument document;
    document.setPlainText(text + text);
    LetterFields fields(&document, libraryVocabulary());
    QCOMPARE(fields.fields(), libraryVocabulary().names());
    for (const QString& name : libraryVocabulary().names())
        QCOMPARE(fields.occurrences(name).size(), 2);
}

void FieldsTest::editsKeepTheIndexTrue()
{
    QTextDocument document;
    document.setPlainText(QStringLiteral("[Date]\nDear [Name],\nabout [Foo]."));
    LetterFields fields(&document, libraryVocabulary());
    QSignalSpy changed(&fields, &LetterFields::fieldsChanged);
    QCOMPARE(fields.fields(), QStringList({"[Date]", "[Name]"}));

    // A second [Foo] makes both a field.
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringLiteral("\nAgain [Foo]."));
    QCOMPARE(fields.fields(), QStringList({"[Date]", "[Name]", "[Foo]"}));
    QCOMPARE(changed.count(), 1);

    // Typing inside a field ends it.
    cursor.setPosition(3);
    cursor.insertText(QStringLiteral("x"));
    QCOMPARE(fields.fields(), QStringList({"[Name]", "[Foo]"}));

    // Joining two paragraphs keeps the fields of both.
    cursor.setPosition(document.findBlockByNumber(1).position() - 1);
    cursor.deleteChar();
    QCOMPARE(document.blockCount(), 3);
    QCOMPARE(fields.fields(), QStringList({"[Name]", "[Foo]"}));
    QCOMPARE(namesOf(everyOccurrence(fields)), QStringList({"[Name]", "[Foo]", "[Foo]"}));

    // Splitting a field across paragraphs ends it; undo brings it back.
    const int name = fields.occurrences(QStringLiteral("[Name]")).first().position;
    cursor.setPosition(name + 3);
    cursor.insertBlock();
    QCOMPARE(fields.fields(), QStringList({"[Foo]"}));
    document.undo();
    QCOMPARE(fields.fields(), QStringList({"[Name]", "[Foo]"}));
    QCOMPARE(fields.occurrences(QStringLiteral("[Name]")).first().position, name);
}

void FieldsTest::randomEditsKeepTheIndexTrue()
{
    // Edits of every kind, checked against a fresh reading of the same text.
    const QStringList pieces = {"[Date]",   "[Foo]", "[",  "]", "\n",     "ab",
                                "[Amount]", "[Fo",   "o]", " ", "[x\ty]", "[Date]\n[Foo]"};
    QRandomGenerator random(20260417);
    QTextDocument document;
    document.setPlainText(QStringLiteral("[Date]\nDear [Foo],\n[Foo] [Amount]\n"));
    LetterFields fields(&document, libraryVocabulary());
    for (int step = 0; step < 3000; ++step) {
        const int length = document.characterCount() - 1;
        QTextCursor cursor(&document);
        const int at = random.bounded(length + 1);
        switch (random.bounded(9)) {
        case 0:
        case 1:
        case 2:
            cursor.setPosition(at);
            cursor.insertText(pieces.at(random.bounded(int(pieces.size()))));
            break;
        case 3:
        case 4:
            cursor.setPosition(at);
            cursor.setPosition(std::min(length, at + random.bounded(12)), QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
            break;
        case 5:
            // Several edits as one.
            cursor.beginEditBlock();
            for (int i = 0; i < 3; ++i) {
                cursor.setPosition(random.bounded(document.characterCount()));
                cursor.insertText(pieces.at(random.bounded(int(pieces.size()))));
            }
            cursor.endEditBlock();
            break;
        case 6:
            document.undo();
            break;
        case 7:
            document.redo();
            break;
        case 8:
            if (random.bounded(20) == 0)
                document.setPlainText(random.bounded(2) ? QStringLiteral("[Foo]\n[Foo]")
                                                        : QString());
            else
                cursor.insertBlock();
            break;
        }
        QTextDocument fresh;
        fresh.setPlainText(document.toPlainText());
        const LetterFields truth(&fresh, libraryVocabulary());
        if (fields.fields() != truth.fields() || everyOccurrence(fields) != everyOccurrence(truth))
            QFAIL(qPrintable(QStringLiteral("step %1: %2").arg(step).arg(document.toPlainText())));
    }
}

void FieldsTest::typingAfterAFieldChangesNothing()
{
    QTextDocument document;
    document.setPlainText(QStringLiteral("Dear [Recipient Name], thanks"));
    LetterFields fields(&document, libraryVocabulary());
    QSignalSpy changed(&fields, &LetterFields::fieldsChanged);
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringLiteral(" again"));
    QCOMPARE(changed.count(), 0);
    cursor.setPosition(0);
    cursor.insertText(QStringLiteral("Oh, "));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(fields.occurrences(QStringLiteral("[Recipient Name]")).first().position, 9);
}

void FieldsTest::replacingTheWholeTextIsTold()
{
    QTextDocument document;
    document.setPlainText(QStringLiteral("[Date]\n[Amount]"));
    LetterFields fields(&document, libraryVocabulary());
    QSignalSpy replaced(&fields, &LetterFields::documentReplaced);
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("x"));
    QCOMPARE(replaced.count(), 0);
    document.setPlainText(QStringLiteral("[Name]"));
    QVERIFY(!replaced.isEmpty());
    QCOMPARE(fields.fields(), QStringList{"[Name]"});
    document.clear();
    QCOMPARE(fields.fields(), QStringList{});
}

void FieldsTest::nextAndPrevious_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("next");
    QTest::addColumn<int>("previous");

    // "[Date]\n[Foo] x [Amount]\n[Foo] [sic]" : [Date] 0, [Foo] 7, [Amount] 15, [Foo] 24.
    QTest::newRow("nominal: at the start") << 0 << 0 << 24;
    QTest::newRow("nominal: inside the first") << 3 << 7 << 0;
    QTest::newRow("nominal: right after the first") << 6 << 7 << 0;
    QTest::newRow("nominal: at a field of the same paragraph") << 15 << 15 << 7;
    QTest::newRow("nominal: between two of a paragraph") << 13 << 15 << 7;
    QTest::newRow("wrap: after the last") << 29 << 0 << 24;
    QTest::newRow("wrap: at the end") << 35 << 0 << 24;
}

void FieldsTest::nextAndPrevious()
{
    QFETCH(int, position);
    QFETCH(int, next);
    QFETCH(int, previous);
    QTextDocument document;
    document.setPlainText(QStringLiteral("[Date]\n[Foo] x [Amount]\n[Foo] [sic]"));
    LetterFields fields(&document, libraryVocabulary());
    QCOMPARE(fields.nextField(position)->position, next);
    QCOMPARE(fields.previousField(position)->position, previous);
    QCOMPARE(fields.firstField()->position, 0);
}

void FieldsTest::noFieldNoNext()
{
    QTextDocument document;
    document.setPlainText(QStringLiteral("No [sic] field"));
    LetterFields fields(&document, libraryVocabulary());
    QVERIFY(!fields.nextField(0));
    QVERIFY(!fields.previousField(5));
    QVERIFY(!fields.firstField());
}

void FieldsTest::fill_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("replaced");
    QTest::addColumn<QStringList>("fieldsAfter");

    QTest::newRow("nominal: every occurrence")
        << "Dear [Recipient Name],\nThanks, [Recipient Name]!" << QStringList{"[Recipient Name]"}
        << QStringList{"Ms Ölund"} << "Dear Ms Ölund,\nThanks, Ms Ölund!" << 2 << QStringList{};
    QTest::newRow("nominal: several fields at once")
        << "[Date]\n[Amount] due [Date]" << QStringList{"[Date]", "[Amount]"}
        << QStringList{"10 December 2026", "$40"} << "10 December 2026\n$40 due 10 December 2026"
        << 3 << QStringList{};
    QTest::newRow("nominal: only the named field")
        << "[Date] [Amount]" << QStringList{"[Amount]"} << QStringList{"$5"} << "[Date] $5" << 1
        << QStringList{"[Date]"};
    QTest::newRow("nominal: the text around stays")
        << "a[Amount]b [sic] [ x] [Amo" << QStringList{"[Amount]"} << QStringList{"1"}
        << "a1b [sic] [ x] [Amo" << 1 << QStringList{};
    QTest::newRow("nominal: the inner field of nested brackets")
        << "[[Amount]]" << QStringList{"[Amount]"} << QStringList{"7"} << "[7]" << 1
        << QStringList{};
    QTest::newRow("value: brackets")
        << "To [Name]" << QStringList{"[Name]"} << QStringList{"Smith [née Jones]"}
        << "To Smith [née Jones]" << 1 << QStringList{};
    QTest::newRow("value: line breaks become paragraphs")
        << "[Street Address], [Date]" << QStringList{"[Street Address]"}
        << QStringList{"1 Main St\r\nSuite 4\rBack door\nYard"}
        << "1 Main St\nSuite 4\nBack door\nYard, [Date]" << 1 << QStringList{"[Date]"};
    QTest::newRow("value: any Unicode")
        << "[Name]" << QStringList{"[Name]"} << QStringList{"Zoë 😀 日本 \u202eabc"}
        << "Zoë 😀 日本 \u202eabc" << 1 << QStringList{};
    QTest::newRow("value: empty removes the field")
        << "a [Name] b" << QStringList{"[Name]"} << QStringList{""} << "a  b" << 1 << QStringList{};
    QTest::newRow("loop: a value naming another field is neither filled nor a field")
        << "[Name] and [Date]" << QStringList{"[Name]", "[Date]"} << QStringList{"[Date]", "[Name]"}
        << "[Date] and [Name]" << 2 << QStringList{};
    QTest::newRow("loop: a value naming its own field")
        << "[Name]" << QStringList{"[Name]"} << QStringList{"[Name] [Name]"} << "[Name] [Name]" << 1
        << QStringList{};
    QTest::newRow("value: brackets put in twice make no field")
        << "[Name], [Name] and [Name]" << QStringList{"[Name]"} << QStringList{"Smith [née Jones]"}
        << "Smith [née Jones], Smith [née Jones] and Smith [née Jones]" << 3 << QStringList{};
    QTest::newRow("robustness: a text that is no field is left")
        << "[sic]" << QStringList{"[sic]"} << QStringList{"x"} << "[sic]" << 0 << QStringList{};
    QTest::newRow("robustness: a name given twice counts once")
        << "[Name]" << QStringList{"[Name]", "[Name]"} << QStringList{"A", "B"} << "A" << 1
        << QStringList{};
}

void FieldsTest::fill()
{
    QFETCH(QString, text);
    QFETCH(QStringList, names);
    QFETCH(QStringList, values);
    QFETCH(QString, expected);
    QFETCH(int, replaced);
    QFETCH(QStringList, fieldsAfter);

    QTextDocument document;
    document.setPlainText(text);
    LetterFields fields(&document, libraryVocabulary());
    QList<std::pair<QString, QString>> pairs;
    for (int i = 0; i < names.size(); ++i)
        pairs.append({names[i], values[i]});
    QCOMPARE(fields.fill(pairs), replaced);
    QCOMPARE(document.toPlainText(), expected);
    QCOMPARE(fields.fields(), fieldsAfter);
}

void FieldsTest::fillKeepsTheFormatAroundEachOccurrence()
{
    QTextDocument document;
    append(document, QStringLiteral("Pay "));
    append(document, QStringLiteral("[Amount]"), bold());
    append(document, QStringLiteral(" now; "));
    // Brackets plain, the name itself italic and red: the name's format counts.
    append(document, QStringLiteral("["));
    append(document, QStringLiteral("Amount"), italicRed());
    append(document, QStringLiteral("]"));
    append(document, QStringLiteral(" at "));
    append(document, QStringLiteral("[Time]"), bold());
    LetterFields fields(&document, libraryVocabulary());

    QCOMPARE(fields.fill({{QStringLiteral("[Amount]"), QStringLiteral("$40\nin cash")},
                          {QStringLiteral("[Time]"), QStringLiteral("noon")}}),
             3);
    QCOMPARE(formatRuns(document),
             QStringList({"Pay |", "$40|b", "¶", "in cash|b", " now; |", "$40|ir", "¶",
                          "in cash|ir", " at |", "noon|b", "¶"}));
}

void FieldsTest::fillIsOneUndoStep()
{
    QTextDocument document;
    append(document, QStringLiteral("Dear "));
    append(document, QStringLiteral("[Recipient Name]"), bold());
    append(document, QStringLiteral(",\n[Amount] for [Recipient Name]"));
    const QString html = document.toHtml();
    const int steps = document.availableUndoSteps();
    LetterFields fields(&document, libraryVocabulary());
    fields.fill({{QStringLiteral("[Recipient Name]"), QStringLiteral("Ann\nBee")},
                 {QStringLiteral("[Amount]"), QStringLiteral("$1")}});
    QCOMPARE(document.toPlainText(), QStringLiteral("Dear Ann\nBee,\n$1 for Ann\nBee"));
    document.undo();
    QCOMPARE(document.toHtml(), html);
    QCOMPARE(document.availableUndoSteps(), steps);
    QCOMPARE(fields.fields(), QStringList({"[Recipient Name]", "[Amount]"}));
}

void FieldsTest::fillPassesOverWhatIsNoField()
{
    QTextDocument document;
    document.setPlainText(QStringLiteral("[sic] [Foo]"));
    LetterFields fields(&document, libraryVocabulary());
    const int steps = document.availableUndoSteps();
    QCOMPARE(fields.fill(QStringLiteral("[Foo]"), QStringLiteral("x")), 0);
    QCOMPARE(fields.fill({}), 0);
    QCOMPARE(document.availableUndoSteps(), steps);
    QCOMPARE(document.toPlainText(), QStringLiteral("[sic] [Foo]"));
}

void FieldsTest::textAroundAFilledValueIsReadAsBefore()
{
    QTextDocument document;
    document.setPlainText(QStringLiteral("To [Name] and [Name]."));
    LetterFields fields(&document, libraryVocabulary());
    fields.fill(QStringLiteral("[Name]"), QStringLiteral("A [x] B"));
    QCOMPARE(document.toPlainText(), QStringLiteral("To A [x] B and A [x] B."));
    QCOMPARE(fields.fields(), QStringList{});

    // Typed right before and right after a value, a field is a field.
    QTextCursor cursor(&document);
    cursor.setPosition(3);
    cursor.insertText(QStringLiteral("[Date]"));
    cursor.setPosition(document.toPlainText().indexOf(QStringLiteral(" and")));
    cursor.insertText(QStringLiteral("[Amount]"));
    QCOMPARE(document.toPlainText(), QStringLiteral("To [Date]A [x] B[Amount] and A [x] B."));
    QCOMPARE(fields.fields(), QStringList({"[Date]", "[Amount]"}));

    // A value deleted and typed again by hand is the user's text like any other.
    const int second = int(document.toPlainText().lastIndexOf(QStringLiteral("A [x] B")));
    cursor.setPosition(second);
    cursor.setPosition(second + 7, QTextCursor::KeepAnchor);
    cursor.insertText(QStringLiteral("[x] [x]"));
    QCOMPARE(fields.fields(), QStringList({"[Date]", "[Amount]", "[x]"}));
    QCOMPARE(fields.occurrences(QStringLiteral("[x]")).size(), 2);

    // A new letter forgets the values of the old one.
    document.setPlainText(QStringLiteral("[x] [x]"));
    QCOMPARE(fields.fields(), QStringList{"[x]"});
}

void FieldsTest::tintIsDrawnNeverStored()
{
    QTextEdit edit;
    edit.resize(400, 300);
    edit.setPlainText(QStringLiteral("[Date]\nDear [Recipient Name],\n[sic]"));
    const QString html = edit.document()->toHtml();
    LetterFields fields(edit.document(), libraryVocabulary());
    FieldHighlight highlight(&edit, &fields);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    QTRY_COMPARE(namesOf(highlight.shown()), QStringList({"[Date]", "[Recipient Name]"}));
    QCOMPARE(highlight.shown().at(1).position, 12);
    // Not part of the document: not in what is saved, copied or printed, and nothing to undo.
    QCOMPARE(edit.document()->toHtml(), html);
    QVERIFY(!edit.document()->isUndoAvailable());
    const QTextEdit::ExtraSelection tint = edit.extraSelections().constFirst();
    QCOMPARE(tint.format.background().color(), FieldHighlight::tint(edit.palette()));
    QVERIFY(tint.format.background().color() != edit.palette().color(QPalette::Base));

    fields.fill(QStringLiteral("[Date]"), QStringLiteral("today"));
    QTRY_COMPARE(namesOf(highlight.shown()), QStringList({"[Recipient Name]"}));
    fields.fill(QStringLiteral("[Recipient Name]"), QStringLiteral("Ann"));
    QTRY_VERIFY(highlight.shown().isEmpty());
    edit.undo();
    QTRY_COMPARE(namesOf(highlight.shown()), QStringList({"[Recipient Name]"}));
}

void FieldsTest::tintCoversOnlyTheScreen()
{
    QTextEdit edit;
    edit.resize(400, 300);
    QString text;
    for (int i = 0; i < 5000; ++i)
        text += QStringLiteral("Line %1 [Amount] and [Date]\n").arg(i);
    edit.setPlainText(text);
    LetterFields fields(edit.document(), libraryVocabulary());
    FieldHighlight highlight(&edit, &fields);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    highlight.refresh();
    const int shown = int(highlight.shown().size());
    QVERIFY(shown > 0);
    QVERIFY2(shown < 400, qPrintable(QString::number(shown)));
    QCOMPARE(highlight.shown().first().position, 7);

    // Scrolled to the end, the last fields are tinted.
    edit.moveCursor(QTextCursor::End);
    QTRY_VERIFY(!highlight.shown().isEmpty() &&
                highlight.shown().last().end() > edit.document()->characterCount() - 40);
}

QTEST_MAIN(FieldsTest)
#include "test_fields.moc"
