#include "editor/SenderDetails.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace lw {

namespace {

struct Detail
{
    const char* key;
    const char* field;
    QString SenderDetails::*member;
};

const Detail details[] = {
    {"Sender/Name", "[Your Name]", &SenderDetails::name},
    {"Sender/Title", "[Your Title]", &SenderDetails::title},
    {"Sender/Company", "[Your Company]", &SenderDetails::company},
    {"Sender/StreetAddress", "[Your Street Address]", &SenderDetails::street},
    {"Sender/CityLine", "[Your City, State ZIP]", &SenderDetails::cityLine},
    {"Sender/Phone", "[Your Phone]", &SenderDetails::phone},
    {"Sender/Email", "[Your Email]", &SenderDetails::email},
};

} // namespace

QString SenderDetails::settingsPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/letterwright/letterwright.conf");
}

SenderDetails SenderDetails::load()
{
    const QSettings settings(settingsPath(), QSettings::IniFormat);
    SenderDetails loaded;
    for (const Detail& detail : details)
        loaded.*detail.member = settings.value(QLatin1String(detail.key)).toString();
    return loaded;
}

bool SenderDetails::save(QString* error) const
{
    QSettings settings(settingsPath(), QSettings::IniFormat);
    for (const Detail& detail : details)
        settings.setValue(QLatin1String(detail.key), this->*detail.member);
    settings.sync();
    // A folder that cannot be made is not always reported as an error.
    if (settings.status() == QSettings::NoError && QFileInfo(settingsPath()).isFile())
        return true;
    if (error)
        *error = QStringLiteral("The settings file %1 cannot be written.")
                     .arg(QDir::toNativeSeparators(settingsPath()));
    return false;
}

std::optional<QString> SenderDetails::valueFor(const QString& field) const
{
    for (const Detail& detail : details) {
        if (field.compare(QLatin1String(detail.field), Qt::CaseInsensitive) == 0) {
            const QString& value = this->*detail.member;
            if (value.trimmed().isEmpty())
                return std::nullopt;
            return value;
        }
    }
    return std::nullopt;
}

QStringList SenderDetails::fields()
{
    QStringList list;
    for (const Detail& detail : details)
        list.append(QLatin1String(detail.field));
    return list;
}

} // namespace lw
