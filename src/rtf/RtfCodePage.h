#pragma once

#include <QByteArrayView>
#include <QString>
#include <array>

namespace lw {

// Decodes the 8-bit text of an RTF file in one Windows code page, through glibc's iconv.
// Single-byte pages decode through a table built once; multi-byte pages (932, 936, 949, 950,
// UTF-8) go through iconv run by run. A byte or sequence the page does not define becomes
// U+FFFD. A code page iconv does not know is read as Windows-1252.
class RtfCodePage
{
public:
    explicit RtfCodePage(int codePage);
    ~RtfCodePage();
    RtfCodePage(const RtfCodePage&) = delete;
    RtfCodePage& operator=(const RtfCodePage&) = delete;

    // The code page of an RTF font charset (\fcharsetN), or 0 when the charset names none.
    static int forCharset(int charset);
    // The code page itself when the reader knows it, otherwise Windows-1252. Keeps the number of
    // converters a file can make the reader open small.
    static int supported(int codePage);

    bool isSingleByte() const { return singleByte; }
    // Single-byte pages only.
    char16_t byteToChar(uchar byte) const { return table[byte]; }
    void decode(QByteArrayView bytes, QString& out) const;

private:
    void* converter = nullptr; // iconv_t
    bool singleByte = true;
    std::array<char16_t, 256> table{};
};

} // namespace lw
