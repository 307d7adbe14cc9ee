// The sound cues: the recordings' formats, the generator that made them, and which cue
// each game event plays.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/media/cues.h"
#include "app/media/soundplayer.h"
#include "qt_print.h"

using quorbit::media::CueFormat;
using quorbit::media::kCues;
using quorbit::media::SoundPlayer;

namespace {

QString cueName(const CueFormat& c) { return QString::fromLatin1(c.name.data(), static_cast<qsizetype>(c.name.size())); }

unsigned le(const QByteArray& b, qsizetype at, int bytes) {
    unsigned v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    return v;
}

struct WaveInfo {
    bool ok = false;
    unsigned format = 0, channels = 0, rate = 0, byteRate = 0, block = 0, bits = 0, dataBytes = 0;
};

// Walks the RIFF chunks as a player would, rather than trusting fixed offsets.
WaveInfo readWave(const QByteArray& b) {
    WaveInfo w;
    if (b.size() < 12 || b.left(4) != "RIFF" || b.mid(8, 4) != "WAVE") return w;
    if (le(b, 4, 4) != static_cast<unsigned>(b.size() - 8)) return w;
    bool fmt = false, data = false;
    for (qsizetype at = 12; at + 8 <= b.size();) {
        const QByteArray id = b.mid(at, 4);
        const unsigned size = le(b, at + 4, 4);
        if (static_cast<qsizetype>(size) > b.size() - at - 8) return w;
        if (id == "fmt " && size >= 16) {
            w.format = le(b, at + 8, 2);
            w.channels = le(b, at + 10, 2);
            w.rate = le(b, at + 12, 4);
            w.byteRate = le(b, at + 16, 4);
            w.block = le(b, at + 20, 2);
            w.bits = le(b, at + 22, 2);
            fmt = true;
        } else if (id == "data") {
            w.dataBytes = size;
            data = true;
        }
        at += 8 + size + (size & 1);
    }
    w.ok = fmt && data;
    return w;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void expectFormat(const CueFormat& c, const QByteArray& bytes, const QString& where) {
    SCOPED_TRACE(where.toStdString());
    const WaveInfo w = readWave(bytes);
    ASSERT_TRUE(w.ok);
    EXPECT_EQ(w.format, 1u);  // uncompressed PCM
    EXPECT_EQ(w.rate, static_cast<unsigned>(c.rate));
    EXPECT_EQ(w.bits, static_cast<unsigned>(c.bits));
    EXPECT_EQ(w.channels, static_cast<unsigned>(c.channels));
    EXPECT_EQ(w.block, static_cast<unsigned>(c.channels * c.bits / 8));
    EXPECT_EQ(w.byteRate, w.block * w.rate);
    ASSERT_GT(w.block, 0u);
    const double seconds = static_cast<double>(w.dataBytes / w.block) / w.rate;
    EXPECT_NEAR(seconds, c.milliseconds / 1000.0, 0.0005);
    EXPECT_EQ(w.dataBytes % w.block, 0u);
}

QString toolPath(const char* name) { return QFileInfo(QUORBIT_BINARY).dir().filePath(name); }

}  // namespace

TEST(SoundCues, TheTableHoldsTheThirteenCuesInTheirFormats) {
    ASSERT_EQ(kCues.size(), 13u);
    const struct { const char* name; int rate, bits, channels, ms; } expected[] = {
        {"badword", 44100, 16, 1, 350}, {"clear", 44100, 16, 1, 260},    {"entered", 11025, 8, 1, 790},
        {"gameover", 22050, 8, 1, 1060}, {"goodword", 44100, 16, 1, 220}, {"place", 44100, 16, 1, 220},
        {"roundover", 11025, 8, 1, 1250}, {"shift", 11025, 16, 1, 290},  {"shuffle", 22050, 8, 1, 1170},
        {"start", 22050, 8, 1, 1000},    {"timer", 44100, 16, 1, 100},   {"turn", 11025, 16, 2, 570},
        {"turnnew", 44100, 8, 1, 430}};
    for (std::size_t i = 0; i < kCues.size(); ++i) {
        EXPECT_EQ(kCues[i].name, expected[i].name);
        EXPECT_EQ(kCues[i].rate, expected[i].rate) << expected[i].name;
        EXPECT_EQ(kCues[i].bits, expected[i].bits) << expected[i].name;
        EXPECT_EQ(kCues[i].channels, expected[i].channels) << expected[i].name;
        EXPECT_EQ(kCues[i].milliseconds, expected[i].ms) << expected[i].name;
    }
}

TEST(SoundCues, ShippedAndBuiltInRecordingsHaveTheTableFormats) {
    SoundPlayer player(std::unique_ptr<quorbit::media::SoundOutput>{});  // registers the built-in recordings
    for (const CueFormat& c : kCues) {
        const QString asset = QString(QUORBIT_SOURCE_DIR) + "/assets/sounds/" + cueName(c) + ".wav";
        const QByteArray onDisk = readAll(asset);
        expectFormat(c, onDisk, asset);
        const QByteArray builtIn = readAll(SoundPlayer::resourcePath(cueName(c)));
        expectFormat(c, builtIn, SoundPlayer::resourcePath(cueName(c)));
        EXPECT_EQ(builtIn, onDisk) << "the program carries a stale copy of " << c.name;
    }
    EXPECT_FALSE(QFile::exists(SoundPlayer::resourcePath("winner")));
}

TEST(SoundCues, RecordingsAreNeitherSilentNorClipped) {
    for (const CueFormat& c : kCues) {
        const QByteArray b = readAll(QString(QUORBIT_SOURCE_DIR) + "/assets/sounds/" + cueName(c) + ".wav");
        ASSERT_GT(b.size(), 44);
        int peak = 0;
        const int step = c.bits / 8;
        for (qsizetype at = 44; at + step <= b.size(); at += step) {
            const int v = c.bits == 8 ? static_cast<unsigned char>(b[at]) - 128
                                      : static_cast<int>(static_cast<int16_t>(le(b, at, 2))) / 256;
            peak = std::max(peak, std::abs(v));
        }
        EXPECT_GT(peak, 64) << c.name << " is nearly silent";
        EXPECT_LT(peak, 127) << c.name << " reaches full scale";
    }
}

TEST(SoundCues, TheGeneratorMakesTheCommittedRecordingsAgain) {
    const QString tool = toolPath("quorbit_mksounds");
    ASSERT_TRUE(QFileInfo(tool).isExecutable()) << tool.toStdString();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_EQ(QProcess::execute(tool, {dir.path()}), 0);
    for (const CueFormat& c : kCues) {
        EXPECT_EQ(readAll(dir.filePath(cueName(c) + ".wav")),
                  readAll(QString(QUORBIT_SOURCE_DIR) + "/assets/sounds/" + cueName(c) + ".wav"))
            << c.name << ": assets/sounds is out of date; run tools/make_media.sh";
    }
}

namespace {

// Records what the player asked of the output.
struct Recorder : quorbit::media::SoundOutput {
    QStringList* log;
    explicit Recorder(QStringList* l) : log(l) {}
    void play(const QString& cue) override { *log << cue; }
    void beep() override { *log << "<beep>"; }
};

struct PlayerTest : ::testing::Test {
    QStringList log;
    SoundPlayer player{std::make_unique<Recorder>(&log)};
};

}  // namespace

TEST_F(PlayerTest, EveryGameEventPlaysItsCue) {
    const char* events[][2] = {{"entered", "entered"}, {"place", "place"},         {"clear", "clear"},
                               {"shift", "shift"},     {"shuffle", "shuffle"},     {"timer", "timer"},
                               {"goodword", "goodword"}, {"roundover", "roundover"}, {"badword", "badword"},
                               {"winner", "<beep>"},   {"turnnew", "turnnew"},     {"turn", "turn"},
                               {"start", "start"},     {"gameover", "gameover"}};
    for (auto& e : events) {
        log.clear();
        player.playsounds(QString(e[0]));
        EXPECT_EQ(log, QStringList{e[1]}) << e[0];
    }
}

TEST_F(PlayerTest, NamesMatchInAnyLetterCaseAndUnknownNamesSoundTheAlert) {
    player.playsounds(QString("PLACE"));
    player.playsounds(std::string_view("GoodWord"));
    player.playsounds(QString("no such cue"));
    player.playsounds(QString());
    EXPECT_EQ(log, (QStringList{"place", "goodword", "<beep>", "<beep>"}));
}

TEST_F(PlayerTest, NothingSoundsWhileSoundsAreOffAndTheSwitchActsAtTheNextEvent) {
    player.setEnabled(false);
    for (const CueFormat& c : kCues) player.playsounds(cueName(c));
    player.playsounds(QString("winner"));
    EXPECT_TRUE(log.isEmpty());
    player.setEnabled(true);
    player.playsounds(QString("timer"));
    EXPECT_EQ(log, QStringList{"timer"});
}

TEST(SoundPlayerTurn, TheTurnSoundChoicePicksTheCue) {
    EXPECT_EQ(SoundPlayer::turnCue(1), "turnnew");  // "New"
    EXPECT_EQ(SoundPlayer::turnCue(2), "turn");     // "Default"
    EXPECT_EQ(SoundPlayer::turnCue(0), "start");    // "Classic"
    EXPECT_EQ(SoundPlayer::turnCue(7), "start");
    EXPECT_EQ(SoundPlayer::turnCue(-1), "start");
}

TEST(SoundPlayerDevice, PlayingWithoutAnAudioDeviceReturnsAtOnce) {
    SoundPlayer player;  // the real output; CI machines have no sound card
    for (int round = 0; round < 3; ++round)
        for (const CueFormat& c : kCues) player.playsounds(cueName(c));
    player.playsounds(QString("winner"));
    SUCCEED();
}

TEST(PaddedRecordings, SilenceIsAddedToTheDataAndTheSizesFollow) {
    for (const char* name : {"timer", "entered", "turn"}) {  // 16-bit mono, 8-bit mono, 16-bit stereo
        const QByteArray wave = readAll(QString(QUORBIT_SOURCE_DIR) + "/assets/sounds/" + name + ".wav");
        const WaveInfo before = readWave(wave);
        const QByteArray padded = quorbit::media::padWave(wave, 300);
        const WaveInfo after = readWave(padded);
        ASSERT_TRUE(after.ok) << name;
        EXPECT_EQ(after.rate, before.rate);
        EXPECT_EQ(after.bits, before.bits);
        EXPECT_EQ(after.channels, before.channels);
        EXPECT_EQ(after.dataBytes, before.dataBytes + before.rate * 300 / 1000 * before.block) << name;
        EXPECT_EQ(padded.mid(44, wave.size() - 44), wave.mid(44)) << "the sound itself is unchanged";
        const char silence = before.bits == 8 ? static_cast<char>(0x80) : 0;
        EXPECT_EQ(padded.mid(wave.size()), QByteArray(padded.size() - wave.size(), silence)) << name;
    }
}

TEST(PaddedRecordings, WhatIsNotAReadablePcmWaveStaysAsItWas) {
    const QByteArray wave = readAll(QString(QUORBIT_SOURCE_DIR) + "/assets/sounds/place.wav");
    QByteArray compressed = wave;
    compressed[20] = 3;  // a float format
    QByteArray lying = wave;
    lying[43] = static_cast<char>(0x7F);  // a data size beyond the file
    QByteArray trailing = wave + "LIST";  // something after the data
    for (const QByteArray& bad : {QByteArray(), QByteArray("RIFF"), QByteArray("not a wave file at all"),
                                  wave.left(30), compressed, lying, trailing}) {
        EXPECT_EQ(quorbit::media::padWave(bad, 300), bad);
    }
    EXPECT_EQ(quorbit::media::padWave(wave, 0), wave);
}
