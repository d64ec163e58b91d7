#include "mainwindow/ColorTool.h"

#include "mainwindow/Pictures.h"
#include "platform/Services.h"

#include <QAction>
#include <QIconEngine>
#include <QMenu>
#include <QPainter>

namespace lw {

namespace {

// Paints a colour: as a bar under a picture, or as a whole swatch when there is no picture.
// Drawn at any size, so the icon stays sharp on scaled screens.
class ColorIconEngine : public QIconEngine
{
public:
    ColorIconEngine(const QIcon& picture, const QColor& color) : picture(picture), color(color) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const QColor shown = mode == QIcon::Disabled ? QColor(0xA0, 0xA0, 0xA0) : color;
        if (picture.isNull()) {
            const QRect swatch = rect.adjusted(1, 1, -2, -2);
            painter->fillRect(swatch, shown);
            painter->setPen(QColor(0x80, 0x80, 0x80));
            painter->drawRect(swatch);
            return;
        }
        // The picture's own small design, scaled to the size asked for.
        const qreal scale = qreal(rect.width()) / pictures::size;
        painter->drawPixmap(
            rect, picture.pixmap(QSize(pictures::size, pictures::size), scale, mode, state));
        const int barHeight = qMax(2, rect.height() * 3 / 16);
        painter->fillRect(
            QRect(rect.left(), rect.bottom() + 1 - barHeight, rect.width(), barHeight), shown);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap result(size);
        result.fill(Qt::transparent);
        QPainter painter(&result);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return result;
    }

    QIconEngine* clone() const override { return new ColorIconEngine(picture, color); }
    QString iconName() override { return picture.name(); }

private:
    QIcon picture;
    QColor color;
};

struct NamedColor
{
    const char* name;
    QRgb rgb;
};

constexpr NamedColor commonColors[] = {
    {"Black", 0x000000}, {"Red", 0xFF0000},  {"Dark Red", 0x800000},  {"Orange", 0xFF8000},
    {"Green", 0x008000}, {"Blue", 0x0000FF}, {"Dark Blue", 0x000080}, {"Purple", 0x800080},
};

} // namespace

ColorTool::ColorTool(const QIcon& picture, const QString& tooltip, QWidget* dialogParent,
                     QObject* parent)
    : QObject(parent), picture(picture), current(Qt::black), dialogParent(dialogParent),
      button(new QAction(tooltip, this)), choices(new QMenu(dialogParent))
{
    button->setToolTip(tooltip);
    button->setMenu(choices);
    choices->setAccessibleName(tooltip);
    for (const NamedColor& named : commonColors) {
        const QColor color(named.rgb);
        QAction* choice = choices->addAction(QIcon(new ColorIconEngine(QIcon(), color)),
                                             QString::fromLatin1(named.name));
        connect(choice, &QAction::triggered, this, [this, color] { choose(color); });
    }
    choices->addSeparator();
    more = choices->addAction(QStringLiteral("More Colors..."));
    connect(more, &QAction::triggered, this, &ColorTool::chooseInDialog);
    // A plain click colours nothing: it only opens the choice of colours.
    connect(button, &QAction::triggered, this, &ColorTool::clicked);
    updateIcon();
}

quint32 ColorTool::color() const
{
    return toBgr(current);
}

void ColorTool::setColor(quint32 bgr)
{
    current = fromBgr(bgr);
    updateIcon();
}

quint32 ColorTool::toBgr(const QColor& color)
{
    return static_cast<quint32>(color.red()) | static_cast<quint32>(color.green()) << 8 |
           static_cast<quint32>(color.blue()) << 16;
}

QColor ColorTool::fromBgr(quint32 bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

void ColorTool::choose(const QColor& color)
{
    current = color;
    updateIcon();
    emit colorChosen(toBgr(color));
}

void ColorTool::chooseInDialog()
{
    if (const auto chosen = services().dialogs->chooseColor(dialogParent, current))
        choose(*chosen);
}

void ColorTool::updateIcon()
{
    button->setIcon(QIcon(new ColorIconEngine(picture, current)));
}

} // namespace lw
