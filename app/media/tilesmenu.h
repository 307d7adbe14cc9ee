#pragma once
// The Tiles menu: one radio entry per tile set in the tile folder, and what choosing an
// entry or reading a stored set does. The window gives it its (empty) Tiles menu, redraws
// the board and rack on picturesChanged() and saves its settings on saveRequested().
#include <QObject>
#include <QString>

#include "app/media/tilesets.h"

class QAction;
class QActionGroup;
class QMenu;

namespace quorbit::media {

class TilesMenu : public QObject {
    Q_OBJECT
public:
    TilesMenu(QMenu* menu, TileSets sets, QObject* parent = nullptr);
    explicit TilesMenu(QMenu* menu, QObject* parent = nullptr) : TilesMenu(menu, TileSets(), parent) {}

    // Fills the menu from the tile folder (once, when the window is created).
    void grouptilesmenu();
    // Adds one entry named `name`.
    void creategrouptilesmenu(const QString& name);
    // Loads a stored set: its entry gets the radio mark and the pictures change at once.
    // A set without a file changes nothing. True when the pictures changed.
    bool loadgrouptiles(const QString& name);
    // A click on an entry: loads its set, records its name as the current one (even when
    // the file has gone), redraws and asks for the settings to be saved.
    void grouptilesmenuClick(const QString& name);

    const TileSets& sets() const { return sets_; }
    QString currentName() const { return sets_.current(); }
    const std::optional<TilePictures>& pictures() const { return sets_.pictures(); }
    QAction* entry(const QString& name) const;  // nullptr when there is none
    QMenu* menu() const { return menu_; }

signals:
    void picturesChanged();
    void saveRequested();

private:
    void mark(const QString& name);

    QMenu* menu_;
    QActionGroup* group_;
    TileSets sets_;
};

}  // namespace quorbit::media
