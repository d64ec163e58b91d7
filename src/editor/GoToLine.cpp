#include "editor/GoToLine.h"

#include "editor/LetterEditor.h"

#include <QLocale>
#include <cmath>
#include <limits>
#include <optional>

namespace lw {

namespace {

std::optional<double> toNumber(const QString& text, QLocale locale)
{
    // "1,5" must not read as 15.
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = locale.toDouble(text, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

TypedLine parseLineNumber(const QString& typed)
{
    const QString text = typed.trimmed();
    std::optional<double> number = toNumber(text, QLocale::c());
    // QLocale() is the system's locale: "2,5" where the comma is the decimal separator.
    if (!number)
        number = toNumber(text, QLocale());
    if (!number)
        return {TypedLine::NotANumber, 0};
    // The default rounding mode sends halves to the even neighbour.
    const double line = std::nearbyint(*number - 1);
    if (line < std::numeric_limits<int>::min() || line > std::numeric_limits<int>::max())
        return {TypedLine::OutOfRange, 0};
    return {TypedLine::Valid, static_cast<int>(line)};
}

GoToResult goTo(LetterEditor& editor, GoToWhat what, const QString& typed)
{
    switch (what) {
    case GoToWhat::Line: {
        const TypedLine typedLine = parseLineNumber(typed);
        if (typedLine.status == TypedLine::NotANumber)
            return GoToResult::NotANumber;
        if (typedLine.status == TypedLine::OutOfRange)
            return GoToResult::OutOfRange;
        const int position = editor.lineIndex(typedLine.line);
        if (position < 0)
            return GoToResult::InvalidLine;
        editor.setSelStart(position);
        break;
    }
    case GoToWhat::Start:
        editor.setSelStart(0);
        break;
    case GoToWhat::End:
        editor.setSelStart(editor.TextLength());
        break;
    }
    return GoToResult::Moved;
}

} // namespace lw
