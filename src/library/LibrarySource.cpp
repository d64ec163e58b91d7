#include "library/LibrarySource.h"

#include "editor/DocumentText.h"
#include "library/DataFile.h"
#include "library/SqliteDatabase.h"
#include "platform/SafeFile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QTemporaryDir>

namespace lw::librarysource {

namespace {

const QString catalogueName = QStringLiteral("catalogue.txt");
const QString lettersFolder = QStringLiteral("letters");

bool sourceFail(SourceError* error, const QString& file, int line, const QString& message)
{
    if (error)
        *error = {file, line, message};
    return false;
}

std::optional<QStringList> readLines(const QString& path, SourceError* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        sourceFail(error, path, 0, QStringLiteral("cannot be read: ") + file.errorString());
        return std::nullopt;
    }
    return QString::fromUtf8(file.readAll()).split(u'\n');
}

bool readCatalogue(const QString& path, LibraryContents& contents, SourceError* error)
{
    const auto lines = readLines(path, error);
    if (!lines)
        return false;
    for (int i = 0; i < lines->size(); ++i) {
        const QString& line = lines->at(i);
        const QString name = line.trimmed();
        if (name.isEmpty() || name.startsWith(u'#'))
            continue;
        if (!line.at(0).isSpace()) {
            contents.subjects.append({name, {}});
        } else if (contents.subjects.isEmpty()) {
            return sourceFail(error, path, i + 1,
                              QStringLiteral("category \"%1\" comes before any subject").arg(name));
        } else {
            contents.subjects.last().second.append(name);
        }
    }
    return true;
}

bool listed(const LibraryContents& contents, const QString& subject, const QString& category)
{
    for (const auto& [name, categories] : contents.subjects) {
        if (name == subject)
            return categories.contains(category);
    }
    return false;
}

bool readLetter(const QString& path, const LibraryContents& contents, LetterRecord& letter,
                SourceError* error)
{
    const auto lines = readLines(path, error);
    if (!lines)
        return false;
    QHash<QString, QString> fields;
    QHash<QString, int> fieldLines;
    int line = 0;
    for (; line < lines->size() && !lines->at(line).trimmed().isEmpty(); ++line) {
        const QString header = lines->at(line).trimmed();
        const qsizetype colon = header.indexOf(u':');
        if (colon <= 0)
            return sourceFail(error, path, line + 1,
                              QStringLiteral("expected a \"Name: value\" line"));
        const QString key = header.left(colon).trimmed();
        if (fields.contains(key))
            return sourceFail(error, path, line + 1, QStringLiteral("%1 given twice").arg(key));
        fields.insert(key, header.mid(colon + 1).trimmed());
        fieldLines.insert(key, line + 1);
    }
    // The body is kept exactly, but for the newline that ends the file.
    QString body = lines->mid(line + 1).join(u'\n');
    if (body.endsWith(u'\n'))
        body.chop(1);

    const QStringList known = {"Title", "Subject", "Category", "File", "Favorite", "ID"};
    for (auto it = fields.cbegin(); it != fields.cend(); ++it) {
        if (!known.contains(it.key()))
            return sourceFail(error, path, fieldLines.value(it.key()),
                              QStringLiteral("unknown field %1").arg(it.key()));
    }
    for (const char* required : {"Title", "Subject", "Category"}) {
        const QString key = QString::fromLatin1(required);
        if (fields.value(key).isEmpty())
            return sourceFail(error, path, fieldLines.value(key, 1),
                              QStringLiteral("the letter has no %1").arg(key.toLower()));
    }
    if (body.trimmed().isEmpty())
        return sourceFail(error, path, line + 2, QStringLiteral("the letter has no body"));

    letter.title = fields.value("Title");
    letter.subject = fields.value("Subject");
    letter.category = fields.value("Category");
    letter.file = fields.value("File");
    letter.content = body;
    const QString favorite = fields.value("Favorite", "no").toLower();
    if (favorite != "yes" && favorite != "no")
        return sourceFail(error, path, fieldLines.value("Favorite"),
                          QStringLiteral("Favorite must be yes or no"));
    letter.favorite = favorite == "yes" ? 1 : 0;
    if (fields.contains("ID")) {
        bool ok = false;
        letter.id = fields.value("ID").toLongLong(&ok);
        if (!ok || letter.id <= 0)
            return sourceFail(error, path, fieldLines.value("ID"),
                              QStringLiteral("ID must be a positive whole number"));
    }
    if (!listed(contents, letter.subject, letter.category))
        return sourceFail(error, path, fieldLines.value("Category"),
                          QStringLiteral("subject \"%1\" with category \"%2\" is not listed in "
                                         "the catalogue")
                              .arg(letter.subject, letter.category));
    if (letter.file.contains(u'/') || letter.file.contains(u'\\') || letter.file == ".." ||
        letter.file == ".")
        return sourceFail(error, path, fieldLines.value("File"),
                          QStringLiteral("File must be a plain file name"));
    return true;
}

bool writeText(const QString& path, const QString& text, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit()) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace

QString SourceError::text() const
{
    return line > 0 ? QStringLiteral("%1:%2: %3").arg(file).arg(line).arg(message)
                    : QStringLiteral("%1: %2").arg(file, message);
}

QString fileNameFor(const QString& title)
{
    QString name;
    for (const QChar c : title.toLower()) {
        if (c.isLetterOrNumber() && c.unicode() < 128)
            name += c;
        else if (!name.isEmpty() && !name.endsWith(u'-'))
            name += u'-';
    }
    while (name.endsWith(u'-'))
        name.chop(1);
    return (name.isEmpty() ? QStringLiteral("letter") : name.left(60)) + QStringLiteral(".txt");
}

std::optional<LibraryContents> read(const QString& sourceDir, SourceError* error)
{
    LibraryContents contents;
    if (!readCatalogue(QDir(sourceDir).filePath(catalogueName), contents, error))
        return std::nullopt;

    QStringList paths;
    QDirIterator it(QDir(sourceDir).filePath(lettersFolder), {QStringLiteral("*.txt")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        paths.append(it.next());
    paths.sort();

    QHash<QString, QString> titles; // case-folded title -> file
    QHash<QString, QString> files;
    for (const QString& path : paths) {
        LetterRecord letter;
        if (!readLetter(path, contents, letter, error))
            return std::nullopt;
        const QString folded = letter.title.toCaseFolded();
        if (titles.contains(folded)) {
            sourceFail(error, path, 1,
                       QStringLiteral("the title \"%1\" is given twice (also in %2)")
                           .arg(letter.title, titles.value(folded)));
            return std::nullopt;
        }
        titles.insert(folded, path);
        if (!letter.file.isEmpty()) {
            const QString file = letter.file.toCaseFolded();
            if (files.contains(file)) {
                sourceFail(error, path, 1,
                           QStringLiteral("the file name \"%1\" is given twice (also in %2)")
                               .arg(letter.file, files.value(file)));
                return std::nullopt;
            }
            files.insert(file, path);
        }
        contents.letters.append(letter);
    }
    return contents;
}

bool write(const LibraryContents& contents, const QString& outputDir, QString* error)
{
    QDir out(outputDir);
    if (!out.mkpath(lettersFolder)) {
        if (error)
            *error = QStringLiteral("%1: cannot create the folder").arg(outputDir);
        return false;
    }
    QString catalogue = QStringLiteral("# Subjects at the margin, their categories indented.\n");
    for (const auto& [subject, categories] : contents.subjects) {
        catalogue += subject + u'\n';
        for (const QString& category : categories)
            catalogue += QStringLiteral("    ") + category + u'\n';
    }
    if (!writeText(out.filePath(catalogueName), catalogue, error))
        return false;

    int number = 0;
    for (const LetterRecord& letter : contents.letters) {
        ++number;
        QString text = QStringLiteral("Title: %1\nSubject: %2\nCategory: %3\n")
                           .arg(letter.title, letter.subject, letter.category);
        if (!letter.file.isEmpty())
            text += QStringLiteral("File: %1\n").arg(letter.file);
        if (letter.favorite)
            text += QStringLiteral("Favorite: yes\n");
        text += QStringLiteral("ID: %1\n\n").arg(letter.id);
        text += letter.content + u'\n';
        // The number keeps the letters in their library order when the folder is read back.
        const QString name = QStringLiteral("%1-%2")
                                 .arg(number, 5, 10, QLatin1Char('0'))
                                 .arg(fileNameFor(letter.title));
        if (!writeText(out.filePath(lettersFolder + u'/' + name), text, error))
            return false;
    }
    return true;
}

bool build(const QString& sourceDir, const QString& dataFile, const QString& letterDir,
           QString* error)
{
    SourceError sourceError;
    const auto contents = read(sourceDir, &sourceError);
    if (!contents) {
        if (error)
            *error = sourceError.text();
        return false;
    }
    const QFileInfo target(dataFile);
    if (target.exists()) {
        if (error)
            *error = QStringLiteral("%1: a library file is already there").arg(dataFile);
        return false;
    }
    QDir().mkpath(target.absolutePath());
    const QString dataAside = dataFile + QStringLiteral(".building");
    QFile::remove(dataAside);
    if (!createLibraryFile(dataAside, *contents, error))
        return false;

    const QString letterAside = letterDir + QStringLiteral(".building");
    QDir(letterAside).removeRecursively();
    QDir().mkpath(letterAside);
    for (const LetterRecord& letter : contents->letters) {
        if (letter.file.isEmpty())
            continue;
        if (!writeFileSafely(QDir(letterAside).filePath(letter.file),
                             encodeDocumentText(letter.content), error)) {
            QFile::remove(dataAside);
            QDir(letterAside).removeRecursively();
            return false;
        }
    }
    QDir(letterDir).removeRecursively();
    if (!QDir().rename(letterAside, letterDir) || !QFile::rename(dataAside, dataFile)) {
        if (error)
            *error = QStringLiteral("%1: cannot move the built library into place").arg(dataFile);
        QFile::remove(dataAside);
        QDir(letterAside).removeRecursively();
        return false;
    }
    return true;
}

} // namespace lw::librarysource
