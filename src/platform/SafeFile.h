#pragma once

#include <QByteArray>
#include <QString>

namespace lw {

enum class FileWrite {
    // Only in one step.
    Atomic,
    // In one step where the folder allows it; where only the file may be written (a folder the
    // user may not change), over the file itself.
    AtomicElseInPlace,
};

// Replaces the file in one step: on failure the file on disk is the old one (or none) and `error`
// says why.
bool writeFileSafely(const QString& path, const QByteArray& bytes, QString* error = nullptr,
                     FileWrite mode = FileWrite::Atomic);

} // namespace lw
