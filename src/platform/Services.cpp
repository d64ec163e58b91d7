#include "platform/Services.h"

namespace lw {

namespace {
Services installed;
}

Services& services()
{
    return installed;
}

void installServices(const Services& s)
{
    installed = s;
}

PrinterSettings printerSettingsOf(const QPrinter& printer)
{
    PrinterSettings settings;
    settings.printerName = printer.printerName();
    settings.copies = printer.copyCount();
    settings.duplex = printer.duplex();
    settings.orientation = printer.pageLayout().orientation();
    settings.pageSize = printer.pageLayout().pageSize();
    settings.resolution = printer.resolution();
    settings.colorMode = printer.colorMode();
    settings.paperSource = printer.paperSource();
    return settings;
}

MsgAnswer message(QWidget* parent, const QString& text, const QString& title, MsgButtons buttons,
                  MsgIcon icon)
{
    return installed.messages->show(parent, text, title, buttons, icon);
}

} // namespace lw
