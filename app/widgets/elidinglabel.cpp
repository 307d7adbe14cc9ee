#include "app/widgets/elidinglabel.h"

#include <QPainter>
#include <QStyle>

namespace quorbit::app {

QRect ElidingLabel::textRoom() const {
    const int indentBy = indent() > 0 ? indent() : 0;
    return contentsRect().adjusted(alignment() & Qt::AlignRight ? 0 : indentBy, 0, alignment() & Qt::AlignRight ? -indentBy : 0, 0);
}

QString ElidingLabel::shownText() const { return fontMetrics().elidedText(text(), Qt::ElideRight, textRoom().width()); }

void ElidingLabel::paintEvent(QPaintEvent* e) {
    const QString shown = shownText();
    if (shown == text()) {
        QLabel::paintEvent(e);
        return;
    }
    QPainter p(this);
    style()->drawItemText(&p, textRoom(), QStyle::visualAlignment(layoutDirection(), alignment()), palette(), isEnabled(),
                          shown, foregroundRole());
}

}  // namespace quorbit::app
