#include "app/widgets/tilepictures.h"

#include <QLinearGradient>
#include <cmath>
#include <cstdlib>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "rules/letters.h"

namespace quorbit::app {
namespace {

constexpr int S = kTilePixels;

// Device pixels per design pixel of the pictures being drawn (classic() sets it).
qreal gResolution = 1;
// The letter values shown on the tiles being drawn (classic() sets it).
const rules::LetterValues* gValues = &rules::kEnglishValues;

// A picture of w x h design pixels at the resolution being drawn; painted in design pixels.
QPixmap canvas(int w, int h) {
    QPixmap p(qRound(w * gResolution), qRound(h * gResolution));
    p.setDevicePixelRatio(gResolution);
    return p;
}

QPixmap transparentTile() {
    QPixmap p = canvas(S, S);
    p.fill(Qt::transparent);
    return p;
}

// A bevelled board square in `base`, with an optional two-line caption.
QPixmap square(QColor base, QColor ink, const char* line1 = nullptr, const char* line2 = nullptr,
               bool star = false) {
    QPixmap p = canvas(S, S);
    p.fill(base.darker(135));
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, S, S);
    fill.setColorAt(0, base.lighter(112));
    fill.setColorAt(1, base.darker(106));
    g.fillRect(QRect(1, 1, S - 2, S - 2), fill);
    g.setPen(QPen(base.lighter(135), 1));  // light top and left edges
    g.drawLine(1, 1, S - 2, 1);
    g.drawLine(1, 1, 1, S - 2);
    g.setPen(QPen(base.darker(125), 1));   // shaded bottom and right edges
    g.drawLine(1, S - 2, S - 2, S - 2);
    g.drawLine(S - 2, 1, S - 2, S - 2);
    if (star) {
        QPainterPath path;
        for (int i = 0; i < 10; ++i) {
            const double r = (i % 2 == 0) ? 17.0 : 7.5;
            const double a = -M_PI / 2 + i * M_PI / 5;
            const QPointF pt(S / 2.0 + r * std::cos(a), 22.0 + r * std::sin(a));
            if (i == 0) path.moveTo(pt); else path.lineTo(pt);
        }
        path.closeSubpath();
        g.setPen(QPen(base.darker(160), 1));
        g.setBrush(base.lighter(150));
        g.drawPath(path);
    }
    if (line1) {
        QFont f("DejaVu Sans Condensed");
        f.setPixelSize(9);
        f.setBold(true);
        g.setFont(f);
        g.setPen(ink);
        if (line2) {
            g.drawText(QRect(0, 14, S, 13), Qt::AlignCenter, line1);
            g.drawText(QRect(0, 28, S, 13), Qt::AlignCenter, line2);
        } else {
            g.drawText(QRect(0, star ? 38 : 21, S, 13), Qt::AlignCenter, line1);
        }
    }
    return p;
}

// A letter tile, drawn with a margin so the square beneath frames it.
QPixmap letterTile(int code) {
    QPixmap p = transparentTile();
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    const QRectF body(4.5, 4.5, S - 10, S - 10);
    g.setPen(Qt::NoPen);
    g.setBrush(QColor(0, 0, 0, 70));  // drop shadow
    g.drawRoundedRect(body.translated(1.5, 1.5), 6, 6);
    QLinearGradient fill(body.topLeft(), body.bottomRight());
    fill.setColorAt(0, QColor(0xFF, 0xF8, 0xE4));
    fill.setColorAt(1, QColor(0xEA, 0xD3, 0x9C));
    g.setBrush(fill);
    g.setPen(QPen(QColor(0x8A, 0x68, 0x38), 1.2));
    g.drawRoundedRect(body, 6, 6);

    const QString letter(QChar(rules::letterOf(code)));
    QFont big("DejaVu Sans");
    big.setPixelSize(27);
    big.setBold(true);
    g.setFont(big);
    g.setPen(QColor(0x3B, 0x2A, 0x16));
    g.drawText(QRectF(body.left() + 3, body.top() + 3, body.width() - 2, body.height() - 2), Qt::AlignCenter, letter);

    QFont small("DejaVu Sans");
    small.setPixelSize(10);
    small.setBold(true);
    g.setFont(small);
    g.setPen(QColor(0xA0, 0x30, 0x20));
    g.drawText(QRectF(body.left() + 3, body.top() + 1, 18, 12), Qt::AlignLeft | Qt::AlignTop,
               QString::number(rules::letterworth(code, *gValues)));
    return p;
}

// An earlier square of the chain: a warm tint with a cross that leaves the letter readable.
QPixmap crossMark() {
    QPixmap p = transparentTile();
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(Qt::NoPen);
    g.setBrush(QColor(255, 140, 0, 55));
    g.drawRoundedRect(QRectF(3, 3, S - 6, S - 6), 7, 7);
    g.setPen(QPen(QColor(215, 80, 0, 170), 4, Qt::SolidLine, Qt::RoundCap));
    g.drawLine(QPointF(8, 8), QPointF(S - 8, S - 8));
    g.drawLine(QPointF(S - 8, 8), QPointF(8, S - 8));
    g.setPen(QPen(QColor(215, 80, 0, 220), 2.5));
    g.setBrush(Qt::NoBrush);
    g.drawRoundedRect(QRectF(3, 3, S - 6, S - 6), 7, 7);
    return p;
}

// The selected square: a bright glowing frame.
QPixmap frameMark() {
    QPixmap p = transparentTile();
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setBrush(Qt::NoBrush);
    g.setPen(QPen(QColor(40, 200, 60, 90), 7));
    g.drawRoundedRect(QRectF(4, 4, S - 8, S - 8), 8, 8);
    g.setPen(QPen(QColor(20, 160, 40), 3));
    g.drawRoundedRect(QRectF(3, 3, S - 6, S - 6), 7, 7);
    g.setPen(QPen(QColor(200, 255, 200), 1));
    g.drawRoundedRect(QRectF(5.5, 5.5, S - 11, S - 11), 5, 5);
    return p;
}

QPixmap emptySlot() {
    QPixmap p = canvas(S, S);
    p.fill(QColor(0x3A, 0x2E, 0x24));
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 0, S);
    fill.setColorAt(0, QColor(0x2A, 0x20, 0x18));
    fill.setColorAt(1, QColor(0x55, 0x46, 0x38));
    g.setPen(QPen(QColor(0x1C, 0x15, 0x10), 1));
    g.setBrush(fill);
    g.drawRoundedRect(QRectF(3.5, 3.5, S - 7, S - 7), 6, 6);
    return p;
}

