#include "app/Letterwright.h"
#include "editor/RichTextBox.h"
#include "mainwindow/frmMail.h"
#include "platform/FileShell.h"
#include "platform/QtServices.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Letterwright"));
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

    lw::Letterwright program;
    if (!program.StartUp())
        return application.terminated() ? 1 : 0;
    lw::frmMail* window = program.mainWindow();
    window->show();
    // Without a window manager (a bare X server) nobody else makes the window active.
    window->activateWindow();
    window->RTB->setFocus();
    return QApplication::exec();
}
