#include "app/widgets/artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QPushButton>
#include <algorithm>

namespace quorbit::app::artwork {
namespace {

QPixmap blank(int w, int h) {
    QPixmap p(w, h);
    p.fill(Qt::transparent);
    return p;
}

}  // namespace

QPixmap arrow(int direction) {
    // Drawn for an arrow bar above the board pointing down, then turned into place.
    const bool across = direction == 1 || direction == 3;
    const int w = 140, h = 22;
    QPixmap p = blank(w, h);
    {
        QPainter g(&p);
        g.setRenderHint(QPainter::Antialiasing);
        QLinearGradient fill(0, 0, 0, h);
        fill.setColorAt(0, QColor(0x7C, 0xE0, 0x4E));
        fill.setColorAt(1, QColor(0x2E, 0x9A, 0x1E));
        g.setBrush(fill);
        g.setPen(QPen(QColor(0x1D, 0x5E, 0x12), 1.2));
        for (int i = 0; i < 3; ++i) {
            const double cx = 25 + i * 45;
            QPolygonF head;
            head << QPointF(cx - 18, 2) << QPointF(cx + 18, 2) << QPointF(cx, h - 2);
            g.drawPolygon(head);
        }
        g.setPen(QPen(QColor(0x1D, 0x5E, 0x12), 2));
        g.drawLine(QPointF(8, 2), QPointF(w - 8, 2));
    }
    if (across && direction == 1) return p;
    QTransform turn;
    turn.rotate(direction == 2 ? 90 : (direction == 3 ? 180 : 270));
    QPixmap turned = p.transformed(turn, Qt::SmoothTransformation);
    return across ? turned : turned.scaled(22, 139, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QPixmap eyes() {
    QPixmap p = blank(22, 9);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 2; ++i) {
        const QRectF eye(1 + i * 11, 0.5, 9, 8);
        g.setPen(QPen(QColor(0x30, 0x30, 0x30), 1));
        g.setBrush(Qt::white);
        g.drawEllipse(eye);
        g.setPen(Qt::NoPen);
        g.setBrush(QColor(0x20, 0x50, 0xA0));
        g.drawEllipse(QRectF(eye.center().x() - 2, eye.center().y() - 2, 4, 4));
    }
    return p;
}

QPixmap turnPointer() {
    QPixmap p = blank(10, 40);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    QPolygonF tri;
    tri << QPointF(1, 6) << QPointF(9, 14) << QPointF(1, 22);
    g.setPen(QPen(QColor(0x80, 0x20, 0x00), 1));
    g.setBrush(QColor(0xFF, 0x6A, 0x00));
    g.drawPolygon(tri);
    return p;
}

QPixmap bonusFrame(int frame) {
    frame = std::clamp(frame, 0, kBonusFrames - 1);
    QPixmap p = blank(217, 19);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    static const QColor colours[kBonusFrames] = {QColor(0xFF, 0xE0, 0x40), QColor(0xFF, 0xA0, 0x20),
                                                 QColor(0xFF, 0x50, 0x50), QColor(0xE0, 0x40, 0xC0),
                                                 QColor(0x40, 0x90, 0xFF)};
    const double grow = 0.6 + 0.1 * frame;
    const QRectF box(217 * (1 - grow) / 2, 0.5, 217 * grow, 18);
    QLinearGradient fill(box.topLeft(), box.bottomLeft());
    fill.setColorAt(0, colours[frame].lighter(130));
    fill.setColorAt(1, colours[frame]);
    g.setBrush(fill);
    g.setPen(QPen(colours[frame].darker(170), 1));
    g.drawRoundedRect(box, 8, 8);
    QFont f("DejaVu Sans");
    f.setPixelSize(12);
    f.setBold(true);
    g.setFont(f);
    g.setPen(QColor(0x30, 0x10, 0x00));
    g.drawText(box, Qt::AlignCenter, frame < 2 ? "BONUS!" : "7 LETTERS  +20 BONUS!");
    return p;
}

QPixmap phraseIcon(int n) {
    QPixmap p = blank(30, 22);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    const QColor c = QColor::fromHsv((n * 36 + 190) % 360, 120, 235);
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(2, 1.5, 26, 15), 6, 6);
    QPolygonF tail;
    tail << QPointF(8, 15) << QPointF(7, 21) << QPointF(14, 15);
    bubble.addPolygon(tail);
    bubble = bubble.simplified();
    g.setPen(QPen(c.darker(180), 1));
    g.setBrush(c);
    g.drawPath(bubble);
    QFont f("DejaVu Sans");
    f.setPixelSize(10);
    f.setBold(true);
    g.setFont(f);
    g.setPen(c.darker(260));
    g.drawText(QRectF(2, 1.5, 26, 15), Qt::AlignCenter, QString::number(n));
    return p;
}

QPixmap startPicture(const QString& caption, int width, int height) {
    QPixmap p = blank(width, height);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 0, height);
    fill.setColorAt(0, QColor(0x6B, 0xD1, 0x5A));
    fill.setColorAt(1, QColor(0x23, 0x8A, 0x2A));
    g.setBrush(fill);
    g.setPen(QPen(QColor(0x15, 0x55, 0x18), 1.5));
    g.drawRoundedRect(QRectF(1, 1, width - 2, height - 2), 8, 8);
    QFont f("DejaVu Sans");
    f.setPixelSize(std::max(11, height / 2));
    f.setBold(true);
    g.setFont(f);
    g.setPen(QColor(0, 0, 0, 90));
    g.drawText(QRectF(1, 1, width, height), Qt::AlignCenter, caption);
    g.setPen(Qt::white);
    g.drawText(QRectF(0, 0, width, height), Qt::AlignCenter, caption);
    return p;
}

QString buttonStyle(const QString& colour) {
    const QColor c(colour);
    return QString("QPushButton { color: white; font-weight: bold; border: 1px solid %1; border-radius: 5px;"
                   " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %2, stop:1 %3); padding: 2px 8px; }"
                   "QPushButton:hover { background: %2; }"
                   "QPushButton:pressed { background: %1; }")
        .arg(c.darker(170).name(), c.lighter(125).name(), c.name());
}

QPushButton* flatButton(QWidget* parent, const char* name, const QString& text, QRect where, const QString& colour) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setGeometry(where);
    b->setStyleSheet(buttonStyle(colour));
    b->setCursor(Qt::PointingHandCursor);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

}  // namespace quorbit::app::artwork
