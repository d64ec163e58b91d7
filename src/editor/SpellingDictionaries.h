#pragma once

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

namespace lw {

// A Hunspell dictionary installed on the machine: NAME.aff with NAME.dic beside it.
struct SpellingDictionary
{
    QString name;        // the file name without extension, "en_US"
    QString affixPath;   // the .aff file; the .dic file has the same path and name
    QString displayName; // "English (United States)"

    bool isNull() const { return name.isEmpty(); }
};

// The folders searched for dictionaries, most personal first: those of $DICPATH, then the
// "hunspell" and "myspell" folders of the XDG data folders, then Nuspell's own list.
QStringList dictionaryFolders();
// Searches these folders instead; an empty list restores the default. Tests point it at their
// own dictionaries.
void setDictionaryFolders(const QStringList& folders);

// Every dictionary in the folders, sorted by display name; of two with the same name, the one
// in the earlier folder.
QList<SpellingDictionary> findDictionaries(const QStringList& folders = dictionaryFolders());

// The dictionary for the locale's language: its own territory first, then another of the same
// language, then English, then any; null when there is none.
SpellingDictionary defaultDictionary(const QList<SpellingDictionary>& dictionaries,
                                     const QLocale& locale = QLocale::system());

// "English (United States)" for "en_US"; a name that is no locale stays as it is.
QString dictionaryDisplayName(const QString& name);

} // namespace lw
