#pragma once

#include <QString>

class QFile;

namespace lw {

// Opens `file` (its name set) for reading only when it is a regular file. A FIFO, a socket or a
// device would hold the window in open() or read() for good, so none of them is ever opened for
// blocking reads. On failure `error` says why in plain words ("It is a named pipe (FIFO), not a
// file", "Permission denied").
bool openRegularFile(QFile& file, QString* error = nullptr);

} // namespace lw
