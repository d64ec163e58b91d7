#include "editor/WordSplitter.h"

#include <QChar>

namespace lw {

namespace {

bool isLetter(char32_t ch)
{
    return QChar::isLetter(ch);
}

bool isWordCharacter(char32_t ch)
{
    return QChar::isLetterOrNumber(ch) || QChar::isMark(ch);
}

// Characters that hold a word together when they stand between two of its characters.
bool isJoiner(char32_t ch)
{
    switch (ch) {
    case U'\'':
    case U'\u2019': // right single quotation mark, the typographic apostrophe
    case U'-':
    case U'\u2010': // hyphen
    case U'\u2011': // non-breaking hyphen
    case U'\u00AD': // soft hyphen
    case U'.':
    case U'\u00B7': // middle dot, as in Catalan "l·l"
    case U'\u200C': // zero width non-joiner, inside Persian words
    case U'\u200D': // zero width joiner
        return true;
    default:
        return false;
    }
}

bool isLineBreak(QChar ch)
{
    return ch == u'\n' || ch == u'\r' || ch == QChar::ParagraphSeparator ||
           ch == QChar::LineSeparator;
}

// Scripts whose words are not separated by spaces: a run of their letters is a phrase, not a
// word a dictionary could know.
bool isUnspacedScript(char32_t ch)
{
    switch (QChar::script(ch)) {
    case QChar::Script_Han:
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
    case QChar::Script_Thai:
    case QChar::Script_Lao:
    case QChar::Script_Khmer:
    case QChar::Script_Myanmar:
    case QChar::Script_Tibetan:
        return true;
    default:
        return false;
    }
}

// Punctuation around an address: "(www.example.com)," or "<name@example.com>".
bool isEnclosing(QChar ch)
{
    return QStringView(u"()[]{}<>\"'\u2018\u2019\u201C\u201D,;:.!?").contains(ch);
}

bool isAddress(QStringView piece)
{
    while (!piece.isEmpty() && isEnclosing(piece.front()))
        piece = piece.mid(1);
    while (!piece.isEmpty() && isEnclosing(piece.back()))
        piece.chop(1);
    if (piece.contains(u"://") || piece.startsWith(u"www.", Qt::CaseInsensitive) ||
        piece.startsWith(u"mailto:", Qt::CaseInsensitive))
        return true;
    const qsizetype at = piece.indexOf(u'@');
    return at > 0 && piece.indexOf(u'.', at) > at + 1;
}

} // namespace

WordSplitter::WordSplitter(QStringView text, int from) : text(text), at(from) {}

char32_t WordSplitter::codePoint(int index, int* size) const
{
    const QChar ch = text[index];
    if (ch.isHighSurrogate() && index + 1 < text.size() && text[index + 1].isLowSurrogate()) {
        if (size)
            *size = 2;
        return QChar::surrogateToUcs4(ch, text[index + 1]);
    }
    if (size)
        *size = 1;
    return ch.unicode();
}

bool WordSplitter::skipAddress()
{
    int end = at;
    while (end < text.size() && !text[end].isSpace())
        ++end;
    pieceEnd = end;
    if (!isAddress(text.mid(at, end - at)))
        return false;
    at = end;
    return true;
}

bool WordSplitter::skipPlaceholder()
{
    // "[Recipient Name]": up to the first closing bracket on the same line; another opening
    // bracket first means this one is plain punctuation.
    for (int i = at + 1; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch == u']') {
            at = i + 1;
            return true;
        }
        if (ch == u'[' || isLineBreak(ch))
            return false;
    }
    return false;
}

int WordSplitter::wordEnd(int from) const
{
    int end = from;
    while (end < text.size()) {
        int size = 1;
        const char32_t ch = codePoint(end, &size);
        if (isWordCharacter(ch)) {
            end += size;
            continue;
        }
        if (isJoiner(ch) && end + size < text.size() && isWordCharacter(codePoint(end + size)) &&
            !QChar::isMark(codePoint(end + size))) {
            end += size;
            continue;
        }
        break;
    }
    return end;
}

bool WordSplitter::isChecked(WordSpan word) const
{
    int letters = 0;
    bool lower = false;
    for (int i = word.start; i < word.end();) {
        int size = 1;
        const char32_t ch = codePoint(i, &size);
        i += size;
        if (ch == U'.' || QChar::isNumber(ch))
            return false;
        if (!isLetter(ch))
            continue;
        if (isUnspacedScript(ch))
            return false;
        ++letters;
        lower = lower || QChar::isLower(ch);
    }
    // An abbreviation: every cased letter a capital.
    const bool capitals = !lower && QChar::isUpper(codePoint(word.start));
    return letters > 0 && !(capitals && letters <= 6);
}

bool WordSplitter::next(WordSpan& word)
{
    while (at < text.size()) {
        const QChar ch = text[at];
        if (ch.isSpace()) {
            ++at;
            continue;
        }
        const bool pieceStart = at >= pieceEnd || at == 0 || text[at - 1].isSpace();
        if (pieceStart && skipAddress())
            continue;
        if (ch == u'[' && skipPlaceholder()) {
            // What is joined to it belongs to it: "[Company]'s".
            if (at < text.size() && !text[at].isSpace())
                at = wordEnd(at + (isJoiner(text[at].unicode()) ? 1 : 0));
            continue;
        }
        int size = 1;
        const char32_t first = codePoint(at, &size);
        if (!QChar::isLetterOrNumber(first)) {
            at += size;
            continue;
        }
        const WordSpan found{at, wordEnd(at) - at};
        at = found.end();
        if (isChecked(found)) {
            word = found;
            return true;
        }
    }
    return false;
}

QList<WordSpan> spellingWords(QStringView text)
{
    QList<WordSpan> words;
    WordSplitter splitter(text);
    WordSpan word;
    while (splitter.next(word))
        words.append(word);
    return words;
}

} // namespace lw
