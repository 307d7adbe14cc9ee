#pragma once
// TrecentGames: the "Recent Games" window. It lists the saved games, newest first, with
// date, players, scores and winner; a game can be replayed in the main window or copied
// as text. A record that cannot be read is listed with the reason instead.
#include <QDialog>
#include <QString>

class QLabel;
class QTreeWidget;

class TrecentGames : public QDialog {
    Q_OBJECT
public:
    explicit TrecentGames(QWidget* parent = nullptr);

    void setFolder(const QString& folder) { folder_ = folder; }
    // Reads the folder again.
    void refresh();
    void showOver(QWidget* over);

    QTreeWidget* list() const { return list_games_; }
    QString selectedPath() const;
    // The selected game as text; empty (and the reason shown) when it cannot be read.
    QString selectedSummary();

signals:
    void replayRequested(const QString& path);

private:
    QTreeWidget* list_games_;
    QLabel* label_message_;
    QString folder_;
};
