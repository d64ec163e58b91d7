#include "editor/LetterFields.h"

#include <QAbstractTextDocumentLayout>
#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace lw {

namespace {

// A character that ends a field's name unfinished: a name stays on one line of plain text.
bool breaksName(QChar c)
{
    switch (c.category()) {
    case QChar::Other_Control:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return c == QChar::ObjectReplacementCharacter;
    }
}

bool isName(QStringView name)
{
    if (name.isEmpty() || name.front().isSpace())
        return false;
    int characters = 0;
    bool letter = false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        if (c.isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
            letter = letter || QChar::isLetter(QChar::surrogateToUcs4(c, name[i + 1]));
            ++i;
        } else {
            letter = letter || c.isLetter();
        }
        if (++characters > maximumFieldNameLength)
            return false;
    }
    return letter;
}

// Line breaks of any platform become paragraph breaks.
QString paragraphsOf(const QString& value)
{
    QString text = value;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

} // namespace

QList<BracketedText> findBracketedTexts(QStringView paragraph)
{
    QList<BracketedText> found;
    qsizetype open = -1;
    for (qsizetype i = 0; i < paragraph.size(); ++i) {
        const QChar c = paragraph[i];
        if (c == u'[') {
            open = i;
        } else if (c == u']') {
            if (open >= 0 && isName(paragraph.mid(open + 1, i - open - 1)))
                found.append({int(open), int(i - open + 1)});
            open = -1;
        } else if (open >= 0 && breaksName(c)) {
            open = -1;
        }
    }
    return found;
}

LetterFields::LetterFields(QTextDocument* document, const FieldVocabulary& vocabulary,
                           QObject* parent)
    : QObject(parent), doc(document), words(vocabulary)
{
    // A document tells of its changes only once it has a layout.
    document->documentLayout();
    connect(document, &QTextDocument::contentsChange, this, &LetterFields::contentsChange);
    rescan();
}

LetterFields::~LetterFields() = default;

void LetterFields::setDocument(QTextDocument* document)
{
    if (doc)
        disconnect(doc, nullptr, this, nullptr);
    doc = document;
    filled.clear();
    document->documentLayout();
    connect(document, &QTextDocument::contentsChange, this, &LetterFields::contentsChange);
    rescan();
    emit documentReplaced();
}

void LetterFields::rescan()
{
    paragraphs.clear();
    counts.clear();
    ordered.reset();
    if (!doc)
        return;
    const int blocks = doc->blockCount();
    paragraphs.reserve(blocks);
    for (int number = 0; number < blocks; ++number) {
        paragraphs.push_back(scan(number));
        count(paragraphs.back().get(), 1);
    }
    characters = doc->characterCount();
    emit fieldsChanged();
}

std::unique_ptr<LetterFields::Paragraph> LetterFields::scan(int blockNumber) const
{
    const QTextBlock block = doc->findBlockByNumber(blockNumber);
    const QString text = block.text();
    // Most paragraphs hold no bracket at all.
    if (!text.contains(u']'))
        return nullptr;
    const QList<BracketedText> found = findBracketedTexts(text);
    if (found.isEmpty())
        return nullptr;
    auto paragraph = std::make_unique<Paragraph>();
    paragraph->reserve(found.size());
    for (const BracketedText& bracketed : found) {
        if (!filled.empty() && isFilledText(block.position() + bracketed.offset))
            continue;
        paragraph->push_back(
            {bracketed.offset, bracketed.length, text.mid(bracketed.offset, bracketed.length)});
    }
    if (paragraph->empty())
        return nullptr;
    return paragraph;
}

bool LetterFields::isFilledText(int position) const
{
    // The last value starting at or before the position.
    const auto after =
        std::upper_bound(filled.begin(), filled.end(), position,
                         [](int at, const Filled& value) { return at < value.start.position(); });
    return after != filled.begin() && position < std::prev(after)->end.position();
}

void LetterFields::count(const Paragraph* paragraph, int step)
{
    if (!paragraph)
        return;
    for (const Candidate& candidate : *paragraph) {
        int& n = counts[candidate.name];
        n += step;
        if (n <= 0)
            counts.remove(candidate.name);
    }
}

