// Builds the letter library from its text sources, and exports a library back into them.
#include "library/LibrarySource.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

int usage()
{
    QTextStream(stderr) << "usage: letterwright-library build SOURCE_DIR DATA_FILE LETTER_DIR\n"
                           "       letterwright-library export DATA_FILE OUTPUT_DIR\n";
    return 2;
}

int failed(const QString& error)
{
    QTextStream(stderr) << "letterwright-library: " << error << '\n';
    return 1;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    QString error;
    if (args.size() == 4 && args.at(0) == QLatin1String("build")) {
        if (!lw::librarysource::build(args.at(1), args.at(2), args.at(3), &error))
            return failed(error);
        return 0;
    }
    if (args.size() == 3 && args.at(0) == QLatin1String("export")) {
        const auto contents = lw::readLibraryFile(args.at(1), &error);
        if (!contents || !lw::librarysource::write(*contents, args.at(2), &error))
            return failed(error);
        return 0;
    }
    return usage();
}
