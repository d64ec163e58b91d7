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

MsgAnswer message(QWidget* parent, const QString& text, const QString& title, MsgButtons buttons,
                  MsgIcon icon)
{
    return installed.messages->show(parent, text, title, buttons, icon);
}

} // namespace lw
