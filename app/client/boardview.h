#pragma once
// The board (paintbox_board): 7 x 7 squares of 56 pixels drawn in three layers, the
// square, its letter and its mark, from the client's board mirror.
#include <QWidget>

#include "client/client_engine.h"

namespace quorbit::app {

class TilePictures;

class BoardView : public QWidget {
    Q_OBJECT
public:
    BoardView(const TilePictures& pictures, QWidget* parent = nullptr);

    // Repaints the squares whose letter or mark changed since the last call.
    void show(const client::Grid& letters, const client::Grid& marks);
    void repaintAll() { update(); }

    const client::Grid& letters() const { return letters_; }
    const client::Grid& marks() const { return marks_; }

signals:
    // A mouse button released over the board, in board pixels.
    void clicked(int px, int py, Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    const TilePictures& pictures_;
    client::Grid letters_{};
    client::Grid marks_{};
};

}  // namespace quorbit::app
