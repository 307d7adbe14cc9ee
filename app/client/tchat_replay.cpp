// Replaying a saved game in the main window: ReplayPlayer runs it and its bar; the window
// draws the replayed state instead of the live game's while it runs.
#include "app/client/replayplayer.h"
#include "app/client/tchat.h"
#include "record/replay.h"

void Tchat::connectReplay() {
    replayer_ = new quorbit::app::ReplayPlayer(this);
    connect(replayer_, &quorbit::app::ReplayPlayer::activeChanged, this, [this] {
        setWindowTitle(replaying() ? "Quorbit - Replay" : "Quorbit");
        renderedRevision_ = ~std::uint64_t{0};
        followLanguage();
        render();
        // The chat box names the replayed game's language, as the server told it then.
        if (replaying())
            for (const quorbit::client::ChatLine& line : replay()->opening()) addNotice(QString::fromStdString(line.text));
    });
    connect(replayer_, &quorbit::app::ReplayPlayer::moved, this, &Tchat::sync);
}

bool Tchat::startReplay(const QString& path) {
    QString error;
    if (replayer_->start(path, error)) return true;
    showMessage("This game cannot be replayed: " + error);
    return false;
}

void Tchat::leaveReplay() { replayer_->leave(); }
bool Tchat::replaying() const { return replayer_->active(); }
const quorbit::record::Replay* Tchat::replay() const { return replayer_->replay(); }
void Tchat::replayPlay(bool play) { replayer_->play(play); }
void Tchat::replayNextWord() { replayer_->nextWord(); }
void Tchat::setReplaySpeed(int speed) { replayer_->setSpeed(speed); }
int Tchat::replaySpeed() const { return replayer_->speed(); }
bool Tchat::replayPlaying() const { return replayer_->playing(); }
QString Tchat::replaySummary() const { return replayer_->summary(); }
