#pragma once
// Replaying a saved game in the main window, on an engine of its own: the replay, its
// clock and speed, and the bar below the game panel that holds the "Replay" banner, play,
// pause, next word, speed, copy and leave. The window draws the replay's state with the
// same code as the live game's while one runs; the live engine keeps running underneath.
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <array>
#include <memory>

class QLabel;
class QMainWindow;
class QPushButton;
class QToolBar;

namespace quorbit::record {
class Replay;
}

namespace quorbit::app {

class ReplayPlayer : public QObject {
    Q_OBJECT
public:
    // Adds its (hidden) bar at the bottom of `window`.
    explicit ReplayPlayer(QMainWindow* window);
    ~ReplayPlayer() override;

    // Starts the replay of a kept game; false with the reason when the file is unusable.
    bool start(const QString& path, QString& error);
    void leave();
    bool active() const { return replay_ != nullptr; }
    const record::Replay* replay() const { return replay_.get(); }

    void play(bool on);
    void nextWord();
    void setSpeed(int speed);  // 1, 4 or 16
    int speed() const { return speed_; }
    bool playing() const { return timer_.isActive(); }
    QString summary() const;  // the replayed game as text

signals:
    void moved();          // the replayed state changed: the window draws it
    void activeChanged();  // a replay started or was left

private:
    void tick();
    void renderBar();

    static constexpr std::array<int, 3> kSpeeds = {1, 4, 16};

    std::unique_ptr<record::Replay> replay_;
    QTimer timer_;
    QElapsedTimer clock_;
    int speed_ = 1;
    QToolBar* bar_ = nullptr;
    QLabel* time_ = nullptr;
    QPushButton* play_ = nullptr;
    std::array<QPushButton*, 3> speedButtons_{};
};

}  // namespace quorbit::app
