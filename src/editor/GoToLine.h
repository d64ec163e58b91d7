#pragma once

#include <QString>

namespace lw {

class LetterEditor;

// Where Go To sends the caret.
enum class GoToWhat { Line, Start, End };

enum class GoToResult {
    Moved,
    NotANumber,  // the typed line number is not a number
    InvalidLine, // the editor has no such line
    OutOfRange,  // the number does not fit a line number
};

struct TypedLine
{
    enum Status { Valid, NotANumber, OutOfRange };
    Status status = Valid;
    int line = 0; // 0-based; -1 is the caret's line
};

// Reads a typed line number: a decimal number with an optional sign, fraction and exponent, blanks
// around it allowed, in C notation or in the system locale's. One less, rounded to the nearest
// integer with halves going to the even neighbour, is the 0-based line.
TypedLine parseLineNumber(const QString& typed);

// Puts the editor's caret at the start of the typed line, at the start or at the end of the text.
// The caret stays where it was unless the result is Moved.
GoToResult goTo(LetterEditor& editor, GoToWhat what, const QString& typed);

} // namespace lw
