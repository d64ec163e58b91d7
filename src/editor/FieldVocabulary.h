#pragma once

#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

namespace lw {

// The placeholders the letters of the library use, such as "[Date]" and "[Your Name]". A bracketed
// text in the vocabulary is a field even where it occurs only once; letter case does not count.
class FieldVocabulary
{
public:
    FieldVocabulary() = default;
    // `names` with their brackets; anything that is not one bracketed name is passed over.
    explicit FieldVocabulary(const QStringList& names);

    // One name a line; blank lines and lines starting with '#' are passed over.
    static FieldVocabulary fromText(QStringView text);
    // std::nullopt with `error` set when the file cannot be read.
    static std::optional<FieldVocabulary> load(const QString& path, QString* error = nullptr);
    // The vocabulary beside the program (placeholders.txt in the program's directory), or the one
    // built into the program when that file is missing or unreadable. Read once per run.
    static const FieldVocabulary& installed();
    // Where the installed vocabulary is looked for.
    static QString installedPath();

    bool contains(QStringView name) const;
    // The names in the order they were given.
    const QStringList& names() const { return ordered; }
    bool isEmpty() const { return ordered.isEmpty(); }

private:
    QStringList ordered;
    QSet<QString> folded;
};

} // namespace lw
