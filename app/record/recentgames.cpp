#include "record/recentgames.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "record/recordstore.h"
#include "record/summary.h"

namespace rec = quorbit::record;

namespace {

constexpr int kPathRole = Qt::UserRole;

QString playersOf(const rec::GameSummary& s) {
    QStringList names;
    for (const std::string& n : s.players)
        if (!n.empty()) names << QString::fromStdString(n);
    return names.join(", ");
}

// "2026-12-09T19:22:28Z" as "2026-12-09 19:22".
QString dateOf(const std::string& iso) {
    QString d = QString::fromStdString(iso);
    d.replace('T', ' ');
    return d.left(16);
}

}  // namespace

TrecentGames::TrecentGames(QWidget* parent) : QDialog(parent) {
    setObjectName("TrecentGames");
    setWindowTitle("Quorbit - Recent Games");
    list_games_ = new QTreeWidget(this);
    list_games_->setObjectName("list_games");
    list_games_->setHeaderLabels({"Date", "Players", "Scores", "Winner"});
    list_games_->setRootIsDecorated(false);
    list_games_->setAlternatingRowColors(true);
    list_games_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    label_message_ = new QLabel(this);
    label_message_->setObjectName("label_message");
    label_message_->setWordWrap(true);
    auto* replay = new QPushButton("Replay", this);
    replay->setObjectName("button_replay");
    auto* copy = new QPushButton("Copy as Text", this);
    copy->setObjectName("button_copy");
    auto* close = new QPushButton("Close", this);
    close->setObjectName("button_close");

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(replay);
    buttons->addWidget(copy);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_games_);
    layout->addWidget(label_message_);
    layout->addLayout(buttons);
    resize(620, 380);

    auto replaySelected = [this] {
        const QString path = selectedPath();
        if (!path.isEmpty()) emit replayRequested(path);
    };
    connect(replay, &QPushButton::clicked, this, replaySelected);
    connect(list_games_, &QTreeWidget::itemActivated, this, replaySelected);
    connect(copy, &QPushButton::clicked, this, [this] {
        const QString text = selectedSummary();
        if (!text.isEmpty()) QApplication::clipboard()->setText(text);
    });
    connect(close, &QPushButton::clicked, this, &QDialog::hide);
}

void TrecentGames::refresh() {
    list_games_->clear();
    label_message_->clear();
    const QStringList files = quorbit::app::RecordStore(folder_).list();
    for (const QString& path : files) {
        auto* item = new QTreeWidgetItem(list_games_);
        item->setData(0, kPathRole, path);
        const rec::ReadResult r = quorbit::app::loadRecordFile(path);
        if (!r.record) {
            item->setText(0, QFileInfo(path).fileName());
            item->setText(1, "cannot be read: " + QString::fromStdString(r.error));
            continue;
        }
        const rec::GameSummary s = rec::summarise(*r.record);
        item->setText(0, dateOf(s.date));
        item->setText(1, playersOf(s));
        item->setText(2, QString::fromStdString(rec::scoresText(s, s.scores, s.teamA, s.teamB)));
        item->setText(3, s.winner.empty() ? QString("(not finished)") : QString::fromStdString(s.winner));
    }
    if (files.isEmpty()) label_message_->setText("No games kept yet: every game you play or watch is kept here.");
    if (list_games_->topLevelItemCount() > 0) list_games_->setCurrentItem(list_games_->topLevelItem(0));
}

QString TrecentGames::selectedPath() const {
    const QTreeWidgetItem* item = list_games_->currentItem();
    return item ? item->data(0, kPathRole).toString() : QString();
}

QString TrecentGames::selectedSummary() {
    const QString path = selectedPath();
    if (path.isEmpty()) return {};
    const rec::ReadResult r = quorbit::app::loadRecordFile(path);
    if (!r.record) {
        label_message_->setText("This game cannot be read: " + QString::fromStdString(r.error));
        return {};
    }
    return QString::fromStdString(rec::summaryText(rec::summarise(*r.record)));
}

void TrecentGames::showOver(QWidget* over) {
    refresh();
    if (over) move(over->geometry().center() - QPoint(width() / 2, height() / 2));
    show();
    raise();
}
