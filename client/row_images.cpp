#include "client/row_images.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace sonpad {
namespace {

const QColor kInk(40, 40, 40);

QIcon drawn(int size, const std::function<void(QPainter&)>& draw) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    draw(p);
    return QIcon(pixmap);
}

void note(QPainter& p, const QColor& colour) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(colour);
    p.drawEllipse(QRectF(3, 10, 5, 4));
    p.drawLine(QPointF(8, 12), QPointF(8, 2));
    p.setPen(QPen(kInk, 2));
    p.drawLine(QPointF(8, 2.5), QPointF(12, 4.5));
}

void disc(QPainter& p, const QColor& colour) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(colour);
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(6, 6, 4, 4));
}

void person(QPainter& p, const QColor& colour) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(colour);
    p.drawEllipse(QRectF(5, 1.5, 6, 6));
    QPainterPath body;
    body.moveTo(2, 15);
    body.cubicTo(2, 8, 14, 8, 14, 15);
    body.closeSubpath();
    p.drawPath(body);
}

void label(QPainter& p, const QColor& colour) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(colour);
    QPainterPath tag;
    tag.moveTo(1.5, 4);
    tag.lineTo(10, 4);
    tag.lineTo(14.5, 8);
    tag.lineTo(10, 12);
    tag.lineTo(1.5, 12);
    tag.closeSubpath();
    p.drawPath(tag);
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(3.5, 7, 2, 2));
}

// A chosen node: the same image on a light frame.
void chosen(QPainter& p, const std::function<void(QPainter&)>& draw) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 236, 140));
    p.drawRoundedRect(QRectF(0, 0, 16, 16), 3, 3);
    draw(p);
}

}  // namespace

std::vector<QIcon> RowImages() {
    const QColor blue(40, 110, 220), green(30, 160, 60), orange(240, 150, 20), purple(150, 70, 190),
        red(210, 50, 50);
    return {
        drawn(16,
              [](QPainter& p) {
                  p.setPen(QPen(kInk, 1.5));
                  p.setBrush(Qt::white);
                  p.drawEllipse(QRectF(3, 3, 10, 10));
              }),
        drawn(16,
              [&](QPainter& p) {
                  p.setPen(QPen(green, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                  p.drawPolyline(QPolygonF({QPointF(3, 8.5), QPointF(6.5, 12), QPointF(13, 4)}));
              }),
        drawn(16, [&](QPainter& p) { person(p, blue); }),
        drawn(16, [&](QPainter& p) { disc(p, purple); }),
        drawn(16, [&](QPainter& p) { note(p, blue); }),
        drawn(16,
              [&](QPainter& p) {
                  p.setPen(QPen(kInk, 1));
                  p.setBrush(orange);
                  p.drawRect(QRectF(2.5, 7.5, 11, 7));
                  p.drawPolygon(QPolygonF({QPointF(1, 8), QPointF(8, 1.5), QPointF(15, 8)}));
              }),
        drawn(16, [&](QPainter& p) { chosen(p, [&](QPainter& q) { disc(q, purple); }); }),
        drawn(16, [&](QPainter& p) { chosen(p, [&](QPainter& q) { person(q, blue); }); }),
        drawn(16, [&](QPainter& p) { chosen(p, [&](QPainter& q) { note(q, red); }); }),
        drawn(16, [&](QPainter& p) { label(p, green); }),
        drawn(16, [&](QPainter& p) { chosen(p, [&](QPainter& q) { label(q, green); }); }),
        drawn(16,
              [&](QPainter& p) {
                  p.setPen(QPen(kInk, 1));
                  for (int i = 0; i < 3; ++i) {
                      p.setBrush(i == 2 ? blue : QColor(200, 210, 230));
                      p.drawRect(QRectF(1.5 + i * 2, 1.5 + i * 2, 9, 9));
                  }
              }),
    };
}

QIcon ApplicationIcon() {
    QIcon icon;
    for (int size : {16, 32, 64}) {
        const QIcon one = drawn(size, [](QPainter& p) {
            disc(p, QColor(20, 20, 20));
            note(p, QColor(0, 220, 0));
        });
        icon.addPixmap(one.pixmap(size, size));
    }
    return icon;
}

}  // namespace sonpad
