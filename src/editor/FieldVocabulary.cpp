#include "editor/FieldVocabulary.h"

#include "platform/ProgramFolders.h"

#include <QFile>

namespace lw {

namespace {

bool isBracketedName(QStringView line)
{
    return line.size() > 2 && line.front() == u'[' && line.back() == u']' &&
           !line.mid(1, line.size() - 2).contains(u'[') &&
           !line.mid(1, line.size() - 2).contains(u']');
}

std::optional<QString> readText(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    // A vocabulary is a short list; anything far longer is not one.
    constexpr qint64 limit = 1 << 20;
    const QByteArray bytes = file.read(limit);
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    return QString::fromUtf8(bytes);
}

} // namespace

FieldVocabulary::FieldVocabulary(const QStringList& names)
{
    for (const QString& name : names) {
        const QString trimmed = name.trimmed();
        if (!isBracketedName(trimmed))
            continue;
        const QString key = trimmed.toCaseFolded();
        if (folded.contains(key))
            continue;
        folded.insert(key);
        ordered.append(trimmed);
    }
}

FieldVocabulary FieldVocabulary::fromText(QStringView text)
{
    QStringList names;
    for (QStringView line : text.split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        names.append(line.toString());
    }
    return FieldVocabulary(names);
}

std::optional<FieldVocabulary> FieldVocabulary::load(const QString& path, QString* error)
{
    const std::optional<QString> text = readText(path, error);
    if (!text)
        return std::nullopt;
    return fromText(*text);
}

QString FieldVocabulary::installedPath()
{
    return programDirectory() + QStringLiteral("/placeholders.txt");
}

const FieldVocabulary& FieldVocabulary::installed()
{
    static const FieldVocabulary vocabulary = [] {
        if (std::optional<FieldVocabulary> beside = load(installedPath());
            beside && !beside->isEmpty())
            return *beside;
        return load(QStringLiteral(":/letterwright/placeholders.txt")).value_or(FieldVocabulary());
    }();
    return vocabulary;
}

bool FieldVocabulary::contains(QStringView name) const
{
    return !folded.isEmpty() && folded.contains(name.toString().toCaseFolded());
}

} // namespace lw
