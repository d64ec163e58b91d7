#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace lw {

// The user's own details, which the "[Your ...]" fields of a letter are offered filled with. Kept
// in the program's settings file in the XDG config folder.
struct SenderDetails
{
    QString name;
    QString title;
    QString company;
    QString street;
    QString cityLine; // city, state and ZIP code
    QString phone;
    QString email;

    bool operator==(const SenderDetails&) const = default;

    // The settings file: letterwright/letterwright.conf in the XDG config folder.
    static QString settingsPath();
    // What the settings file holds; empty details when it holds none.
    static SenderDetails load();
    // False with `error` set when the settings file cannot be written.
    bool save(QString* error = nullptr) const;

    // The value a field is offered with: "[Your Name]" the name, "[Your Company]" the company and
    // so on; std::nullopt for a field the sender does not fill, and for an empty detail.
    std::optional<QString> valueFor(const QString& field) const;
    // The fields the sender fills, in the order of the details.
    static QStringList fields();
};

} // namespace lw
