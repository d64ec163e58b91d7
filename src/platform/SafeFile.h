#pragma once

#include <QByteArray>
#include <QString>

namespace lw {

// Replaces the file in one step: on failure the file on disk is the old one (or none) and `error`
// says why.
bool writeFileSafely(const QString& path, const QByteArray& bytes, QString* error = nullptr);

} // namespace lw
