// Replaying a saved game in the main window, and the "Recent Games" window.
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <sys/stat.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/client/window_fixture.h"
#include "app/client/boardview.h"
#include "app/client/tchat.h"
#include "protocol/messages.h"
#include "app/record/recentgames.h"
#include "app/record/recordstore.h"
#include "app/widgets/tilepictures.h"
#include "language/language.h"
#include "record/replay.h"

namespace quorbit::apptest {
namespace {

namespace tc = protocol::toclient;

record::Record twoWordGame() {
    protocol::BoardCodes board{};
    for (int x = 0; x < 7; ++x)
        for (int y = 0; y < 7; ++y) board[x][y] = 1 + (x + 2 * y) % 26;
    record::Record r;
    r.header.date = "2026-12-09T19:22:28Z";
    r.header.ownSeat = 1;
    r.header.seats = {"Ann", "Zubo", "", ""};
    r.header.playTo = 20;
    r.entries = {{0, tc::startgame({"Ann", 20, 60, false, 1})},
                 {10, tc::theboard(board)},
                 {20, tc::nextplayer(1, 1)},
                 {3000, tc::madeword(1, "ACE", 12, 12, 12, 0, {{0, 0}, {1, 0}, {2, 0}})},
                 {3100, tc::moving(1)},
                 {7000, tc::theboard(board)},
                 {7010, tc::nextplayer(2, 1)},
                 {9000, tc::madeword(2, "BEG", 9, 9, 12, 9, {{0, 1}, {1, 1}, {2, 1}})},
                 {9500, tc::winner("Ann")}};
    r.ending = record::Ending::Winner;
    r.endMs = 9500;
    return r;
}

class ReplayWindow : public ::testing::Test {
protected:
    ReplayWindow() : store(dir.path()) {
        chat.showMessage = [this](const QString& t) { boxes << t; };
        path = store.save(twoWordGame());
    }
    template <typename W>
    W* widget(const QString& name) {
        return chat.findChild<W*>(name);
    }
    QString memo() { return widget<QPlainTextEdit>("memo_words")->toPlainText(); }

