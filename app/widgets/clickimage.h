#pragma once
// A picture that reports mouse clicks (release inside it), with the button used.
#include <QLabel>
#include <QMouseEvent>

namespace quorbit::app {

class ClickImage : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void clicked(Qt::MouseButton button);

protected:
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (rect().contains(e->position().toPoint())) emit clicked(e->button());
        QLabel::mouseReleaseEvent(e);
    }
};

}  // namespace quorbit::app
