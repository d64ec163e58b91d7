#include "library/SqliteDatabase.h"

#include <sqlite3.h>

#include <QVarLengthArray>

#include <algorithm>
#include <optional>

namespace lw {

namespace {

QString fromUtf8(const void* data, int bytes)
{
    return QString::fromUtf8(static_cast<const char*>(data), bytes);
}

bool isAscii(const unsigned char* text, int length)
{
    for (int i = 0; i < length; ++i) {
        if (text[i] >= 0x80)
            return false;
    }
    return true;
}

// Letter case of ASCII, whatever the C library's locale says.
unsigned char asciiLower(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}

int collateNoCase(void*, int lengthA, const void* a, int lengthB, const void* b)
{
    const auto* x = static_cast<const unsigned char*>(a);
    const auto* y = static_cast<const unsigned char*>(b);
    // Texts that first differ at two ASCII characters, after an ASCII start that is the same but
    // for letter case, are ordered by those characters under the full rule as well: accents are
    // marks after a letter, and the letters before them already agree. Most titles are ASCII.
    const int common = std::min(lengthA, lengthB);
    int i = 0;
    for (; i < common && x[i] < 0x80 && y[i] < 0x80; ++i) {
        const int cx = asciiLower(x[i]);
        const int cy = asciiLower(y[i]);
        if (cx != cy)
            return cx < cy ? -1 : 1;
    }
    // One ASCII text the start of another: the shorter comes first, when the rest is ASCII.
    if (i == common && isAscii(x + i, lengthA - i) && isAscii(y + i, lengthB - i))
        return lengthA == lengthB ? 0 : (lengthA < lengthB ? -1 : 1);
    return compareIgnoringCase(fromUtf8(a, lengthA), fromUtf8(b, lengthB));
}

QString textArgument(sqlite3_value* value)
{
    const auto* text = sqlite3_value_text(value);
    return QString::fromUtf8(reinterpret_cast<const char*>(text), sqlite3_value_bytes(value));
}

// SQL `like` over a case-folded pattern: "%" any run, "_" one character, `escape` makes the
// next pattern character literal. `textAt(i)` gives the case-folded text's character i.
template <typename TextAt>
bool matchFolded(QStringView pattern, qsizetype textSize, TextAt textAt, QChar escape)
{
    const QChar foldedEscape = escape.toCaseFolded();
    // Iterative wildcard match: remember the last "%" to backtrack to.
    qsizetype p = 0, t = 0, starP = -1, starT = 0;
    while (t < textSize) {
        if (p < pattern.size()) {
            QChar c = pattern.at(p);
            if (c == u'%') {
                starP = ++p;
                starT = t;
                continue;
            }
            bool literal = false;
            if (!escape.isNull() && c == foldedEscape && p + 1 < pattern.size()) {
                c = pattern.at(p + 1);
                literal = true;
            }
            if ((!literal && c == u'_') || c == textAt(t)) {
                p += literal ? 2 : 1;
                ++t;
                continue;
            }
        }
        if (starP < 0)
            return false;
        p = starP;
        t = ++starT;
    }
    while (p < pattern.size() && pattern.at(p) == u'%')
        ++p;
    return p == pattern.size();
}

// A statement's `like` pattern, folded once and kept with the statement for all its rows.
struct LikePattern
{
    explicit LikePattern(const QString& pattern) : folded(pattern.toCaseFolded())
    {
        // The search box's pattern, "%text%" with no other pattern character: for an ASCII
        // title it is a plain search for the text.
        const QStringView middle = QStringView(folded).mid(1, folded.size() - 2);
        infix = folded.size() >= 2 && folded.front() == u'%' && folded.back() == u'%' &&
                !middle.contains(u'%') && !middle.contains(u'_');
        if (infix) {
            asciiInfix = std::all_of(middle.begin(), middle.end(),
                                     [](QChar c) { return c.unicode() < 0x80; });
            if (asciiInfix)
                infixBytes = middle.toLatin1();
        }
    }

