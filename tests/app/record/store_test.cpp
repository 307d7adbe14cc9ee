// The records folder: atomic saving, the cap of 200, refusing bad files, and a game
// played in the window being kept.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/client/window_fixture.h"
#include "protocol/messages.h"
#include "record/keep.h"
#include "record/recordstore.h"
#include "social/gamestartform.h"

namespace quorbit::apptest {
namespace {

using ::testing::HasSubstr;

record::Record smallRecord() {
    record::Record r;
    r.header.date = "2026-12-09T19:22:28Z";
    r.header.seats = {"Ann", "Zubo", "", ""};
    r.entries = {{0, protocol::toclient::startgame({"Ann", 20, 60, false, 1})}, {7, "CMD_chat+Ann+caf\xE9|clRed"}};
    r.endMs = 9;
    return r;
}

QStringList filesIn(const QString& folder) { return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

TEST(RecordStore, SavesAtomicallyAndReadsBackTheSameBytes) {
    QTemporaryDir dir;
    const app::RecordStore store(dir.path() + "/games");
    QString error;
    const QString path = store.save(smallRecord(), &error);
    ASSERT_FALSE(path.isEmpty()) << error.toStdString();
    // Only the finished file: no temporary left beside it.
    EXPECT_EQ(filesIn(store.folder()), QStringList{QFileInfo(path).fileName()});
    EXPECT_TRUE(record::isRecordFileName(QFileInfo(path).fileName().toStdString()));
    const record::ReadResult back = app::loadRecordFile(path);
    ASSERT_TRUE(back.record) << back.error;
    EXPECT_EQ(back.record->entries[1].line, "CMD_chat+Ann+caf\xE9|clRed");
    // A second game in the same moment gets a name of its own.
    const QString second = store.save(smallRecord());
    EXPECT_NE(second, path);
    EXPECT_EQ(store.list(), (QStringList{second, path}));  // newest first
}

TEST(RecordStore, KeepsTheNewestTwoHundredAndNothingElseIsTouched) {
    QTemporaryDir dir;
    const app::RecordStore store(dir.path());
    for (int i = 0; i < 205; ++i) {
        QFile f(dir.filePath(QString::fromStdString(record::recordFileName({2020, 1, 1, 0, i / 60, i % 60, 0}))));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QFile notes(dir.filePath("notes.txt"));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.close();
    const QString saved = store.save(smallRecord());
    ASSERT_FALSE(saved.isEmpty());
    const QStringList kept = store.list();
    EXPECT_EQ(kept.size(), 200);
    EXPECT_EQ(kept.front(), saved);
    EXPECT_FALSE(QFile::exists(dir.filePath(QString::fromStdString(record::recordFileName({2020, 1, 1, 0, 0, 5, 0})))));
    EXPECT_TRUE(QFile::exists(dir.filePath(QString::fromStdString(record::recordFileName({2020, 1, 1, 0, 0, 6, 0})))));
    EXPECT_TRUE(QFile::exists(dir.filePath("notes.txt")));
}

TEST(RecordStore, AFolderThatCannotBeWrittenIsReportedNotCrashedOn) {
    QTemporaryDir dir;
    QFile blocker(dir.filePath("games"));  // a file where the folder should be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QString error;
    EXPECT_TRUE(app::RecordStore(dir.filePath("games")).save(smallRecord(), &error).isEmpty());
    EXPECT_FALSE(error.isEmpty());
}

TEST(RecordStore, BadFilesAreRefusedWithTheirReason) {
    QTemporaryDir dir;
    EXPECT_THAT(app::loadRecordFile(dir.filePath("missing.qrec")).error, HasSubstr("cannot open"));
    QFile text(dir.filePath("notes.qrec"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("shopping list\n");
    text.close();
    EXPECT_THAT(app::loadRecordFile(text.fileName()).error, HasSubstr("not a Quorbit game record"));
    QFile huge(dir.filePath("huge.qrec"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(static_cast<qint64>(record::kMaxRecordBytes) + 1));
    huge.close();
    EXPECT_THAT(app::loadRecordFile(huge.fileName()).error, HasSubstr("too large"));
}

TEST(RecordStore, TheFolderIsPerUserNeverTheCurrentOne) {
    qputenv("QUORBIT_DATA_DIR", "/tmp/quorbit-elsewhere");
    EXPECT_EQ(app::recordsFolder(), "/tmp/quorbit-elsewhere/games");
    qunsetenv("QUORBIT_DATA_DIR");
    const QString folder = app::recordsFolder();
    EXPECT_TRUE(folder.endsWith("/games"));
    EXPECT_NE(QFileInfo(folder).absolutePath(), QDir::currentPath());
    EXPECT_TRUE(QDir::isAbsolutePath(folder));
}

class RecordedSoloGame : public SoloGame {};

TEST_F(RecordedSoloGame, AGameInTheWindowIsKeptWhenTheProgramEnds) {
    auto& dialog = program->gamestart();
    dialog.setPlaytoscore(10000);
    chat().startGameFromDialog();
    ASSERT_TRUE(waitFor([this] { return chat().state().boardletters[0][0] != 0; }, 10000));
    const QString folder = qEnvironmentVariable("QUORBIT_DATA_DIR") + "/games";
    program.reset();  // the program ends in the middle of the game
    const QStringList files = app::RecordStore(folder).list();
    ASSERT_EQ(files.size(), 1);
    const record::ReadResult r = app::loadRecordFile(files.front());
    ASSERT_TRUE(r.record) << r.error;
    EXPECT_EQ(r.record->header.ownSeat, 1);
    EXPECT_EQ(r.record->header.seats[0], "You");
    EXPECT_EQ(r.record->header.seats[1], "Zubo");
    EXPECT_EQ(r.record->header.playTo, 10000);
    EXPECT_EQ(r.record->ending, record::Ending::Closed);
    ASSERT_GE(r.record->entries.size(), 2u);
    const std::string& first = r.record->entries[0].line;
    EXPECT_THAT(first, ::testing::StartsWith(std::string(protocol::names::startgame)));
    EXPECT_THAT(first, HasSubstr("+You+10000+"));
}

}  // namespace
}  // namespace quorbit::apptest
