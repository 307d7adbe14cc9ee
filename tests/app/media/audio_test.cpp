// The cues really sound: each is played through a private PulseAudio server whose only
// output is a null sink, the sink's monitor is recorded, and the recording must hold one
// burst of sound of about the cue's length per cue. Skipped where no PulseAudio server
// can be started.
#include <QAudioDevice>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMediaDevices>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>

#include "app/media/cues.h"
#include "app/media/soundplayer.h"

using quorbit::media::CueFormat;
using quorbit::media::kCues;

namespace {

constexpr int kGapMs = 450;          // silence between two cues
constexpr int kCutAfterMs = 300;     // the newer cue starts this long after the older
constexpr int kRecordRate = 44100;

QString cueName(const CueFormat& c) { return QString::fromLatin1(c.name.data(), static_cast<qsizetype>(c.name.size())); }

// A PulseAudio server of our own, in a private runtime folder, killed at the end.
struct PrivatePulse {
    QTemporaryDir dir;
    QProcess server;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    bool up = false;

    PrivatePulse() {
        if (QStandardPaths::findExecutable("pulseaudio").isEmpty() || QStandardPaths::findExecutable("pactl").isEmpty() ||
            QStandardPaths::findExecutable("parec").isEmpty())
            return;
        QDir(dir.path()).mkpath("run");
        QDir(dir.path()).mkpath("home");
        QFile::setPermissions(dir.filePath("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert("XDG_RUNTIME_DIR", dir.filePath("run"));
        env.insert("HOME", dir.filePath("home"));
        env.insert("PULSE_SERVER", "unix:" + dir.filePath("run/pulse/native"));
        env.remove("PULSE_SINK");
        server.setProcessEnvironment(env);
        server.setProcessChannelMode(QProcess::MergedChannels);
        server.start("pulseaudio", {"--daemonize=no", "--exit-idle-time=-1", "-n", "--log-level=error",
                                    "--load=module-native-protocol-unix", "--load=module-null-sink sink_name=check"});
        if (!server.waitForStarted(5000)) return;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 8000 && !up) {
            QTest::qWait(100);
            up = run("pactl", {"info"}) == 0;
        }
        up = up && run("pactl", {"set-default-sink", "check"}) == 0;
    }
    ~PrivatePulse() {
        if (server.state() != QProcess::NotRunning) {
            server.terminate();
            if (!server.waitForFinished(3000)) server.kill();
            server.waitForFinished(3000);
        }
    }
    int run(const QString& program, const QStringList& args) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(program, args);
        if (!p.waitForFinished(5000)) {
            p.kill();
            p.waitForFinished();
            return -1;
        }
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }
};

// Stretches of sound in a mono 16-bit recording: runs of samples above about -40 dB,
// joined across quiet spells shorter than 40 ms. Each is (start, length) in ms.
QList<QPair<double, double>> bursts(const QByteArray& raw) {
    const auto* s = reinterpret_cast<const int16_t*>(raw.constData());
    const qsizetype n = raw.size() / 2;
    const int threshold = 330;
    const qsizetype join = kRecordRate * 40 / 1000;
    QList<QPair<double, double>> out;
    qsizetype start = -1, last = -1;
    for (qsizetype i = 0; i < n; ++i) {
        if (std::abs(static_cast<int>(s[i])) < threshold) continue;
        if (start >= 0 && i - last > join) {
            out << qMakePair(start * 1000.0 / kRecordRate, (last - start + 1) * 1000.0 / kRecordRate);
            start = -1;
        }
        if (start < 0) start = i;
        last = i;
    }
    if (start >= 0) out << qMakePair(start * 1000.0 / kRecordRate, (last - start + 1) * 1000.0 / kRecordRate);
    return out;
}

}  // namespace

// Run as a child process by the test below: plays every cue with a gap after each, then
// "shuffle" cut off by "timer".
TEST(AudioChild, PlaysEveryCue) {
    if (!qEnvironmentVariableIsSet("QUORBIT_AUDIO_CHILD")) GTEST_SKIP() << "only run by SoundsReallyPlay";
    ASSERT_FALSE(QMediaDevices::audioOutputs().isEmpty()) << "no audio output seen";
    quorbit::media::SoundPlayer player;
    QTest::qWait(1500);  // the recordings load in the background
    for (const CueFormat& c : kCues) {
        player.playsounds(cueName(c));
        QTest::qWait(c.milliseconds + kGapMs);
    }
    player.playsounds(QString("shuffle"));
    QTest::qWait(kCutAfterMs);
    player.playsounds(QString("timer"));
    QTest::qWait(1500);
}

TEST(SoundsReallyPlay, EachCueSoundsForAboutItsLengthAndANewerCueCutsOffAnOlder) {
    PrivatePulse pulse;
    if (!pulse.up) GTEST_SKIP() << "no PulseAudio server could be started here";

    QProcess recorder;
    recorder.setProcessEnvironment(pulse.env);
    recorder.start("parec", {"-d", "check.monitor", "--raw", "--format=s16le", "--rate=44100", "--channels=1",
                             "--latency-msec=20"});
    ASSERT_TRUE(recorder.waitForStarted(5000));
    QTest::qWait(500);

    QProcess child;
    QProcessEnvironment env = pulse.env;
    env.insert("QUORBIT_AUDIO_CHILD", "1");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=AudioChild.PlaysEveryCue"});
    ASSERT_TRUE(child.waitForStarted(5000));
    QByteArray raw;
    QElapsedTimer t;
    t.start();
    while (child.state() != QProcess::NotRunning && t.elapsed() < 60000) {
        QTest::qWait(50);
        raw += recorder.readAllStandardOutput();
    }
    ASSERT_EQ(child.state(), QProcess::NotRunning) << "the player never finished";
    const QByteArray childOut = child.readAllStandardOutput();
    ASSERT_EQ(child.exitCode(), 0) << childOut.toStdString();
    QTest::qWait(300);
    raw += recorder.readAllStandardOutput();
    recorder.terminate();
    recorder.waitForFinished(3000);
    raw += recorder.readAllStandardOutput();

    const auto found = bursts(raw);
    QStringList seen;
    for (const auto& b : found) seen << QString("%1+%2").arg(b.first, 0, 'f', 0).arg(b.second, 0, 'f', 0);
    SCOPED_TRACE("bursts at ms+length: " + seen.join(' ').toStdString());
    // The thirteen cues, then the cut-off pair (as one burst or two: the newer cue may
    // start a moment after the older one stops).
    ASSERT_GE(found.size(), static_cast<qsizetype>(kCues.size() + 1)) << "bursts of sound recorded";
    ASSERT_LE(found.size(), static_cast<qsizetype>(kCues.size() + 2)) << "bursts of sound recorded";
    for (std::size_t i = 0; i < kCues.size(); ++i) {
        const double expected = kCues[i].milliseconds;
        const double measured = found[static_cast<qsizetype>(i)].second;
        EXPECT_GT(measured, expected * 0.8 - 15) << kCues[i].name;
        EXPECT_LT(measured, expected + 60) << kCues[i].name;
    }
    // "shuffle" (1170 ms) cut off by "timer" (100 ms) after 300 ms: about 400 ms in all.
    const auto& first = found[static_cast<qsizetype>(kCues.size())];
    const double span = found.last().first + found.last().second - first.first;
    EXPECT_GT(span, kCutAfterMs + 50.0);
    EXPECT_LT(span, kCutAfterMs + 100.0 + 250.0);
}
