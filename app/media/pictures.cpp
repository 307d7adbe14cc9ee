#include "app/media/pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace quorbit::media::pictures {

namespace {

// One small letter tile, as on the board, for the decorative pictures.
void tile(QPainter& p, QRectF r, QChar letter, QColor top, QColor bottom, QColor ink) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawRoundedRect(r.translated(1.5, 1.5), r.width() / 7, r.width() / 7);
    QLinearGradient g(0, r.top(), 0, r.bottom());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setBrush(g);
    p.setPen(QPen(bottom.darker(140), 1));
    p.drawRoundedRect(r, r.width() / 7, r.width() / 7);
    QFont f("DejaVu Sans");
    f.setBold(true);
    f.setPixelSize(static_cast<int>(r.height() * 0.58));
    p.setFont(f);
    p.setPen(ink);
    p.drawText(r, Qt::AlignCenter, QString(letter));
}

// Faint tile outlines scattered over a square of `size`, wrapped at the edges so that
// the picture tiles without seams.
QPixmap scattered(QSize size, QColor base, QColor mark, int count) {
    QPixmap pm(size);
    pm.fill(base);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    unsigned state = 12345u;
    auto next = [&state](int range) { state = state * 1103515245u + 12345u; return static_cast<int>((state >> 16) % static_cast<unsigned>(range)); };
    p.setPen(QPen(mark, 1.2));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < count; ++i) {
        const double s = 9 + next(8);
        const double x = next(size.width()), y = next(size.height());
        for (int dx : {-size.width(), 0, size.width()})
            for (int dy : {-size.height(), 0, size.height()}) p.drawRoundedRect(QRectF(x + dx, y + dy, s, s), 2.5, 2.5);
    }
    return pm;
}

}  // namespace

QPixmap windowBackground() { return scattered({100, 100}, QColor("#e9eff8"), QColor(70, 110, 170, 45), 7); }

QPixmap downloadBackground() { return scattered({150, 149}, QColor("#eef3ea"), QColor(60, 120, 80, 45), 10); }

QPixmap makerLogo() {
    QPixmap pm(88, 88);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    // An orbit ring around a "Q" tile.
    QRadialGradient glow(44, 44, 44);
    glow.setColorAt(0, QColor(120, 170, 255, 160));
    glow.setColorAt(1, QColor(120, 170, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(QRectF(0, 0, 88, 88));
    tile(p, QRectF(22, 22, 44, 44), 'Q', QColor("#4a8be0"), QColor("#1d4f9e"), Qt::white);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor("#f2c230"), 3));
    p.drawEllipse(QRectF(6, 30, 76, 28));
    p.setBrush(QColor("#e0503f"));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(74, 38, 9, 9));
    return pm;
}

QPixmap lobbyPicture() {
    QPixmap pm(230, 150);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 150);
    sky.setColorAt(0, QColor("#2b5fa8"));
    sky.setColorAt(1, QColor("#163a6e"));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRoundedRect(QRectF(0, 0, 230, 150), 12, 12);
    // Lines linking four players to the board in the middle.
    const QPointF centre(115, 78);
    const QPointF seats[] = {{30, 30}, {200, 30}, {30, 126}, {200, 126}};
    const QColor colours[] = {QColor("#f2c230"), QColor("#e0503f"), QColor("#8ccbef"), QColor("#9ad27a")};
    p.setPen(QPen(QColor(255, 255, 255, 110), 2, Qt::DashLine));
    for (const QPointF& s : seats) p.drawLine(s, centre);
    for (int i = 0; i < 4; ++i) {
        p.setPen(QPen(Qt::white, 2));
        p.setBrush(colours[i]);
        p.drawEllipse(seats[i], 13, 13);
        p.setBrush(colours[i].darker(130));
        p.setPen(Qt::NoPen);
        p.drawEllipse(seats[i] + QPointF(0, -3), 4.5, 4.5);
        p.drawPie(QRectF(seats[i].x() - 8, seats[i].y() + 1, 16, 14), 0, 180 * 16);
    }
    const QString word = "PLAY";
    for (int i = 0; i < word.size(); ++i)
        tile(p, QRectF(65 + i * 25.5, 64, 24, 24), word[i], QColor("#fbf1da"), QColor("#e8d2a6"), QColor("#3b2514"));
    QFont f("DejaVu Sans");
    f.setBold(true);
    f.setPixelSize(13);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 98, 230, 20), Qt::AlignCenter, "online");
    return pm;
}

}  // namespace quorbit::media::pictures
