// Draws the program's icon: a letter tile with a "Q" and an orbit around it. One list
// of shapes is written both as a scalable SVG and as PNG pictures of every size the
// desktop's hicolor icon theme asks for, so the two never disagree.
//
//   quorbit_mkicon OUTPUT_FOLDER
//
// writes OUTPUT_FOLDER/quorbit.svg and OUTPUT_FOLDER/quorbit-SIZE.png.
#include <QColor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr double kBox = 256;  // the drawing's own units
constexpr int kSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

struct Shape {
    enum Kind { Tile, Ring, Stroke, Dot } kind;
    double x1, y1, x2, y2;  // Tile: corners; Ring: centre, radii; Stroke: ends; Dot: centre, radius
    double width;           // stroke width (0: none)
    const char* colour;
    double angle = 0;       // Ring: turned by this many degrees about its centre
};

const char* const kFaceTop = "#f6cf74";
const char* const kFaceBottom = "#cf8a2c";
const char* const kRim = "#7a4a12";
const char* const kInk = "#3b2208";
const char* const kOrbit = "#2f5fa8";

std::vector<Shape> shapes() {
    // The orbit is an ellipse turned by -30 degrees; its moon sits on it at -50 degrees.
    const double cx = 128, cy = 128, rx = 106, ry = 36, turn = -30 * M_PI / 180, at = -50 * M_PI / 180;
    const double ex = rx * std::cos(at), ey = ry * std::sin(at);
    const double mx = cx + ex * std::cos(turn) - ey * std::sin(turn);
    const double my = cy + ex * std::sin(turn) + ey * std::cos(turn);
    return {
        {Shape::Tile, 22, 22, 234, 234, 8, kRim},
        {Shape::Ring, 124, 118, 54, 54, 26, kInk},
        {Shape::Stroke, 148, 150, 186, 194, 26, kInk},
        {Shape::Ring, cx, cy, rx, ry, 10, kOrbit, -30},
        {Shape::Dot, mx, my, 17, 0, 0, kOrbit},
    };
}

QString num(double v) { return QString::number(v, 'f', 1); }

QString svg() {
    QString out = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n"
        " <defs><linearGradient id=\"face\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">"
        "<stop offset=\"0\" stop-color=\"%1\"/><stop offset=\"1\" stop-color=\"%2\"/></linearGradient></defs>\n")
                      .arg(kFaceTop, kFaceBottom);
    for (const Shape& s : shapes()) {
        switch (s.kind) {
        case Shape::Tile:
            out += QString(" <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"40\" fill=\"url(#face)\" "
                           "stroke=\"%5\" stroke-width=\"%6\"/>\n")
                       .arg(num(s.x1), num(s.y1), num(s.x2 - s.x1), num(s.y2 - s.y1), s.colour, num(s.width));
            break;
        case Shape::Ring:
            out += QString(" <ellipse cx=\"%1\" cy=\"%2\" rx=\"%3\" ry=\"%4\" transform=\"rotate(%5 %1 %2)\" "
                           "fill=\"none\" stroke=\"%6\" stroke-width=\"%7\"/>\n")
                       .arg(num(s.x1), num(s.y1), num(s.x2), num(s.y2), num(s.angle), s.colour, num(s.width));
            break;
        case Shape::Stroke:
            out += QString(" <path d=\"M%1 %2 L%3 %4\" fill=\"none\" stroke=\"%5\" stroke-width=\"%6\" "
                           "stroke-linecap=\"round\"/>\n")
                       .arg(num(s.x1), num(s.y1), num(s.x2), num(s.y2), s.colour, num(s.width));
            break;
        case Shape::Dot:
            out += QString(" <circle cx=\"%1\" cy=\"%2\" r=\"%3\" fill=\"%4\"/>\n").arg(num(s.x1), num(s.y1), num(s.x2), s.colour);
            break;
        }
    }
    return out + "</svg>\n";
}

QImage picture(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / kBox, size / kBox);
    for (const Shape& s : shapes()) {
        QPen pen(QColor(s.colour), s.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p.save();
        switch (s.kind) {
        case Shape::Tile: {
            QLinearGradient face(0, s.y1, 0, s.y2);
            face.setColorAt(0, QColor(kFaceTop));
            face.setColorAt(1, QColor(kFaceBottom));
            p.setPen(pen);
            p.setBrush(face);
            p.drawRoundedRect(QRectF(s.x1, s.y1, s.x2 - s.x1, s.y2 - s.y1), 40, 40);
            break;
        }
        case Shape::Ring:
            p.translate(s.x1, s.y1);
            p.rotate(s.angle);
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPointF(0, 0), s.x2, s.y2);
            break;
        case Shape::Stroke:
            p.setPen(pen);
            p.drawLine(QPointF(s.x1, s.y1), QPointF(s.x2, s.y2));
            break;
        case Shape::Dot:
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(s.colour));
            p.drawEllipse(QPointF(s.x1, s.y1), s.x2, s.x2);
            break;
        }
        p.restore();
    }
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: quorbit_mkicon OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(dir.path())) {
        std::fprintf(stderr, "quorbit_mkicon: cannot make %s\n", argv[1]);
        return 1;
    }
    QFile file(dir.filePath("quorbit.svg"));
    const QByteArray text = svg().toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
        std::fprintf(stderr, "quorbit_mkicon: cannot write %s\n", qPrintable(file.fileName()));
        return 1;
    }
    for (const int size : kSizes) {
        const QString name = dir.filePath(QString("quorbit-%1.png").arg(size));
        if (!picture(size).save(name, "PNG")) {
            std::fprintf(stderr, "quorbit_mkicon: cannot write %s\n", qPrintable(name));
            return 1;
        }
    }
    return 0;
}
