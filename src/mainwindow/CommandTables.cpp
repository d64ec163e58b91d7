#include "mainwindow/CommandTables.h"

#include <string_view>

namespace lw {

namespace {

constexpr MenuDefinition menus[] = {
    {"mnuFile", "&File", true},      {"mnuEdit", "&Edit", false}, {"mnuInsert", "&Insert", false},
    {"mnuFormat", "F&ormat", false}, {"mnuHelp", "&Help", true},
};

constexpr MenuEntryDefinition separator(const char* menuKey)
{
    return {menuKey, nullptr, "", "", -1, -1, true};
}

constexpr MenuEntryDefinition menuEntries[] = {
    {"mnuFile", "Open", "&Open", "Ctrl+O", 23, -1, true},
    separator("mnuFile"),
    {"mnuFile", "Save", "&Save", "Ctrl+S", 45, -1, true},
    {"mnuFile", "SaveAs", "Save &As...", "", -1, -1, true},
    separator("mnuFile"),
    {"mnuFile", "PageSetup", "Page Set&up", "", 29, -1, true},
    {"mnuFile", "PrintSetup", "P&rint Setup", "", -1, -1, true},
    {"mnuFile", "PrintPreview", "Print Pre&view", "", -1, -1, true},
    {"mnuFile", "Print", "&Print...", "Ctrl+P", 28, -1, true},
    {"mnuFile", "ExportPdf", "&Export as PDF...", "", -1, -1, true},
    {"mnuFile", "MailMerge", "&Mail Merge...", "", -1, -1, true},
    separator("mnuFile"),
    {"mnuFile", "Exit", "E&xit", "Ctrl+Q", -1, -1, true},

    {"mnuEdit", "Undo", "&Undo", "Ctrl+Z", 26, -1, true},
    separator("mnuEdit"),
    {"mnuEdit", "Cut", "Cu&t", "Ctrl+X", 36, 57, true},
    {"mnuEdit", "Copy", "&Copy", "Ctrl+C", 37, 58, true},
    {"mnuEdit", "Paste", "&Paste", "Ctrl+V", 38, 59, true},
    separator("mnuEdit"),
    {"mnuEdit", "Delete", "&Delete", "Del", 35, -1, true},
    {"mnuEdit", "SelectAll", "Select &All", "Ctrl+A", -1, -1, true},
    separator("mnuEdit"),
    {"mnuEdit", "Find", "&Find...", "Ctrl+F", 22, -1, true},
    {"mnuEdit", "FindNext", "Find &Next", "F3", -1, -1, false},
    {"mnuEdit", "Replace", "&Replace...", "", 8, -1, true},
    {"mnuEdit", "GoTo", "&Go To...", "Ctrl+G", 42, -1, true},
    separator("mnuEdit"),
    {"mnuEdit", "File_Manager", "File &Manager", "", 13, -1, true},
    {"mnuEdit", "Sender_Details", "Sender Detai&ls...", "", 75, -1, true},

    {"mnuInsert", "DateTime", "Date and &Time", "", -1, -1, true},
    {"mnuInsert", "Symbol", "&Symbol", "", 44, -1, true},
    separator("mnuInsert"),
    {"mnuInsert", "Picture", "&Picture", "", 3, -1, true},
    {"mnuInsert", "TextFile", "Text &File...", "", 16, -1, true},
    separator("mnuInsert"),
    {"mnuInsert", "FillFields", "Fi&ll Fields...", "Ctrl+Shift+F", 74, -1, true},
    {"mnuInsert", "NextField", "&Next Field", "F4", -1, -1, true},
    {"mnuInsert", "PreviousField", "Pre&vious Field", "Shift+F4", -1, -1, true},

    {"mnuFormat", "Font", "&Font...", "Ctrl+1", 2, -1, true},
    {"mnuFormat", "Bullet", "&Bullet", "Ctrl+2", 55, -1, true},
    separator("mnuFormat"),
    {"mnuFormat", "To_Upper_Case", "To &Upper Case", "Ctrl+4", -1, -1, true},
    {"mnuFormat", "To_Lower_Case", "To &Lower Case", "Ctrl+5", -1, -1, true},
    separator("mnuFormat"),
    {"mnuFormat", "Increase_Indent", "&Increase Indent", "Ctrl+6", 47, -1, true},
    {"mnuFormat", "Decrease_Indent", "&Decrease Indent", "Ctrl+7", 46, -1, true},
    separator("mnuFormat"),
    {"mnuFormat", "Spelling_Language", "Spelling Lan&guage", "", -1, -1, true,
     MenuEntryKind::Submenu},
    {"mnuFormat", "Check_Spelling", "Check &Spelling as You Type", "", -1, -1, true,
     MenuEntryKind::Check},

    {"mnuHelp", "Support", "Technical &Support", "", 17, -1, true},
    separator("mnuHelp"),
    {"mnuHelp", "Help", "&Help", "F1", 33, -1, true},
};

constexpr MenuEntryDefinition popupEntries[] = {
    {popupMenuKey, "Undo", "&Undo", "Ctrl+Z", 26, -1, true},
    separator(popupMenuKey),
    {popupMenuKey, "Cut", "Cu&t", "Ctrl+X", 36, 57, true},
    {popupMenuKey, "Copy", "&Copy", "Ctrl+C", 37, 58, true},
    {popupMenuKey, "Paste", "&Paste", "Ctrl+V", 38, 59, true},
    separator(popupMenuKey),
    {popupMenuKey, "Delete", "&Delete", "Del", 35, -1, true},
    {popupMenuKey, "SelectAll", "Select &All", "Ctrl+A", -1, -1, true},
    separator(popupMenuKey),
    {popupMenuKey, "Find", "&Find...", "Ctrl+F", 22, -1, true},
    {popupMenuKey, "Replace", "&Replace...", "", 8, -1, true},
    {popupMenuKey, "GoTo", "&Go To...", "Ctrl+G", 42, -1, true},
};

constexpr ToolDefinition toolSeparator{nullptr, ToolKind::Separator, "", -1, -1, true};

// Every button is a plain action: the toolbar never shows a state of the text (a pressed Bold
// over plain text would lie).
constexpr ToolDefinition button(const char* key, const char* tooltip, int picture,
                                int disabledPicture, bool enabled)
{
    return {key, ToolKind::Button, tooltip, picture, disabledPicture, enabled};
}

constexpr ToolDefinition tools[] = {
    button("OPEN", "Open", 23, -1, true),
    button("SAVE", "Save", 45, -1, true),
    button("PRINT", "Print", 28, -1, true),
    toolSeparator,
    button("CUT", "Cut", 36, 57, false),
    button("COPY", "Copy", 37, 58, false),
    button("PASTE", "Paste", 38, 59, false),
    toolSeparator,
    {fontToolKey, ToolKind::Host, "", -1, -1, true},
    {fontSizeToolKey, ToolKind::Host, "", -1, -1, true},
    {fontColorToolKey, ToolKind::Color, "Font Color", 56, 63, false},
    toolSeparator,
    button("BOLD", "Bold", 48, 68, false),
    button("ITALIC", "Italic", 49, 69, false),
    button("UNDERLINE", "Underline", 50, 70, false),
    toolSeparator,
    button("LJUSTIFY", "Left Justify", 51, 71, false),
    button("CJUSTIFY", "Center Justify", 52, 72, false),
    button("RJUSTIFY", "Right Justify", 53, 73, false),
    toolSeparator,
    button("NUMBERING", "Numbers", 54, 62, false),
    button("BULLETS", "Bullets", 55, 61, false),
    button("DECREASEINDENT", "Decrease Indent", 46, 65, false),
    button("INCREASEINDENT", "Increase Indent", 47, 66, false),
    toolSeparator,
    button("TRANSLATE", "Translate", 44, 67, false),
    toolSeparator,
    button("FILLFIELDS", "Fill Fields", 74, -1, true),
};

constexpr struct
{
    const char* key;
    const char* shortcut;
} toolShortcuts[] = {
    {"BOLD", "Ctrl+B"},     {"ITALIC", "Ctrl+I"},   {"UNDERLINE", "Ctrl+U"},
    {"LJUSTIFY", "Ctrl+L"}, {"CJUSTIFY", "Ctrl+E"}, {"RJUSTIFY", "Ctrl+R"},
};

constexpr const char* fontSizes[] = {"8",  "9",  "10", "11", "12", "14", "16", "18",
                                     "20", "22", "24", "26", "28", "32", "48", "72"};

constexpr const char* editingTools[] = {
    "CUT",       "COPY",      "PASTE",          "FONT_COLOR",    "BOLD",
    "ITALIC",    "UNDERLINE", "LJUSTIFY",       "CJUSTIFY",      "RJUSTIFY",
    "NUMBERING", "BULLETS",   "DECREASEINDENT", "INCREASEINDENT"};

constexpr const char* editingMenus[] = {"mnuEdit", "mnuInsert", "mnuFormat"};

} // namespace

std::span<const MenuDefinition> menuDefinitions()
{
    return menus;
}

std::span<const MenuEntryDefinition> menuEntryDefinitions()
{
    return menuEntries;
}

std::span<const MenuEntryDefinition> popupEntryDefinitions()
{
    return popupEntries;
}

std::span<const ToolDefinition> toolDefinitions()
{
    return tools;
}

std::span<const char* const> fontSizeEntries()
{
    return fontSizes;
}

const char* toolShortcut(const char* toolKey)
{
    for (const auto& entry : toolShortcuts) {
        if (toolKey && std::string_view(entry.key) == toolKey)
            return entry.shortcut;
    }
    return "";
}

std::span<const char* const> editingToolKeys()
{
    return editingTools;
}

std::span<const char* const> editingMenuKeys()
{
    return editingMenus;
}

} // namespace lw
