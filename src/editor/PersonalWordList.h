#pragma once

#include <QSet>
#include <QString>
#include <QStringView>

namespace lw {

// The user's own words, never marked as misspelt: a UTF-8 text file, one word a line.
class PersonalWordList
{
public:
    explicit PersonalWordList(const QString& path = defaultPath());

    // letterwright/words.txt in the XDG data folder, beside the letter library.
    static QString defaultPath();
    QString path() const { return filePath; }

    // Reads the file; a missing file is an empty list. On failure the list keeps what it had.
    bool load(QString* error = nullptr);
    // Adds the word to the file at once, replacing it in one step; what the file held stays as it
    // was, byte for byte. Refused when the file cannot be read, so that nothing in it is lost.
    bool add(const QString& word, QString* error = nullptr);
    bool contains(QStringView word) const;
    int size() const { return int(words.size()); }

private:
    // The file's bytes; false with `error` set when it exists but cannot be read.
    bool read(QByteArray& bytes, QString* error) const;
    void take(const QByteArray& bytes);

    QString filePath;
    QSet<QString> words;
};

} // namespace lw
