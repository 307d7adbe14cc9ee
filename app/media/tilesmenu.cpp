#include "app/media/tilesmenu.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

namespace quorbit::media {

TilesMenu::TilesMenu(QMenu* menu, TileSets sets, QObject* parent)
    : QObject(parent), menu_(menu), group_(new QActionGroup(this)), sets_(std::move(sets)) {
    group_->setExclusive(true);
}

void TilesMenu::grouptilesmenu() {
    for (const QString& name : sets_.names()) creategrouptilesmenu(name);
}

void TilesMenu::creategrouptilesmenu(const QString& name) {
    if (entry(name)) return;
    QString caption = name;
    caption.replace('&', "&&");  // a caption shows the name, never a keyboard accelerator
    auto* action = new QAction(caption, group_);
    action->setCheckable(true);
    action->setData(name);
    action->setObjectName("tiles_" + name);
    menu_->addAction(action);
    connect(action, &QAction::triggered, this, [this, name] { grouptilesmenuClick(name); });
}

QAction* TilesMenu::entry(const QString& name) const {
    for (QAction* a : group_->actions())
        if (a->data().toString().compare(name, Qt::CaseInsensitive) == 0) return a;
    return nullptr;
}

void TilesMenu::mark(const QString& name) {
    if (QAction* a = entry(name)) a->setChecked(true);
}

bool TilesMenu::loadgrouptiles(const QString& name) {
    if (sets_.fileOf(name).isEmpty()) return false;
    mark(name);
    const bool changed = sets_.load(name);
    if (changed) emit picturesChanged();
    return changed;
}

void TilesMenu::grouptilesmenuClick(const QString& name) {
    mark(name);
    sets_.choose(name);
    emit picturesChanged();
    emit saveRequested();
}

}  // namespace quorbit::media
