#include "editor/LetterEditor.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

using namespace lw;

namespace {

const QByteArray letterRtf =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}}"
    "{\\colortbl;\\red255\\green0\\blue0;}"
    "\\pard\\qc\\b Dear\\b0  Sir,\\par"
    "\\pard{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}\\cf1 first caf\\'e9\\par}";

// Where a rich text enters the editor.
enum class Entry { WholeText, LoadFile, Paste };

void enter(LetterEditor& editor, Entry entry, const QByteArray& rtf, const QTemporaryDir& dir)
{
    switch (entry) {
    case Entry::WholeText:
        editor.setText(QString::fromLatin1(rtf));
        break;
    case Entry::LoadFile: {
        const QString path = dir.filePath(QStringLiteral("letter.rtf"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(rtf);
        file.close();
        QVERIFY(editor.LoadFile(path, FileKind::RichText));
        break;
    }
    case Entry::Paste: {
        auto* data = new QMimeData;
        data->setData(QStringLiteral("text/rtf"), rtf);
        data->setText(QString::fromLatin1(rtf));
        QApplication::clipboard()->setMimeData(data);
        editor.setText(QString());
        editor.paste();
        break;
    }
    }
}

} // namespace

Q_DECLARE_METATYPE(Entry)

class RichTextTest : public QObject
{
    Q_OBJECT
private slots:
    void entersFormatted_data();
    void entersFormatted();
    void plainTextStaysPlain();
};

void RichTextTest::entersFormatted_data()
{
    QTest::addColumn<Entry>("entry");
    QTest::newRow("a letter body beginning with an RTF header") << Entry::WholeText;
    QTest::newRow("a rich-text file") << Entry::LoadFile;
    QTest::newRow("a paste offering text/rtf before plain text") << Entry::Paste;
}

void RichTextTest::entersFormatted()
{
    QFETCH(Entry, entry);
    QTemporaryDir dir;
    LetterEditor editor;
    QSignalSpy changes(&editor, &LetterEditor::Change);
    enter(editor, entry, letterRtf, dir);
    QVERIFY(!changes.isEmpty());
    QCOMPARE(editor.Text(), QStringLiteral("Dear Sir,\nfirst café"));

    editor.setSelStart(0);
    editor.setSelLength(4);
    QCOMPARE(editor.SelBold(), std::optional<bool>(true));
    QCOMPARE(editor.SelAlignment(), std::optional<int>(LetterEditor::AlignCenter));
    editor.setSelStart(5);
    editor.setSelLength(3);
    QCOMPARE(editor.SelBold(), std::optional<bool>(false));
    editor.setSelStart(10);
    editor.setSelLength(5);
    QCOMPARE(editor.SelColor(), std::optional<quint32>(0x0000FF));
    QCOMPARE(editor.SelBullet(), std::optional<bool>(true));
}

void RichTextTest::plainTextStaysPlain()
{
    LetterEditor editor;
    editor.setText(QStringLiteral("Not {\\rtf1 at the start"));
    QCOMPARE(editor.Text(), QStringLiteral("Not {\\rtf1 at the start"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("notes.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(letterRtf);
    file.close();
    QVERIFY(editor.LoadFile(path, FileKind::PlainText));
    QCOMPARE(editor.Text(), QString::fromLatin1(letterRtf));
}

QTEST_MAIN(RichTextTest)
#include "test_richtext.moc"
