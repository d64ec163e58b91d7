#pragma once

#include <span>

// The menus, the toolbar band and the popup of the main window as data: the keys the command
// dispatcher acts on, and the captions, shortcuts and pictures the user sees.
namespace lw {

struct MenuDefinition
{
    const char* key;
    const char* caption; // "&" marks the mnemonic
    bool enabled;
};

enum class MenuEntryKind { Item, Check, Submenu };

// An item of a menu, or a separator when `key` is null. A submenu's items name its key as
// their menu key.
struct MenuEntryDefinition
{
    const char* menuKey;
    const char* key;
    const char* caption;
    const char* shortcut; // portable text ("Ctrl+O", "Del", "F3"); empty for none
    int picture;          // index into the picture table, -1 for none
    int disabledPicture;  // the greyed copy shown while disabled, -1 for none
    bool enabled;
    MenuEntryKind kind = MenuEntryKind::Item;
};

enum class ToolKind { Button, Separator, Color, Host };

struct ToolDefinition
{
    const char* key; // null for a separator
    ToolKind kind;
    const char* tooltip;
    int picture;
    int disabledPicture;
    bool enabled; // for a host: the tool itself; the hosted control starts disabled
};

inline constexpr const char* toolbarBandKey = "Band6";
inline constexpr const char* popupMenuKey = "mnuDropMenu1";
inline constexpr const char* spellingLanguageMenuKey = "Spelling_Language";
inline constexpr const char* fontToolKey = "CBOFONT";
inline constexpr const char* fontSizeToolKey = "CBOFONTSIZE";
inline constexpr const char* fontColorToolKey = "FONT_COLOR";
// Pure red, as 0x00BBGGRR.
inline constexpr unsigned fontColorAtStart = 255;
inline constexpr const char* fontAtStart = "Tahoma";
inline constexpr int fontSizeIndexAtStart = 2;

std::span<const MenuDefinition> menuDefinitions();
// The entries of every menu, menu by menu in the order of menuDefinitions().
std::span<const MenuEntryDefinition> menuEntryDefinitions();
std::span<const MenuEntryDefinition> popupEntryDefinitions();
std::span<const ToolDefinition> toolDefinitions();
std::span<const char* const> fontSizeEntries();

// Keys of the toolbar buttons that no menu item offers, as word processors have them; empty for
// a tool without one.
const char* toolShortcut(const char* toolKey);

// What the first focus of the editor switches on, in this order. Translate has no command and
// stays disabled.
std::span<const char* const> editingToolKeys();
std::span<const char* const> editingMenuKeys();

} // namespace lw
