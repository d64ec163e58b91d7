// Reads about 1 MB of generated, formatted RTF and prints how long it takes: into a bare
// document, and into the document of a visible QTextEdit, whose layout is included.
#include "rtf/RtfReader.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QElapsedTimer>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

QByteArray formattedRtf(qsizetype targetSize)
{
    QByteArray rtf = R"({\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0\fswiss\fcharset0 Arial;})"
                     R"({\f1\froman\fcharset0 Times New Roman;}{\f2\fnil\fcharset204 Arial;}})"
                     R"({\colortbl;\red0\green0\blue0;\red200\green0\blue0;\red0\green0\blue160;})"
                     R"({\stylesheet{\s0\fs22 Normal;}{\s1\sbasedon0\b\fs32\sb240\sa120 Heading;}})"
                     R"({\*\listtable{\list{\listlevel\levelnfc23{\leveltext \'01\u8226 ?;}})"
                     R"({\listlevel\levelnfc0{\leveltext \'02\'01.;}}\listid1}})"
                     R"({\listoverridetable{\listoverride\listid1\ls1}})"
                     "\n";
    const char* words[] = {"invoice", "payment", "delivery", "contract", "customer",
                           "order",   "balance", "reminder", "account",  "schedule"};
    int paragraph = 0;
    while (rtf.size() < targetSize) {
        if (paragraph % 25 == 0)
            rtf += R"(\pard\plain\s1 Section heading \u8364\'80 )" + QByteArray::number(paragraph) +
                   R"(\par)"
                   "\n";
        if (paragraph % 7 < 3)
            rtf += R"(\pard\plain\fs22\ls1\ilvl)" + QByteArray::number(paragraph % 2) + " ";
        else
            rtf += R"(\pard\plain\fs22\qj\li360\ri360\fi-180\sa120 )";
        for (int word = 0; word < 60; ++word) {
            const QByteArray text = words[(paragraph * 7 + word) % 10];
            switch (word % 9) {
            case 1:
                rtf += R"({\b )" + text + "} ";
                break;
            case 3:
                rtf += R"({\i\cf2 )" + text + "} ";
                break;
            case 5:
                rtf += R"({\f1\ul )" + text + R"(\'e9} )";
                break;
            case 7:
                rtf += R"({\f2\'cf\'f0\'e8\'e2\'e5\'f2 \u8211\'96 )" + text + "} ";
                break;
            default:
                rtf += text + " ";
                break;
            }
        }
        rtf += R"(\par)"
               "\n";
        ++paragraph;
    }
    return rtf + "}";
}

// The best and the median of several runs, in milliseconds.
void measure(const char* what, int runs, const std::function<void()>& run)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    std::printf("%-40s best %8.1f ms   median %8.1f ms   (%d runs)\n", what, times.front(),
                times[times.size() / 2], runs);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QByteArray rtf = formattedRtf(1024 * 1024);
    {
        QTextDocument document;
        QTextCursor cursor(&document);
        lw::readRtf(rtf, cursor);
        std::printf("input: %lld bytes of RTF, %d paragraphs, %d characters\n",
                    static_cast<long long>(rtf.size()), document.blockCount(),
                    document.characterCount());
    }

    measure("read into a document", 7, [&] {
        QTextDocument document;
        QTextCursor cursor(&document);
        lw::readRtf(rtf, cursor);
    });
    measure("read into a visible editor, with layout", 3, [&] {
        QTextEdit editor;
        editor.resize(800, 600);
        editor.show();
        QTextCursor cursor(editor.document());
        lw::readRtf(rtf, cursor);
        editor.document()->documentLayout()->documentSize();
    });
    return 0;
}