void LetterFields::contentsChange(int from, int removed, int added)
{
    if (!doc)
        return;
    const int before = characters;
    characters = doc->characterCount();
    const int blocks = doc->blockCount();
    const int last = characters - 1;
    const int start = std::clamp(from, 0, last);
    const int first = doc->findBlock(start).blockNumber();
    const int lastNew = doc->findBlock(std::clamp(from + added, start, last)).blockNumber();
    const int lastOld = lastNew - (blocks - int(paragraphs.size()));
    if (first < 0 || lastNew < first || lastOld < first || lastOld >= int(paragraphs.size())) {
        // The change does not fit what is known of the document: read it all.
        rescan();
        return;
    }

    bool changed = false;
    for (int number = first; number <= lastOld; ++number) {
        count(paragraphs[number].get(), -1);
        changed = changed || paragraphs[number];
    }
    std::vector<std::unique_ptr<Paragraph>> fresh;
    fresh.reserve(lastNew - first + 1);
    for (int number = first; number <= lastNew; ++number) {
        fresh.push_back(scan(number));
        count(fresh.back().get(), 1);
    }
    // Unchanged candidates at unchanged places are no change, as when typing after a field.
    if (changed || std::any_of(fresh.begin(), fresh.end(), [](const auto& p) { return bool(p); })) {
        changed = lastOld - first != lastNew - first;
        for (int i = 0; !changed && i <= lastNew - first; ++i) {
            const Paragraph* old = paragraphs[first + i].get();
            const Paragraph* now = fresh[i].get();
            changed = bool(old) != bool(now) || (old && *old != *now);
        }
    }
    paragraphs.erase(paragraphs.begin() + first, paragraphs.begin() + lastOld + 1);
    paragraphs.insert(paragraphs.begin() + first, std::make_move_iterator(fresh.begin()),
                      std::make_move_iterator(fresh.end()));

    if (from <= 0 && removed >= before - 1 && characters <= 1 && before > 1) {
        // Nothing of the old text is left, nor of what was filled into it.
        filled.clear();
        emit documentReplaced();
    }
    if (changed) {
        ordered.reset();
        emit fieldsChanged();
    }
}

int LetterFields::blockPosition(int blockNumber) const
{
    return doc->findBlockByNumber(blockNumber).position();
}

bool LetterFields::isField(const QString& name) const
{
    const auto found = counts.constFind(name);
    if (found == counts.cend())
        return false;
    return *found >= 2 || words.contains(name);
}

bool LetterFields::isEmpty() const
{
    return fields().isEmpty();
}

int LetterFields::occurrenceCount(const QString& name) const
{
    return counts.value(name);
}

QStringList LetterFields::fields() const
{
    if (!ordered) {
        QStringList list;
        QSet<QString> seen;
        for (const auto& paragraph : paragraphs) {
            if (!paragraph)
                continue;
            for (const Candidate& candidate : *paragraph) {
                if (!seen.contains(candidate.name) && isField(candidate.name)) {
                    seen.insert(candidate.name);
                    list.append(candidate.name);
                }
            }
        }
        ordered = list;
    }
    return *ordered;
}

template <typename Visit> bool LetterFields::forEachField(int first, Visit visit) const
{
    const int size = int(paragraphs.size());
    for (int i = 0; i < size; ++i) {
        const int number = (first + i) % size;
        const Paragraph* paragraph = paragraphs[number].get();
        if (!paragraph)
            continue;
        for (const Candidate& candidate : *paragraph) {
            if (isField(candidate.name) && visit(number, candidate))
                return true;
        }
    }
    return false;
}

QList<FieldOccurrence> LetterFields::occurrences(const QString& name) const
{
    QList<FieldOccurrence> found;
    if (!doc || !isField(name))
        return found;
    const int size = int(paragraphs.size());
    for (int number = 0; number < size; ++number) {
        const Paragraph* paragraph = paragraphs[number].get();
        if (!paragraph)
            continue;
        int position = -1;
        for (const Candidate& candidate : *paragraph) {
            if (candidate.name != name)
                continue;
            if (position < 0)
                position = blockPosition(number);
            found.append({position + candidate.offset, candidate.length, candidate.name});
        }
    }
    return found;
}

QList<FieldOccurrence> LetterFields::occurrencesBetween(int from, int to) const
{
    QList<FieldOccurrence> found;
    if (!doc || paragraphs.empty())
        return found;
    const int last = doc->characterCount() - 1;
    const int first = doc->findBlock(std::clamp(from, 0, last)).blockNumber();
    const int end = doc->findBlock(std::clamp(to, 0, last)).blockNumber();
    for (int number = std::max(first, 0); number <= end && number < int(paragraphs.size());
         ++number) {
        const Paragraph* paragraph = paragraphs[number].get();
        if (!paragraph)
            continue;
        const int position = blockPosition(number);
        for (const Candidate& candidate : *paragraph) {
            const int start = position + candidate.offset;
            if (start + candidate.length > from && start < to && isField(candidate.name))
                found.append({start, candidate.length, candidate.name});
        }
    }
    return found;
}

