#pragma once

#include <QList>
#include <QObject>

class QAction;
class QMenu;

namespace lw {

// The documents last opened or saved, numbered at the end of the File menu and renewed each time
// the menu opens, so that they are those of the program's settings.
class RecentFilesMenu : public QObject
{
    Q_OBJECT
public:
    explicit RecentFilesMenu(QMenu* fileMenu);

    void refresh();
    // The entries now in the menu, first to last.
    const QList<QAction*>& entries() const { return items; }

signals:
    void chosen(const QString& path);

private:
    QMenu* menu;
    QAction* separator = nullptr;
    QList<QAction*> items;
};

} // namespace lw
