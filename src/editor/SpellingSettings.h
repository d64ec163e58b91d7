#pragma once

#include <QString>

namespace lw {

// The spelling choices the program keeps between runs, in the program's settings file.
struct SpellingSettings
{
    // The dictionary's name ("en_US"); empty until the user chooses one.
    QString language;
    bool checkAsYouType = true;

    // letterwright/letterwright.conf in the XDG config folder.
    static QString settingsPath();
    static SpellingSettings load();
    // False with `error` set when the settings file cannot be written.
    bool save(QString* error = nullptr) const;
};

} // namespace lw
