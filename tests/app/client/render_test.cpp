// What the window shows for server messages, fed straight into its engine.
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextDocument>

#include "app/client/boardview.h"
#include "protocol/messages.h"
#include "window_fixture.h"

namespace quorbit::apptest {
namespace {

class Render : public ::testing::Test {
protected:
    void SetUp() override {
        chat.showMessage = [this](const QString& t) { boxes << t; };
        chat.setSettingsPath(home.settings());
        chat.resize(800, 600);
        chat.engine().setLaunch(true, "Ann");
        feed("CMD_sendlogininfo+1");
        feed("CMD_newplayerinfo+1+Ann");
        feed("CMD_newplayerinfo+3+Cy");
        feed("CMD_startgame+Ann+300+60+t+2+");
        std::string board = "CMD_theboard";
        for (int x = 0; x < 7; ++x)
            for (int y = 0; y < 7; ++y) board += "+" + std::to_string(x) + "+" + std::to_string(y) + "+" + std::to_string(1 + (x + y) % 26);
        feed(board);
    }
    void feed(const std::string& line) {
        chat.engine().received(line + '\xFF');
        while (chat.engine().pump()) {
        }
        chat.sync();
    }
    QLabel* label(const char* name) { return chat.findChild<QLabel*>(name); }

    TempHome home;
    Tchat chat;
    QStringList boxes;
};

TEST_F(Render, TeamGameSeatsTurnPointerAndClock) {
    EXPECT_EQ(label("label_playername2")->text(), "Zubo");
    EXPECT_EQ(label("label_playername3")->text(), "Cy");
    EXPECT_EQ(label("label_team1")->text(), "Team A: 0 ");
    EXPECT_FALSE(label("label_team1")->isHidden());
    EXPECT_FALSE(label("image_shuffles1")->pixmap().isNull());
    feed("CMD_nextplayer+3+2");
    const QLabel* pointer = label("image_Turn");
    EXPECT_FALSE(pointer->isHidden());
    EXPECT_EQ(pointer->pos(), QPoint(455 - 12, 195 - 3));  // beside seat 3's name
    EXPECT_EQ(label("label_status")->text(), "Cy's Turn");
    EXPECT_TRUE(chat.findChild<QPushButton*>("button_done")->isHidden());
    EXPECT_EQ(label("label_timer")->text(), "Time: 0:00");
    feed("CMD_justwatching+3+1");
    EXPECT_FALSE(label("image_eyes3")->isHidden());
    EXPECT_TRUE(label("image_eyes1")->isHidden());
}

TEST_F(Render, BonusAnimationPlaysFiveFramesOnce) {
    feed("CMD_nextplayer+1+2");
    feed("CMD_madeword+1+ABCDEFG+40+40+40+0+0+0+1+1+2+2+3+3+4+4+5+5+6+6+6+5");
    EXPECT_EQ(label("label_bonus1")->text(), "ABCDEFG +40");
    for (int d = 1; d <= 4; ++d) EXPECT_FALSE(chat.findChild<QWidget*>(QString("image_direction%1").arg(d))->isHidden());
    feed("CMD_bonus+1+20");
    QLabel* bonus = label("image_bonus");
    ASSERT_FALSE(bonus->isHidden());
    const QImage first = bonus->pixmap().toImage();
    QTest::qWait(1300);  // five frames of 250 ms, then it rests on the last
    const QImage last = bonus->pixmap().toImage();
    EXPECT_FALSE(first == last);
    QTest::qWait(300);
    EXPECT_TRUE(bonus->pixmap().toImage() == last);
    EXPECT_FALSE(bonus->isHidden());
    feed("CMD_nextplayer+3+2");
    EXPECT_TRUE(bonus->isHidden());
}

TEST_F(Render, TheWordsListGrowsByAppendingAndIsLeftAloneWhileNoWordComes) {
    auto* memo = chat.findChild<QPlainTextEdit*>("memo_words");
    const auto shownWords = [this] {
        QStringList lines;
        for (const auto& w : chat.state().memo_words) lines << QString::fromStdString(w);
        return lines.join('\n');
    };
    feed("CMD_nextplayer+1+2");
    feed("CMD_madeword+1+ABCDEFG+40+40+40+0+0+0+1+1+2+2+3+3+4+4+5+5+6+6+6+5");
    ASSERT_FALSE(chat.state().memo_words.empty());
    EXPECT_EQ(memo->toPlainText(), shownWords());

    // A mark on the first line tells whether the list was built afresh.
    struct Mark : QTextBlockUserData {};
    auto* mark = new Mark;
    memo->document()->firstBlock().setUserData(mark);
    QSignalSpy changes(memo->document(), &QTextDocument::contentsChange);
    feed("CMD_nextplayer+3+2");
    feed("CMD_chat+Cy+hello");
    EXPECT_EQ(changes.count(), 0) << "redraws without a new word leave the list alone";

    const std::size_t before = chat.state().memo_words.size();
    feed("CMD_madeword+3+XYZ+10+10+40+10+0+0+6+0+6+1");
    ASSERT_GT(chat.state().memo_words.size(), before);
    EXPECT_EQ(memo->toPlainText(), shownWords());
    EXPECT_EQ(memo->document()->firstBlock().userData(), mark) << "a new word is appended, not a rebuilt list";
    for (const QList<QVariant>& change : changes) EXPECT_EQ(change.at(1).toInt(), 0) << "nothing was removed";

    // A new game starts the list afresh.
    feed("CMD_startgame+Ann+300+60+t+2+");
    EXPECT_EQ(memo->toPlainText(), "");
    feed("CMD_nextplayer+1+2");
    feed("CMD_madeword+1+QUIZ+12+12+12+0+0+0+1+1+2+2");
    EXPECT_EQ(memo->toPlainText(), shownWords());
    EXPECT_TRUE(memo->toPlainText().startsWith("Ann: QUIZ for 12 points."));
}

TEST_F(Render, WinnerBannerHasItsShadowAndBringsStartBack) {
    EXPECT_TRUE(chat.findChild<QPushButton*>("button_start")->isHidden());  // hidden while a game runs
    feed("CMD_winner+Team B");
    EXPECT_EQ(label("label_winner1")->text(), "Team B has won the game!");
    EXPECT_EQ(label("label_winner2")->text(), "Team B has won the game!");
    EXPECT_EQ(label("label_winner2")->pos() - label("label_winner1")->pos(), QPoint(1, 1));
    EXPECT_FALSE(chat.findChild<QWidget*>("panel_winner")->isHidden());
    EXPECT_EQ(label("label_status")->text(), "GAME OVER!");
    EXPECT_FALSE(chat.findChild<QPushButton*>("button_start")->isHidden());
}

TEST_F(Render, RepaintingReproducesTheBoardAndTheChainMarks) {
    feed("CMD_nextplayer+1+2");
    auto* board = chat.findChild<app::BoardView*>("paintbox_board");
    chat.show();
    QTest::mouseClick(board, Qt::LeftButton, {}, QPoint(30, 30));
    QTest::mouseClick(board, Qt::LeftButton, {}, QPoint(86, 30));
    const QImage once = board->grab().toImage();
    board->repaintAll();
    EXPECT_TRUE(board->grab().toImage() == once);
    EXPECT_EQ(board->marks()[0][0], client::kPicCross);
    EXPECT_EQ(board->marks()[1][0], client::kPicFrame);
    EXPECT_EQ(board->letters(), chat.state().boardletters);
}

TEST_F(Render, HintHiddenWhileAnotherPersonPlaysThenMarksTheBoard) {
    feed("CMD_nextplayer+1+2");
    chat.show();
    auto* button = chat.findChild<QPushButton*>("button_hint");
    ASSERT_TRUE(button);
    EXPECT_FALSE(button->isVisible());  // Cy plays seat 3
    EXPECT_FALSE(chat.action("Hint1")->isEnabled());
    feed(protocol::toclient::justwatching(3, 1));  // now the computer plays Cy's seat
    ASSERT_TRUE(button->isVisible());
    EXPECT_TRUE(chat.action("Hint1")->isEnabled());
    auto* board = chat.findChild<app::BoardView*>("paintbox_board");
    const QImage before = board->grab().toImage();
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(label("label_status")->text().startsWith("Hint: "));
    EXPECT_TRUE(label("label_status")->text().endsWith(" points"));
    EXPECT_EQ(board->hints(), chat.state().hintmarks);
    int marked = 0;
    for (const auto& column : board->hints())
        for (int place : column) marked += place > 0;
    EXPECT_GE(marked, 2);
    EXPECT_FALSE(board->grab().toImage() == before);
    EXPECT_EQ(chat.state().selectedcount, 0);
    EXPECT_TRUE(chat.engine().takeOutgoing().empty());
    EXPECT_TRUE(chat.findChild<QPlainTextEdit*>("memo_words")->toPlainText().contains("Hint 1: "));
}

TEST_F(Render, FullGameNoticeClosesTheWindow) {
    chat.show();
    feed(protocol::toclient::full());
    EXPECT_EQ(boxes, QStringList{"Game is full"});
    EXPECT_FALSE(chat.isVisible());
}

}  // namespace
}  // namespace quorbit::apptest
