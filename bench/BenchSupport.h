#pragma once

// What every benchmark shares: timing as the best of several rounds, a checksum of a document's
// text and formats, and the rows that scripts/bench gathers into one table.

#include <QBuffer>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDataStream>
#include <QElapsedTimer>
#include <QHash>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextList>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <limits>
#include <string>
#include <time.h>

namespace bench {

// This process's processor time in milliseconds. The benchmarks count processor time rather
// than the clock on the wall: on a machine shared with other work, the wall clock measures the
// others too.
inline double processorMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// The least processor time of `rounds` runs of `work`, in milliseconds; `prepare` runs before
// each round, outside the measurement.
inline double bestOf(int rounds, const std::function<void()>& work,
                     const std::function<void()>& prepare = {})
{
    double best = std::numeric_limits<double>::max();
    for (int round = 0; round < rounds; ++round) {
        if (prepare)
            prepare();
        const double start = processorMilliseconds();
        work();
        best = std::min(best, processorMilliseconds() - start);
    }
    return best;
}

inline QString milliseconds(double ms)
{
    return ms < 10 ? QStringLiteral("%1 ms").arg(ms, 0, 'f', 2)
                   : QStringLiteral("%1 ms").arg(ms, 0, 'f', 0);
}

inline QString megabytes(double mb)
{
    return QStringLiteral("%1 MB").arg(mb, 0, 'f', 1);
}

// One row of the table: printed for a reader, and as a "ROW|" line that scripts/bench collects.
inline bool row(const QString& work, const QString& ours, const QString& baseline, double ratio,
                const QString& target, bool pass)
{
    QTextStream out(stdout);
    out << QStringLiteral("%1\n    ours %2, baseline %3, ratio %4, target %5: %6\n")
               .arg(work, ours, baseline, QString::number(ratio, 'f', 2), target,
                    pass ? QStringLiteral("pass") : QStringLiteral("FAIL"));
    out << "ROW|" << work << '|' << ours << '|' << baseline << '|' << QString::number(ratio, 'f', 2)
        << '|' << target << '|' << (pass ? "pass" : "FAIL") << '\n';
    out.flush();
    return pass;
}

// A row whose target is a ratio to the baseline.
inline bool ratioRow(const QString& work, double oursMs, double baselineMs, double target,
                     const QString& baselineName)
{
    const double ratio = oursMs / baselineMs;
    return row(work, milliseconds(oursMs),
               QStringLiteral("%1 %2").arg(baselineName, milliseconds(baselineMs)), ratio,
               QStringLiteral("<= %1x").arg(target), ratio <= target);
}

// A row whose target is a time; the ratio compares it with the baseline.
inline bool timeRow(const QString& work, double oursMs, double baselineMs, double limitMs,
                    const QString& baselineName)
{
    return row(work, milliseconds(oursMs),
               QStringLiteral("%1 %2").arg(baselineName, milliseconds(baselineMs)),
               oursMs / baselineMs, QStringLiteral("<= %1").arg(milliseconds(limitMs)),
               oursMs <= limitMs);
}

// A result that differs from the old path's stops the benchmark: a fast wrong answer is no answer.
inline void requireSame(const char* what, const QByteArray& ours, const QByteArray& expected)
{
    if (ours != expected) {
        std::fprintf(stderr, "%s: the result differs from the old path's\n", what);
        std::exit(2);
    }
}

inline QByteArray formatBytes(const QTextFormat& format)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream << format;
    return bytes;
}

// A checksum of a document's text and formats: every fragment's text and character format,
// every block's format, character format and list.
inline QByteArray documentChecksum(const QTextDocument& document)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    QHash<int, QByteArray> charFormats;
    QHash<int, QByteArray> blockFormats;
    const auto charFormat = [&](int index, const QTextCharFormat& format) -> const QByteArray& {
        auto it = charFormats.find(index);
        if (it == charFormats.end())
            it = charFormats.insert(index, formatBytes(format));
        return *it;
    };
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        auto it = blockFormats.find(block.blockFormatIndex());
        if (it == blockFormats.end())
            it = blockFormats.insert(block.blockFormatIndex(), formatBytes(block.blockFormat()));
        hash.addData(*it);
        hash.addData(charFormat(block.charFormatIndex(), block.charFormat()));
        if (const QTextList* list = block.textList())
            hash.addData(formatBytes(list->format()));
        for (QTextBlock::iterator run = block.begin(); !run.atEnd(); ++run) {
            const QTextFragment fragment = run.fragment();
            const QString text = fragment.text();
            hash.addData(QByteArrayView(reinterpret_cast<const char*>(text.constData()),
                                        text.size() * qsizetype(sizeof(QChar))));
            hash.addData(charFormat(fragment.charFormatIndex(), fragment.charFormat()));
        }
        hash.addData("\n");
    }
    return hash.result().toHex();
}

// This process's resident memory: "VmRSS" now, "VmHWM" its peak; in MB.
inline double residentMegabytes(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ':';
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0)
            return std::stod(line.substr(key.size())) / 1024.0;
    }
    return 0;
}

// A letter-like text of about `size` characters: the paragraphs, short lines and blank lines of
// business letters.
inline QString letterText(qsizetype size)
{
    const QStringList paragraphs = {
        QStringLiteral("[Date]"),
        QString(),
        QStringLiteral("[Recipient Name]"),
        QStringLiteral("[Company Name]"),
        QStringLiteral("[Street Address]"),
        QString(),
        QStringLiteral("Dear Sir or Madam:"),
        QString(),
        QStringLiteral("Thank you for your letter of the fifth about the delivery of the office "
                       "chairs we ordered in March. We have checked our records and found that "
                       "the invoice was paid in full on the twelfth, as our statement shows."),
        QString(),
        QStringLiteral("Rather than a cash refund, we would welcome a credit note for the two "
                       "damaged chairs. Please let us know whether this suits your accounts "
                       "department, and when we may expect the replacements."),
        QString(),
        QStringLiteral("Sincerely,"),
        QString(),
        QStringLiteral("[Your Name]"),
        QStringLiteral("[Your Title]"),
        QString(),
    };
    QString text;
    text.reserve(size + 400);
    for (int i = 0; text.size() < size; ++i) {
        text += paragraphs.at(i % paragraphs.size());
        text += u'\n';
    }
    text.truncate(size);
    return text;
}

} // namespace bench
