#pragma once
// The board (paintbox_board): 7 x 7 squares of kTilePixels design pixels drawn in three
// layers, the square, its letter and its mark, from the client's board mirror. Placed larger
// than its design size it draws everything larger by the same factor, the tile pictures at
// their own resolution; a click is reported as the square it fell on. Hinted squares are
// ringed on top. It takes the keyboard focus (a click or Tab), shows the focus square with
// an outline of its own while it has the focus, and hands its keys to `onKey`.
#include <QPainter>
#include <QWidget>
#include <array>
#include <functional>

#include "client/board_keys.h"
#include "client/client_engine.h"

namespace quorbit::app {

class TilePictures;

class BoardView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSquares = client::kBoardSize * client::kBoardSize;

    BoardView(const TilePictures& pictures, QWidget* parent = nullptr);

    // Repaints the squares whose letter or mark changed since the last call.
    void show(const client::Grid& letters, const client::Grid& marks, const client::Grid& hints);
    void repaintAll() { update(); }

    const client::Grid& letters() const { return letters_; }
    const client::Grid& marks() const { return marks_; }
    const client::Grid& hints() const { return hints_; }
    const TilePictures& pictures() const { return pictures_; }  // what the tiles are drawn with

    // The square the keys act on.
    void setFocusSquare(client::Square square);
    client::Square focusSquare() const { return focus_; }

    // What a screen reader says for each square, in reading order (row by row, each row
    // from the left): index y * 7 + x.
    void setSquareNames(const std::array<QString, kSquares>& names);
    const QString& squareName(int index) const { return names_[static_cast<std::size_t>(index)]; }
    static int indexOf(client::Square s) { return s.y * client::kBoardSize + s.x; }
    // A square's place on the widget as it is drawn now.
    QRect squareRect(int index) const;
    // Widget pixels per design pixel: its width over the design width.
    qreal scale() const;

    // Called with each board key; false when the key meant nothing, which passes it on.
    std::function<bool(client::BoardKey)> onKey;

signals:
    // A mouse button released over the board, on square (x, y).
    void clicked(int x, int y, Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    static void paintHint(QPainter& g, const QRect& cell, int place);
    void paintFocus(QPainter& g);
    void updateSquare(int x, int y);
    void announceFocus();

    const TilePictures& pictures_;
    client::Grid letters_{};
    client::Grid marks_{};
    client::Grid hints_{};
    client::Square focus_{client::kBoardSize / 2, client::kBoardSize / 2};
    std::array<QString, kSquares> names_{};
};

}  // namespace quorbit::app
