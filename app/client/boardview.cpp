#include "app/client/boardview.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <optional>

#include "app/widgets/tilepictures.h"

namespace quorbit::app {

using client::BoardKey;
using client::kBoardSize;
constexpr int kSquarePixels = kTilePixels;

namespace {

// The board's keys; anything else is not the board's.
std::optional<BoardKey> boardKey(const QKeyEvent* e) {
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    const bool shift = mods == Qt::ShiftModifier;
    if (mods != Qt::NoModifier && !shift) return std::nullopt;
    switch (e->key()) {
        case Qt::Key_Left: return shift ? BoardKey::SlideLeft : BoardKey::Left;
        case Qt::Key_Right: return shift ? BoardKey::SlideRight : BoardKey::Right;
        case Qt::Key_Up: return shift ? BoardKey::SlideUp : BoardKey::Up;
        case Qt::Key_Down: return shift ? BoardKey::SlideDown : BoardKey::Down;
        default: break;
    }
    if (shift) return std::nullopt;
    switch (e->key()) {
        case Qt::Key_Space: return BoardKey::Choose;
        case Qt::Key_Backspace: return BoardKey::TakeBack;
        case Qt::Key_Escape: return BoardKey::Clear;
        case Qt::Key_Return:
        case Qt::Key_Enter: return BoardKey::Done;
        case Qt::Key_S: return BoardKey::Shuffle;
        case Qt::Key_H: return BoardKey::Hint;
        default: return std::nullopt;
    }
}

}  // namespace

BoardView::BoardView(const TilePictures& pictures, QWidget* parent) : QWidget(parent), pictures_(pictures) {
    setObjectName("paintbox_board");
    resize(kBoardSize * kSquarePixels, kBoardSize * kSquarePixels);  // the layout places it
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName("Board");
    for (auto& column : marks_) column.fill(client::kMarkNone);
}

void BoardView::show(const client::Grid& letters, const client::Grid& marks, const client::Grid& hints) {
    for (std::size_t x = 0; x < kBoardSize; ++x)
        for (std::size_t y = 0; y < kBoardSize; ++y)
            if (letters[x][y] != letters_[x][y] || marks[x][y] != marks_[x][y] || hints[x][y] != hints_[x][y])
                updateSquare(static_cast<int>(x), static_cast<int>(y));
    letters_ = letters;
    marks_ = marks;
    hints_ = hints;
}

qreal BoardView::scale() const { return qreal(width()) / (kBoardSize * kSquarePixels); }

QRect BoardView::squareRect(int index) const {
    const qreal s = scale();
    const int x = index % kBoardSize, y = index / kBoardSize;
    const QPoint from(qRound(x * kSquarePixels * s), qRound(y * kSquarePixels * s));
    const QPoint to(qRound((x + 1) * kSquarePixels * s), qRound((y + 1) * kSquarePixels * s));
    return QRect(from, to - QPoint(1, 1));
}

void BoardView::updateSquare(int x, int y) { update(squareRect(indexOf({x, y}))); }

void BoardView::setFocusSquare(client::Square square) {
    if (square == focus_) return;
    update(squareRect(indexOf(focus_)));
    focus_ = square;
    update(squareRect(indexOf(focus_)));
    if (hasFocus()) announceFocus();
}

void BoardView::setSquareNames(const std::array<QString, kSquares>& names) {
    for (int i = 0; i < kSquares; ++i) {
        const auto u = static_cast<std::size_t>(i);
        if (names_[u] == names[u]) continue;
        names_[u] = names[u];
        QAccessibleEvent changed(this, QAccessible::NameChanged);
        changed.setChild(i);
        QAccessible::updateAccessibility(&changed);
    }
}

void BoardView::announceFocus() {
    QAccessibleEvent focus(this, QAccessible::Focus);
    focus.setChild(indexOf(focus_));
    QAccessible::updateAccessibility(&focus);
}

void BoardView::paintEvent(QPaintEvent* e) {
    QPainter g(this);
    // Everything below is in design pixels; the pictures hold enough device pixels for the
    // scale, so that nothing is blown up.
    const qreal s = scale();
    g.scale(s, s);
    g.setRenderHint(QPainter::SmoothPixmapTransform, s != 1);
    const QRectF dirty(e->rect().x() / s, e->rect().y() / s, e->rect().width() / s, e->rect().height() / s);
    if (s != 1) g.fillRect(dirty, QColor(0x5b, 0x3b, 0x1c));  // the frame's wood, under any seam
    const client::Grid& squares = client::boardsquares();
    for (int x = 0; x < kBoardSize; ++x) {
        for (int y = 0; y < kBoardSize; ++y) {
            const QRect cell(x * kSquarePixels, y * kSquarePixels, kSquarePixels, kSquarePixels);
            if (!dirty.intersects(QRectF(cell))) continue;
            const auto ux = static_cast<std::size_t>(x), uy = static_cast<std::size_t>(y);
            g.drawPixmap(cell.topLeft(), pictures_.picture(squares[ux][uy]));
            const int letter = letters_[ux][uy];
            if (letter >= 1 && letter <= 26) g.drawPixmap(cell.topLeft(), pictures_.picture(letter));
            const int mark = marks_[ux][uy];
            if (mark == client::kPicCross || mark == client::kPicFrame) g.drawPixmap(cell.topLeft(), pictures_.picture(mark));
            if (const int place = hints_[ux][uy]; place > 0) paintHint(g, cell, place);
        }
    }
    if (hasFocus()) paintFocus(g);
}

void BoardView::paintFocus(QPainter& g) {
    // Rounded corners and a dashed light line over a dark one: unlike the selection frame
    // and readable on light and dark tiles alike.
    const QRectF cell = QRectF(focus_.x * kSquarePixels, focus_.y * kSquarePixels, kSquarePixels, kSquarePixels)
                            .adjusted(3.5, 3.5, -3.5, -3.5);
    g.setRenderHint(QPainter::Antialiasing);
    g.setBrush(Qt::NoBrush);
    g.setPen(QPen(QColor(10, 20, 60), 4));
    g.drawRoundedRect(cell, 9, 9);
    QPen dashes(QColor(90, 230, 255), 2, Qt::DashLine);
    dashes.setDashPattern({3, 2});
    g.setPen(dashes);
    g.drawRoundedRect(cell, 9, 9);
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
    if (!rect().contains(p)) return;
    // The square under the point, counted in design pixels whatever the drawn size.
    const qreal s = scale();
    const int last = kBoardSize - 1;
    emit clicked(std::min(last, int(p.x() / s) / kSquarePixels), std::min(last, int(p.y() / s) / kSquarePixels),
                 e->button());
}

void BoardView::keyPressEvent(QKeyEvent* e) {
    const auto key = boardKey(e);
    if (key && onKey && onKey(*key)) {
        e->accept();
        return;
    }
    QWidget::keyPressEvent(e);
}

void BoardView::focusInEvent(QFocusEvent* e) {
    QWidget::focusInEvent(e);
    update(squareRect(indexOf(focus_)));
    announceFocus();
}

void BoardView::focusOutEvent(QFocusEvent* e) {
    QWidget::focusOutEvent(e);
    update(squareRect(indexOf(focus_)));
}

}  // namespace quorbit::app
