#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

class QTextCursor;

namespace lw {

// Limits the reader keeps to, which the writer keeps to as well: the largest picture dimension
// or indent, in twips (22 inches, Word's largest page), and the picture pixels one read decodes.
inline constexpr int rtfMaxTwips = 31680;
inline constexpr qint64 rtfMaxPicturePixels = 64 * 1024 * 1024;
// RTF measures in twips, the editor in pixels of 96 an inch.
inline constexpr double rtfTwipsPerPixel = 15.0;

// True when the data begins with the RTF header "{\rtf"; blanks, line breaks and a byte-order
// mark before it are allowed.
bool isRtf(const QByteArray& data);
bool isRtf(const QString& text);

// Inserts RTF at the cursor, replacing its selection, as one edit block; afterwards the cursor
// stands after the inserted content. Serves a whole-document load (cursor in an empty document),
// an insertion and a paste alike. Damaged RTF gives as much as can be read; data that is not RTF
// is inserted as plain text (UTF-8 when valid, otherwise Windows-1252).
void readRtf(const QByteArray& rtf, QTextCursor& cursor);
// The same for RTF held as a QString: characters up to 0xFF are the bytes of the RTF, characters
// above stand for themselves.
void readRtf(const QString& rtf, QTextCursor& cursor);

// Told now and then how many units of the RTF have been read; returns false to stop reading.
using RtfProgress = std::function<bool(qint64 done)>;
// readRtf for a long read: false when `progress` stopped it, with what was read so far inserted
// in the edit block, for the caller to undo.
bool readRtf(const QByteArray& rtf, QTextCursor& cursor, const RtfProgress& progress);
bool readRtf(const QString& rtf, QTextCursor& cursor, const RtfProgress& progress);

} // namespace lw
