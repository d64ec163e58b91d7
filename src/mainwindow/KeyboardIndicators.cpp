#include "mainwindow/KeyboardIndicators.h"

#include <QGuiApplication>

#ifdef LW_HAVE_XKB
#include <X11/XKBlib.h>
#endif

namespace lw {

#ifdef LW_HAVE_XKB

namespace {

// Indicators are looked up by name: their numbering depends on the keymap.
std::optional<bool> namedIndicator(Display* display, const char* name)
{
    const Atom atom = XInternAtom(display, name, True);
    if (atom == 0)
        return std::nullopt;
    Bool on = False;
    if (!XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr))
        return std::nullopt;
    return on != False;
}

} // namespace

KeyboardIndicators KeyboardIndicators::read()
{
    const auto* x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return {};
    return {namedIndicator(display, "Num Lock"), namedIndicator(display, "Caps Lock"),
            namedIndicator(display, "Scroll Lock")};
}

#else

KeyboardIndicators KeyboardIndicators::read()
{
    return {};
}

#endif

} // namespace lw
