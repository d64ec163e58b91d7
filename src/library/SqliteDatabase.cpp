#include "library/SqliteDatabase.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>

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

int collateNoCase(void*, int lengthA, const void* a, int lengthB, const void* b)
{
    const auto* x = static_cast<const unsigned char*>(a);
    const auto* y = static_cast<const unsigned char*>(b);
    // Most titles are plain ASCII: compare them in place, with the same result as the full rule.
    if (isAscii(x, lengthA) && isAscii(y, lengthB)) {
        const int common = std::min(lengthA, lengthB);
        for (int i = 0; i < common; ++i) {
            const int cx = std::tolower(x[i]);
            const int cy = std::tolower(y[i]);
            if (cx != cy)
                return cx < cy ? -1 : 1;
        }
        return lengthA == lengthB ? 0 : (lengthA < lengthB ? -1 : 1);
    }
    return compareIgnoringCase(fromUtf8(a, lengthA), fromUtf8(b, lengthB));
}

QString textArgument(sqlite3_value* value)
{
    const auto* text = sqlite3_value_text(value);
    return QString::fromUtf8(reinterpret_cast<const char*>(text), sqlite3_value_bytes(value));
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
    sqlite3_result_int(context, likeMatches(textArgument(argv[0]), textArgument(argv[1]), escape));
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

bool likeMatches(const QString& patternText, const QString& textIn, QChar escape)
{
    const QString pattern = patternText.toCaseFolded();
    const QString text = textIn.toCaseFolded();
    // Iterative wildcard match: remember the last "%" to backtrack to.
    qsizetype p = 0, t = 0, starP = -1, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size()) {
            QChar c = pattern.at(p);
            if (c == u'%') {
                starP = ++p;
                starT = t;
                continue;
            }
            bool literal = false;
            if (!escape.isNull() && c == escape.toCaseFolded() && p + 1 < pattern.size()) {
                c = pattern.at(p + 1);
                literal = true;
            }
            if ((!literal && c == u'_') || c == text.at(t)) {
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
