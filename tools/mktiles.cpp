// Draws the shipped tile sets: one bitmap per set, 36 pictures of 56 x 56 side by side
// (2016 x 56), pure green where a picture is transparent.
//
//   quorbit_mktiles OUTPUT_FOLDER
//
// Picture order: 0 unused, 1..26 the letter tiles A..Z with their worth in the top-left
// corner, 27 triple letter, 28 the cross over an earlier square of a chain, 29 the frame
// over the selected square, 30 the plain square, 31 bonus, 32 double letter, 33 double
// word, 34 triple word, 35 the empty rack slot. Letter tiles, cross and frame are drawn
// over other squares, so only their own pixels are opaque; their smoothed edges are
// blended toward the plain square, never toward the green.
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cstdio>
#include <functional>

#include "rules/letters.h"

namespace {

constexpr int kSize = 56;
constexpr int kCount = 36;
const QRgb kGreen = qRgb(0, 255, 0);

struct Theme {
    const char* name;
    QColor square, squareEdge;           // the plain square
    QColor tripleLetter, doubleLetter, doubleWord, tripleWord, bonus;
    QColor captionInk;                   // the words on the special squares
    QColor tileTop, tileBottom, tileEdge;  // the letter tile's face and rim
    QColor letterInk, worthInk;
    QColor cross, frame;
    QColor slot, slotEdge;
    bool grain;                          // wood grain over squares and tiles
};

const Theme kThemes[] = {
    {"blue", QColor("#dfe9f5"), QColor("#9fb5d1"),
     QColor("#2f78c4"), QColor("#8ccbef"), QColor("#f2a7bd"), QColor("#e0503f"), QColor("#f2c230"),
     QColor("#ffffff"),
     QColor("#4a8be0"), QColor("#1d4f9e"), QColor("#123a78"),
     QColor("#ffffff"), QColor("#cfe2ff"),
     QColor("#e8473a"), QColor("#ffb400"),
     QColor("#b9cde6"), QColor("#7d97ba"), false},
    {"wood", QColor("#e4c594"), QColor("#b48a55"),
     QColor("#3f7f7a"), QColor("#8fb08a"), QColor("#c9734f"), QColor("#8e2f25"), QColor("#d99a2b"),
     QColor("#fff8e8"),
     QColor("#fbf1da"), QColor("#e8d2a6"), QColor("#a57c45"),
     QColor("#3b2514"), QColor("#7a5230"),
     QColor("#b3261e"), QColor("#2d6fb3"),
     QColor("#c9a46f"), QColor("#8f6a3c"), true},
};

QFont font(int pixels, bool bold = true) {
    QFont f("DejaVu Sans");
    f.setPixelSize(pixels);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

// Thin darker lines across a square, slightly wavy, for the wooden look.
void drawGrain(QPainter& p, const QRect& r, const QColor& base, int seed) {
    p.save();
    p.setClipRect(r);
    QColor line = base.darker(112);
    line.setAlpha(140);
    p.setPen(QPen(line, 1));
    unsigned state = static_cast<unsigned>(seed) * 2654435761u + 1u;  // the same grain on every run
    auto next = [&state] { state = state * 1103515245u + 12345u; return static_cast<int>((state >> 16) & 0x7FFF); };
    for (int y = r.top() + 3; y < r.bottom(); y += 5 + next() % 4) {
        QPainterPath path;
        path.moveTo(r.left(), y);
        const int wave = next() % 5 - 2;
        path.cubicTo(r.left() + r.width() / 3.0, y + wave, r.left() + 2 * r.width() / 3.0, y - wave, r.right() + 1, y + wave / 2.0);
        p.drawPath(path);
    }
    p.restore();
}

// An opaque square: a face with a soft light at the top left and a one-pixel rim.
void drawSquare(QPainter& p, const Theme& t, const QColor& face, int seed, const QStringList& caption = {}) {
    const QRect r(0, 0, kSize, kSize);
    QLinearGradient g(0, 0, kSize, kSize);
    g.setColorAt(0, face.lighter(108));
    g.setColorAt(1, face.darker(106));
    p.fillRect(r, g);
    if (t.grain) drawGrain(p, r, face, seed);
    p.setPen(QPen(face == t.square ? t.squareEdge : face.darker(130), 1));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    p.setPen(QPen(QColor(255, 255, 255, 90), 1));
    p.drawLine(1, 1, kSize - 2, 1);
    p.drawLine(1, 1, 1, kSize - 2);
    if (caption.isEmpty()) return;
    p.setPen(t.captionInk);
    const bool one = caption.size() == 1;
    p.setFont(font(one ? 11 : 9));
    const int lineHeight = one ? 0 : 12;
    for (int i = 0; i < caption.size(); ++i) {
        const int y = kSize / 2 - (caption.size() * lineHeight) / 2 + i * lineHeight;
        const QRect box(0, one ? 0 : y, kSize, one ? kSize : lineHeight);
        // A faint shadow keeps the words readable on light and dark faces alike.
        p.setPen(QColor(0, 0, 0, 90));
        p.drawText(box.translated(1, 1), Qt::AlignCenter, caption[i]);
        p.setPen(t.captionInk);
        p.drawText(box, Qt::AlignCenter, caption[i]);
    }
}

void drawTile(QPainter& p, const Theme& t, int code) {
    // Inset so that the square under a tile still shows as a rim around it.
    const QRectF r(4.5, 4.5, kSize - 9, kSize - 9);
    // A shadow below and right, then the rim, then the face.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawRoundedRect(r.translated(1.5, 1.5), 7, 7);
    p.setBrush(t.tileEdge);
    p.drawRoundedRect(r, 7, 7);
    QLinearGradient g(0, r.top(), 0, r.bottom());
    g.setColorAt(0, t.tileTop);
    g.setColorAt(1, t.tileBottom);
    p.setBrush(g);
    const QRectF face = r.adjusted(1.5, 1.5, -1.5, -2.5);
    p.drawRoundedRect(face, 6, 6);
    if (t.grain) {
        QPainterPath clip;
        clip.addRoundedRect(face, 6, 6);
        p.save();
        p.setClipPath(clip);
        drawGrain(p, face.toRect(), t.tileBottom, 100 + code);
        p.restore();
    }
    // A gloss over the upper half.
    QLinearGradient gloss(0, face.top(), 0, face.center().y());
    gloss.setColorAt(0, QColor(255, 255, 255, t.grain ? 70 : 110));
    gloss.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(gloss);
    p.drawRoundedRect(face.adjusted(1, 1, -1, -face.height() / 2), 5, 5);

    const QString letter(QChar(quorbit::rules::letterOf(code)));
    p.setFont(font(27));
    p.setPen(QColor(0, 0, 0, t.grain ? 40 : 90));
    p.drawText(QRectF(1, 5, kSize, kSize - 4), Qt::AlignCenter, letter);
    p.setPen(t.letterInk);
    p.drawText(QRectF(0, 4, kSize, kSize - 4), Qt::AlignCenter, letter);
    p.setFont(font(9));
    p.setPen(t.worthInk);
    p.drawText(QRectF(8, 7, 20, 12), Qt::AlignLeft | Qt::AlignTop, QString::number(quorbit::rules::letterworth(code)));
}

// A round badge with a cross in the lower right corner, so the letter stays readable.
void drawCross(QPainter& p, const Theme& t) {
    const QPointF c(44, 44);
    p.setPen(QPen(Qt::white, 2));
    p.setBrush(t.cross);
    p.drawEllipse(c, 8.5, 8.5);
    p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(-3.5, -3.5), c + QPointF(3.5, 3.5));
    p.drawLine(c + QPointF(3.5, -3.5), c + QPointF(-3.5, 3.5));
}

void drawFrame(QPainter& p, const Theme& t) {
    p.setPen(QPen(t.frame, 4, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(3, 3, kSize - 6, kSize - 6), 6, 6);
}

void drawSlot(QPainter& p, const Theme& t) {
    p.fillRect(QRect(0, 0, kSize, kSize), t.slot);
    QLinearGradient g(0, 0, 0, kSize);
    g.setColorAt(0, t.slot.darker(115));
    g.setColorAt(1, t.slot.lighter(105));
    p.setPen(QPen(t.slotEdge, 1));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(3.5, 3.5, kSize - 7, kSize - 7), 6, 6);
}

// Draws a transparent picture: painted on a clear image, then every pixel that is nearly
// clear becomes pure green and every partly clear pixel is blended over the plain square.
QImage transparentPicture(const Theme& t, const std::function<void(QPainter&)>& draw) {
    QImage layer(kSize, kSize, QImage::Format_ARGB32);
    layer.fill(Qt::transparent);
    {
        QPainter p(&layer);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        draw(p);
    }
    QImage out(kSize, kSize, QImage::Format_RGB32);
    const QColor under = t.square;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const QRgb c = layer.pixel(x, y);  // not premultiplied
            const int a = qAlpha(c);
            if (a < 96) {
                out.setPixel(x, y, kGreen);
                continue;
            }
            auto mix = [a](int fg, int bg) { return (fg * a + bg * (255 - a)) / 255; };
            out.setPixel(x, y, qRgb(mix(qRed(c), under.red()), mix(qGreen(c), under.green()), mix(qBlue(c), under.blue())));
        }
    }
    return out;
}

