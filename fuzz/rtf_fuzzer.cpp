// libFuzzer target for the RTF reader: any input must read without a crash, a hang, undefined
// behaviour or output larger than the input.
#include "rtf/RtfReader.h"

#include <QCoreApplication>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Image plugins are found through the application's library paths.
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));

    // A whole-document load.
    QTextDocument document;
    QTextCursor cursor(&document);
    lw::readRtf(input, cursor);
    // Every character read comes from at least one byte of input.
    if (document.characterCount() > qsizetype(size) + 1)
        std::abort();

    // A paste over a selection in the middle of a list item, with the input given as a QString.
    QTextDocument target;
    QTextCursor paste(&target);
    paste.insertText(QStringLiteral("before"));
    paste.insertBlock();
    paste.createList(QTextListFormat::ListDecimal);
    paste.insertText(QStringLiteral("item text"));
    paste.insertBlock();
    paste.insertText(QStringLiteral("after"));
    paste.setPosition(9);
    paste.setPosition(12, QTextCursor::KeepAnchor);
    lw::readRtf(QString::fromUtf8(input), paste);
    target.toRawText();
    return 0;
}
