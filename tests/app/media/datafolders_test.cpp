// Where the shipped tile sets and sounds are found: beside the program (a portable
// build) and in the installed share/quorbit beside PREFIX/bin.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/media/soundplayer.h"
#include "qt_print.h"
#include "app/support/paths.h"

namespace {

using quorbit::app::findIn;
using quorbit::app::installedDataFolder;
using quorbit::app::shippedDataFolders;

bool touch(const QString& path, const QByteArray& bytes = "x") {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// PREFIX/bin and PREFIX/share/quorbit in a temporary folder.
struct InstalledTree : ::testing::Test {
    QTemporaryDir prefix;
    QString bin() const { return prefix.filePath("bin"); }
    QString share() const { return prefix.filePath("share/quorbit"); }
    void SetUp() override { ASSERT_TRUE(QDir().mkpath(bin())); }
};

TEST_F(InstalledTree, TheDataFolderIsTheOneBesideTheProgramsFolder) {
    EXPECT_EQ(installedDataFolder("/usr/bin"), "/usr/share/quorbit");
    EXPECT_EQ(installedDataFolder("/opt/q/bin/"), "/opt/q/share/quorbit");
    // A portable build has no such folder: only its own folder is searched.
    EXPECT_EQ(shippedDataFolders(bin()), QStringList{bin()});
    ASSERT_TRUE(QDir().mkpath(share()));
    EXPECT_EQ(shippedDataFolders(bin()), (QStringList{bin(), share()}));
}

TEST_F(InstalledTree, TheProgramsOwnFolderWinsOverTheInstalledOne) {
    ASSERT_TRUE(touch(share() + "/sounds/place.wav"));
    ASSERT_TRUE(touch(share() + "/sounds/clear.wav"));
    ASSERT_TRUE(touch(bin() + "/sounds/place.wav"));
    const QStringList folders = shippedDataFolders(bin());
    EXPECT_EQ(findIn(folders, "sounds/place.wav"), bin() + "/sounds/place.wav");
    EXPECT_EQ(findIn(folders, "sounds/clear.wav"), share() + "/sounds/clear.wav");
    EXPECT_TRUE(findIn(folders, "sounds/timer.wav").isEmpty());
    EXPECT_TRUE(findIn({}, "sounds/place.wav").isEmpty());
}

TEST_F(InstalledTree, ACueWithoutAShippedFilePlaysTheBuiltInRecording) {
    ASSERT_TRUE(touch(share() + "/sounds/place.wav"));
    const QStringList folders = shippedDataFolders(bin());
    // Event names are matched without regard to letter case, files are lower case.
    EXPECT_EQ(quorbit::media::SoundPlayer::recordingPath("PLACE", folders), share() + "/sounds/place.wav");
    EXPECT_EQ(quorbit::media::SoundPlayer::recordingPath("timer", folders), ":/sounds/timer.wav");
    EXPECT_TRUE(QFile::exists(quorbit::media::SoundPlayer::recordingPath("timer", folders)));
}

}  // namespace
