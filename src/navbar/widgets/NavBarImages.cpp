#include "navbar/widgets/NavBarImages.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "navbar/widgets/NavBarCtrl.h"

namespace {
// Every icon is drawn on a 32 x 32 grid and scaled; the small size uses thicker strokes so the
// shapes stay readable at 16 pixels.
void DrawHouse(QPainter& p, qreal stroke)
{
    const QPen outline(QColor(60, 40, 30), stroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(outline);
    // Chimney first, so the roof overlaps it.
    p.setBrush(QColor(150, 70, 50));
    p.drawRect(QRectF(21, 5, 4, 8));
    p.setBrush(QColor(250, 240, 210));
    p.drawRect(QRectF(7, 15, 18, 14));
    QPolygonF roof;
    roof << QPointF(3, 16) << QPointF(16, 4) << QPointF(29, 16);
    p.setBrush(QColor(205, 50, 40));
    p.drawPolygon(roof);
    p.setBrush(QColor(130, 80, 40));
    p.drawRect(QRectF(13, 20, 6, 9));
    p.setBrush(QColor(120, 190, 240));
    p.drawRect(QRectF(20, 18, 4, 4));
}

void DrawForm(QPainter& p, qreal stroke)
{
    p.setPen(QPen(QColor(70, 70, 80), stroke));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(5, 3, 19, 26));
    p.setPen(QPen(QColor(90, 130, 200), stroke));
    for (int row = 0; row < 5; ++row)
        p.drawLine(QPointF(8, 8 + row * 4.5), QPointF(21, 8 + row * 4.5));
    // The pencil lies across the form, its point on the last line.
    p.save();
    p.translate(13, 27);
    p.rotate(-45);
    const QPen outline(QColor(60, 50, 30), stroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(outline);
    QPolygonF tip;
    tip << QPointF(0, 0) << QPointF(5, -2.5) << QPointF(5, 2.5);
    p.setBrush(QColor(240, 210, 160));
    p.drawPolygon(tip);
    p.setBrush(QColor(250, 200, 30));
    p.drawRect(QRectF(5, -2.5, 15, 5));
    p.setBrush(QColor(240, 130, 150));
    p.drawRect(QRectF(20, -2.5, 3.5, 5));
    p.restore();
}

void DrawChart(QPainter& p, qreal stroke)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3, 3, 26, 26));
    const QPen outline(QColor(40, 40, 50), stroke * 0.8);
    const QColor colors[] = {QColor(60, 120, 220), QColor(240, 150, 30), QColor(60, 170, 80)};
    const qreal heights[] = {11, 20, 15};
    for (int i = 0; i < 3; ++i) {
        p.setPen(outline);
        p.setBrush(colors[i]);
        p.drawRect(QRectF(8 + i * 7, 27 - heights[i], 5, heights[i]));
    }
    p.setPen(QPen(Qt::black, stroke, Qt::SolidLine, Qt::SquareCap));
    p.drawLine(QPointF(5, 4), QPointF(5, 27));
    p.drawLine(QPointF(5, 27), QPointF(29, 27));
}

void DrawMapSheet(QPainter& p, qreal stroke)
{
    // A map folded in three panels, sea and a coast, and a red pin on a spot.
    const QPolygonF sheet(
        {{3, 8}, {12, 5}, {20, 8}, {29, 5}, {29, 26}, {20, 29}, {12, 26}, {3, 29}});
    p.setPen(QPen(QColor(60, 90, 120), stroke));
    p.setBrush(QColor(170, 215, 240));
    p.drawPolygon(sheet);
    QPainterPath land;
    land.moveTo(12, 5);
    land.lineTo(20, 8);
    land.quadTo(17, 16, 22, 22);
    land.lineTo(20, 29);
    land.lineTo(12, 26);
    land.quadTo(9, 15, 12, 5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(225, 215, 170));
    p.drawPath(land);
    p.setPen(QPen(QColor(60, 90, 120), stroke * 0.8));
    p.drawLine(QPointF(12, 5), QPointF(12, 26));
    p.drawLine(QPointF(20, 8), QPointF(20, 29));
    p.setPen(QPen(QColor(120, 20, 20), stroke));
    p.setBrush(QColor(220, 50, 40));
    p.drawEllipse(QPointF(17, 12), 4, 4);
    p.drawLine(QPointF(17, 16), QPointF(17, 22));
}

