#pragma once
// Tspylist: the spectators, "<seat>: <name>" each, and the host's "Remove From Game".
#include <QDialog>
#include <vector>

#include "client/mirror.h"

class QListWidget;
class QMenu;
class QAction;

class Tspylist : public QDialog {
    Q_OBJECT
public:
    explicit Tspylist(QWidget* parent = nullptr);

    void setEntries(const std::vector<quorbit::client::Spectator>& spectators);
    QStringList entries() const;
    void setKickEnabled(bool on);  // popup_kickhim, enabled when this client hosts
    QAction* kickAction() const { return kickhim_; }
    int hoverIndex() const { return hoverIndex_; }
    // The entry under a point of the list's viewport, or -1 (what mouse movement records).
    void hoverAt(const QPoint& viewportPos);
    void showOver(QWidget* over);

    // "Remove From Game": the hovered spectator's seat.
    void removeFromGame();

signals:
    void kickRequested(int seat);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QListWidget* listbox_spys_;
    QMenu* popup_kick_;
    QAction* kickhim_;
    int hoverIndex_ = -1;
    std::vector<quorbit::client::Spectator> shown_;  // the spectators the list shows
};