QPixmap shufflesPicture(int n) {
    QPixmap p = canvas(12, 41);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 5; ++i) {
        const QRectF box(1.5, 41 - 8.0 * (i + 1) + 0.5, 9, 7);
        if (i < n) {
            QLinearGradient fill(box.topLeft(), box.bottomLeft());
            fill.setColorAt(0, QColor(0xFF, 0xC8, 0x3C));
            fill.setColorAt(1, QColor(0xE0, 0x7A, 0x10));
            g.setBrush(fill);
            g.setPen(QPen(QColor(0x8A, 0x45, 0x05), 1));
        } else {
            g.setBrush(Qt::NoBrush);
            g.setPen(QPen(QColor(0, 0, 0, 45), 1, Qt::DotLine));
        }
        g.drawRoundedRect(box, 2, 2);
    }
    return p;
}

// Where a tile set from a file shows a letter's worth: the text box at (8, 7) of the shipped
// sets, within the tile's face.
constexpr QRect kWorthCorner(8, 8, 15, 11);

// `tile` (a letter of a set from a file) with its worth shown as `value`: the corner is
// painted over, row by row, with the face just right of it, and the value written in the
// colour that stood out most from the face there (the old worth's ink).
QPixmap repaintWorth(const QPixmap& tile, int value) {
    QImage image = tile.toImage().convertToFormat(QImage::Format_ARGB32);
    if (image.width() < S || image.height() < S) return tile;
    const int faceColumn = kWorthCorner.right() + 2;
    QColor ink(Qt::black);
    int farthest = -1;
    for (int y = kWorthCorner.top(); y <= kWorthCorner.bottom(); ++y) {
        const QRgb face = image.pixel(faceColumn, y);
        for (int x = kWorthCorner.left(); x <= kWorthCorner.right(); ++x) {
            const QRgb c = image.pixel(x, y);
            if (qAlpha(c) == 0) continue;  // outside the tile: stays clear
            const int d = std::abs(qRed(c) - qRed(face)) + std::abs(qGreen(c) - qGreen(face)) +
                          std::abs(qBlue(c) - qBlue(face));
            if (d > farthest) farthest = d, ink = QColor::fromRgb(c);
            image.setPixel(x, y, face);
        }
    }
    // A corner with no worth to be seen in it: ink that stands out from the face.
    if (farthest < 48) ink = QColor(image.pixel(faceColumn, kWorthCorner.top())).lightness() > 128 ? Qt::black : Qt::white;
    QPainter g(&image);
    g.setRenderHint(QPainter::TextAntialiasing);
    QFont f("DejaVu Sans");
    f.setPixelSize(9);
    f.setBold(true);
    g.setFont(f);
    g.setPen(ink);
    g.drawText(QRectF(8, 7, 20, 12), Qt::AlignLeft | Qt::AlignTop, QString::number(value));
    g.end();
    return QPixmap::fromImage(image);
}

}  // namespace

