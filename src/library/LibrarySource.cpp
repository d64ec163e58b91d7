#include "library/LibrarySource.h"

#include "formats/DocumentText.h"
#include "library/DataFile.h"
#include "library/SqliteDatabase.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <mutex>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace Qt::StringLiterals;

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

// Reads a whole file with as few system calls as can be: a library has many small files.
bool readWholeFile(const QString& path, QByteArray& bytes, QString* error)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    bytes.resize(0); // keeps its room for the next file
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            *error = QString::fromLocal8Bit(std::strerror(errno));
            ::close(fd);
            return false;
        }
        if (got == 0)
            break;
        bytes.append(buffer, got);
    }
    ::close(fd);
    return true;
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

bool containsOnlySpace(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.isSpace(); });
}

bool readLetter(const QString& path, const LibraryContents& contents, LetterRecord& letter,
                SourceError* error)
{
    // One buffer for every letter this thread reads: a library has many.
    thread_local QByteArray bytes;
    QString failure;
    if (!readWholeFile(path, bytes, &failure))
        return sourceFail(error, path, 0, QStringLiteral("cannot be read: ") + failure);
    QString text = QString::fromUtf8(bytes);
    // The header lines run to the first blank line; the body is everything after it, kept
    // exactly, but for the newline that ends the file.
    enum Field { Title, Subject, Category, File, Favorite, Id, FieldCount };
    static const QString names[FieldCount] = {u"Title"_s, u"Subject"_s,  u"Category"_s,
                                              u"File"_s,  u"Favorite"_s, u"ID"_s};
    QString values[FieldCount];
    int lines[FieldCount] = {};
    QStringList unknown; // names not in `names`, in the order of their lines
    QList<int> unknownLines;
    int line = 0;
    qsizetype at = 0;
    for (;; ++line) {
        if (at > text.size())
            break;
        qsizetype end = text.indexOf(u'\n', at);
        if (end < 0)
            end = text.size();
        const QStringView header = QStringView(text).sliced(at, end - at).trimmed();
        at = end + 1;
        if (header.isEmpty())
            break;
        const qsizetype colon = header.indexOf(u':');
        if (colon <= 0)
            return sourceFail(error, path, line + 1,
                              QStringLiteral("expected a \"Name: value\" line"));
        const QStringView key = header.first(colon).trimmed();
        const auto known = std::find(std::begin(names), std::end(names), key);
        const bool twice =
            known != std::end(names) ? lines[known - names] != 0 : unknown.contains(key);
        if (twice)
            return sourceFail(error, path, line + 1, QStringLiteral("%1 given twice").arg(key));
        if (known != std::end(names)) {
            values[known - names] = header.sliced(colon + 1).trimmed().toString();
            lines[known - names] = line + 1;
        } else {
            unknown.append(key.toString());
            unknownLines.append(line + 1);
        }
    }
    // The body takes the text's own storage: no copy of it.
    text.remove(0, std::min(at, text.size()));
    if (text.endsWith(u'\n'))
        text.chop(1);

    if (!unknown.isEmpty())
        return sourceFail(error, path, unknownLines.first(),
                          QStringLiteral("unknown field %1").arg(unknown.first()));
    for (const Field required : {Title, Subject, Category}) {
        if (values[required].isEmpty())
            return sourceFail(
                error, path, std::max(lines[required], 1),
                QStringLiteral("the letter has no %1").arg(names[required].toLower()));
    }
    if (containsOnlySpace(text))
        return sourceFail(error, path, line + 2, QStringLiteral("the letter has no body"));

    letter.title = std::move(values[Title]);
    letter.subject = std::move(values[Subject]);
    letter.category = std::move(values[Category]);
    letter.file = std::move(values[File]);
    letter.content = std::move(text);
    const QString favorite = lines[Favorite] ? values[Favorite].toLower() : u"no"_s;
    if (favorite != u"yes" && favorite != u"no")
        return sourceFail(error, path, lines[Favorite],
                          QStringLiteral("Favorite must be yes or no"));
    letter.favorite = favorite == u"yes" ? 1 : 0;
    if (lines[Id]) {
        bool ok = false;
        letter.id = values[Id].toLongLong(&ok);
        if (!ok || letter.id <= 0)
            return sourceFail(error, path, lines[Id],
                              QStringLiteral("ID must be a positive whole number"));
    }
    if (!listed(contents, letter.subject, letter.category))
        return sourceFail(error, path, lines[Category],
                          QStringLiteral("subject \"%1\" with category \"%2\" is not listed in "
                                         "the catalogue")
                              .arg(letter.subject, letter.category));
    if (letter.file.contains(u'/') || letter.file.contains(u'\\') || letter.file == u".." ||
        letter.file == u".")
        return sourceFail(error, path, lines[File],
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

namespace {

// The letter files below a folder, one at a time, in the order of their paths relative to it
// as text. Each folder is listed as it is reached, so only the folders on the way to the current
// file are held: a library's letters, filed in folders, take little memory however many.
class LetterPaths
{
public:
    explicit LetterPaths(const QString& folder) : folder(folder) { enter(QString()); }

    // The next file's path relative to the folder; false at the end.
    bool next(QString& relative)
    {
        while (!levels.empty()) {
            Level& level = levels.back();
            if (level.index == level.starts.size()) {
                levels.pop_back();
                continue;
            }
            const QString name = QString::fromUtf8(level.nameAt(level.index++));
            if (name.endsWith(u'/')) {
                enter(level.prefix + name);
                continue;
            }
            relative = level.prefix + name;
            return true;
        }
        return false;
    }

private:
    // One folder's letter files, and its folders with a "/" after their name, in order: within a
    // folder, that is the order of the whole paths.
    struct Level
    {
        QString prefix;
        QByteArray names; // each ended by a null byte
        QList<int> starts;
        qsizetype index = 0;

        QByteArrayView nameAt(qsizetype i) const
        {
            return QByteArrayView(names.constData() + starts.at(i));
        }
    };

    void enter(const QString& prefix)
    {
        Level level;
        level.prefix = prefix;
        const QString path = QDir(folder).filePath(prefix);
        const auto add = [&level](const QString& name) {
            level.starts.append(int(level.names.size()));
            level.names += name.toUtf8();
            level.names += '\0';
        };
        // As a recursive QDirIterator goes: files by their name, folders that are neither hidden
        // nor links.
        for (QDirIterator files(path, {QStringLiteral("*.txt")}, QDir::Files); files.hasNext();)
            add(files.nextFileInfo().fileName());
        for (QDirIterator folders(path, QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks);
             folders.hasNext();)
            add(folders.nextFileInfo().fileName() + u'/');
        // ASCII names compare as bytes; others as the text's UTF-16, as QString orders them.
        const auto ascii = [](QByteArrayView name) {
            return std::all_of(name.begin(), name.end(), [](char c) { return c >= 0; });
        };
        const QByteArray& names = level.names;
        std::sort(level.starts.begin(), level.starts.end(), [&names, &ascii](int a, int b) {
            const QByteArrayView first(names.constData() + a);
            const QByteArrayView second(names.constData() + b);
            if (ascii(first) && ascii(second))
                return first < second;
            return QString::fromUtf8(first) < QString::fromUtf8(second);
        });
        levels.push_back(std::move(level));
    }

    QString folder;
    std::vector<Level> levels;
};

// The letters of a source folder one at a time, in the order of their paths, each checked as it
// is read. Titles and file names already seen are kept as hashes only, so that the memory needed
// hardly grows with the number of letters; a hash met again is checked against the letter it
// came from.
class LetterReader
{
public:
    LetterReader(const QString& sourceDir, const LibraryContents& catalogue)
        : catalogue(catalogue), folder(QDir(sourceDir).filePath(lettersFolder)), paths(folder)
    {}

    // The next letter; false at the end, or on failure with `error` set.
    bool next(LetterRecord& letter, SourceError* error)
    {
        QString relative;
        if (!paths.next(relative))
            return false;
        const int number = count++;
        const QString path = QDir(folder).filePath(relative);
        letter = LetterRecord();
        if (!readLetter(path, catalogue, letter, error))
            return false;
        const QString title = letter.title.toCaseFolded();
        if (const auto earlier = seenBefore(
                titles, title, [](const LetterRecord& l) { return l.title.toCaseFolded(); })) {
            return sourceFail(error, path, 1,
                              QStringLiteral("the title \"%1\" is given twice (also in %2)")
                                  .arg(letter.title, *earlier));
        }
        remember(titles, title, number);
        if (!letter.file.isEmpty()) {
            const QString file = letter.file.toCaseFolded();
            if (const auto earlier = seenBefore(
                    files, file, [](const LetterRecord& l) { return l.file.toCaseFolded(); })) {
                return sourceFail(error, path, 1,
                                  QStringLiteral("the file name \"%1\" is given twice (also in %2)")
                                      .arg(letter.file, *earlier));
            }
            remember(files, file, number);
        }
        return true;
    }

private:
    // The path of letter `number`, found by going through the folder again: it is needed only
    // for a title met twice, or for the rare two titles that share a hash.
    QString pathOf(int number) const
    {
        LetterPaths again(folder);
        QString relative;
        for (int i = 0; i <= number; ++i)
            again.next(relative);
        return QDir(folder).filePath(relative);
    }

    // Keys seen so far, by their hash: one letter for each hash, and the rare further letters
    // whose key has a hash already taken.
    struct Seen
    {
        QHash<uint, int> first;
        QMultiHash<uint, int> more;
    };

    static void remember(Seen& seen, const QString& key, int number)
    {
        const uint hash = uint(qHash(key));
        if (seen.first.contains(hash))
            seen.more.insert(hash, number);
        else
            seen.first.insert(hash, number);
    }

    // The path of an earlier letter whose key is `key`, if any.
    template <typename Key>
    std::optional<QString> seenBefore(const Seen& seen, const QString& key, Key keyOf) const
    {
        const uint hash = uint(qHash(key));
        const auto sameKey = [&](int number) {
            LetterRecord earlier;
            return readLetter(pathOf(number), catalogue, earlier, nullptr) && keyOf(earlier) == key;
        };
        const auto first = seen.first.constFind(hash);
        if (first == seen.first.cend())
            return std::nullopt;
        if (sameKey(*first))
            return pathOf(*first);
        for (auto it = seen.more.constFind(hash); it != seen.more.cend() && it.key() == hash;
             ++it) {
            if (sameKey(it.value()))
                return pathOf(it.value());
        }
        return std::nullopt;
    }

    const LibraryContents& catalogue;
    QString folder;
    LetterPaths paths;
    int count = 0;
    Seen titles; // the case-folded titles
    Seen files;  // the case-folded file names
};

// Writes a file of the letter folder being built. No flush to the disk for each: the folder is
// moved into place only once it is complete, and a build is made again from its sources.
bool writeLetterFile(const QString& path, const QByteArray& bytes, QString* error)
{
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    bool written = fd >= 0;
    for (qsizetype done = 0; written && done < bytes.size();) {
        const ssize_t put = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (put < 0 && errno == EINTR)
            continue;
        written = put > 0;
        done += put;
    }
    if (!written || (fd >= 0 && ::close(fd) != 0)) {
        *error = QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    return true;
}

// Reads, checks and writes out the letters on a thread of its own, a few ahead of the one that
// puts them into the library: reading many small files and filling the library then take the
// time of the longer of the two, not of both.
class LetterPipeline
{
public:
    LetterPipeline(const QString& sourceDir, const LibraryContents& catalogue,
                   const QString& letterFolder)
        : reader(sourceDir, catalogue), letterFolder(letterFolder), worker([this] { produce(); })
    {}

    ~LetterPipeline()
    {
        {
            const std::lock_guard lock(mutex);
            stopping = true;
        }
        changed.notify_all();
        worker.join();
    }

    // The next letter; false at the end, or on failure with `error` set.
    bool next(LetterRecord& letter, QString* error)
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [this] { return !queue.empty() || finished; });
        if (queue.empty()) {
            *error = failure;
            return false;
        }
        letter = std::move(queue.front());
        queue.pop_front();
        // Only a producer that found the queue full waits for room.
        if (queue.size() == capacity - 1)
            changed.notify_all();
        return true;
    }

private:
    void produce()
    {
        LetterRecord letter;
        SourceError sourceError;
        QString writeError;
        for (;;) {
            bool more = reader.next(letter, &sourceError);
            if (more && !letter.file.isEmpty() &&
                !writeLetterFile(QDir(letterFolder).filePath(letter.file),
                                 encodeDocumentText(letter.content), &writeError))
                more = false;
            std::unique_lock lock(mutex);
            if (!more) {
                failure = !sourceError.file.isEmpty() ? sourceError.text() : writeError;
                finished = true;
                changed.notify_all();
                return;
            }
            changed.wait(lock, [this] { return queue.size() < capacity || stopping; });
            if (stopping)
                return;
            queue.push_back(std::move(letter));
            // Only a consumer that found the queue empty waits for a letter.
            if (queue.size() == 1)
                changed.notify_all();
        }
    }

    static constexpr std::size_t capacity = 64;
    LetterReader reader;
    QString letterFolder;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<LetterRecord> queue;
    bool finished = false;
    bool stopping = false;
    QString failure;
    std::thread worker; // last: it starts once everything it uses is in place
};

} // namespace

std::optional<LibraryContents> read(const QString& sourceDir, SourceError* error)
{
    LibraryContents contents;
    if (!readCatalogue(QDir(sourceDir).filePath(catalogueName), contents, error))
        return std::nullopt;
    LetterReader letters(sourceDir, contents);
    LetterRecord letter;
    SourceError failure;
    while (letters.next(letter, &failure))
        contents.letters.append(letter);
    if (!failure.file.isEmpty()) {
        if (error)
            *error = failure;
        return std::nullopt;
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
    LibraryContents catalogue;
    SourceError sourceError;
    if (!readCatalogue(QDir(sourceDir).filePath(catalogueName), catalogue, &sourceError)) {
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
    const QString letterAside = letterDir + QStringLiteral(".building");
    QFile::remove(dataAside);
    QDir(letterAside).removeRecursively();
    QDir().mkpath(letterAside);
    const auto giveUp = [&] {
        QFile::remove(dataAside);
        QDir(letterAside).removeRecursively();
        return false;
    };

    // Each letter is read, checked, written into the library and into the letter folder, and
    // forgotten before the next.
    bool built;
    {
        LetterPipeline letters(sourceDir, catalogue, letterAside);
        built = createLibraryFile(
            dataAside, catalogue.subjects,
            [&](LetterRecord& letter, QString* failure) { return letters.next(letter, failure); },
            error);
    }
    if (!built)
        return giveUp();

    QDir(letterDir).removeRecursively();
    if (!QDir().rename(letterAside, letterDir) || !QFile::rename(dataAside, dataFile)) {
        if (error)
            *error = QStringLiteral("%1: cannot move the built library into place").arg(dataFile);
        return giveUp();
    }
    return true;
}

} // namespace lw::librarysource
