#include "FileSizeLimit.h"
#include "platform/SafeFileBatch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace lw;
using namespace Qt::StringLiterals;

class SafeFileBatchTest : public QObject
{
    Q_OBJECT

private slots:
    void filesAppearOnCommit();
    void replacedFileKeepsItsPermissions();
    void linkIsFollowedToItsFile();
    void notCommittedLeavesNothing();
    void failedWriteLeavesNothing();
};

namespace {

// Every entry of the folder, hidden ones included: a left-over temporary file shows here.
QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

void SafeFileBatchTest::filesAppearOnCommit()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString a = dir.filePath(u"a.txt"_s);
    const QString b = dir.filePath(u"b.txt"_s);
    QVERIFY(writeBytes(b, "old"));
    SafeFileBatch batch;
    QVERIFY(batch.add(a, "first"));
    QVERIFY(batch.add(b, "second"));
    QCOMPARE(batch.pending(), 2);
    // Before the commit: no new name, and the old file as it was.
    QVERIFY(!QFile::exists(a));
    QCOMPARE(contentOf(b), "old"_ba);
    QString error;
    QCOMPARE(batch.commit(&error), (QStringList{a, b}));
    QVERIFY(error.isEmpty());
    QCOMPARE(batch.pending(), 0);
    QCOMPARE(contentOf(a), "first"_ba);
    QCOMPARE(contentOf(b), "second"_ba);
    QCOMPARE(entries(dir.path()), (QStringList{u"a.txt"_s, u"b.txt"_s}));
}

void SafeFileBatchTest::replacedFileKeepsItsPermissions()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"private.txt"_s);
    QVERIFY(writeBytes(path, "old"));
    const auto ownerOnly = QFile::ReadOwner | QFile::WriteOwner;
    QVERIFY(QFile::setPermissions(path, ownerOnly));
    SafeFileBatch batch;
    QVERIFY(batch.add(path, "new"));
    QCOMPARE(batch.commit().size(), 1);
    QCOMPARE(contentOf(path), "new"_ba);
    const QFile::Permissions kept = QFile::permissions(path);
    QVERIFY(kept.testFlags(ownerOnly));
    QVERIFY(
        !(kept & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther)));
}

void SafeFileBatchTest::linkIsFollowedToItsFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString real = dir.filePath(u"real.txt"_s);
    const QString link = dir.filePath(u"link.txt"_s);
    QVERIFY(writeBytes(real, "old"));
    QVERIFY(QFile::link(real, link));
    SafeFileBatch batch;
    QVERIFY(batch.add(link, "new"));
    QCOMPARE(batch.commit(), QStringList{link});
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(contentOf(real), "new"_ba);
}

void SafeFileBatchTest::notCommittedLeavesNothing()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    {
        SafeFileBatch batch;
        QVERIFY(batch.add(dir.filePath(u"a.txt"_s), "never placed"));
    }
    QCOMPARE(entries(dir.path()), QStringList());
}

void SafeFileBatchTest::failedWriteLeavesNothing()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString small = dir.filePath(u"small.txt"_s);
    const QString large = dir.filePath(u"large.txt"_s);
    SafeFileBatch batch;
    QString error;
    {
        const test::FileSizeLimit disk(1000);
        QVERIFY(batch.add(small, "fits"));
        QVERIFY(!batch.add(large, QByteArray(5000, 'x'), &error));
    }
    QVERIFY2(error.startsWith(u"Cannot write "_s + QDir::toNativeSeparators(large) + u": "_s),
             qPrintable(error));
    QCOMPARE(batch.commit(), QStringList{small});
    QCOMPARE(entries(dir.path()), QStringList{u"small.txt"_s});
}

QTEST_GUILESS_MAIN(SafeFileBatchTest)
#include "test_safefilebatch.moc"
