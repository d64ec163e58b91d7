#pragma once

#include <QColor>
#include <QIcon>
#include <QObject>

class QAction;
class QMenu;
class QWidget;

namespace lw {

// The toolbar's colour tool: the button shows its colour as a bar under its picture; a click
// gives that colour, and its arrow opens a menu of common colours and "More Colors...", which
// asks for any colour through the colour dialog service. A colour chosen there becomes the
// button's colour.
class ColorTool : public QObject
{
    Q_OBJECT
public:
    ColorTool(const QIcon& picture, const QString& tooltip, QWidget* dialogParent,
              QObject* parent = nullptr);

    QAction* action() const { return button; }
    QMenu* menu() const { return choices; }
    QAction* moreColorsAction() const { return more; }

    // Colours as 0x00BBGGRR.
    quint32 color() const;
    void setColor(quint32 bgr);

    static quint32 toBgr(const QColor& color);
    static QColor fromBgr(quint32 bgr);

signals:
    void clicked();
    void colorChosen(quint32 bgr);

private:
    void choose(const QColor& color);
    void chooseInDialog();
    void updateIcon();

    QIcon picture;
    QColor current;
    QWidget* dialogParent;
    QAction* button;
    QMenu* choices;
    QAction* more;
};

} // namespace lw
