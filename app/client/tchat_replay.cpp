// Replaying a saved game in the main window: the board, seats and words are drawn from
// the replay's own engine by the same code as the live game; a bar below the game panel
// holds the "Replay" banner, play, pause, next word and speed. The live engine keeps
// running underneath.
#include <QApplication>
#include <QClipboard>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QToolBar>

#include "client/tchat.h"
#include "record/recordstore.h"
#include "record/replay.h"
#include "record/summary.h"
#include "widgets/artwork.h"

namespace art = quorbit::app::artwork;

namespace {

constexpr int kReplayStepMs = 40;
constexpr std::array<int, 3> kSpeeds = {1, 4, 16};

QString clockText(std::int64_t ms) {
    const std::int64_t s = ms / 1000;
    return QString("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QChar('0'));
}

}  // namespace

void Tchat::buildReplayPanel() {
    // A bar of its own below the game panel, so that it hides nothing of the game or the
    // chat while it shows; the window grows by its height for the replay.
    panel_replay = new QToolBar("Replay", this);
    panel_replay->setObjectName("panel_replay");
    panel_replay->setMovable(false);
    panel_replay->setFloatable(false);
    panel_replay->toggleViewAction()->setVisible(false);
    panel_replay->setStyleSheet(
        "#panel_replay { background: #2a1a10; border-top: 2px solid #d9462b; spacing: 6px; padding: 3px; }"
        "QLabel#label_replay { background: #d9462b; color: white; border-radius: 4px; padding: 0 8px; }"
        "QLabel#label_replaytime { color: #ffe9a8; padding: 0 4px; }");
    addToolBar(Qt::BottomToolBarArea, panel_replay);
    label_replay = new QLabel("Replay", panel_replay);
    label_replay->setObjectName("label_replay");
    label_replay->setAlignment(Qt::AlignCenter);
    QFont banner = label_replay->font();
    banner.setBold(true);
    banner.setPointSize(banner.pointSize() + 3);
    label_replay->setFont(banner);
    panel_replay->addWidget(label_replay);
    label_replaytime = new QLabel(panel_replay);
    label_replaytime->setObjectName("label_replaytime");
    // Room for the longest clock text, so that the bar does not shift as it counts.
    label_replaytime->setMinimumWidth(label_replaytime->fontMetrics().horizontalAdvance("00:00 / 00:00   words: 000") + 10);
    panel_replay->addWidget(label_replaytime);

    auto add = [this](const char* name, const QString& text, const char* colour) {
        QPushButton* b = art::flatButton(panel_replay, name, text, QRect(), colour);
        panel_replay->addWidget(b);
        return b;
    };
    button_replayplay = add("button_replayplay", "Pause", "#3c9a3c");
    button_replayplay->setMinimumWidth(button_replayplay->sizeHint().width());  // "Play" and "Pause" alike
    connect(button_replayplay, &QPushButton::clicked, this, [this] { replayPlay(!replayPlaying()); });
    QPushButton* next = add("button_replaynext", "Next Word", "#3a8fd0");
    connect(next, &QPushButton::clicked, this, &Tchat::replayNextWord);
    for (std::size_t i = 0; i < kSpeeds.size(); ++i) {
        const int speed = kSpeeds[i];
        button_speed[i] = add(QString("button_speed%1").arg(speed).toUtf8().constData(), QString("%1x").arg(speed), "#d88a1c");
        connect(button_speed[i], &QPushButton::clicked, this, [this, speed] { setReplaySpeed(speed); });
    }
    QPushButton* copy = add("button_replaycopy", "Copy as Text", "#3a8fd0");
    connect(copy, &QPushButton::clicked, this, [this] { QApplication::clipboard()->setText(replaySummary()); });
    QPushButton* leave = add("button_replayleave", "Leave Replay", "#c0504d");
    connect(leave, &QPushButton::clicked, this, &Tchat::leaveReplay);
    panel_replay->hide();

    replayTimer_.setInterval(kReplayStepMs);
    connect(&replayTimer_, &QTimer::timeout, this, &Tchat::replayTick);
}

bool Tchat::startReplay(const QString& path) {
    quorbit::record::ReadResult r = quorbit::app::loadRecordFile(path);
    if (!r.record) {
        showMessage("This game cannot be replayed: " + QString::fromStdString(r.error));
        return false;
    }
    replayTimer_.stop();
    replay_ = std::make_unique<quorbit::record::Replay>(std::move(*r.record));
    setWindowTitle("Quorbit - Replay");
    panel_replay->show();
    renderedRevision_ = ~std::uint64_t{0};
    replayPlay(true);
    return true;
}

void Tchat::leaveReplay() {
    if (!replay_) return;
    replayTimer_.stop();
    replay_.reset();
    panel_replay->hide();
    setWindowTitle("Quorbit");
    renderedRevision_ = ~std::uint64_t{0};
    render();
}

void Tchat::replayPlay(bool play) {
    if (!replay_) return;
    if (play && !replay_->atEnd()) {
        replayClock_.start();
        replayTimer_.start();
    } else {
        replayTimer_.stop();
    }
    renderReplayPanel();
}

void Tchat::replayNextWord() {
    if (!replay_) return;
    replay_->stepWord();
    replayClock_.start();  // playing goes on from the word
    sync();
}

void Tchat::setReplaySpeed(int speed) {
    replaySpeed_ = speed;
    renderReplayPanel();
}

void Tchat::replayTick() {
    if (!replay_) return;
    const std::int64_t elapsed = replayClock_.restart();
    replay_->advanceTo(replay_->position() + elapsed * replaySpeed_);
    if (replay_->atEnd()) replayTimer_.stop();
    sync();
}

QString Tchat::replaySummary() const {
    if (!replay_) return {};
    return QString::fromStdString(quorbit::record::summaryText(quorbit::record::summarise(replay_->record())));
}

void Tchat::renderReplayPanel() {
    if (!replay_) return;
    const QString where = clockText(replay_->position()) + " / " + clockText(replay_->length()) +
                          QString("   words: %1").arg(replay_->state().memo_words.size());
    if (label_replaytime->text() != where) label_replaytime->setText(where);
    const QString play = replayPlaying() ? "Pause" : "Play";
    if (button_replayplay->text() != play) button_replayplay->setText(play);
    for (std::size_t i = 0; i < kSpeeds.size(); ++i) {
        const bool on = kSpeeds[i] == replaySpeed_;
        if (button_speed[i]->property("on").toBool() != on) {
            button_speed[i]->setProperty("on", on);
            button_speed[i]->setStyleSheet(art::buttonStyle(on ? "#c0504d" : "#d88a1c"));
        }
    }
}
