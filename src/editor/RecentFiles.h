#pragma once

#include <QString>
#include <QStringList>

namespace lw {

// The documents last opened or saved, newest first, kept in the program's settings
// (letterwright/letterwright.conf under the XDG config folder), so that they outlast the run.
class RecentFiles
{
public:
    static constexpr int maximum = 8;

    // The list as the settings hold it now: absolute paths, no repeats, at most `maximum`.
    static QStringList files();
    // Puts the path first, taking it out from further down; the oldest beyond `maximum` go.
    static void add(const QString& path);
    static void remove(const QString& path);

    // The settings file itself.
    static QString settingsPath();

private:
    static void store(const QStringList& list);
};

} // namespace lw
