#include "platform/QtServices.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    lw::QtMessageService messages;
    lw::QtDialogService dialogs;
    lw::QtDesktopService desktop;
    lw::QtPrinterService printers;
    lw::QtClockService clock;
    lw::QtApplicationService application;
    lw::installServices(
        {&messages, &dialogs, nullptr, &desktop, &printers, &clock, &application});
    return 0;
}
