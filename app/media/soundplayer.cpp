#include "app/media/soundplayer.h"

#include <QApplication>
#include <QAudioDevice>
#include <QHash>
#include <QMediaDevices>
#include <QFile>
#include <QSoundEffect>
#include <QTemporaryDir>
#include <QUrl>

#include "app/media/cues.h"
#include "app/support/paths.h"

// The recordings live in a static library; their resource table must be registered
// by name from the global namespace.
static void registerSoundResources() { Q_INIT_RESOURCE(quorbit_sounds); }

namespace quorbit::media {

namespace {

constexpr int kPaddingMs = 300;

quint32 le32(const QByteArray& b, qsizetype at) {
    quint32 v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    return v;
}
void putLe32(QByteArray& b, qsizetype at, quint32 v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

class AudioOutput : public SoundOutput {
public:
    explicit AudioOutput(QObject* owner) {
        registerSoundResources();
        if (QMediaDevices::audioOutputs().isEmpty()) return;  // nowhere to play
        for (const CueFormat& c : kCues) {
            const QString name = QString::fromLatin1(c.name.data(), static_cast<qsizetype>(c.name.size()));
            auto* effect = new QSoundEffect(owner);
            effect->setSource(paddedCopy(name));
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
    // The padded recording in a private temporary folder; the built-in one if that fails.
    QUrl paddedCopy(const QString& name) {
        const QString resource = SoundPlayer::recordingPath(name);
        QFile in(resource);
        if (folder_.isValid() && in.open(QIODevice::ReadOnly)) {
            QFile out(folder_.filePath(name + ".wav"));
            const QByteArray padded = padWave(in.readAll(), kPaddingMs);
            if (out.open(QIODevice::WriteOnly) && out.write(padded) == padded.size()) return QUrl::fromLocalFile(out.fileName());
        }
        return resource.startsWith(':') ? QUrl("qrc" + resource) : QUrl::fromLocalFile(resource);
    }

    QTemporaryDir folder_;
    QHash<QString, QSoundEffect*> effects_;
    QSoundEffect* current_ = nullptr;
};

}  // namespace

QByteArray padWave(const QByteArray& wave, int milliseconds) {
    if (wave.size() < 12 || !wave.startsWith("RIFF") || wave.mid(8, 4) != "WAVE" || milliseconds <= 0) return wave;
    quint32 rate = 0, block = 0, bits = 0;
    for (qsizetype at = 12; at + 8 <= wave.size();) {
        const QByteArray id = wave.mid(at, 4);
        const quint32 size = le32(wave, at + 4);
        if (size > static_cast<quint32>(wave.size() - at - 8)) return wave;
        if (id == "fmt " && size >= 16) {
            const quint32 format = le32(wave, at + 8) & 0xFFFF;
            rate = le32(wave, at + 12);
            block = le32(wave, at + 20) & 0xFFFF;
            bits = le32(wave, at + 22) & 0xFFFF;
            if (format != 1) return wave;
        } else if (id == "data") {
            // Only a data chunk that ends the file can grow in place.
            if (rate == 0 || block == 0 || rate > 384000 || at + 8 + size != static_cast<quint32>(wave.size())) return wave;
            const quint32 frames = rate * static_cast<quint32>(milliseconds) / 1000;
            const char silence = bits == 8 ? static_cast<char>(0x80) : 0;  // 8-bit samples are unsigned
            QByteArray out = wave + QByteArray(static_cast<qsizetype>(frames * block), silence);
            putLe32(out, at + 4, size + frames * block);
            putLe32(out, 4, static_cast<quint32>(out.size() - 8));
            return out;
        }
        at += 8 + size + (size & 1);
    }
    return wave;
}

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

QString SoundPlayer::recordingPath(const QString& cue, const QStringList& folders) {
    const QString shipped = app::findIn(folders, "sounds/" + cue.toLower() + ".wav");
    return shipped.isEmpty() ? resourcePath(cue) : shipped;
}

}  // namespace quorbit::media
