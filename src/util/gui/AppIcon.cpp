#include "AppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tarvik {

namespace {

QPixmap Draw(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);

    QPainterPath shield;
    shield.moveTo(32, 3);
    shield.lineTo(57, 12);
    shield.cubicTo(57, 38, 46, 52, 32, 61);
    shield.cubicTo(18, 52, 7, 38, 7, 12);
    shield.closeSubpath();
    painter.setPen(QPen(QColor(40, 10, 10), 2.5));
    painter.setBrush(QColor(150, 24, 24));
    painter.drawPath(shield);

    // Two crossed blades.
    painter.setPen(QPen(QColor(235, 225, 200), 5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(20, 18), QPointF(44, 46));
    painter.drawLine(QPointF(44, 18), QPointF(20, 46));
    painter.setPen(QPen(QColor(230, 180, 60), 4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(16, 44), QPointF(24, 36));
    painter.drawLine(QPointF(48, 44), QPointF(40, 36));
    return pixmap;
}

} // namespace

QIcon AppIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(Draw(size));
    return icon;
}

} // namespace tarvik
