#include "client/boardview.h"

#include <QMouseEvent>
#include <QPainter>

#include "widgets/tilepictures.h"

namespace quorbit::app {

using client::kBoardSize;
using client::kSquarePixels;

BoardView::BoardView(const TilePictures& pictures, QWidget* parent) : QWidget(parent), pictures_(pictures) {
    setObjectName("paintbox_board");
    setFixedSize(kBoardSize * kSquarePixels, kBoardSize * kSquarePixels);
    setAttribute(Qt::WA_OpaquePaintEvent);
    for (auto& column : marks_) column.fill(client::kMarkNone);
}

void BoardView::show(const client::Grid& letters, const client::Grid& marks, const client::Grid& hints) {
    for (std::size_t x = 0; x < kBoardSize; ++x)
        for (std::size_t y = 0; y < kBoardSize; ++y)
            if (letters[x][y] != letters_[x][y] || marks[x][y] != marks_[x][y] || hints[x][y] != hints_[x][y])
                update(static_cast<int>(x) * kSquarePixels, static_cast<int>(y) * kSquarePixels, kSquarePixels,
                       kSquarePixels);
    letters_ = letters;
    marks_ = marks;
    hints_ = hints;
}

void BoardView::paintEvent(QPaintEvent* e) {
    QPainter g(this);
    const client::Grid& squares = client::boardsquares();
    for (int x = 0; x < kBoardSize; ++x) {
        for (int y = 0; y < kBoardSize; ++y) {
            const QRect cell(x * kSquarePixels, y * kSquarePixels, kSquarePixels, kSquarePixels);
            if (!e->rect().intersects(cell)) continue;
            const auto ux = static_cast<std::size_t>(x), uy = static_cast<std::size_t>(y);
            g.drawPixmap(cell.topLeft(), pictures_.picture(squares[ux][uy]));
            const int letter = letters_[ux][uy];
            if (letter >= 1 && letter <= 26) g.drawPixmap(cell.topLeft(), pictures_.picture(letter));
            const int mark = marks_[ux][uy];
            if (mark == client::kPicCross || mark == client::kPicFrame) g.drawPixmap(cell.topLeft(), pictures_.picture(mark));
            if (const int place = hints_[ux][uy]; place > 0) paintHint(g, cell, place);
        }
    }
}

// A hinted square: a gold ring with the letter's place in the word in its corner.
void BoardView::paintHint(QPainter& g, const QRect& cell, int place) {
    g.save();
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(QColor(255, 196, 0), 4));
    g.setBrush(QColor(255, 220, 80, 60));
    g.drawRoundedRect(QRectF(cell).adjusted(3, 3, -3, -3), 8, 8);
    const QRect badge(cell.left() + 4, cell.top() + 4, 16, 16);
    g.setPen(Qt::NoPen);
    g.setBrush(QColor(200, 120, 0));
    g.drawEllipse(badge);
    g.setPen(Qt::white);
    QFont f = g.font();
    f.setPixelSize(11);
    f.setBold(true);
    g.setFont(f);
    g.drawText(badge, Qt::AlignCenter, QString::number(place));
    g.restore();
}

void BoardView::mouseReleaseEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    if (rect().contains(p)) emit clicked(p.x(), p.y(), e->button());
}

}  // namespace quorbit::app
