#include "editor/RecentFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace lw {

namespace {

const QString key = QStringLiteral("Documents/recent");

QString normalized(const QString& path)
{
    return path.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

QString RecentFiles::settingsPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/letterwright/letterwright.conf");
}

QStringList RecentFiles::files()
{
    const QSettings settings(settingsPath(), QSettings::IniFormat);
    QStringList list;
    // The file is the user's to edit: anything but absolute paths is passed over.
    for (const QString& entry : settings.value(key).toStringList()) {
        if (entry.isEmpty() || !QDir::isAbsolutePath(entry))
            continue;
        const QString path = QDir::cleanPath(entry);
        if (!list.contains(path))
            list.append(path);
        if (list.size() == maximum)
            break;
    }
    return list;
}

void RecentFiles::add(const QString& path)
{
    const QString entry = normalized(path);
    if (entry.isEmpty())
        return;
    QStringList list = files();
    list.removeAll(entry);
    list.prepend(entry);
    store(list.mid(0, maximum));
}

void RecentFiles::remove(const QString& path)
{
    QStringList list = files();
    if (list.removeAll(normalized(path)) > 0)
        store(list);
}

void RecentFiles::store(const QStringList& list)
{
    QSettings settings(settingsPath(), QSettings::IniFormat);
    settings.setValue(key, list);
    settings.sync();
}

} // namespace lw
