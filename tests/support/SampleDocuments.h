#pragma once

#include <QImage>
#include <QList>
#include <QString>
#include <functional>

class QTextDocument;

// Small documents that show one kind of formatting each, for writers and readers tested as
// pairs: what is written and read back must show the same.
using Build = std::function<void(QTextDocument&)>;

struct SampleDocument
{
    const char* name;
    Build build;
    // Whether the formatting of empty paragraphs' marks is part of the sample.
    bool emptyMarks = false;
};

QList<SampleDocument> sampleDocuments();

// A letter as a person makes it with the toolbar: bold and centred title, colour, a link, a
// bulleted and a numbered list, a picture, text beyond Windows-1252.
void buildLetter(QTextDocument& doc);

// A picture of the given size with a gradient, so that its pixels tell where they are.
QImage gradientPicture(int width, int height);
