#include "editor/RichTextBox.h"

#include <QTest>

using namespace lw;
using namespace Qt::StringLiterals;

// Replace All and searches on large documents, as the find dialog drives the editor.
class EditorBench : public QObject
{
    Q_OBJECT

private slots:
    void replaceAll_data();
    void replaceAll();
    void findMiss_data();
    void findMiss();
};

namespace {

int replaceEvery(RichTextBox& box, const QString& pattern, const QString& replacement, int options)
{
    int count = 0;
    box.beginEdit();
    for (int at = box.Find(pattern, 0, -1, options); at >= 0;
         at = box.Find(pattern, box.SelStart() + box.SelLength(), -1, options)) {
        box.setSelText(replacement);
        ++count;
    }
    box.endEdit();
    return count;
}

void addDocuments()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("visible");

    QTest::newRow("100,000 matches in one paragraph, hidden") << u"ab "_s.repeated(100000) << false;
    QTest::newRow("100,000 matches in one paragraph, shown") << u"ab "_s.repeated(100000) << true;
    QTest::newRow("100,000 paragraphs, shown") << u"ab\n"_s.repeated(100000) << true;
}

} // namespace

void EditorBench::replaceAll_data()
{
    addDocuments();
}

void EditorBench::replaceAll()
{
    QFETCH(QString, text);
    QFETCH(bool, visible);
    RichTextBox box;
    if (visible) {
        box.widget()->resize(800, 600);
        box.widget()->show();
        QVERIFY(QTest::qWaitForWindowExposed(box.widget()));
    }
    box.setText(text);
    int count = 0;
    QBENCHMARK_ONCE
    {
        count = replaceEvery(box, u"ab"_s, u"xyz"_s, RichTextBox::WholeWord);
    }
    QCOMPARE(count, 100000);
}

void EditorBench::findMiss_data()
{
    addDocuments();
}

void EditorBench::findMiss()
{
    QFETCH(QString, text);
    RichTextBox box;
    box.setText(text);
    QBENCHMARK
    {
        QCOMPARE(box.Find(u"missing"_s, 0), -1);
    }
}

QTEST_MAIN(EditorBench)
#include "bench_editor.moc"