void DrawPhoto(QPainter& p, qreal stroke)
{
    p.setPen(QPen(QColor(90, 55, 20), stroke));
    p.setBrush(QColor(190, 130, 60));
    p.drawRect(QRectF(2, 5, 28, 23));
    const QRectF picture(6, 9, 20, 15);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(140, 200, 250));
    p.drawRect(picture);
    p.save();
    p.setClipRect(picture);
    p.setBrush(QColor(250, 210, 40));
    p.drawEllipse(QPointF(21, 13), 2.5, 2.5);
    QPainterPath hills;
    hills.moveTo(6, 24);
    hills.lineTo(6, 20);
    hills.quadTo(11, 14, 16, 20);
    hills.quadTo(20, 16, 26, 21);
    hills.lineTo(26, 24);
    hills.closeSubpath();
    p.setBrush(QColor(60, 150, 70));
    p.drawPath(hills);
    p.restore();
    p.setPen(QPen(QColor(90, 55, 20), stroke * 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawRect(picture);
}
}  // namespace

QPixmap DrawNavBarImage(int image, int side, qreal devicePixelRatio)
{
    qreal ratio = devicePixelRatio;
    if (ratio <= 0)
        ratio = qGuiApp != nullptr ? std::max<qreal>(1.0, qGuiApp->devicePixelRatio()) : 1.0;
    const int pixels = static_cast<int>(std::ceil(side * ratio));
    QPixmap pixmap(pixels, pixels);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(side / 32.0, side / 32.0);
    const qreal stroke = side >= 32 ? 1.0 : 1.6;
    switch (image) {
        case NavBarImageTop:
            DrawHouse(p, stroke);
            break;
        case NavBarImageEntry:
            DrawForm(p, stroke);
            break;
        case NavBarImageStatistics:
            DrawChart(p, stroke);
            break;
        case NavBarImagePhotos:
            DrawPhoto(p, stroke);
            break;
        case NavBarImageMap:
            DrawMapSheet(p, stroke);
            break;
        default:
            break;
    }
    return pixmap;
}

NavBarImageLists CreateNavBarImageLists(qreal devicePixelRatio)
{
    NavBarImageLists lists;
    lists.large = std::make_unique<CNavBarImageList>(QSize(32, 32));
    lists.small = std::make_unique<CNavBarImageList>(QSize(16, 16));
    for (int image = 0; image < NavBarImageCount; ++image) {
        lists.large->Add(DrawNavBarImage(image, 32, devicePixelRatio));
        lists.small->Add(DrawNavBarImage(image, 16, devicePixelRatio));
    }
    return lists;
}

void SetUpNavBarMenu(CNavBarCtrl& bar, const NavBarImageLists& lists)
{
    bar.AttachImageList(lists.large.get(), 2);
    bar.AttachImageList(lists.small.get(), 1);
    const int menu = bar.AppendFolder(QStringLiteral("メニュー"), 0);
    bar.AppendFolder(QString(), 0);
    bar.InsertFolderItem(menu, 0, QStringLiteral("トップ"), NavBarImageTop, 1);
    bar.InsertFolderItem(menu, 1, QStringLiteral("データ登録"), NavBarImageEntry, 2);
    bar.InsertFolderItem(menu, 2, QStringLiteral("データ統計"), NavBarImageStatistics, 3);
    bar.InsertFolderItem(menu, 3, QStringLiteral("画像一覧"), NavBarImagePhotos, 4);
    bar.SelectFolder(menu);
}