QImage opaquePicture(const std::function<void(QPainter&)>& draw) {
    QImage out(kSize, kSize, QImage::Format_RGB32);
    out.fill(Qt::black);
    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    draw(p);
    return out;
}

QImage picture(const Theme& t, int i) {
    using P = QPainter&;
    if (i >= 1 && i <= 26) return transparentPicture(t, [&](P p) { drawTile(p, t, i); });
    switch (i) {
        case 27: return opaquePicture([&](P p) { drawSquare(p, t, t.tripleLetter, i, {"TRIPLE", "LETTER"}); });
        case 28: return transparentPicture(t, [&](P p) { drawCross(p, t); });
        case 29: return transparentPicture(t, [&](P p) { drawFrame(p, t); });
        case 30: return opaquePicture([&](P p) { drawSquare(p, t, t.square, i); });
        case 31: return opaquePicture([&](P p) { drawSquare(p, t, t.bonus, i, {"BONUS"}); });
        case 32: return opaquePicture([&](P p) { drawSquare(p, t, t.doubleLetter, i, {"DOUBLE", "LETTER"}); });
        case 33: return opaquePicture([&](P p) { drawSquare(p, t, t.doubleWord, i, {"DOUBLE", "WORD"}); });
        case 34: return opaquePicture([&](P p) { drawSquare(p, t, t.tripleWord, i, {"TRIPLE", "WORD"}); });
        case 35: return opaquePicture([&](P p) { drawSlot(p, t); });
        default: {  // 0: never drawn
            QImage blank(kSize, kSize, QImage::Format_RGB32);
            blank.fill(kGreen);
            return blank;
        }
    }
}

// Opaque pictures must not hold the transparent colour by accident.
void keepOpaque(QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFFu) == 0x00FF00u) image.setPixel(x, y, qRgb(0, 254, 0));
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    for (const Theme& t : kThemes) {
        QImage sheet(kSize * kCount, kSize, QImage::Format_RGB32);
        sheet.fill(kGreen);
        QPainter p(&sheet);
        for (int i = 0; i < kCount; ++i) {
            QImage pic = picture(t, i);
            const bool opaque = i == 27 || (i >= 30 && i <= 35);
            if (opaque) keepOpaque(pic);
            p.drawImage(i * kSize, 0, pic);
        }
        p.end();
        const QString path = out.filePath(QString::fromLatin1(t.name) + ".bmp");
        if (!sheet.convertToFormat(QImage::Format_RGB888).save(path, "BMP")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
