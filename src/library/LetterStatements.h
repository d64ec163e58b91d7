#pragma once

#include <QString>

// Every statement the program runs on the letter library. Values go into a statement only as
// text literals built by `lit`, with every single quote doubled.
namespace lw::sql {

QString lit(const QString& value);
// A search text for a `like` pattern: quotes doubled, pattern characters kept.
QString quoteDoubled(const QString& value);

QString subjects();
QString categories(const QString& subject);
QString letterTitles(const QString& subject, const QString& category);
QString letterContent(const QString& title);
QString favoriteTitles();
QString searchTitles(const QString& searchText);
QString favoriteFlag(const QString& title);
QString markFavorite(const QString& title);
QString unmarkFavorite(const QString& title);
QString clearFavorites();
QString titleTaken(const QString& title);
QString insertLetter(const QString& title, const QString& subject, const QString& category,
                     const QString& body);
QString deleteLetter(const QString& title);
QString letterFile(const QString& subject, const QString& category, const QString& title);
QString moveSubjects();
QString moveCategories(const QString& subject);
QString moveLetter(const QString& subject, const QString& category, const QString& title);

// The tables, for a new library file.
QStringList createSchema();
// The indexes that let the letter list and the favourites read only their own rows, in title
// order; `if not exists`, so that they can be added to a library made without them.
QStringList createIndexes();
// The names of those indexes.
QStringList indexNames();

} // namespace lw::sql
