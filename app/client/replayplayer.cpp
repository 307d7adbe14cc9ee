#include "app/client/replayplayer.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QToolBar>

#include "app/record/recordstore.h"
#include "app/support/languages.h"
#include "record/replay.h"
#include "record/summary.h"
#include "app/widgets/artwork.h"

namespace quorbit::app {

namespace art = artwork;

namespace {

constexpr int kReplayStepMs = 40;

QString clockText(std::int64_t ms) {
    const std::int64_t s = ms / 1000;
    return QString("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QChar('0'));
}

}  // namespace

ReplayPlayer::ReplayPlayer(QMainWindow* window) : QObject(window) {
    // A bar of its own below the game panel, so that it hides nothing of the game or the
    // chat while it shows; the window grows by its height for the replay.
    bar_ = new QToolBar("Replay", window);
    bar_->setObjectName("panel_replay");
    bar_->setMovable(false);
    bar_->setFloatable(false);
    bar_->toggleViewAction()->setVisible(false);
    bar_->setStyleSheet(
        "#panel_replay { background: #2a1a10; border-top: 2px solid #d9462b; spacing: 6px; padding: 3px; }"
        "QLabel#label_replay { background: #d9462b; color: white; border-radius: 4px; padding: 0 8px; }"
        "QLabel#label_replaytime { color: #ffe9a8; padding: 0 4px; }");
    window->addToolBar(Qt::BottomToolBarArea, bar_);
    auto* banner = new QLabel("Replay", bar_);
    banner->setObjectName("label_replay");
    banner->setAlignment(Qt::AlignCenter);
    QFont big = banner->font();
    big.setBold(true);
    big.setPointSize(big.pointSize() + 3);
    banner->setFont(big);
    bar_->addWidget(banner);
    time_ = new QLabel(bar_);
    time_->setObjectName("label_replaytime");
    // Room for the longest clock text, so that the bar does not shift as it counts.
    time_->setMinimumWidth(time_->fontMetrics().horizontalAdvance("00:00 / 00:00   words: 000") + 10);
    bar_->addWidget(time_);

    auto add = [this](const char* name, const QString& text, const char* colour) {
        QPushButton* b = art::flatButton(bar_, name, text, QRect(), colour);
        b->resize(b->sizeHint());  // its size before the bar is first laid out
        bar_->addWidget(b);
        return b;
    };
    play_ = add("button_replayplay", "Pause", "#3c9a3c");
    play_->setMinimumWidth(play_->sizeHint().width());  // "Play" and "Pause" alike
    connect(play_, &QPushButton::clicked, this, [this] { play(!playing()); });
    connect(add("button_replaynext", "Next Word", "#3a8fd0"), &QPushButton::clicked, this, &ReplayPlayer::nextWord);
    for (std::size_t i = 0; i < kSpeeds.size(); ++i) {
        const int speed = kSpeeds[i];
        speedButtons_[i] = add(QString("button_speed%1").arg(speed).toUtf8().constData(), QString("%1x").arg(speed), "#d88a1c");
        connect(speedButtons_[i], &QPushButton::clicked, this, [this, speed] { setSpeed(speed); });
    }
    connect(add("button_replaycopy", "Copy as Text", "#3a8fd0"), &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(summary()); });
    connect(add("button_replayleave", "Leave Replay", "#c0504d"), &QPushButton::clicked, this, &ReplayPlayer::leave);
    bar_->hide();

    timer_.setInterval(kReplayStepMs);
    connect(&timer_, &QTimer::timeout, this, &ReplayPlayer::tick);
}

ReplayPlayer::~ReplayPlayer() = default;

bool ReplayPlayer::start(const QString& path, QString& error) {
    record::ReadResult r = loadRecordFile(path);
    if (!r.record) {
        error = QString::fromStdString(r.error);
        return false;
    }
    timer_.stop();
    replay_ = std::make_unique<record::Replay>(std::move(*r.record), [](std::string_view code) { return loadLanguage(code); });
    bar_->show();
    emit activeChanged();
    play(true);
    return true;
}

void ReplayPlayer::leave() {
    if (!replay_) return;
    timer_.stop();
    replay_.reset();
    bar_->hide();
    emit activeChanged();
}

void ReplayPlayer::play(bool on) {
    if (!replay_) return;
    if (on && !replay_->atEnd()) {
        clock_.start();
        timer_.start();
    } else {
        timer_.stop();
    }
    renderBar();
}

void ReplayPlayer::nextWord() {
    if (!replay_) return;
    replay_->stepWord();
    clock_.start();  // playing goes on from the word
    renderBar();
    emit moved();
}

void ReplayPlayer::setSpeed(int speed) {
    speed_ = speed;
    renderBar();
}

void ReplayPlayer::tick() {
    if (!replay_) return;
    const std::int64_t elapsed = clock_.restart();
    replay_->advanceTo(replay_->position() + elapsed * speed_);
    if (replay_->atEnd()) timer_.stop();
    renderBar();
    emit moved();
}

QString ReplayPlayer::summary() const {
    if (!replay_) return {};
    return QString::fromStdString(record::summaryText(record::summarise(replay_->record())));
}

void ReplayPlayer::renderBar() {
    if (!replay_) return;
    const QString where = clockText(replay_->position()) + " / " + clockText(replay_->length()) +
                          QString("   words: %1").arg(replay_->state().memo_words.size() + replay_->state().memo_wordsDropped);
    if (time_->text() != where) time_->setText(where);
    const QString text = playing() ? "Pause" : "Play";
    if (play_->text() != text) play_->setText(text);
    for (std::size_t i = 0; i < kSpeeds.size(); ++i) {
        const bool on = kSpeeds[i] == speed_;
        if (speedButtons_[i]->property("on").toBool() != on) {
            speedButtons_[i]->setProperty("on", on);
            speedButtons_[i]->setStyleSheet(art::buttonStyle(on ? "#c0504d" : "#d88a1c"));
        }
    }
}

}  // namespace quorbit::app
