#include "setup/DemoPictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>

static const QColor Outline(40, 40, 40);

static void drawTelevision(QPainter &p)
{
    p.setPen(QPen(Outline, 2));
    p.setBrush(QColor(30, 30, 34));
    p.drawRoundedRect(QRectF(40, 30, 240, 150), 6, 6);
    QLinearGradient screen(50, 40, 270, 170);
    screen.setColorAt(0, QColor(70, 130, 200));
    screen.setColorAt(1, QColor(20, 40, 90));
    p.setBrush(screen);
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(50, 40, 220, 130));
    p.setBrush(QColor(60, 60, 66));
    p.drawRect(QRectF(150, 180, 20, 22));
    p.drawRoundedRect(QRectF(100, 200, 120, 10), 4, 4);
}

static void drawRing(QPainter &p)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(212, 175, 55), 14));
    p.drawEllipse(QPointF(160, 140), 70, 60);
    p.setPen(QPen(QColor(160, 125, 30), 2));
    p.drawEllipse(QPointF(160, 140), 78, 68);
    const QPolygonF stone{{140, 78}, {150, 62}, {170, 62}, {180, 78}, {160, 100}};
    p.setPen(QPen(QColor(90, 120, 150), 2));
    p.setBrush(QColor(190, 225, 250));
    p.drawPolygon(stone);
    p.drawLine(QPointF(140, 78), QPointF(180, 78));
}

static void drawGuitar(QPainter &p)
{
    // Drawn upright around the body's centre, then laid at a slant to fit.
    p.translate(160, 125);
    p.rotate(35);
    p.scale(0.8, 0.8);
    p.translate(0, 43);
    p.setPen(QPen(Outline, 2));
    p.setBrush(QColor(120, 80, 40));
    p.drawRect(QRectF(-8, -140, 16, 110));              // neck
    p.drawRoundedRect(QRectF(-12, -168, 24, 32), 4, 4); // headstock
    QPainterPath body;
    body.setFillRule(Qt::WindingFill);
    body.addEllipse(QPointF(0, -10), 34, 30);
    body.addEllipse(QPointF(0, 40), 46, 42);
    p.setBrush(QColor(215, 140, 60));
    p.drawPath(body.simplified());
    p.setBrush(QColor(45, 30, 20));
    p.drawEllipse(QPointF(0, 8), 13, 13); // sound hole
    p.drawRect(QRectF(-16, 52, 32, 7));   // bridge
    p.setPen(QPen(QColor(230, 230, 230), 1));
    for (int s = -3; s <= 2; ++s)
        p.drawLine(QPointF(s * 2.5 + 1.25, -160), QPointF(s * 2.5 + 1.25, 55));
}

static void drawLaptop(QPainter &p)
{
    p.setPen(QPen(Outline, 2));
    p.setBrush(QColor(180, 180, 188));
    p.drawRoundedRect(QRectF(70, 30, 180, 120), 6, 6);
    p.setBrush(QColor(35, 55, 85));
    p.drawRect(QRectF(80, 40, 160, 100));
    const QPolygonF base{{70, 152}, {250, 152}, {285, 200}, {35, 200}};
    p.setBrush(QColor(200, 200, 206));
    p.drawPolygon(base);
    p.setPen(QPen(QColor(120, 120, 128), 1));
    for (int row = 0; row < 3; ++row) {
        const double y = 160 + row * 10;
        const double inset = 10 - row * 8;
        p.drawLine(QPointF(75 - row * 8 + inset, y), QPointF(245 + row * 8 - inset, y));
    }
    p.setBrush(QColor(170, 170, 176));
    p.drawRect(QRectF(130, 188, 60, 8)); // touchpad
}

