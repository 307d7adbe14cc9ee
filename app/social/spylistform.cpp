#include "app/social/spylistform.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "client/presenter.h"

Tspylist::Tspylist(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint) {
    setObjectName("Tspylist");
    setWindowTitle("Quorbit - Spys");
    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel("Spy List", this);
    QFont f = heading->font();
    f.setBold(true);
    f.setPointSize(f.pointSize() + 2);
    heading->setFont(f);
    heading->setAlignment(Qt::AlignCenter);
    layout->addWidget(heading);
    listbox_spys_ = new QListWidget(this);
    listbox_spys_->setObjectName("listbox_spys");
    listbox_spys_->setMouseTracking(true);
    listbox_spys_->viewport()->setMouseTracking(true);
    listbox_spys_->viewport()->installEventFilter(this);
    listbox_spys_->setMinimumSize(180, 160);
    layout->addWidget(listbox_spys_);
    auto* ok = new QPushButton("Ok", this);
    ok->setObjectName("button_ok");
    connect(ok, &QPushButton::clicked, this, &QDialog::hide);
    layout->addWidget(ok, 0, Qt::AlignHCenter);

    popup_kick_ = new QMenu(this);
    popup_kick_->setObjectName("popup_kick");
    kickhim_ = popup_kick_->addAction("Remove From Game", this, &Tspylist::removeFromGame);
    kickhim_->setObjectName("popup_kickhim");
    kickhim_->setEnabled(false);
}

void Tspylist::setEntries(const std::vector<quorbit::client::Spectator>& spectators) {
    // Called at every redraw of the main window: the list is rebuilt only when it changed,
    // so its items, and the entry the pointer rests on, stay put in between.
    if (spectators == shown_) return;
    shown_ = spectators;
    QStringList want;
    for (const auto& s : spectators) want << QString::fromStdString(quorbit::client::spyRow(s));
    listbox_spys_->clear();
    listbox_spys_->addItems(want);
}

QStringList Tspylist::entries() const {
    QStringList out;
    for (int i = 0; i < listbox_spys_->count(); ++i) out << listbox_spys_->item(i)->text();
    return out;
}

void Tspylist::setKickEnabled(bool on) { kickhim_->setEnabled(on); }

void Tspylist::hoverAt(const QPoint& viewportPos) {
    QListWidgetItem* item = listbox_spys_->itemAt(viewportPos);
    hoverIndex_ = item ? listbox_spys_->row(item) : -1;
}

void Tspylist::removeFromGame() {
    if (hoverIndex_ < 0 || hoverIndex_ >= static_cast<int>(shown_.size())) return;
    emit kickRequested(shown_[static_cast<std::size_t>(hoverIndex_)].seat);
}

bool Tspylist::eventFilter(QObject* watched, QEvent* e) {
    if (watched == listbox_spys_->viewport()) {
        if (e->type() == QEvent::MouseMove) hoverAt(static_cast<QMouseEvent*>(e)->position().toPoint());
        if (e->type() == QEvent::ContextMenu) {
            auto* ce = static_cast<QContextMenuEvent*>(e);
            hoverAt(ce->pos());
            popup_kick_->exec(ce->globalPos());
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

void Tspylist::showOver(QWidget* over) {
    adjustSize();
    if (over) move(over->geometry().center() - QPoint(width() / 2, height() / 2));
    show();
    raise();
}
