#pragma once

#include "library/DataFile.h"

#include <QString>
#include <optional>

namespace lw {

// The library's state shared by the windows for the whole run.
struct ModMain
{
    QString DataFilePath;
    QString ConnectionString;
    // The file this run restored or took up, the only one it marks at the end.
    std::optional<datafile::FileIdentity> DataFileIdentity;
    // True while the start-up fill runs: the selection handlers then do nothing.
    bool Loading = false;
    QString SearchText;
    // Row count of the last letter or favourites list fill.
    qint64 LetterCount = 0;
    // Handed back by the add-letter dialog.
    QString NewTitle;
    QString NewBody;
    // The selected letter's file, found by the last Save lookup.
    QString LetterFilePath;
    QString MoveTitle;
};

ModMain& modMain();

} // namespace lw
