#pragma once
// The board (paintbox_board): 7 x 7 squares of 56 pixels drawn in three layers, the
// square, its letter and its mark, from the client's board mirror; hinted squares are
// ringed on top.
#include <QPainter>
#include <QWidget>

#include "client/client_engine.h"

namespace quorbit::app {

class TilePictures;

class BoardView : public QWidget {
    Q_OBJECT
public:
    BoardView(const TilePictures& pictures, QWidget* parent = nullptr);

    // Repaints the squares whose letter or mark changed since the last call.
    void show(const client::Grid& letters, const client::Grid& marks, const client::Grid& hints);
    void repaintAll() { update(); }

    const client::Grid& letters() const { return letters_; }
    const client::Grid& marks() const { return marks_; }
    const client::Grid& hints() const { return hints_; }

signals:
    // A mouse button released over the board, in board pixels.
    void clicked(int px, int py, Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    static void paintHint(QPainter& g, const QRect& cell, int place);
    const TilePictures& pictures_;
    client::Grid letters_{};
    client::Grid marks_{};
    client::Grid hints_{};
};

}  // namespace quorbit::app
