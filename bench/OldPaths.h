#pragma once

// The old ways, kept only to check that the new ones give the same results.

#include "editor/LetterEditor.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace bench {

inline bool isWordCharacter(QChar ch)
{
    return ch.isLetterOrNumber() || ch.isMark();
}

// The old search: paragraph by paragraph, in growing pieces read through a cursor selection.
// Returns the first match at or after `start`, or -1.
inline int oldFind(const QTextDocument* doc, const QString& text, int start, int options)
{
    const int end = doc->characterCount() - 1;
    QString pattern = text;
    pattern.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const int size = int(pattern.size());
    if (size == 0 || end - start < size)
        return -1;
    const Qt::CaseSensitivity sensitivity =
        (options & lw::LetterEditor::MatchCase) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const auto wholeWord = [&](int at) {
        return !(options & lw::LetterEditor::WholeWord) ||
               (!isWordCharacter(doc->characterAt(at - 1)) &&
                !isWordCharacter(doc->characterAt(at + size)));
    };
    QTextCursor reader(const_cast<QTextDocument*>(doc));
    for (QTextBlock block = doc->findBlock(start); block.isValid(); block = block.next()) {
        const int blockEnd = std::min(block.position() + block.length() - 1, end);
        int chunkStart = std::max(start, block.position());
        int chunkSize = std::max(64, 2 * size);
        while (chunkStart + size <= blockEnd) {
            const int chunkEnd = std::min(blockEnd, chunkStart + chunkSize);
            reader.setPosition(chunkStart);
            reader.setPosition(chunkEnd, QTextCursor::KeepAnchor);
            const QString chunk = reader.selectedText();
            for (qsizetype at = chunk.indexOf(pattern, 0, sensitivity); at >= 0;
                 at = chunk.indexOf(pattern, at + 1, sensitivity)) {
                if (wholeWord(chunkStart + int(at)))
                    return chunkStart + int(at);
            }
            if (chunkEnd == blockEnd)
                break;
            chunkStart = chunkEnd - (size - 1);
            chunkSize = std::min(chunkSize * 2, 1 << 16);
        }
    }
    return -1;
}

// The old Replace All: find from the end of the last replacement, select the match, type over
// it with the format of its first character; one edit block.
inline int oldReplaceAll(QTextDocument& doc, const QString& pattern, const QString& with,
                         int options)
{
    QTextCursor edit(&doc);
    edit.beginEditBlock();
    int count = 0;
    for (int at = oldFind(&doc, pattern, 0, options); at >= 0;
         at = oldFind(&doc, pattern, edit.position(), options)) {
        edit.setPosition(at);
        edit.setPosition(at + int(pattern.size()), QTextCursor::KeepAnchor);
        QTextCursor first(&doc);
        first.setPosition(at + 1);
        QTextCharFormat format = first.charFormat();
        for (const int property : {int(QTextFormat::ObjectType), int(QTextFormat::ImageName),
                                   int(QTextFormat::ImageWidth), int(QTextFormat::ImageHeight)})
            format.clearProperty(property);
        edit.insertText(with, format);
        ++count;
    }
    edit.endEditBlock();
    return count;
}

} // namespace bench
