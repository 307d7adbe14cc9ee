#include "media/soundplayer.h"

#include <QApplication>
#include <QAudioDevice>
#include <QHash>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

#include "media/cues.h"

// The recordings live in a static library; their resource table must be registered
// by name from the global namespace.
static void registerSoundResources() { Q_INIT_RESOURCE(quorbit_sounds); }

namespace quorbit::media {

namespace {

class AudioOutput : public SoundOutput {
public:
    explicit AudioOutput(QObject* owner) {
        registerSoundResources();
        if (QMediaDevices::audioOutputs().isEmpty()) return;  // nowhere to play
        for (const CueFormat& c : kCues) {
            const QString name = QString::fromLatin1(c.name.data(), static_cast<qsizetype>(c.name.size()));
            auto* effect = new QSoundEffect(owner);
            effect->setSource(QUrl("qrc" + SoundPlayer::resourcePath(name)));
            effects_.insert(name, effect);
        }
    }
    void play(const QString& cue) override {
        QSoundEffect* effect = effects_.value(cue);
        if (!effect) return;
        if (current_ && current_ != effect) current_->stop();
        effect->stop();
        effect->play();
        current_ = effect;
    }
    void beep() override { QApplication::beep(); }

private:
    QHash<QString, QSoundEffect*> effects_;
    QSoundEffect* current_ = nullptr;
};

}  // namespace

std::unique_ptr<SoundOutput> makeAudioOutput(QObject* owner) { return std::make_unique<AudioOutput>(owner); }

SoundPlayer::SoundPlayer(QObject* parent) : QObject(parent), output_(makeAudioOutput(this)) {}

SoundPlayer::SoundPlayer(std::unique_ptr<SoundOutput> output, QObject* parent)
    : QObject(parent), output_(std::move(output)) {
    registerSoundResources();
}

SoundPlayer::~SoundPlayer() = default;

void SoundPlayer::playsounds(const QString& name) {
    if (!enabled_ || !output_) return;
    const QString cue = name.toLower();
    if (hasRecording(cue)) output_->play(cue);
    else output_->beep();
}

QString SoundPlayer::turnCue(int turnsound) {
    if (turnsound == 1) return "turnnew";
    if (turnsound == 2) return "turn";
    return "start";
}

bool SoundPlayer::hasRecording(const QString& name) {
    const QString lower = name.toLower();
    for (const CueFormat& c : kCues)
        if (lower == QLatin1String(c.name.data(), static_cast<qsizetype>(c.name.size()))) return true;
    return false;
}

QString SoundPlayer::resourcePath(const QString& cue) { return ":/sounds/" + cue.toLower() + ".wav"; }

}  // namespace quorbit::media
