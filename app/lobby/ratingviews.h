#pragma once
// The lobby's rating windows: the leaderboard (two tabs, "Two players" and "Three or
// more") and a player's recent games, listed and with the ratings after each game drawn
// over the games' finishing times (Qt Charts). Both are filled from the lobby's book when
// the server's answer is complete.
#include <QDialog>

#include "client/lobby_model.h"

class QLabel;
class QTableWidget;
class QTabWidget;
class QChartView;

namespace quorbit::lobby {

class LeaderboardDialog : public QDialog {
    Q_OBJECT
public:
    explicit LeaderboardDialog(QWidget* parent = nullptr);
    // Shows a model's board ("duel" or "group") as the book holds it.
    void show(std::string_view model, const std::vector<client::LeaderRow>& rows);
    using QDialog::show;

private:
    QTabWidget* tabs_;
    QTableWidget* list_duel;
    QTableWidget* list_group;
};

class RecentGamesDialog : public QDialog {
    Q_OBJECT
public:
    explicit RecentGamesDialog(QWidget* parent = nullptr);
    void asked(const QString& name);  // the answer for `name` is on its way
    void show(const client::History& history);
    using QDialog::show;
    // The points drawn, per model (for tests): duel, group.
    int points(std::string_view model) const;

private:
    QLabel* label_player;
    QTableWidget* list_games;
    QChartView* chart_ratings;
    int duelPoints_ = 0, groupPoints_ = 0;
};

}  // namespace quorbit::lobby
