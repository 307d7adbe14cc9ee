#pragma once
// A one-line label that, when its text is wider than its room (a long name, or a large
// desktop text size), draws the text cut short with an ellipsis instead of clipping it
// mid-letter. text() stays whole, for screen readers and for the code that reads it.
#include <QLabel>

namespace quorbit::app {

class ElidingLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    // The text as drawn: the whole text where it fits, else its start and an ellipsis.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QRect textRoom() const;
};

}  // namespace quorbit::app
