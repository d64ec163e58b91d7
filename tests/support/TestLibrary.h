#pragma once

#include "library/LibraryFile.h"

#include <QByteArray>
#include <QTemporaryDir>

namespace lw::test {

// A private data home and config home in a temporary folder, holding a small letter library; the
// program finds only the tests' own spelling dictionaries meanwhile.
class TestLibrary
{
public:
    TestLibrary();
    ~TestLibrary();
    TestLibrary(const TestLibrary&) = delete;
    TestLibrary& operator=(const TestLibrary&) = delete;

    // A few subjects, categories and letters, with a quote, "%" and non-ASCII letters among them.
    static LibraryContents sample();

    // Writes the library file, marked as when the program is not running.
    void create(const LibraryContents& contents = sample());
    QString dataFilePath() const;
    QString dataHome() const { return home.path(); }
    QString configHome() const;
    // The folder of the tests' dictionaries, en_US and en_GB.
    static QString spellingFixtures();
    QByteArray bytes() const;
    // Every row of the file as it stands.
    LibraryContents contents() const;

private:
    QTemporaryDir home;
    QByteArray previousHome;
    QByteArray previousConfigHome;
};

} // namespace lw::test
