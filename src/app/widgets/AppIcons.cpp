#include "app/widgets/AppIcons.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace {

// A transparent pixmap of logical size for ratio, ready for drawing in logical pixels.
QPixmap BlankPixmap(QSize size, qreal ratio)
{
    QPixmap pixmap(static_cast<int>(std::ceil(size.width() * ratio)),
                   static_cast<int>(std::ceil(size.height() * ratio)));
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

}  // namespace

qreal DrawingPixelRatio(qreal ratio)
{
    if (ratio > 0) return ratio;
    return qGuiApp != nullptr ? std::max<qreal>(1.0, qGuiApp->devicePixelRatio()) : 1.0;
}

QPixmap DrawAppIcon(int size, qreal devicePixelRatio)
{
    QPixmap pixmap = BlankPixmap(QSize(size, size), DrawingPixelRatio(devicePixelRatio));
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);
    // Water
    painter.setPen(QPen(QColor(0x1d, 0x4e, 0x89), 2));
    painter.setBrush(QColor(0x3a, 0x86, 0xc8));
    painter.drawEllipse(QRectF(2, 2, 60, 60));
    // Fish body and tail
    QPainterPath fish;
    fish.moveTo(12, 34);
    fish.cubicTo(20, 18, 40, 18, 48, 32);
    fish.cubicTo(40, 46, 20, 46, 12, 34);
    QPainterPath tail;
    tail.moveTo(46, 32);
    tail.lineTo(58, 22);
    tail.lineTo(56, 32);
    tail.lineTo(58, 42);
    tail.closeSubpath();
    painter.setPen(QPen(QColor(0x7a, 0x3b, 0x0c), 1.5));
    painter.setBrush(QColor(0xf2, 0xa2, 0x3a));
    painter.drawPath(tail);
    painter.drawPath(fish);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(20, 31), 3, 3);
    painter.setBrush(Qt::black);
    painter.drawEllipse(QPointF(20.5, 31), 1.3, 1.3);
    // Hook line
    painter.setPen(QPen(Qt::white, 1.5));
    painter.drawLine(QPointF(32, 4), QPointF(32, 20));
    return pixmap;
}

QIcon AppIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(DrawAppIcon(size, 1.0));
    return icon;
}

QPixmap DrawToolbarImage(EToolbarImage image, qreal devicePixelRatio)
{
    QPixmap pixmap = BlankPixmap(QSize(16, 15), DrawingPixelRatio(devicePixelRatio));
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    switch (image) {
        case EToolbarImage::Exit:
            // An open door with an arrow leaving it.
            painter.setPen(QPen(QColor(0x55, 0x35, 0x15), 1));
            painter.setBrush(QColor(0xb0, 0x70, 0x30));
            painter.drawRect(QRectF(1.5, 1.5, 7, 12));
            painter.setPen(QPen(QColor(0xc0, 0x10, 0x10), 2));
            painter.drawLine(QPointF(6, 7.5), QPointF(14, 7.5));
            painter.drawLine(QPointF(11, 4.5), QPointF(14, 7.5));
            painter.drawLine(QPointF(11, 10.5), QPointF(14, 7.5));
            break;
        case EToolbarImage::ExportXML: {
            // A page with angle brackets.
            QPainterPath page;
            page.moveTo(2.5, 0.5);
            page.lineTo(10.5, 0.5);
            page.lineTo(13.5, 3.5);
            page.lineTo(13.5, 14.5);
            page.lineTo(2.5, 14.5);
            page.closeSubpath();
            painter.setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
            painter.setBrush(Qt::white);
            painter.drawPath(page);
            painter.setPen(QPen(QColor(0x10, 0x60, 0xb0), 1.4));
            painter.drawPolyline(QPolygonF({QPointF(7, 5), QPointF(4.5, 8), QPointF(7, 11)}));
            painter.drawPolyline(QPolygonF({QPointF(9, 5), QPointF(11.5, 8), QPointF(9, 11)}));
            break;
        }
        case EToolbarImage::Settings: {
            // A gear.
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(0x50, 0x60, 0x70));
            painter.translate(8, 7.5);
            for (int i = 0; i < 8; ++i) {
                painter.drawRect(QRectF(-1.3, -7, 2.6, 3));
                painter.rotate(45);
            }
            painter.drawEllipse(QPointF(0, 0), 5, 5);
            painter.setBrush(Qt::white);
            painter.drawEllipse(QPointF(0, 0), 2, 2);
            break;
        }
        case EToolbarImage::Help: {
            // A question mark on a blue disc.
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(0x20, 0x60, 0xc0));
            painter.drawEllipse(QRectF(0.5, 0, 15, 15));
            QFont font(QStringLiteral("Liberation Sans"));
            font.setPixelSize(12);
            font.setBold(true);
            painter.setFont(font);
            painter.setPen(Qt::white);
            painter.drawText(QRectF(0.5, 0, 15, 15), Qt::AlignCenter, QStringLiteral("?"));
            break;
        }
    }
    return pixmap;
}
