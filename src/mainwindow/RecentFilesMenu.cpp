#include "mainwindow/RecentFilesMenu.h"

#include "editor/RecentFiles.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace lw {

RecentFilesMenu::RecentFilesMenu(QMenu* fileMenu) : QObject(fileMenu), menu(fileMenu)
{
    connect(menu, &QMenu::aboutToShow, this, &RecentFilesMenu::refresh);
    refresh();
}

void RecentFilesMenu::refresh()
{
    for (QAction* item : std::as_const(items))
        delete item;
    items.clear();
    delete separator;
    separator = nullptr;
    const QStringList files = RecentFiles::files();
    if (files.isEmpty())
        return;
    separator = menu->addSeparator();
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        QString name = QFileInfo(path).fileName();
        name.replace(u'&', QStringLiteral("&&"));
        auto* item = menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(name));
        item->setData(QStringLiteral("Recent%1").arg(i + 1));
        item->setToolTip(QDir::toNativeSeparators(path));
        item->setStatusTip(QDir::toNativeSeparators(path));
        item->setProperty("path", path);
        connect(item, &QAction::triggered, this, [this, path] { emit chosen(path); });
        items.append(item);
    }
}

} // namespace lw
