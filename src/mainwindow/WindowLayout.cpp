#include "mainwindow/WindowLayout.h"

#include <QtGlobal>

namespace lw {

namespace {

void setSize(int& target, int value)
{
    if (value >= 0)
        target = value;
}

} // namespace

WindowLayout placeEditor(WindowLayout l)
{
    l.editor.left = l.libraryPanel.width;
    setSize(l.editor.width, l.outerWidth - l.libraryPanel.width - 150);
    setSize(l.editor.height, l.outerHeight - l.menuBar.height - l.statusBar.height - 800);
    return l;
}

WindowLayout applyResizeRules(WindowLayout l, const ScreenArea& screen, WindowState state)
{
    if (state == WindowState::Normal) {
        if (l.outerHeight < minimumOuterHeight)
            l.outerHeight = minimumOuterHeight;
        if (l.outerWidth < minimumOuterWidth)
            l.outerWidth = minimumOuterWidth;
        // Never larger than the screen: its caption, menus or status bar would be out of reach
        // (a small or scaled screen).
        if (screen.width > 0)
            l.outerWidth = qMin(l.outerWidth, screen.width);
        if (screen.height > 0)
            l.outerHeight = qMin(l.outerHeight, screen.height);
        l.left = screen.left + (screen.width - l.outerWidth) / 2;
        l.top = screen.top + (screen.height - l.outerHeight) / 2;
    }
    setSize(l.divider.width, l.outerWidth - l.libraryPanel.width);
    l.divider.top = l.menuBar.top + l.menuBar.height;
    l.searchPanel.top = l.divider.top + l.divider.height + 100;
    setSize(l.searchPanel.width, l.outerWidth - l.libraryPanel.width - 300);
    setSize(l.searchFrame.width, l.searchPanel.width);
    setSize(l.searchBox.width, l.searchFrame.width - 1800);
    l.searchButton.left = l.searchBox.left + l.searchBox.width + 100;
    setSize(l.editor.width, l.searchFrame.width - 50);
    l.editor.top = l.searchPanel.top + l.searchPanel.height + 150;
    l.editor.left = l.searchPanel.left;
    setSize(l.editor.height,
            l.outerHeight - l.searchBox.height - l.menuBar.height - l.statusBar.height - 1600);
    return l;
}

} // namespace lw
