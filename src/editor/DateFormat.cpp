#include "editor/DateFormat.h"

#include <vector>

namespace lw {

namespace {

enum class Kind {
    Literal,
    DateSeparator,
    TimeSeparator,
    Day,
    Day2,
    DayName,
    DayNameLong,
    WeekDay,
    Week,
    Month,
    Month2,
    MonthName,
    MonthNameLong,
    Quarter,
    DayOfYear,
    Year2,
    Year4,
    Hour,
    Hour2,
    Minute,
    Minute2,
    Second,
    Second2,
    Designator,       // the two forms as written
    LocaleDesignator, // AMPM
};

struct Token
{
    Kind kind;
    QString text;      // the literal, or the written form before noon
    QString afterNoon; // the written form after noon
};

// How many times the letter at `at` repeats, whatever the case.
qsizetype runLength(const QString& format, qsizetype at)
{
    const QChar letter = format.at(at).toLower();
    qsizetype end = at;
    while (end < format.size() && format.at(end).toLower() == letter)
        ++end;
    return end - at;
}

bool startsWithAt(const QString& format, qsizetype at, QLatin1StringView text)
{
    return QStringView(format).mid(at).startsWith(text, Qt::CaseInsensitive);
}

std::vector<Token> tokenize(const QString& format)
{
    std::vector<Token> tokens;
    bool afterHour = false;
    const auto add = [&](Kind kind, qsizetype length, qsizetype& at) {
        tokens.push_back({kind, {}, {}});
        afterHour = kind == Kind::Hour || kind == Kind::Hour2;
        at += length;
    };
    const auto designator = [&](const QString& beforeNoon, const QString& afterNoon,
                                qsizetype length, qsizetype& at) {
        add(Kind::Designator, length, at);
        tokens.back().text = beforeNoon;
        tokens.back().afterNoon = afterNoon;
    };
    const auto literal = [&](const QString& text) {
        if (!tokens.empty() && tokens.back().kind == Kind::Literal)
            tokens.back().text += text;
        else
            tokens.push_back({Kind::Literal, text, {}});
    };

    qsizetype at = 0;
    while (at < format.size()) {
        const QChar ch = format.at(at);
        const char letter = ch.toLower().toLatin1();
        if (ch == u'"') {
            const qsizetype close = format.indexOf(u'"', at + 1);
            const qsizetype end = close < 0 ? format.size() : close;
            literal(format.mid(at + 1, end - at - 1));
            at = end + 1;
            continue;
        }
        if (ch == u'\\') {
            literal(format.mid(at + 1, 1));
            at += 2;
            continue;
        }
        if (startsWithAt(format, at, QLatin1StringView("am/pm"))) {
            designator(format.mid(at, 2), format.mid(at + 3, 2), 5, at);
            continue;
        }
        if (startsWithAt(format, at, QLatin1StringView("ampm"))) {
            add(Kind::LocaleDesignator, 4, at);
            continue;
        }
        if (startsWithAt(format, at, QLatin1StringView("a/p"))) {
            designator(format.mid(at, 1), format.mid(at + 2, 1), 3, at);
            continue;
        }
        const qsizetype run = runLength(format, at);
        switch (letter) {
        case '/':
            tokens.push_back({Kind::DateSeparator, {}, {}});
            ++at;
            break;
        case ':':
            tokens.push_back({Kind::TimeSeparator, {}, {}});
            ++at;
            break;
        case 'd':
            if (run >= 4)
                add(Kind::DayNameLong, 4, at);
            else
                add(run == 3 ? Kind::DayName : run == 2 ? Kind::Day2 : Kind::Day, run, at);
            break;
        case 'm':
            if (run >= 4)
                add(Kind::MonthNameLong, 4, at);
            else if (run == 3)
                add(Kind::MonthName, 3, at);
            else if (afterHour)
                add(run == 2 ? Kind::Minute2 : Kind::Minute, run, at);
            else
                add(run == 2 ? Kind::Month2 : Kind::Month, run, at);
            break;
        case 'y':
            if (run >= 4)
                add(Kind::Year4, 4, at);
            else if (run >= 2)
                add(Kind::Year2, 2, at);
            else
                add(Kind::DayOfYear, 1, at);
            break;
        case 'w':
            add(run >= 2 ? Kind::Week : Kind::WeekDay, run >= 2 ? 2 : 1, at);
            break;
        case 'q':
            add(Kind::Quarter, 1, at);
            break;
        case 'h':
            add(run >= 2 ? Kind::Hour2 : Kind::Hour, run >= 2 ? 2 : 1, at);
            break;
        case 'n':
            add(run >= 2 ? Kind::Minute2 : Kind::Minute, run >= 2 ? 2 : 1, at);
            break;
        case 's':
            add(run >= 2 ? Kind::Second2 : Kind::Second, run >= 2 ? 2 : 1, at);
            break;
        default:
            literal(QString(ch));
            ++at;
            break;
        }
    }
    return tokens;
}

// The first separator between the fields of one of the locale's own formats.
QString separatorOf(const QString& localeFormat, const QString& fallback)
{
    bool afterField = false;
    for (const QChar ch : localeFormat) {
        if (ch.isLetter())
            afterField = true;
        else if (afterField && !ch.isSpace() && ch != u',' && ch != u'\'')
            return QString(ch);
    }
    return fallback;
}

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

// Weeks start on Sunday; the week that holds 1 January is week 1.
int weekOfYear(const QDate& date)
{
    const int firstWeekday = QDate(date.year(), 1, 1).dayOfWeek() % 7; // Sunday 0
    return (date.dayOfYear() - 1 + firstWeekday) / 7 + 1;
}

} // namespace

QString formatDateTime(const QDateTime& moment, const QString& format, const QLocale& locale)
{
    const std::vector<Token> tokens = tokenize(format);
    bool twelveHour = false;
    for (const Token& token : tokens)
        twelveHour =
            twelveHour || token.kind == Kind::Designator || token.kind == Kind::LocaleDesignator;

    const QDate date = moment.date();
    const QTime time = moment.time();
    const int hour = twelveHour ? (time.hour() % 12 == 0 ? 12 : time.hour() % 12) : time.hour();
    const bool beforeNoon = time.hour() < 12;

    QString result;
    for (const Token& token : tokens) {
        switch (token.kind) {
        case Kind::Literal:
            result += token.text;
            break;
        case Kind::DateSeparator:
            result += separatorOf(locale.dateFormat(QLocale::ShortFormat), QStringLiteral("/"));
            break;
        case Kind::TimeSeparator:
            result += separatorOf(locale.timeFormat(QLocale::ShortFormat), QStringLiteral(":"));
            break;
        case Kind::Day:
            result += QString::number(date.day());
            break;
        case Kind::Day2:
            result += twoDigits(date.day());
            break;
        case Kind::DayName:
            result += locale.dayName(date.dayOfWeek(), QLocale::ShortFormat);
            break;
        case Kind::DayNameLong:
            result += locale.dayName(date.dayOfWeek(), QLocale::LongFormat);
            break;
        case Kind::WeekDay:
            result += QString::number(date.dayOfWeek() % 7 + 1);
            break;
        case Kind::Week:
            result += QString::number(weekOfYear(date));
            break;
        case Kind::Month:
            result += QString::number(date.month());
            break;
        case Kind::Month2:
            result += twoDigits(date.month());
            break;
        case Kind::MonthName:
            result += locale.monthName(date.month(), QLocale::ShortFormat);
            break;
        case Kind::MonthNameLong:
            result += locale.monthName(date.month(), QLocale::LongFormat);
            break;
        case Kind::Quarter:
            result += QString::number((date.month() - 1) / 3 + 1);
            break;
        case Kind::DayOfYear:
            result += QString::number(date.dayOfYear());
            break;
        case Kind::Year2:
            result += twoDigits(date.year() % 100);
            break;
        case Kind::Year4:
            result += QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'));
            break;
        case Kind::Hour:
            result += QString::number(hour);
            break;
        case Kind::Hour2:
            result += twoDigits(hour);
            break;
        case Kind::Minute:
            result += QString::number(time.minute());
            break;
        case Kind::Minute2:
            result += twoDigits(time.minute());
            break;
        case Kind::Second:
            result += QString::number(time.second());
            break;
        case Kind::Second2:
            result += twoDigits(time.second());
            break;
        case Kind::Designator:
            result += beforeNoon ? token.text : token.afterNoon;
            break;
        case Kind::LocaleDesignator:
            result += beforeNoon ? locale.amText() : locale.pmText();
            break;
        }
    }
    return result;
}

QStringList timeDateRowFormats()
{
    return {
        QStringLiteral("dd/mm/yy"),
        QStringLiteral("dd mmmm yyyy"),
        QStringLiteral("dd mmmm, yyyy"),
        QStringLiteral("mmmm dd, yyyy"),
        QStringLiteral("dd/mmm/yy"),
        QStringLiteral("mmmm, yy"),
        QStringLiteral("mmm/yy"),
        QStringLiteral("dd/mm/yy hh:mm"),
        QStringLiteral("dd/mm/yy hh:mm:ss"),
        QStringLiteral("hh:mm"),
        QStringLiteral("hh:mm:ss"),
        QStringLiteral("hh:mm AMPM"),
        QStringLiteral("hh:mm:ss AMPM"),
    };
}

QStringList timeDateRows(const std::function<QDateTime()>& now, const QLocale& locale)
{
    QStringList rows;
    for (const QString& format : timeDateRowFormats())
        rows.append(formatDateTime(now(), format, locale));
    return rows;
}

} // namespace lw
