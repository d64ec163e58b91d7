#pragma once

namespace lw {

// A control's geometry in twips, relative to its container.
struct TwipsRect
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool operator==(const TwipsRect&) const = default;
};

enum class WindowState { Normal, Minimized, Maximized };

// What the main window's resize rules read and set, in twips. The outer size and position
// include the window's frame and caption.
struct WindowLayout
{
    int outerWidth = 0;
    int outerHeight = 0;
    int left = 0;
    int top = 0;
    TwipsRect menuBar;
    TwipsRect statusBar;
    TwipsRect libraryPanel; // PicFrm
    TwipsRect divider;      // Div(1)
    TwipsRect searchPanel;  // PicFrm1
    TwipsRect searchFrame;  // F1(1)
    TwipsRect searchBox;    // testSearch
    TwipsRect searchButton; // cmdBtn(3)
    TwipsRect editor;       // RTB

    bool operator==(const WindowLayout&) const = default;
};

inline constexpr int minimumOuterWidth = 8500;
inline constexpr int minimumOuterHeight = 10500;

// The screen the window stands on, in twips.
struct ScreenArea
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The editor's place at start-up: beside the library panel, as wide and high as the window
// leaves it. A size that would be negative is left as it was.
WindowLayout placeEditor(WindowLayout layout);

// The resize rules, step by step: the minimum outer size (but no larger than the screen), the
// window centred on the screen unless maximised, then the right-hand side recomputed from the
// window size. A step that the window refuses (a minimised or maximised window is neither sized nor
// moved) or that would give a negative width or height is skipped, and the next step reads the
// value left in place.
WindowLayout applyResizeRules(WindowLayout layout, const ScreenArea& screen, WindowState state);

} // namespace lw
