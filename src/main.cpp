#include "app/Letterwright.h"
#include "editor/LetterEditor.h"
#include "mainwindow/MainWindow.h"
#include "platform/FileShell.h"
#include "platform/FreedMemoryKept.h"
#include "platform/ProgramIcon.h"
#include "platform/QtServices.h"

#include <QApplication>
#include <QFileInfo>
#include <cstdio>
#include <cstring>

namespace {

const char usage[] =
    "Usage: letterwright [options] [files...]\n"
    "Writes business letters from a library of ready-made letters.\n"
    "\n"
    "Options:\n"
    "  -h, --help     Shows this help.\n"
    "  -v, --version  Shows the version.\n"
    "\n"
    "Arguments:\n"
    "  files          A document to open: a text, Rich Text or OpenDocument\n"
    "                 file. When Letterwright runs already, it opens the document.\n";

} // namespace

int main(int argc, char* argv[])
{
    // Answered before any window system or library is touched, so that they work anywhere.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0 || std::strcmp(argv[i], "-v") == 0) {
            std::printf("Letterwright %s\n", LW_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(usage, stdout);
            return 0;
        }
    }

    lw::FreedMemoryKept::mapLargeBlocksApart();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Letterwright"));
    // Matches the desktop entry, so that the desktop groups the windows under its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("letterwright"));
    QApplication::setWindowIcon(lw::programIcon());
    lw::QtMessageService messages;
    lw::QtDialogService dialogs;
    lw::FileShell shell(lw::showCopyProgress);
    lw::QtDesktopService desktop;
    lw::QtPrinterService printers;
    lw::QtClockService clock;
    lw::QtApplicationService application;
    lw::QtProgressService progress;
    lw::installServices(
        {&messages, &dialogs, &shell, &desktop, &printers, &clock, &application, &progress});

    // Absolute, so that an instance already running elsewhere finds them.
    QStringList files;
    const QStringList arguments = QApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i)
        files.append(QFileInfo(arguments.at(i)).absoluteFilePath());

    lw::Letterwright program;
    if (!program.StartUp(files))
        return application.exitCode();
    lw::MainWindow* window = program.mainWindow();
    window->show();
    // Without a window manager (a bare X server) nobody else makes the window active.
    window->activateWindow();
    window->RTB->setFocus();
    program.openStartFiles();
    return QApplication::exec();
}
