#pragma once

#include <QStringView>

namespace lw {

struct RtfToken
{
    enum Type { End, GroupStart, GroupEnd, ControlWord, ControlSymbol, HexByte, Text, Binary };

    Type type = End;
    // Text: the characters; Binary: the data, one byte a unit; ControlWord: the name, empty when
    // the name is longer than RTF allows.
    QStringView text;
    int param = 0;
    bool hasParam = false;
    char16_t symbol = 0; // ControlSymbol
    uchar byte = 0;      // HexByte
};

// Splits RTF into tokens. The input holds one byte a unit; units above 0xFF (from RTF given as
// a QString) are text that stands for itself. Line breaks of the source are dropped, as RTF
// wants. The tokenizer never fails: anything malformed becomes text or is dropped.
class RtfTokenizer
{
public:
    static constexpr int MaxWordLength = 32;

    explicit RtfTokenizer(QStringView input) : in(input) {}

    RtfToken next();
    // How many units of the input have been read.
    qsizetype consumed() const { return pos; }

private:
    RtfToken controlWord();

    QStringView in;
    qsizetype pos = 0;
};

} // namespace lw
