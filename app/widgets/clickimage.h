#pragma once
// A picture that reports mouse clicks (release inside it), with the button used. Where its
// owner lets it take the focus, Space and Enter click it too.
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace quorbit::app {

class ClickImage : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    // A left click, for the keyboard and for screen readers.
    void click() { emit clicked(Qt::LeftButton); }
signals:
    void clicked(Qt::MouseButton button);

protected:
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (rect().contains(e->position().toPoint())) emit clicked(e->button());
        QLabel::mouseReleaseEvent(e);
    }
    void keyPressEvent(QKeyEvent* e) override {
        const int k = e->key();
        if (e->modifiers() == Qt::NoModifier && (k == Qt::Key_Space || k == Qt::Key_Return || k == Qt::Key_Enter)) {
            click();
            return;
        }
        QLabel::keyPressEvent(e);
    }
    void paintEvent(QPaintEvent* e) override {
        QLabel::paintEvent(e);
        if (hasFocus()) {  // a dashed outline while the keyboard is on it
            QPainter g(this);
            g.setPen(QPen(QColor(90, 230, 255), 2, Qt::DashLine));
            g.drawRect(rect().adjusted(1, 1, -1, -1));
        }
    }
};

}  // namespace quorbit::app