    QString folded;
    bool infix = false;
    bool asciiInfix = false;
    QByteArray infixBytes; // lower-case ASCII
};

void deleteLikePattern(void* pattern)
{
    delete static_cast<LikePattern*>(pattern);
}

enum class Found { Yes, No, NotAscii };

// Whether lower-case ASCII `needle` occurs in `text`, letter case ignored, reading the text once.
// A text with other characters than ASCII may hold it in a way only case folding shows: when it
// is not found there, that is left to the full rule.
Found findIgnoringAsciiCase(const unsigned char* text, int length, const QByteArray& needle)
{
    const int size = int(needle.size());
    if (size == 0)
        return Found::Yes;
    const auto* wanted = reinterpret_cast<const unsigned char*>(needle.constData());
    // The first letter in both cases, compared as they stand: most places start no match.
    const unsigned char first = wanted[0];
    const unsigned char firstUpper = first >= 'a' && first <= 'z' ? first - ('a' - 'A') : first;
    unsigned char seen = 0; // every byte passed, or-ed: bit 7 tells of one that is not ASCII
    int at = 0;
    for (; at + size <= length; ++at) {
        const unsigned char c = text[at];
        seen |= c;
        if (c != first && c != firstUpper)
            continue;
        int i = 1;
        while (i < size && asciiLower(text[at + i]) == wanted[i])
            ++i;
        if (i == size)
            return Found::Yes;
    }
    return seen < 0x80 && isAscii(text + at, length - at) ? Found::No : Found::NotAscii;
}

// Valid UTF-8 case folded into UTF-16, character by character as QString::toCaseFolded does,
// without building the text first. False for anything else, which is left to QString's own
// reading of it.
bool foldUtf8(const unsigned char* text, int length, QVarLengthArray<char16_t, 256>& folded)
{
    folded.reserve(length);
    for (int i = 0; i < length;) {
        const unsigned char lead = text[i];
        if (lead < 0x80) {
            folded.append(asciiLower(lead));
            ++i;
            continue;
        }
        int extra;
        char32_t code;
        char32_t least;
        if (lead >= 0xc2 && lead < 0xe0) {
            extra = 1;
            code = lead & 0x1f;
            least = 0x80;
        } else if (lead >= 0xe0 && lead < 0xf0) {
            extra = 2;
            code = lead & 0x0f;
            least = 0x800;
        } else if (lead >= 0xf0 && lead < 0xf5) {
            extra = 3;
            code = lead & 0x07;
            least = 0x10000;
        } else {
            return false;
        }
        if (i + extra >= length)
            return false;
        for (int k = 1; k <= extra; ++k) {
            const unsigned char next = text[i + k];
            if ((next & 0xc0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3f);
        }
        if (code < least || code > 0x10ffff || (code >= 0xd800 && code < 0xe000))
            return false;
        i += extra + 1;
        const char32_t folding = QChar::toCaseFolded(code);
        if (QChar::requiresSurrogates(folding)) {
            folded.append(QChar::highSurrogate(folding));
            folded.append(QChar::lowSurrogate(folding));
        } else {
            folded.append(char16_t(folding));
        }
    }
    return true;
}

void likeFunction(sqlite3_context* context, int argc, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    QChar escape;
    if (argc == 3) {
        const QString e = textArgument(argv[2]);
        if (e.size() != 1) {
            sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = e.at(0);
    }
    std::optional<LikePattern> ownPattern;
    const auto* pattern = static_cast<const LikePattern*>(sqlite3_get_auxdata(context, 0));
    if (!pattern) {
        ownPattern.emplace(textArgument(argv[0]));
        pattern = &*ownPattern;
        sqlite3_set_auxdata(context, 0, new LikePattern(*ownPattern), deleteLikePattern);
    }
    const auto* bytes = sqlite3_value_text(argv[1]);
    const int length = sqlite3_value_bytes(argv[1]);
    // An ASCII text folds byte by byte, without conversion; no other character matches it.
    std::optional<bool> matches;
    if (pattern->infix && escape.isNull() && pattern->asciiInfix) {
        const Found found = findIgnoringAsciiCase(bytes, length, pattern->infixBytes);
        if (found != Found::NotAscii)
            matches = found == Found::Yes;
    } else if (isAscii(bytes, length)) {
        matches = (pattern->infix && escape.isNull())
                      ? false // text not ASCII in the pattern: an ASCII title never holds it
                      : matchFolded(
                            pattern->folded, length,
                            [bytes](qsizetype i) { return QChar(char16_t(asciiLower(bytes[i]))); },
                            escape);
    }
    if (!matches) {
        QVarLengthArray<char16_t, 256> folded;
        if (foldUtf8(bytes, length, folded)) {
            matches = matchFolded(
                pattern->folded, folded.size(), [&folded](qsizetype i) { return QChar(folded[i]); },
                escape);
        } else {
            const QString text = textArgument(argv[1]).toCaseFolded();
            matches = matchFolded(
                pattern->folded, text.size(), [&text](qsizetype i) { return text.at(i); }, escape);
        }
    }
    sqlite3_result_int(context, *matches);
}

void deleteTitleKey(void* key)
{
    delete static_cast<QString*>(key);
}

// lw_same_title(title, typed): whether two titles read the same to a person.
void sameTitleFunction(sqlite3_context* context, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto* title = sqlite3_value_text(argv[0]);
    const int titleBytes = sqlite3_value_bytes(argv[0]);
    const auto* typed = sqlite3_value_text(argv[1]);
    const int typedBytes = sqlite3_value_bytes(argv[1]);
    // The common case, two ASCII titles, needs neither normalisation nor folding beyond ASCII.
    if (isAscii(title, titleBytes) && isAscii(typed, typedBytes)) {
        bool same = titleBytes == typedBytes;
        for (int i = 0; same && i < titleBytes; ++i)
            same = std::tolower(title[i]) == std::tolower(typed[i]);
        sqlite3_result_int(context, same);
        return;
    }
    // The typed title is the same on every row: its key is worked out once per statement.
    auto* typedKey = static_cast<QString*>(sqlite3_get_auxdata(context, 1));
    if (!typedKey) {
        typedKey = new QString(titleKey(fromUtf8(typed, typedBytes)));
        sqlite3_set_auxdata(context, 1, typedKey, deleteTitleKey);
        typedKey = static_cast<QString*>(sqlite3_get_auxdata(context, 1));
        if (!typedKey) {
            sqlite3_result_error_nomem(context);
            return;
        }
    }
    sqlite3_result_int(context, titleKey(fromUtf8(title, titleBytes)) == *typedKey);
}

} // namespace

QString titleKey(const QString& title)
{
    // Unicode's canonical caseless match: "é" typed as one character or as "e" and a combining
    // accent, in either letter case, gives one key.
    return title.normalized(QString::NormalizationForm_D)
        .toCaseFolded()
        .normalized(QString::NormalizationForm_D);
}

namespace {

int sign(int value)
{
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

// The letters without their accents, case folded: "Élan" sorts with "elan".
QString sortKey(const QString& text)
{
    QString key = text.normalized(QString::NormalizationForm_D);
    key.removeIf([](QChar c) { return c.category() == QChar::Mark_NonSpacing; });
    return key.toCaseFolded();
}

} // namespace

int compareIgnoringCase(const QString& a, const QString& b)
{
    if (const int order = sign(sortKey(a).compare(sortKey(b))))
        return order;
    // Accents still tell texts apart; letter case never does.
    return sign(a.toCaseFolded().compare(b.toCaseFolded()));
}

bool likeMatches(const QString& pattern, const QString& text, QChar escape)
{
    const QString foldedText = text.toCaseFolded();
    return matchFolded(
        pattern.toCaseFolded(), foldedText.size(),
        [&foldedText](qsizetype i) { return foldedText.at(i); }, escape);
}

SqliteDatabase::~SqliteDatabase()
{
    close();
}

bool SqliteDatabase::open(const QString& path, Mode mode)
{
    close();
    error.clear();
    errorCode = 0;
    const int flags =
        SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI | (mode == Mode::Create ? SQLITE_OPEN_CREATE : 0);
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr) != SQLITE_OK)
        return fail();
    sqlite3_busy_timeout(db, 2000);
    sqlite3_extended_result_codes(db, 1);
    const int textFlags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    if (sqlite3_create_collation(db, "lw_nocase", SQLITE_UTF8, nullptr, collateNoCase) !=
            SQLITE_OK ||
        sqlite3_create_function(db, "like", 2, textFlags, nullptr, likeFunction, nullptr,
                                nullptr) != SQLITE_OK ||
        sqlite3_create_function(db, "like", 3, textFlags, nullptr, likeFunction, nullptr,
                                nullptr) != SQLITE_OK ||
        sqlite3_create_function(db, "lw_same_title", 2, textFlags, nullptr, sameTitleFunction,
                                nullptr, nullptr) != SQLITE_OK)
        return fail();
    // Reading the schema now turns a damaged or foreign file into an error at open time.
    if (sqlite3_exec(db, "select count(*) from sqlite_master", nullptr, nullptr, nullptr) !=
        SQLITE_OK)
        return fail();
    return true;
}

void SqliteDatabase::takeError()
{
    error = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
    errorCode = db ? (sqlite3_extended_errcode(db) & 0xff) : SQLITE_NOMEM;
}

bool SqliteDatabase::fail()
{
    takeError();
    close();
    return false;
}

void SqliteDatabase::interrupt()
{
    if (db)
        sqlite3_interrupt(db);
}

void SqliteDatabase::close()
{
    if (db) {
        sqlite3_close_v2(db);
        db = nullptr;
    }
}

std::optional<RowSet> SqliteDatabase::execute(const QString& sql)
{
    error.clear();
    errorCode = 0;
    if (!db) {
        error = QStringLiteral("the library is not open");
        errorCode = SQLITE_MISUSE;
        return std::nullopt;
    }
    sqlite3_stmt* statement = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), static_cast<int>(text.size()), &statement,
                           nullptr) != SQLITE_OK) {
        takeError();
        return std::nullopt;
    }
    RowSet rows;
    int status;
    while ((status = sqlite3_step(statement)) == SQLITE_ROW) {
        Row row;
        const int columns = sqlite3_column_count(statement);
        for (int i = 0; i < columns; ++i) {
            switch (sqlite3_column_type(statement, i)) {
            case SQLITE_INTEGER:
                row.append(QVariant(qlonglong(sqlite3_column_int64(statement, i))));
                break;
            case SQLITE_FLOAT:
                row.append(QVariant(sqlite3_column_double(statement, i)));
                break;
            case SQLITE_NULL:
                row.append(QVariant());
                break;
            default:
                row.append(QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(statement, i)),
                    sqlite3_column_bytes(statement, i)));
                break;
            }
        }
        rows.append(row);
    }
    if (status != SQLITE_DONE)
        takeError();
    sqlite3_finalize(statement);
    if (status != SQLITE_DONE)
        return std::nullopt;
    return rows;
}

