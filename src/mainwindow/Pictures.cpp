#include "mainwindow/Pictures.h"

#include <QStandardPaths>
#include <QStringList>

#include <algorithm>
#include <iterator>

namespace lw::pictures {

namespace {

struct Picture
{
    int index;
    const char* iconName;
};

// Sorted by index.
constexpr Picture table[] = {
    {2, "preferences-desktop-font"},
    {3, "insert-image"},
    {8, "edit-find-replace"},
    {13, "system-file-manager"},
    {16, "insert-text"},
    {17, "mail-message-new"},
    {22, "edit-find"},
    {23, "document-open"},
    {26, "edit-undo"},
    {28, "document-print"},
    {29, "document-properties"},
    {33, "help-contents"},
    {35, "edit-delete"},
    {36, "edit-cut"},
    {37, "edit-copy"},
    {38, "edit-paste"},
    {42, "go-jump"},
    {44, "format-text-symbol"},
    {45, "document-save"},
    {46, "format-indent-less"},
    {47, "format-indent-more"},
    {48, "format-text-bold"},
    {49, "format-text-italic"},
    {50, "format-text-underline"},
    {51, "format-justify-left"},
    {52, "format-justify-center"},
    {53, "format-justify-right"},
    {54, "format-list-ordered"},
    {55, "format-list-unordered"},
    {56, "format-text-color"},
    {57, "edit-cut"},
    {58, "edit-copy"},
    {59, "edit-paste"},
    {61, "format-list-unordered"},
    {62, "format-list-ordered"},
    {63, "format-text-color"},
    {65, "format-indent-less"},
    {66, "format-indent-more"},
    {67, "format-text-symbol"},
    {68, "format-text-bold"},
    {69, "format-text-italic"},
    {70, "format-text-underline"},
    {71, "format-justify-left"},
    {72, "format-justify-center"},
    {73, "format-justify-right"},
    {74, "view-form"},
    {75, "user-identity"},
};

} // namespace

QString iconName(int index)
{
    const auto* found = std::lower_bound(std::begin(table), std::end(table), index,
                                         [](const Picture& p, int i) { return p.index < i; });
    if (found == std::end(table) || found->index != index)
        return {};
    return QString::fromLatin1(found->iconName);
}

QIcon icon(int index)
{
    const QString name = iconName(index);
    return name.isEmpty() ? QIcon() : QIcon::fromTheme(name);
}

void useIconTheme()
{
    // Platforms without a desktop theme (offscreen, minimal) search no icon folders at all.
    QStringList searchPaths = QIcon::themeSearchPaths();
    const QStringList folders =
        QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
                                  QStandardPaths::LocateDirectory);
    for (const QString& folder : folders) {
        if (!searchPaths.contains(folder))
            searchPaths.append(folder);
    }
    QIcon::setThemeSearchPaths(searchPaths);

    const QString breeze = QStringLiteral("breeze");
    const QString theme = QIcon::themeName();
    if (theme.isEmpty() || theme == QLatin1String("hicolor"))
        QIcon::setThemeName(breeze);
    QIcon::setFallbackThemeName(breeze);
}

} // namespace lw::pictures
