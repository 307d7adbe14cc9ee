// Replaying a saved game in the main window: the board, seats and words are drawn from
// the replay's own engine by the same code as the live game, under a "Replay" banner
// with play, pause, next word and speed. The live engine keeps running underneath.
#include <QApplication>
#include <QClipboard>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

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
    panel_replay = new QFrame(panel_board);
    panel_replay->setObjectName("panel_replay");
    panel_replay->setGeometry(442, 256, 334, 104);
    panel_replay->setStyleSheet(
        "#panel_replay { background: #2a1a10; border: 2px solid #d9462b; border-radius: 8px; }"
        "QLabel#label_replay { background: #d9462b; color: white; border-radius: 4px; }"
        "QLabel#label_replaytime { color: #ffe9a8; }");
    label_replay = new QLabel("Replay", panel_replay);
    label_replay->setObjectName("label_replay");
    label_replay->setGeometry(8, 6, 96, 26);
    label_replay->setAlignment(Qt::AlignCenter);
    QFont banner = label_replay->font();
    banner.setPixelSize(17);
    banner.setBold(true);
    label_replay->setFont(banner);
    label_replaytime = new QLabel(panel_replay);
    label_replaytime->setObjectName("label_replaytime");
    label_replaytime->setGeometry(112, 6, 214, 26);

    auto add = [this](const char* name, const QString& text, QRect where, const char* colour) {
        return art::flatButton(panel_replay, name, text, where, colour);
    };
    button_replayplay = add("button_replayplay", "Play", QRect(8, 38, 70, 26), "#3c9a3c");
    connect(button_replayplay, &QPushButton::clicked, this, [this] { replayPlay(!replayPlaying()); });
    QPushButton* next = add("button_replaynext", "Next Word", QRect(84, 38, 92, 26), "#3a8fd0");
    connect(next, &QPushButton::clicked, this, &Tchat::replayNextWord);
    for (std::size_t i = 0; i < kSpeeds.size(); ++i) {
        const int speed = kSpeeds[i];
        button_speed[i] = add(QString("button_speed%1").arg(speed).toUtf8().constData(), QString("%1x").arg(speed),
                              QRect(182 + static_cast<int>(i) * 48, 38, 44, 26), "#d88a1c");
        connect(button_speed[i], &QPushButton::clicked, this, [this, speed] { setReplaySpeed(speed); });
    }
    QPushButton* copy = add("button_replaycopy", "Copy as Text", QRect(8, 70, 120, 26), "#3a8fd0");
    connect(copy, &QPushButton::clicked, this, [this] { QApplication::clipboard()->setText(replaySummary()); });
    QPushButton* leave = add("button_replayleave", "Leave Replay", QRect(206, 70, 120, 26), "#c0504d");
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
    panel_replay->raise();
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
                          QString("   words: %1").arg(replay_->state().memo_words.size() + replay_->state().memo_wordsDropped);
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
