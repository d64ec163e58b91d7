#include "app/SplashScreen.h"

#include "platform/Accessibility.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

namespace lw {

namespace {
constexpr int majorVersion = 6;
constexpr int minorVersion = 7;
} // namespace

SplashScreen::SplashScreen(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("SplashScreen"));
    accessibility::announceWindows();
    // What the artwork says, for a screen reader.
    setAccessibleName(QStringLiteral("Letterwright"));
    setAccessibleDescription(QStringLiteral("Brightquill business letters"));
    setFixedSize(480, 280);
    lblVersion = new QLabel(this);
    lblVersion->setText(QStringLiteral("Version %1.%2").arg(majorVersion).arg(minorVersion));
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(9);
    lblVersion->setFont(font);
    lblVersion->setStyleSheet(QStringLiteral("color: #f4efe2;"));
    lblVersion->setGeometry(32, 236, 200, 20);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void SplashScreen::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, width(), height());
    sky.setColorAt(0, QColor(0x1d, 0x3b, 0x5a));
    sky.setColorAt(1, QColor(0x0d, 0x1f, 0x33));
    p.fillRect(rect(), sky);

    // A sheet of letter paper with a few written lines.
    p.save();
    p.translate(330, 60);
    p.rotate(-6);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawRect(6, 6, 110, 150);
    p.setBrush(QColor(0xfb, 0xf8, 0xf0));
    p.drawRect(0, 0, 110, 150);
    p.setPen(QPen(QColor(0x9a, 0xa8, 0xb8), 2));
    for (int y = 30; y < 140; y += 14)
        p.drawLine(14, y, y % 28 ? 96 : 70, y);
    p.restore();

    // The quill.
    QPainterPath quill;
    quill.moveTo(300, 220);
    quill.cubicTo(330, 150, 390, 80, 450, 40);
    quill.cubicTo(420, 110, 370, 170, 300, 220);
    p.setPen(QPen(QColor(0xd9, 0xb8, 0x6a), 1.5));
    p.setBrush(QColor(0xf0, 0xd9, 0x9c, 220));
    p.drawPath(quill);
    p.drawLine(QPointF(300, 220), QPointF(286, 240));

    p.setPen(QColor(0xf4, 0xef, 0xe2));
    QFont title(QStringLiteral("Verdana"));
    title.setPointSize(26);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRect(30, 70, 300, 50), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Letterwright"));
    QFont subtitle(QStringLiteral("Verdana"));
    subtitle.setPointSize(11);
    p.setFont(subtitle);
    p.setPen(QColor(0xd9, 0xb8, 0x6a));
    p.drawText(QRect(32, 118, 300, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Brightquill business letters"));
}

} // namespace lw
