#pragma once
// Plays the game's sound cues by event name, in the background, one at a time.
//
// A cue name is matched without regard to letter case. A name that has no recording
// (the game's "winner" among them) sounds the desktop's alert instead. A newer cue cuts
// off one that is still playing. While sounds are switched off nothing sounds at all.
#include <QObject>
#include <QString>
#include <memory>
#include <string_view>

#include "app/support/paths.h"

namespace quorbit::media {

// Where the sounds go: the real audio output, or a recorder in tests.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    // Starts the recording of `cue` (a name of the cue table), stopping any other.
    virtual void play(const QString& cue) = 0;
    // The desktop's alert sound.
    virtual void beep() = 0;
};

// The real output: one preloaded QSoundEffect per cue. With no audio device at all it
// plays nothing (a QSoundEffect without a device would report itself playing forever).
// Each recording is played from a copy with silence after it: the audio stream ends
// about a tenth of a second before the last samples it was given are heard, so without
// the padding the end of every cue, and nearly all of "timer", would be lost.
std::unique_ptr<SoundOutput> makeAudioOutput(QObject* owner);

// A PCM wave file with `milliseconds` of silence appended to its data; the file as it
// was when it is not a PCM wave file that can be read.
QByteArray padWave(const QByteArray& wave, int milliseconds);

class SoundPlayer : public QObject {
    Q_OBJECT
public:
    explicit SoundPlayer(QObject* parent = nullptr);  // plays through the audio device
    SoundPlayer(std::unique_ptr<SoundOutput> output, QObject* parent = nullptr);
    ~SoundPlayer() override;

    // Options, "Play Sounds"; on at start. Takes effect at the next cue.
    void setEnabled(bool on) { enabled_ = on; }
    bool enabled() const { return enabled_; }

    // Plays the cue of that event name if sounds are on; returns at once.
    void playsounds(const QString& name);
    void playsounds(std::string_view name) { playsounds(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()))); }

    // The cue that announces this player's turn for a turn-sound setting: 1 "New" is
    // "turnnew", 2 "Default" is "turn", anything else ("Classic") is "start".
    static QString turnCue(int turnsound);
    // True when `name` (any letter case) has a recording.
    static bool hasRecording(const QString& name);
    // The resource path of a cue's recording, e.g. ":/sounds/place.wav".
    static QString resourcePath(const QString& cue);
    // The recording that plays for a cue: `sounds/CUE.wav` in the first of the shipped
    // data folders that has it (so an install or a portable folder may carry its own),
    // otherwise the built-in one.
    static QString recordingPath(const QString& cue, const QStringList& folders = app::shippedDataFolders());

private:
    std::unique_ptr<SoundOutput> output_;
    bool enabled_ = true;
};

}  // namespace quorbit::media
