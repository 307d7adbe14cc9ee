// The records folder: atomic saving, the cap of 200, refusing bad files, and a game
// played in the window being kept.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <unistd.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/client/window_fixture.h"
#include "protocol/messages.h"
#include "record/keep.h"
#include "app/record/recordstore.h"
#include "app/social/gamestartform.h"

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

// Records hold chat: the folder is made private, the file is the user's alone, and a
// link planted under the record's name (dangling or not) is never written through.
TEST(RecordStore, SavesPrivatelyAndNeverThroughAPlantedLink) {
    QTemporaryDir dir;
    const mode_t mask = ::umask(022);
    const app::RecordStore store(dir.filePath("data/games"));
    const record::Moment when{2026, 12, 10, 9, 0, 0, 0};
    const QString first = store.saveAt(smallRecord(), when);
    ::umask(mask);
    ASSERT_FALSE(first.isEmpty());
    const auto mode = [](const QString& path) {
        struct stat st {};
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 0777 : 01000;
    };
    EXPECT_EQ(mode(store.folder()), 0700u);
    EXPECT_EQ(mode(dir.filePath("data")), 0700u);
    EXPECT_EQ(mode(first), 0600u);

    const auto name = [&](int serial) { return store.folder() + "/" + QString::fromStdString(record::recordFileName(when, serial)); };
    QFile outside(dir.filePath("outside.txt"));
    ASSERT_TRUE(outside.open(QIODevice::WriteOnly));
    outside.write("mine");
    outside.close();
    ASSERT_TRUE(QFile::link(dir.filePath("nowhere.txt"), name(1)));  // dangling
    ASSERT_TRUE(QFile::link(outside.fileName(), name(2)));
    const QString saved = store.saveAt(smallRecord(), when);
    EXPECT_EQ(saved, name(3));
    EXPECT_FALSE(QFileInfo(saved).isSymLink());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("nowhere.txt")));
    ASSERT_TRUE(outside.open(QIODevice::ReadOnly));
    EXPECT_EQ(outside.readAll(), "mine");
}

// A FIFO (through a link) or a folder under a record's name is refused at once: opening
// never waits for a writer.
TEST(RecordStore, OnlyRegularFilesAreRead) {
    QTemporaryDir dir;
    const QByteArray fifo = QFile::encodeName(dir.filePath("fifo"));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    const QString link = dir.filePath(QString::fromStdString(record::recordFileName({2026, 1, 1})));
    ASSERT_TRUE(QFile::link(dir.filePath("fifo"), link));
    auto read = std::async(std::launch::async, [&] { return app::loadRecordFile(link); });
    if (read.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
        // Let the stuck reader go before failing.
        ::close(::open(fifo.constData(), O_WRONLY | O_NONBLOCK));
        read.wait();
        FAIL() << "reading a FIFO waited for a writer";
    }
    EXPECT_THAT(read.get().error, HasSubstr("not a regular file"));
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.qrec"));
    EXPECT_THAT(app::loadRecordFile(dir.filePath("folder.qrec")).error, HasSubstr("not a regular file"));
}

}  // namespace
}  // namespace quorbit::apptest
