#include "app/lobby/ratingviews.h"

#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QTabWidget>
#include <QTableWidget>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>

namespace quorbit::lobby {
namespace {

QString text(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// Rows as high as the lobby's own lists'; every column as wide as its contents but
// `stretched`, which takes the rest of the width.
QTableWidget* listOf(const char* name, const QStringList& heads, int stretched, QWidget* parent) {
    auto* t = new QTableWidget(0, static_cast<int>(heads.size()), parent);
    t->setObjectName(name);
    t->setHorizontalHeaderLabels(heads);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->verticalHeader()->hide();
    t->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    t->verticalHeader()->setDefaultSectionSize(t->fontMetrics().height() + 6);
    t->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    t->horizontalHeader()->setSectionResizeMode(stretched, QHeaderView::Stretch);
    t->setAlternatingRowColors(true);
    return t;
}

QTableWidgetItem* cell(const QString& s) { return new QTableWidgetItem(s); }
// A number, lined up at the right as the lobby's online list shows ratings.
QTableWidgetItem* number(const QString& s) {
    auto* item = new QTableWidgetItem(s);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QString modelText(const std::string& model) { return model == "duel" ? "Two players" : "Three or more"; }

}  // namespace

LeaderboardDialog::LeaderboardDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("dialog_leaderboard");
    setWindowTitle("Leaderboard");
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName("tabs_leaderboard");
    const QStringList heads{"Rank", "Name", "Rating", "Games"};
    list_duel = listOf("list_leaders_duel", heads, 1, tabs_);
    list_group = listOf("list_leaders_group", heads, 1, tabs_);
    list_duel->setAccessibleName("Leaderboard of two-player games");
    list_group->setAccessibleName("Leaderboard of games of three or more");
    tabs_->addTab(list_duel, "&Two players");
    tabs_->addTab(list_group, "T&hree or more");
    (new QVBoxLayout(this))->addWidget(tabs_);
    resize(440, 480);
}

void LeaderboardDialog::show(std::string_view model, const std::vector<client::LeaderRow>& rows) {
    QTableWidget* list = model == "group" ? list_group : list_duel;
    list->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const client::LeaderRow& row = rows[static_cast<std::size_t>(r)];
        list->setItem(r, 0, number(QString::number(row.rank)));
        list->setItem(r, 1, cell(text(row.name)));
        list->setItem(r, 2, number(text(row.rating)));
        list->setItem(r, 3, number(QString::number(row.games)));
    }
}

RecentGamesDialog::RecentGamesDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("dialog_recentgames");
    setWindowTitle("Recent Games");
    label_player = new QLabel(this);
    label_player->setObjectName("label_player");
    label_player->setTextFormat(Qt::PlainText);
    list_games = listOf("list_games", {"Finished", "Game", "Before", "After"}, 1, this);
    list_games->setAccessibleName("Recent games");
    chart_ratings = new QChartView(this);
    chart_ratings->setObjectName("chart_ratings");
    chart_ratings->setAccessibleName("Rating after each game");
    chart_ratings->setRenderHint(QPainter::Antialiasing);
    chart_ratings->setMinimumHeight(220);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_player);
    layout->addWidget(chart_ratings, 3);
    layout->addWidget(list_games, 2);
    resize(560, 560);
}

void RecentGamesDialog::asked(const QString& name) {
    label_player->setText("Asking for the recent games of " + name + "...");
}

int RecentGamesDialog::points(std::string_view model) const { return model == "group" ? groupPoints_ : duelPoints_; }

void RecentGamesDialog::show(const client::History& history) {
    const QString who = text(history.name);
    label_player->setText(history.games.empty() ? who + " has no rated games." : "The recent games of " + who + ":");
    list_games->setRowCount(static_cast<int>(history.games.size()));
    auto* chart = new QChart;
    chart->setTitle("Rating after each game");
    chart->legend()->setAlignment(Qt::AlignBottom);
    auto* time = new QDateTimeAxis;
    time->setFormat("d MMM");
    time->setTitleText("Finished");
    chart->addAxis(time, Qt::AlignBottom);
    QLineSeries* series[2] = {new QLineSeries, new QLineSeries};
    series[0]->setName("Two players");
    series[1]->setName("Three or more");
    qint64 first = 0, last = 0;
    // The latest game comes first: drawn oldest to newest.
    for (int r = static_cast<int>(history.games.size()) - 1, row = 0; r >= 0; --r, ++row) {
        const client::HistoryGame& g = history.games[static_cast<std::size_t>(r)];
        const QDateTime when = QDateTime::fromSecsSinceEpoch(g.finished);
        list_games->setItem(static_cast<int>(history.games.size()) - 1 - row, 0, cell(when.toString("yyyy-MM-dd hh:mm")));
        list_games->setItem(static_cast<int>(history.games.size()) - 1 - row, 1, cell(modelText(g.model)));
        list_games->setItem(static_cast<int>(history.games.size()) - 1 - row, 2, number(text(g.before)));
        list_games->setItem(static_cast<int>(history.games.size()) - 1 - row, 3, number(text(g.after)));
        bool ok = false;
        const double after = text(g.after).toDouble(&ok);
        if (!ok) continue;
        series[g.model == "group" ? 1 : 0]->append(static_cast<double>(when.toMSecsSinceEpoch()), after);
        first = first == 0 ? when.toMSecsSinceEpoch() : std::min(first, when.toMSecsSinceEpoch());
        last = std::max(last, when.toMSecsSinceEpoch());
    }
    duelPoints_ = static_cast<int>(series[0]->count());
    groupPoints_ = static_cast<int>(series[1]->count());
    // Two models rate on different scales: each has its own axis, the duel's on the left.
    for (int m = 0; m < 2; ++m) {
        if (series[m]->count() == 0) {
            delete series[m];
            continue;
        }
        chart->addSeries(series[m]);
        auto* value = new QValueAxis;
        value->setTitleText(m == 0 ? "Two players" : "Three or more");
        value->setLabelFormat(m == 0 ? "%d" : "%.1f");
        chart->addAxis(value, m == 0 || duelPoints_ == 0 ? Qt::AlignLeft : Qt::AlignRight);
        series[m]->attachAxis(time);
        series[m]->attachAxis(value);
        double lo = series[m]->at(0).y(), hi = lo;
        for (const QPointF& p : series[m]->points()) lo = std::min(lo, p.y()), hi = std::max(hi, p.y());
        const double pad = std::max((hi - lo) * 0.1, m == 0 ? 10.0 : 0.5);
        value->setRange(lo - pad, hi + pad);
        value->applyNiceNumbers();  // ticks on round numbers
    }
    // A single game still gets a day's width.
    time->setRange(QDateTime::fromMSecsSinceEpoch(first - 43200000), QDateTime::fromMSecsSinceEpoch(std::max(last, first) + 43200000));
    QChart* old = chart_ratings->chart();
    chart_ratings->setChart(chart);
    delete old;
}

}  // namespace quorbit::lobby
