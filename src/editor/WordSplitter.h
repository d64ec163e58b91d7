#pragma once

#include <QList>
#include <QString>
#include <QStringView>

namespace lw {

// A piece of a text, by position and length.
struct WordSpan
{
    int start = 0;
    int length = 0;

    int end() const { return start + length; }
    bool contains(int position) const { return position >= start && position <= end(); }
    bool operator==(const WordSpan&) const = default;
};

// Splits a text into the words a spelling dictionary is asked about. A word is a run of letters,
// marks and digits, held together by apostrophes, hyphens, dots and joiners standing between two
// of them. Left out, as no dictionary knows them: placeholders in square brackets, words with
// digits, web and e-mail addresses, dotted abbreviations, words in capitals of up to six letters,
// and words in scripts written without spaces between words.
class WordSplitter
{
public:
    explicit WordSplitter(QStringView text, int from = 0);

    // The next word to check; false at the end of the text.
    bool next(WordSpan& word);
    // Where the next call goes on from.
    int position() const { return at; }

private:
    char32_t codePoint(int index, int* size = nullptr) const;
    // Skips the whitespace-delimited piece that starts at `at` when it is an address.
    bool skipAddress();
    // Skips a placeholder that opens at `at`.
    bool skipPlaceholder();
    int wordEnd(int from) const;
    bool isChecked(WordSpan word) const;

    QStringView text;
    int at = 0;
    // The end of the whitespace-delimited piece `at` stands in; addresses are judged piece by
    // piece.
    int pieceEnd = -1;
};

// Every word of the text that is checked.
QList<WordSpan> spellingWords(QStringView text);

} // namespace lw
