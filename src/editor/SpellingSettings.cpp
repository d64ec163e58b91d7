#include "editor/SpellingSettings.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace lw {

namespace {

const QString languageKey = QStringLiteral("Spelling/Language");
const QString checkKey = QStringLiteral("Spelling/CheckAsYouType");

} // namespace

QString SpellingSettings::settingsPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/letterwright/letterwright.conf");
}

SpellingSettings SpellingSettings::load()
{
    const QSettings settings(settingsPath(), QSettings::IniFormat);
    SpellingSettings loaded;
    loaded.language = settings.value(languageKey).toString();
    loaded.checkAsYouType = settings.value(checkKey, true).toBool();
    return loaded;
}

bool SpellingSettings::save(QString* error) const
{
    QSettings settings(settingsPath(), QSettings::IniFormat);
    settings.setValue(languageKey, language);
    settings.setValue(checkKey, checkAsYouType);
    settings.sync();
    if (settings.status() == QSettings::NoError)
        return true;
    if (error)
        *error = QStringLiteral("Cannot write the settings file %1.")
                     .arg(QDir::toNativeSeparators(settingsPath()));
    return false;
}

} // namespace lw
