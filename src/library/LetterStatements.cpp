#include "library/LetterStatements.h"

#include <QStringList>

namespace lw::sql {

QString quoteDoubled(const QString& value)
{
    QString doubled = value;
    return doubled.replace(u'\'', QStringLiteral("''"));
}

QString lit(const QString& value)
{
    return u'\'' + quoteDoubled(value) + u'\'';
}

QString subjects()
{
    return QStringLiteral("select name from Subject group by name");
}

QString categories(const QString& subject)
{
    return "select name from Category where Subject=" + lit(subject) + "order by name";
}

QString letterTitles(const QString& subject, const QString& category)
{
    return "select Description from Letter where Subject=" + lit(subject) +
           "and Category=" + lit(category) + "order by Description";
}

QString letterContent(const QString& title)
{
    return "select Content, Subject from Letter where Description=" + lit(title);
}

QString favoriteTitles()
{
    return QStringLiteral("select Description from Letter where Favorite = 1 order by Description");
}

QString searchTitles(const QString& searchText)
{
    return QStringLiteral("select Description from Letter where Description ") + " like '%" +
           quoteDoubled(searchText) + "%'" + "order by Description";
}

QString favoriteFlag(const QString& title)
{
    return "select Favorite from Letter where Description =" + lit(title);
}

QString markFavorite(const QString& title)
{
    return "update Letter set Favorite = 1 where Description =" + lit(title);
}

QString unmarkFavorite(const QString& title)
{
    return "update Letter set Favorite = 0 where Description =" + lit(title);
}

QString clearFavorites()
{
    return QStringLiteral("update Letter set Favorite = 0");
}

QString titleTaken(const QString& title)
{
    // Also a title that looks the same: "é" as one character or as "e" and a combining accent.
    // The collation of the column cannot say so without reordering the index of every library.
    return "Select ID from Letter Where Description =" + lit(title) +
           " or lw_same_title(Description, " + lit(title) + ")";
}

QString insertLetter(const QString& title, const QString& subject, const QString& category,
                     const QString& body)
{
    return "Insert into Letter (Description, Subject, Category, Content) values(" + lit(title) +
           ", " + lit(subject) + ", " + lit(category) + "," + lit(body) + ")";
}

QString deleteLetter(const QString& title)
{
    // SQLite's form of "Delete * from".
    return "Delete from Letter where Description=" + lit(title);
}

QString letterFile(const QString& subject, const QString& category, const QString& title)
{
    return "select File from Letter where Subject=" + lit(subject) +
           "and Category=" + lit(category) + "and Description=" + lit(title);
}

QString moveSubjects()
{
    return QStringLiteral("Select Name From Subject Group By Name");
}

QString moveCategories(const QString& subject)
{
    return "Select Name From Category Where Subject=" + lit(subject) + " Order By Name";
}

QString moveLetter(const QString& subject, const QString& category, const QString& title)
{
    return "Update Letter Set Subject = " + lit(subject) + ", Category= " + lit(category) +
           " where Description =" + lit(title);
}

QStringList createSchema()
{
    return {
        QStringLiteral("create table Subject (name text collate lw_nocase not null)"),
        QStringLiteral("create table Category (name text collate lw_nocase not null, "
                       "Subject text collate lw_nocase not null)"),
        QStringLiteral("create table Letter (ID integer primary key autoincrement, "
                       "Description text collate lw_nocase not null unique, "
                       "Subject text collate lw_nocase, Category text collate lw_nocase, "
                       "Content text, File text collate lw_nocase, "
                       "Favorite integer not null default 0)"),
    };
}

QStringList createIndexes()
{
    return {
        QStringLiteral("create index if not exists LetterByCategory "
                       "on Letter (Subject, Category, Description)"),
        QStringLiteral(
            "create index if not exists LetterByFavorite on Letter (Favorite, Description)"),
    };
}

QStringList indexNames()
{
    return {QStringLiteral("LetterByCategory"), QStringLiteral("LetterByFavorite")};
}

} // namespace lw::sql