    QTemporaryDir dir;
    app::RecordStore store;
    Tchat chat;
    QStringList boxes;
    QString path;
};

TEST_F(ReplayWindow, ShowsTheRecordedGameUnderABannerAndStepsByWord) {
    ASSERT_FALSE(path.isEmpty());
    ASSERT_TRUE(chat.startReplay(path));
    EXPECT_TRUE(chat.replaying());
    EXPECT_EQ(chat.windowTitle(), "Quorbit - Replay");
    EXPECT_FALSE(widget<QWidget>("panel_replay")->isHidden());
    EXPECT_EQ(widget<QLabel>("label_replay")->text(), "Replay");
    EXPECT_EQ(widget<QPushButton>("button_replayplay")->text(), "Pause");
    // The recorded turn is the own seat's, yet a replay offers no buttons to move in it,
    // and clicks on its board do not reach the live game.
    ASSERT_TRUE(waitFor([this] { return chat.replay()->position() >= 50; }));
    EXPECT_TRUE(chat.replay()->state().button_done);
    EXPECT_TRUE(widget<QPushButton>("button_done")->isHidden());
    QTest::mouseClick(widget<QWidget>("paintbox_board"), Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_EQ(chat.state().selectedcount, 0);
    EXPECT_EQ(chat.replay()->state().selectedcount, 0);
    chat.replayPlay(false);
    EXPECT_EQ(widget<QPushButton>("button_replayplay")->text(), "Play");

    chat.replayNextWord();
    EXPECT_EQ(memo(), "Ann: ACE for 12 points.");
    EXPECT_EQ(widget<QLabel>("label_score1")->text(), "12");
    EXPECT_EQ(widget<QLabel>("label_playername2")->text(), "Zubo");
    // The board is drawn from the replay: the word's squares are empty.
    EXPECT_EQ(widget<app::BoardView>("paintbox_board")->letters()[0][0], 0);

    chat.setReplaySpeed(16);
    EXPECT_EQ(chat.replaySpeed(), 16);
    chat.replayPlay(true);
    ASSERT_TRUE(waitFor([this] { return chat.replay()->atEnd(); }, 5000));  // 6.5 s of game at 16x
    EXPECT_FALSE(chat.replayPlaying());
    EXPECT_EQ(memo(), "Ann: ACE for 12 points.\nZubo: BEG for 9 points.");
    EXPECT_FALSE(widget<QWidget>("panel_winner")->isHidden());
    EXPECT_EQ(widget<QLabel>("label_winner1")->text(), "You have won the game!");

    QTest::mouseClick(widget<QPushButton>("button_replaycopy"), Qt::LeftButton);
    EXPECT_TRUE(QApplication::clipboard()->text().startsWith("Quorbit game of 2026-12-09T19:22:28Z\n"));
    EXPECT_TRUE(QApplication::clipboard()->text().contains("  2. Zubo: BEG for 9 points (Ann 12, Zubo 9)\n"));
}

TEST_F(ReplayWindow, LeavingShowsTheLiveGameUntouched) {
    const client::ClientState before = chat.state();
    ASSERT_TRUE(chat.startReplay(path));
    chat.replayNextWord();
    chat.replayNextWord();
    QTest::mouseClick(widget<QPushButton>("button_replayleave"), Qt::LeftButton);
    EXPECT_FALSE(chat.replaying());
    EXPECT_EQ(chat.windowTitle(), "Quorbit");
    EXPECT_TRUE(widget<QWidget>("panel_replay")->isHidden());
    EXPECT_EQ(memo(), "");
    EXPECT_EQ(widget<QLabel>("label_status")->text(), "Welcome to Quorbit");
    EXPECT_EQ(widget<QLabel>("label_score1")->text(), "0");
    EXPECT_EQ(widget<app::BoardView>("paintbox_board")->letters(), before.boardletters);
    EXPECT_EQ(chat.state().memo_words, before.memo_words);
    EXPECT_EQ(chat.state().seats[0].label_playername, before.seats[0].label_playername);
    EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(ReplayWindow, ADamagedRecordIsRefusedWithItsReason) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.resize(f.size() / 2));
    f.close();
    EXPECT_FALSE(chat.startReplay(path));
    EXPECT_FALSE(chat.replaying());
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].startsWith("This game cannot be replayed: damaged game record")) << boxes[0].toStdString();
}

TEST_F(ReplayWindow, RecentGamesListsEveryGameAndHandsOneToTheWindow) {
    QFile junk(dir.filePath("20200101-000000-000.qrec"));  // oldest, and not a record
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("hello\n");
    junk.close();
    TrecentGames recent;
    recent.setFolder(dir.path());
    QString requested;
    QObject::connect(&recent, &TrecentGames::replayRequested, [&](const QString& p) { requested = p; });
    QSignalSpy listed(&recent, &TrecentGames::refreshed);
    recent.refresh();
    ASSERT_TRUE(listed.wait(10000));
    QTreeWidget* list = recent.list();
    ASSERT_EQ(list->topLevelItemCount(), 2);
    const QTreeWidgetItem* game = list->topLevelItem(0);
    EXPECT_EQ(game->text(0), "2026-12-09 19:22");
    EXPECT_EQ(game->text(1), "Ann, Zubo");
    EXPECT_EQ(game->text(2), "Ann 12, Zubo 9");
    EXPECT_EQ(game->text(3), "Ann");
    EXPECT_TRUE(list->topLevelItem(1)->text(1).startsWith("cannot be read: not a Quorbit game record"));

    QTest::mouseClick(recent.findChild<QPushButton*>("button_copy"), Qt::LeftButton);
    EXPECT_TRUE(QApplication::clipboard()->text().endsWith("Winner: Ann\n"));
    QTest::mouseClick(recent.findChild<QPushButton*>("button_replay"), Qt::LeftButton);
    EXPECT_EQ(requested, path);

    list->setCurrentItem(list->topLevelItem(1));
    EXPECT_TRUE(recent.selectedSummary().isEmpty());
    EXPECT_TRUE(recent.findChild<QLabel*>("label_message")->text().startsWith("This game cannot be read"));
}

