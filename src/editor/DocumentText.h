#pragma once

#include <QByteArray>
#include <QString>

// The encoding of document files. Windows-1252 stands for the old platform's ANSI code page; files
// written on Linux are UTF-8. Both read back correctly.
namespace lw {

// Valid UTF-8 (a byte-order mark is dropped) is read as UTF-8, anything else as Windows-1252.
// Line ends are left as they are.
QString decodeDocumentBytes(const QByteArray& bytes);

// Lines end with CR LF and pictures (U+FFFC) are left out. The bytes are Windows-1252 when every
// character has a byte there, otherwise UTF-8 without a byte-order mark, so no character is lost.
// Windows-1252 bytes that would read back as UTF-8 (such as "Ã©") are written as UTF-8 instead.
QByteArray encodeDocumentText(const QString& text);

// The character a Windows-1252 byte stands for. The five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control characters of the same value, as on Windows.
QString windows1252Char(unsigned char byte);

} // namespace lw