std::unique_ptr<SqliteDatabase::Prepared> SqliteDatabase::prepare(const QString& sql)
{
    error.clear();
    sqlite3_stmt* statement = nullptr;
    if (!db) {
        error = QStringLiteral("the library is not open");
    } else {
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(db, text.constData(), static_cast<int>(text.size()), &statement,
                               nullptr) != SQLITE_OK) {
            error = QString::fromUtf8(sqlite3_errmsg(db));
            statement = nullptr;
        }
    }
    return std::unique_ptr<Prepared>(new Prepared(*this, statement));
}

SqliteDatabase::Prepared::~Prepared()
{
    sqlite3_finalize(statement);
}

bool SqliteDatabase::Prepared::run(const Row& values)
{
    if (!statement)
        return false;
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    for (int i = 0; i < values.size(); ++i) {
        const QVariant& value = values.at(i);
        int status;
        if (value.isNull()) {
            status = sqlite3_bind_null(statement, i + 1);
        } else if (value.typeId() == QMetaType::QString) {
            const QByteArray text = value.toString().toUtf8();
            status = sqlite3_bind_text(statement, i + 1, text.constData(), int(text.size()),
                                       SQLITE_TRANSIENT);
        } else {
            status = sqlite3_bind_int64(statement, i + 1, value.toLongLong());
        }
        if (status != SQLITE_OK) {
            db.error = QString::fromUtf8(sqlite3_errmsg(db.db));
            return false;
        }
    }
    if (sqlite3_step(statement) != SQLITE_DONE) {
        db.error = QString::fromUtf8(sqlite3_errmsg(db.db));
        sqlite3_reset(statement);
        return false;
    }
    return true;
}

bool SqliteDatabase::executeAll(const QStringList& statements)
{
    if (!execute(QStringLiteral("begin immediate")))
        return false;
    for (const QString& statement : statements) {
        if (!execute(statement)) {
            const QString failure = error;
            const int failureCode = errorCode;
            execute(QStringLiteral("rollback"));
            error = failure;
            errorCode = failureCode;
            return false;
        }
    }
    return execute(QStringLiteral("commit")).has_value();
}

} // namespace lw
