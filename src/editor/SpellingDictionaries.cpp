#include "editor/SpellingDictionaries.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <algorithm>
#include <nuspell/finder.hxx>

namespace lw {

namespace {

QStringList& foldersOverride()
{
    static QStringList folders;
    return folders;
}

void appendOnce(QStringList& folders, const QString& folder)
{
    const QString clean = QDir::cleanPath(folder);
    if (!clean.isEmpty() && !folders.contains(clean))
        folders.append(clean);
}

// A dictionary's file name: a language code, a territory perhaps, and perhaps a variant.
struct NameParts
{
    QLocale locale = QLocale::c();
    bool territory = false;
    QString variant;
};

NameParts partsOf(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral("^([a-z]{2,3})(?:[_-]([A-Z]{2}))?"));
    const QRegularExpressionMatch match = pattern.match(name);
    if (!match.hasMatch())
        return {};
    const bool territory = match.hasCaptured(2);
    const QLocale locale(territory ? match.captured(1) + u'_' + match.captured(2)
                                   : match.captured(1));
    if (locale.language() == QLocale::C)
        return {};
    return {locale, territory, name.mid(match.capturedLength())};
}

} // namespace

QStringList dictionaryFolders()
{
    if (!foldersOverride().isEmpty())
        return foldersOverride();
    QStringList folders;
    const QString fromEnvironment = qEnvironmentVariable("DICPATH");
    for (const QString& folder : fromEnvironment.split(u':', Qt::SkipEmptyParts))
        appendOnce(folders, folder);
    for (const QString& data :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        appendOnce(folders, data + QStringLiteral("/hunspell"));
        appendOnce(folders, data + QStringLiteral("/myspell"));
    }
    std::vector<std::filesystem::path> nuspellFolders;
    nuspell::append_default_dir_paths(nuspellFolders);
    for (const std::filesystem::path& folder : nuspellFolders)
        appendOnce(folders, QString::fromStdString(folder.string()));
    return folders;
}

void setDictionaryFolders(const QStringList& folders)
{
    foldersOverride() = folders;
}

QString dictionaryDisplayName(const QString& name)
{
    const NameParts parts = partsOf(name);
    if (parts.locale.language() == QLocale::C)
        return name;
    QString display = QLocale::languageToString(parts.locale.language());
    if (parts.territory)
        display +=
            QStringLiteral(" (%1)").arg(QLocale::territoryToString(parts.locale.territory()));
    // A variant ("-large", "_frami") tells two dictionaries of one language apart.
    if (!parts.variant.isEmpty())
        display += QStringLiteral(" [%1]").arg(name);
    return display;
}

QList<SpellingDictionary> findDictionaries(const QStringList& folders)
{
    QList<SpellingDictionary> found;
    QSet<QString> names;
    for (const QString& folder : folders) {
        const QFileInfoList files = QDir(folder).entryInfoList(
            {QStringLiteral("*.aff")}, QDir::Files | QDir::Readable, QDir::Name);
        for (const QFileInfo& affix : files) {
            const QString name = affix.completeBaseName();
            // Both must be plain files: reading a FIFO or a device would never end.
            const QFileInfo words(affix.absolutePath() + u'/' + name + QStringLiteral(".dic"));
            if (names.contains(name) || !affix.isFile() || !words.isFile() || !words.isReadable())
                continue;
            names.insert(name);
            found.append({name, affix.absoluteFilePath(), dictionaryDisplayName(name)});
        }
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        const int byDisplay = QString::localeAwareCompare(a.displayName, b.displayName);
        return byDisplay != 0 ? byDisplay < 0 : a.name < b.name;
    });
    return found;
}

SpellingDictionary defaultDictionary(const QList<SpellingDictionary>& dictionaries,
                                     const QLocale& locale)
{
    const auto byName = [&](const QString& name) -> const SpellingDictionary* {
        for (const SpellingDictionary& dictionary : dictionaries) {
            if (dictionary.name == name)
                return &dictionary;
        }
        return nullptr;
    };
    const auto byLanguage = [&](QLocale::Language language) -> const SpellingDictionary* {
        for (const SpellingDictionary& dictionary : dictionaries) {
            if (partsOf(dictionary.name).locale.language() == language)
                return &dictionary;
        }
        return nullptr;
    };
    const SpellingDictionary* chosen = nullptr;
    if (locale.language() != QLocale::C) {
        chosen = byName(locale.name());
        if (!chosen)
            chosen = byLanguage(locale.language());
    }
    if (!chosen)
        chosen = byName(QStringLiteral("en_US"));
    if (!chosen)
        chosen = byLanguage(QLocale::English);
    if (!chosen && !dictionaries.isEmpty())
        chosen = &dictionaries.front();
    return chosen ? *chosen : SpellingDictionary();
}

} // namespace lw