TilePictures TilePictures::classic(qreal resolution, const rules::LetterValues& values) {
    gResolution = resolution;
    gValues = &values;
    TilePictures t;
    t.resolution_ = resolution;
    t.pictures_[0] = transparentTile();
    for (int code = 1; code <= 26; ++code) t.pictures_[static_cast<std::size_t>(code)] = letterTile(code);
    t.pictures_[27] = square(QColor(0x2F, 0x7F, 0xC1), Qt::white, "TRIPLE", "LETTER");
    t.pictures_[28] = crossMark();
    t.pictures_[29] = frameMark();
    t.pictures_[30] = square(QColor(0xD9, 0xCD, 0xAF), Qt::black);
    t.pictures_[31] = square(QColor(0xE9, 0xB0, 0x1A), QColor(0x5A, 0x32, 0x00), "BONUS", nullptr, true);
    t.pictures_[32] = square(QColor(0x9B, 0xD2, 0xEE), QColor(0x10, 0x3A, 0x66), "DOUBLE", "LETTER");
    t.pictures_[33] = square(QColor(0xF1, 0xA3, 0xB4), QColor(0x70, 0x10, 0x28), "DOUBLE", "WORD");
    t.pictures_[34] = square(QColor(0xD2, 0x3F, 0x36), Qt::white, "TRIPLE", "WORD");
    t.pictures_[35] = emptySlot();
    for (int n = 0; n < kShufflesPictureCount; ++n) t.shuffles_[static_cast<std::size_t>(n)] = shufflesPicture(n);
    t.values_ = values;
    gResolution = 1;
    gValues = &rules::kEnglishValues;
    return t;
}

void TilePictures::setValues(const rules::LetterValues& values) {
    if (values == values_) return;
    values_ = values;
    if (builtIn_) {
        *this = classic(resolution_, values);
        return;
    }
    applyValues();
    scaleSource();
}

// The file's pictures as they are, but for each letter whose value is not English's (the
// value the sets are drawn with).
void TilePictures::applyValues() {
    source_ = file_;
    for (int code = 1; code <= 26; ++code) {
        const auto i = static_cast<std::size_t>(code);
        const int value = rules::letterworth(code, values_);
        if (value != rules::letterworth(code) && !file_[i].isNull()) source_[i] = repaintWorth(file_[i], value);
    }
}

void TilePictures::setPictures(const std::array<QPixmap, kTilePictureCount>& pictures) {
    file_ = pictures;
    builtIn_ = false;
    applyValues();
    scaleSource();
}

void TilePictures::setResolution(qreal resolution) {
    if (resolution == resolution_) return;
    if (builtIn_) {
        *this = classic(resolution, values_);
        return;
    }
    resolution_ = resolution;
    const TilePictures drawn = classic(resolution);  // the shuffles pictures are always drawn
    shuffles_ = drawn.shuffles_;
    scaleSource();
}

// A set's bitmaps hold 56 pixels a tile: shown larger, they are scaled smoothly once.
void TilePictures::scaleSource() {
    for (std::size_t i = 0; i < source_.size(); ++i) {
        if (resolution_ == 1 || source_[i].isNull()) {
            pictures_[i] = source_[i];
            continue;
        }
        const int side = qRound(S * resolution_);
        pictures_[i] = source_[i].scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        pictures_[i].setDevicePixelRatio(resolution_);
    }
}

bool TilePictures::loadStrip(const QImage& strip) {
    if (strip.isNull() || strip.width() < S * kTilePictureCount || strip.height() < S) return false;
    const QImage argb = strip.convertToFormat(QImage::Format_ARGB32);
    for (int i = 0; i < kTilePictureCount; ++i) {
        QImage tile = argb.copy(S * i, 0, S, S);
        for (int y = 0; y < S; ++y) {
            auto* row = reinterpret_cast<QRgb*>(tile.scanLine(y));
            for (int x = 0; x < S; ++x)
                if ((row[x] & 0x00FFFFFF) == 0x0000FF00) row[x] = 0;  // pure green is transparent
        }
        file_[static_cast<std::size_t>(i)] = QPixmap::fromImage(tile);
    }
    builtIn_ = false;
    applyValues();
    scaleSource();
    return true;
}

const QPixmap& TilePictures::picture(int index) const {
    if (index < 0 || index >= kTilePictureCount) return pictures_[0];
    return pictures_[static_cast<std::size_t>(index)];
}

const QPixmap& TilePictures::shuffles(int n) const {
    return shuffles_[static_cast<std::size_t>(n < 0 ? 0 : (n > 5 ? 5 : n))];
}

}  // namespace quorbit::app
