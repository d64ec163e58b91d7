#include "editor/PersonalWordList.h"

#include "platform/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace lw {

namespace {

// Far more than anyone's own words; a larger file is not a word list.
constexpr qint64 largestFile = 16 * 1024 * 1024;

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

PersonalWordList::PersonalWordList(const QString& path) : filePath(path) {}

QString PersonalWordList::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/letterwright/words.txt");
}

bool PersonalWordList::read(QByteArray& bytes, QString* error) const
{
    bytes.clear();
    const QFileInfo info(filePath);
    if (!info.exists() && !info.isSymLink())
        return true;
    QString problem;
    if (!info.isFile()) {
        problem = QStringLiteral("it is not a file");
    } else if (info.size() > largestFile) {
        problem = QStringLiteral("it is too large to be a word list");
    } else {
        QFile file(filePath);
        if (file.open(QIODevice::ReadOnly)) {
            bytes = file.readAll();
            if (file.error() == QFileDevice::NoError)
                return true;
        }
        problem = file.errorString();
    }
    if (error)
        *error = QStringLiteral("Cannot read %1: %2").arg(shown(filePath), problem);
    return false;
}

void PersonalWordList::take(const QByteArray& bytes)
{
    words.clear();
    const QString text = QString::fromUtf8(bytes);
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        if (!line.isEmpty())
            words.insert(line.toString());
    }
}

bool PersonalWordList::load(QString* error)
{
    QByteArray bytes;
    if (!read(bytes, error))
        return false;
    take(bytes);
    return true;
}

bool PersonalWordList::add(const QString& word, QString* error)
{
    const QString clean = word.trimmed();
    if (clean.isEmpty() || clean.contains(u'\n') || clean.contains(u'\r'))
        return false;
    // The file as it is now, so that words it gained meanwhile stay too.
    QByteArray bytes;
    if (!read(bytes, error))
        return false;
    if (!bytes.isEmpty() && !bytes.endsWith('\n'))
        bytes.append('\n');
    bytes.append(clean.toUtf8()).append('\n');
    const QString folder = QFileInfo(filePath).absolutePath();
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("Cannot create the folder %1.").arg(shown(folder));
        return false;
    }
    if (!writeFileSafely(filePath, bytes, error))
        return false;
    take(bytes);
    return true;
}

bool PersonalWordList::contains(QStringView word) const
{
    return words.contains(word.toString());
}

} // namespace lw
