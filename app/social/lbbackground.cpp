#include "app/social/lbbackground.h"

#include <QEvent>
#include <QPainter>
#include <QWidget>

TLbBackground::TLbBackground(QWidget* owner) : QObject(owner), owner_(owner) {
    if (owner_) owner_->installEventFilter(this);
}

void TLbBackground::setPicture(const QPixmap& p) {
    picture_ = p;
    if (owner_) owner_->update();
}

void TLbBackground::setActive(bool on) {
    active_ = on;
    if (owner_) owner_->update();
}

QSize TLbBackground::grid(QSize owner, QSize picture) {
    if (picture.width() <= 0 || picture.height() <= 0) return {0, 0};
    return {owner.width() / picture.width() + 2, owner.height() / picture.height() + 2};
}

bool TLbBackground::eventFilter(QObject* watched, QEvent* event) {
    // Paints first and lets the event go on, so the window's own painting lands on top.
    if (watched == owner_ && event->type() == QEvent::Paint && active_ && !picture_.isNull()) {
        QPainter p(owner_);
        const QSize cells = grid(owner_->size(), picture_.size());
        for (int row = 0; row < cells.height(); ++row)
            for (int col = 0; col < cells.width(); ++col)
                p.drawPixmap(col * picture_.width(), row * picture_.height(), picture_);
    }
    return QObject::eventFilter(watched, event);
}