static void drawBicycle(QPainter &p)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Outline, 6));
    p.drawEllipse(QPointF(85, 160), 52, 52);
    p.drawEllipse(QPointF(235, 160), 52, 52);
    p.setPen(QPen(QColor(200, 40, 40), 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPointF rear(85, 160), crank(150, 160), seat(130, 90), head(215, 90), front(235, 160);
    p.drawPolyline(QPolygonF{rear, seat, crank, rear});
    p.drawPolyline(QPolygonF{seat, head, crank});
    p.drawLine(head, front);
    p.setPen(QPen(Outline, 6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(210, 75), QPointF(240, 70)); // handlebar
    p.drawLine(QPointF(115, 82), QPointF(145, 82)); // saddle
    p.drawLine(QPointF(130, 82), seat);
}

static void drawRefrigerator(QPainter &p)
{
    p.setPen(QPen(Outline, 2));
    QLinearGradient steel(100, 0, 220, 0);
    steel.setColorAt(0, QColor(225, 228, 232));
    steel.setColorAt(1, QColor(175, 180, 186));
    p.setBrush(steel);
    p.drawRoundedRect(QRectF(100, 15, 120, 215), 8, 8);
    p.drawLine(QPointF(100, 90), QPointF(220, 90));
    p.setBrush(QColor(90, 90, 96));
    p.drawRoundedRect(QRectF(200, 40, 8, 36), 3, 3);
    p.drawRoundedRect(QRectF(200, 105, 8, 60), 3, 3);
}

static void drawSofa(QPainter &p)
{
    p.setPen(QPen(Outline, 2));
    const QColor fabric(70, 110, 90);
    p.setBrush(fabric.darker(115));
    p.drawRoundedRect(QRectF(55, 60, 210, 80), 14, 14); // back
    p.setBrush(fabric);
    p.drawRoundedRect(QRectF(75, 125, 82, 45), 8, 8); // cushions
    p.drawRoundedRect(QRectF(163, 125, 82, 45), 8, 8);
    p.setBrush(fabric.darker(125));
    p.drawRoundedRect(QRectF(35, 100, 40, 90), 12, 12); // arms
    p.drawRoundedRect(QRectF(245, 100, 40, 90), 12, 12);
    p.drawRect(QRectF(75, 170, 170, 20));
    p.setBrush(QColor(60, 40, 25));
    p.drawRect(QRectF(45, 190, 12, 18)); // legs
    p.drawRect(QRectF(263, 190, 12, 18));
}

static void drawCamera(QPainter &p)
{
    p.setPen(QPen(Outline, 2));
    p.setBrush(QColor(45, 45, 50));
    p.drawRoundedRect(QRectF(50, 70, 220, 130), 14, 14);
    p.drawRoundedRect(QRectF(120, 45, 80, 35), 6, 6); // prism housing
    p.setBrush(QColor(150, 150, 155));
    p.drawRoundedRect(QRectF(70, 58, 30, 14), 3, 3); // shutter button
    QRadialGradient glass(QPointF(150, 125), 45);
    glass.setColorAt(0, QColor(120, 160, 220));
    glass.setColorAt(1, QColor(10, 20, 40));
    p.setBrush(QColor(25, 25, 28));
    p.drawEllipse(QPointF(160, 135), 55, 55);
    p.setBrush(glass);
    p.drawEllipse(QPointF(160, 135), 38, 38);
}

static void drawWatch(QPainter &p)
{
    p.setPen(QPen(Outline, 2));
    p.setBrush(QColor(110, 70, 40));
    p.drawRoundedRect(QRectF(135, 5, 50, 230), 10, 10); // strap
    p.setBrush(QColor(200, 200, 205));
    p.drawEllipse(QPointF(160, 120), 62, 62); // case
    p.setBrush(QColor(250, 248, 240));
    p.drawEllipse(QPointF(160, 120), 52, 52); // dial
    p.setPen(QPen(Outline, 3));
    for (int hour = 0; hour < 12; ++hour) {
        p.save();
        p.translate(160, 120);
        p.rotate(hour * 30);
        p.drawLine(QPointF(0, -44), QPointF(0, -50));
        p.restore();
    }
    p.setPen(QPen(Outline, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(160, 120), QPointF(160, 88));  // minute hand at twelve
    p.drawLine(QPointF(160, 120), QPointF(182, 132)); // hour hand near four
}

static void drawDrill(QPainter &p)
{
    p.setPen(QPen(Outline, 2));
    const QPolygonF body{{60, 60},   {220, 60},  {235, 75},  {235, 105}, {220, 115},
                         {150, 115}, {140, 190}, {100, 190}, {105, 115}, {60, 115}};
    p.setBrush(QColor(240, 190, 30));
    p.drawPolygon(body);
    p.setBrush(QColor(40, 40, 40));
    p.drawRoundedRect(QRectF(85, 185, 75, 35), 5, 5); // battery
    p.drawRect(QRectF(235, 78, 25, 24));              // chuck
    p.setBrush(QColor(170, 170, 175));
    p.drawRect(QRectF(260, 86, 45, 8)); // bit
    p.setBrush(QColor(40, 40, 40));
    p.drawRect(QRectF(148, 118, 10, 22)); // trigger
}

static void drawPainting(QPainter &p)
{
    p.setPen(QPen(QColor(90, 60, 20), 2));
    p.setBrush(QColor(180, 140, 60));
    p.drawRect(QRectF(30, 20, 260, 200));
    QLinearGradient sky(0, 35, 0, 150);
    sky.setColorAt(0, QColor(120, 170, 230));
    sky.setColorAt(1, QColor(230, 220, 200));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRect(QRectF(45, 35, 230, 170));
    p.setBrush(QColor(250, 200, 60));
    p.drawEllipse(QPointF(220, 75), 18, 18);
    QPainterPath hills(QPointF(45, 205));
    hills.lineTo(45, 150);
    hills.cubicTo(100, 110, 150, 170, 200, 140);
    hills.cubicTo(230, 125, 260, 135, 275, 145);
    hills.lineTo(275, 205);
    hills.closeSubpath();
    p.setBrush(QColor(80, 140, 70));
    p.drawPath(hills);
}

QImage drawDemoPicture(DemoPicture picture)
{
    if (picture == DemoPicture::None)
        return {};
    QImage image(DemoPictureWidth, DemoPictureHeight, QImage::Format_RGB32);
    image.fill(QColor(246, 244, 238));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    switch (picture) {
    case DemoPicture::None:
        break;
    case DemoPicture::Television:
        drawTelevision(p);
        break;
    case DemoPicture::Ring:
        drawRing(p);
        break;
    case DemoPicture::Guitar:
        drawGuitar(p);
        break;
    case DemoPicture::Laptop:
        drawLaptop(p);
        break;
    case DemoPicture::Bicycle:
        drawBicycle(p);
        break;
    case DemoPicture::Refrigerator:
        drawRefrigerator(p);
        break;
    case DemoPicture::Sofa:
        drawSofa(p);
        break;
    case DemoPicture::Camera:
        drawCamera(p);
        break;
    case DemoPicture::Watch:
        drawWatch(p);
        break;
    case DemoPicture::Drill:
        drawDrill(p);
        break;
    case DemoPicture::Painting:
        drawPainting(p);
        break;
    }
    p.end();
    return image;
}
