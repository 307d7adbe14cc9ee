#include "app/record/recentgames.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <exception>

#include "common/escape.h"
#include "app/record/recordstore.h"
#include "record/summary.h"

namespace rec = quorbit::record;

namespace {

constexpr int kPathRole = Qt::UserRole;

QString text(const std::string& s) { return QString::fromStdString(quorbit::printableText(s)); }

QString playersOf(const rec::GameSummary& s) {
    QStringList names;
    for (const std::string& n : s.players)
        if (!n.empty()) names << text(n);
    return names.join(", ");
}

// "2026-12-09T19:22:28Z" as "2026-12-09 19:22".
QString dateOf(const std::string& iso) {
    QString d = text(iso);
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

// What one row shows, as its file was read.
struct TrecentGames::Row {
    QString date, players, scores, winner;
    QString error;  // empty when the file is a record
};

TrecentGames::~TrecentGames() { stopReaders(); }

void TrecentGames::stopReaders() {
    for (Reader& r : readers_) r.stop->store(true);
    for (Reader& r : readers_) r.thread.join();
    readers_.clear();
}

void TrecentGames::refresh() {
    // An earlier reading still under way is told to stop after its file; the window never
    // waits for it here (only when it goes), and readings that have ended are let go.
    for (Reader& r : readers_) r.stop->store(true);
    std::erase_if(readers_, [](Reader& r) {
        if (!r.finished->load()) return false;
        r.thread.join();
        return true;
    });
    const int generation = ++generation_;
    list_games_->clear();
    label_message_->clear();
    const QStringList files = quorbit::app::RecordStore(folder_).list();
    for (const QString& path : files) {
        auto* item = new QTreeWidgetItem(list_games_);
        item->setData(0, kPathRole, path);
        item->setText(0, QFileInfo(path).fileName());
        item->setText(1, "reading...");
    }
    if (files.isEmpty()) label_message_->setText("No games kept yet: every game you play or watch is kept here.");
    if (list_games_->topLevelItemCount() > 0) list_games_->setCurrentItem(list_games_->topLevelItem(0));

    refreshing_ = true;
    auto stop = std::make_shared<std::atomic<bool>>(false);
    auto finished = std::make_shared<std::atomic<bool>>(false);
    std::thread thread([this, files, stop, finished, generation] {
        for (int i = 0; i < files.size() && !stop->load(); ++i) {
            Row row;
            try {
                const rec::ReadResult r = quorbit::app::loadRecordFile(files[i]);
                if (!r.record) {
                    row.error = text(r.error);
                } else {
                    const rec::GameSummary s = rec::summarise(*r.record);
                    row.date = dateOf(s.date);
                    row.players = playersOf(s);
                    row.scores = QString::fromStdString(rec::scoresText(s, s.scores, s.teamA, s.teamB));
                    row.winner = s.winner.empty() ? QString("(not finished)") : text(s.winner);
                }
            } catch (const std::exception& e) {
                row.error = QString("the file could not be read (%1)").arg(e.what());
            }
            // The window outlives this thread: it waits for it before it goes.
            QMetaObject::invokeMethod(this, [this, generation, i, row] { fillRow(generation, i, row); },
                                      Qt::QueuedConnection);
        }
        QMetaObject::invokeMethod(this, [this, generation] {
            if (generation != generation_) return;
            refreshing_ = false;
            emit refreshed();
        }, Qt::QueuedConnection);
        finished->store(true);
    });
    readers_.push_back({std::move(thread), std::move(stop), std::move(finished)});
}

void TrecentGames::fillRow(int generation, int index, const Row& row) {
    if (generation != generation_) return;
    QTreeWidgetItem* item = list_games_->topLevelItem(index);
    if (!item) return;
    if (!row.error.isEmpty()) {
        item->setText(1, "cannot be read: " + row.error);
        return;
    }
    item->setText(0, row.date);
    item->setText(1, row.players);
    item->setText(2, row.scores);
    item->setText(3, row.winner);
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
        label_message_->setText("This game cannot be read: " + text(r.error));
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