std::optional<FieldOccurrence> LetterFields::nextField(int position) const
{
    if (!doc || paragraphs.empty())
        return std::nullopt;
    const int last = doc->characterCount() - 1;
    const int first = doc->findBlock(std::clamp(position, 0, last)).blockNumber();
    std::optional<FieldOccurrence> found;
    // Around the document once; the paragraph of `position` is seen again at the end, for the
    // fields before it.
    const int size = int(paragraphs.size());
    for (int i = 0; i <= size && !found; ++i) {
        const int number = (first + i) % size;
        const Paragraph* paragraph = paragraphs[number].get();
        if (!paragraph)
            continue;
        const int start = blockPosition(number);
        for (const Candidate& candidate : *paragraph) {
            const int at = start + candidate.offset;
            const bool after = i == 0 ? at >= position : i < size || at < position;
            if (after && isField(candidate.name)) {
                found = FieldOccurrence{at, candidate.length, candidate.name};
                break;
            }
        }
    }
    return found;
}

std::optional<FieldOccurrence> LetterFields::previousField(int position) const
{
    if (!doc || paragraphs.empty())
        return std::nullopt;
    const int last = doc->characterCount() - 1;
    const int first = doc->findBlock(std::clamp(position, 0, last)).blockNumber();
    const int size = int(paragraphs.size());
    for (int i = 0; i <= size; ++i) {
        const int number = ((first - i) % size + size) % size;
        const Paragraph* paragraph = paragraphs[number].get();
        if (!paragraph)
            continue;
        const int start = blockPosition(number);
        for (auto candidate = paragraph->rbegin(); candidate != paragraph->rend(); ++candidate) {
            const int at = start + candidate->offset;
            const bool before = i == 0 ? at < position : i < size || at >= position;
            if (before && isField(candidate->name))
                return FieldOccurrence{at, candidate->length, candidate->name};
        }
    }
    return std::nullopt;
}

std::optional<FieldOccurrence> LetterFields::firstField() const
{
    std::optional<FieldOccurrence> found;
    forEachField(0, [&](int number, const Candidate& candidate) {
        found = FieldOccurrence{blockPosition(number) + candidate.offset, candidate.length,
                                candidate.name};
        return true;
    });
    return found;
}

int LetterFields::fill(const QList<std::pair<QString, QString>>& values)
{
    if (!doc)
        return 0;
    QHash<QString, QString> valueOf;
    for (const auto& [name, value] : values) {
        if (!valueOf.contains(name) && isField(name))
            valueOf.insert(name, paragraphsOf(value));
    }
    if (valueOf.isEmpty())
        return 0;

    // Every place of the fields, in one pass over the document.
    struct Replacement
    {
        int position;
        int length;
        const QString* value;
        int inserted = 0;
    };
    std::vector<Replacement> replacements;
    for (int number = 0; number < int(paragraphs.size()); ++number) {
        const Paragraph* paragraph = paragraphs[number].get();
        if (!paragraph)
            continue;
        int start = -1;
        for (const Candidate& candidate : *paragraph) {
            const auto found = valueOf.constFind(candidate.name);
            if (found == valueOf.cend())
                continue;
            if (start < 0)
                start = blockPosition(number);
            replacements.push_back({start + candidate.offset, candidate.length, &*found});
        }
    }

    // Values undone or deleted since are gone.
    std::erase_if(
        filled, [](const Filled& value) { return value.start.position() >= value.end.position(); });
    QTextCursor edit(doc);
    edit.beginEditBlock();
    // Last to first, so that every place found still stands where it was found; and nothing a
    // value brings in is looked at again.
    for (auto at = replacements.rbegin(); at != replacements.rend(); ++at) {
        // The format of the name's first character, the text the value stands for.
        edit.setPosition(at->position + 2);
        const QTextCharFormat format = edit.charFormat();
        edit.setPosition(at->position);
        edit.setPosition(at->position + at->length, QTextCursor::KeepAnchor);
        edit.insertText(*at->value, format);
        at->inserted = edit.position() - at->position;
    }
    // Where each value stands now, known before the document tells of the change, so that its
    // paragraphs are read with the values known. Made after the edits, so that these cursors are
    // not moved by each of them.
    std::vector<Filled> added;
    added.reserve(replacements.size());
    int shift = 0;
    for (const Replacement& replacement : replacements) {
        const int start = replacement.position + shift;
        shift += replacement.inserted - replacement.length;
        if (replacement.inserted == 0)
            continue;
        Filled value{QTextCursor(doc), QTextCursor(doc)};
        value.start.setPosition(start);
        value.end.setPosition(start + replacement.inserted);
        value.end.setKeepPositionOnInsert(true);
        added.push_back(std::move(value));
    }
    std::vector<Filled> merged;
    merged.reserve(filled.size() + added.size());
    std::merge(std::make_move_iterator(filled.begin()), std::make_move_iterator(filled.end()),
               std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()),
               std::back_inserter(merged), [](const Filled& a, const Filled& b) {
                   return a.start.position() < b.start.position();
               });
    filled = std::move(merged);
    edit.endEditBlock();
    return int(replacements.size());
}

int LetterFields::fill(const QString& name, const QString& value)
{
    return fill({{name, value}});
}

} // namespace lw