// The list is built away from the window: a FIFO (through a link) and a record of more
// lines than any game are listed as unreadable, the good game beside them as usual.
TEST_F(ReplayWindow, RecentGamesReadsEachFileAwayFromTheWindow) {
    const QByteArray fifo = QFile::encodeName(dir.filePath("fifo"));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(dir.filePath("fifo"), dir.filePath("20300101-000000-000.qrec")));
    QFile big(dir.filePath("20200101-000000-000.qrec"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    big.write("quorbit-record 1\ndate d\ngame\n");
    big.write(QByteArray("0\n").repeated(static_cast<qsizetype>(record::kMaxRecordEntries) + 1));
    big.write("end 0 closed\n");
    big.close();
    TrecentGames recent;
    recent.setFolder(dir.path());
    QSignalSpy listed(&recent, &TrecentGames::refreshed);
    recent.refresh();
    recent.refresh();  // the first reading is dropped, its rows never mixed into the second's
    ASSERT_TRUE(listed.wait(20000));
    EXPECT_EQ(listed.size(), 1);
    QTreeWidget* list = recent.list();
    ASSERT_EQ(list->topLevelItemCount(), 3);
    EXPECT_EQ(list->topLevelItem(0)->text(1), "cannot be read: not a game record: not a regular file");
    EXPECT_EQ(list->topLevelItem(1)->text(3), "Ann");
    EXPECT_THAT(list->topLevelItem(2)->text(1).toStdString(), ::testing::HasSubstr("more game lines than any game has"));
}

// A French game replays in French: the chat box says so, and the tiles and what the screen
// reader says of them carry French values, until the replay is left.
TEST_F(ReplayWindow, AFrenchGameReplaysWithItsLanguage) {
    const language::Language* fr = language::find("fr");
    if (!fr) GTEST_SKIP() << "French was not built here";
    record::Record r = twoWordGame();
    r.header.language = "fr";
    ASSERT_TRUE(chat.startReplay(store.save(r)));
    chat.replayPlay(false);
    chat.replayNextWord();
    EXPECT_TRUE(widget<QWidget>("mainchat")->property("plainText").toString().contains("This game is played in French"));
    const auto* board = widget<app::BoardView>("paintbox_board");
    EXPECT_EQ(board->pictures().values(), fr->values);
    int told = 0;  // squares whose letter French values otherwise than English
    for (int x = 0; x < 7; ++x)
        for (int y = 0; y < 7; ++y) {
            const int code = board->letters()[x][y];
            if (!rules::isLetter(code) || rules::letterworth(code, fr->values) == rules::letterworth(code)) continue;
            const int worth = rules::letterworth(code, fr->values);
            EXPECT_TRUE(board->squareName(app::BoardView::indexOf({x, y}))
                            .startsWith(QString("%1, %2 point").arg(QChar(rules::letterOf(code))).arg(worth)));
            ++told;
        }
    EXPECT_GT(told, 0);
    chat.leaveReplay();
    EXPECT_EQ(board->pictures().values(), rules::kEnglishValues);
}

// The words list shows what the engine keeps, its newest lines, as words go on arriving.
TEST_F(ReplayWindow, TheWordsListKeepsItsNewestLines) {
    record::Record r = twoWordGame();
    r.entries.resize(3);
    const std::size_t words = client::kMaxWordsLines + 5;
    for (std::size_t i = 1; i <= words; ++i)
        r.entries.push_back({static_cast<std::int64_t>(20 + i), tc::madeword(1, "W" + std::to_string(i), 1, 1, 0, 0, {{0, 0}})});
    r.endMs = static_cast<std::int64_t>(words) + 21;
    ASSERT_TRUE(chat.startReplay(store.save(r)));
    chat.replayPlay(false);
    for (std::size_t i = 0; i < words; ++i) chat.replayNextWord();  // one render a word
    const QStringList lines = memo().split('\n');
    ASSERT_EQ(lines.size(), static_cast<qsizetype>(client::kMaxWordsLines));
    EXPECT_EQ(lines.front(), "Ann: W6 for 1 points.");
    EXPECT_EQ(lines.back(), QString("Ann: W%1 for 1 points.").arg(words));
    EXPECT_TRUE(widget<QLabel>("label_replaytime")->text().endsWith(QString("words: %1").arg(words)));
}

}  // namespace
}  // namespace quorbit::apptest
