// A solo game against Zubo through the real window, server and loopback socket.
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/client/boardview.h"
#include "app/net/tsock.h"
#include "app/social/downloadform.h"
#include "app/social/gamestartform.h"
#include "testkit/board_words.h"
#include "app/widgets/clickimage.h"
#include "window_fixture.h"

namespace quorbit::apptest {
namespace {

namespace c = quorbit::client;

class SoloPlay : public SoloGame {
protected:
    QString label(const char* name) { return widget<QLabel>(name)->text(); }

    testsupport::BoardWords words;
};

TEST_F(SoloPlay, SoloLaunchConnectsAsYouAndOffersStart) {
    EXPECT_EQ(chat().playername(), "You");
    EXPECT_EQ(chat().hostaddress(), "127.0.0.1");
    EXPECT_TRUE(s().ishost);
    EXPECT_EQ(s().myseat, 1);
    EXPECT_EQ(label("label_playername1"), "You");
    EXPECT_TRUE(widget<QPushButton>("button_start")->isVisible());
    EXPECT_TRUE(chat().action("StartGame1")->isEnabled());
    EXPECT_TRUE(chatText().startsWith("Loading Solo Game..Please wait.\n"));
    EXPECT_TRUE(program->download().isVisible());
    EXPECT_FALSE(chat().lobbyLinkOpened());
    EXPECT_EQ(chat().windowTitle(), "Quorbit");
    EXPECT_EQ(label("label_status"), "Welcome to Quorbit");
}

TEST_F(SoloPlay, ChainSubmitResultAndSlide) {
    startAndWaitForTurn();
    EXPECT_EQ(label("label_status"), "Your Turn");
    EXPECT_TRUE(widget<QPushButton>("button_done")->isVisible());
    EXPECT_TRUE(widget<QPushButton>("button_clear")->isVisible());
    EXPECT_EQ(label("label_playtoscore"), "Play to Score: 10000");
    EXPECT_EQ(label("label_Timeperturn"), "Time Per Turn: 120");

    auto found = words.find(s().boardletters, 5);
    ASSERT_TRUE(found);
    const auto& chain = found->second;
    auto* board = widget<app::BoardView>("paintbox_board");
    for (const auto& [x, y] : chain) QTest::mouseClick(board, Qt::LeftButton, {}, QPoint(x * 56 + 10, y * 56 + 50));

    // The mover sees crosses on the earlier squares and the frame on the newest one,
    // and the rack spells the word.
    ASSERT_EQ(s().selectedcount, static_cast<int>(chain.size()));
    for (std::size_t i = 0; i < chain.size(); ++i) {
        const auto [x, y] = chain[i];
        const int mark = board->marks()[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)];
        EXPECT_EQ(mark, i + 1 == chain.size() ? c::kPicFrame : c::kPicCross) << i;
        EXPECT_EQ(s().image_letter[i], found->first[i] - 'A' + 1);
        EXPECT_FALSE(widget<QLabel>(QString("image_letter%1").arg(i + 1))->pixmap().isNull());
    }

    // A right click anywhere on the board submits the chain.
    QTest::mouseClick(board, Qt::RightButton, {}, QPoint(200, 200));
    ASSERT_TRUE(waitFor([this] { return label("label_status").startsWith("You: "); }));
    const QString line = label("label_status");
    EXPECT_TRUE(line.startsWith("You: " + QString::fromStdString(found->first) + " for ")) << line.toStdString();
    EXPECT_TRUE(line.endsWith(" points."));
    EXPECT_TRUE(widget<QPlainTextEdit>("memo_words")->toPlainText().endsWith(line));
    EXPECT_NE(label("label_score1"), "0");
    EXPECT_TRUE(label("label_bonus1").startsWith(QString::fromStdString(found->first) + " +"));
    EXPECT_FALSE(widget<QPushButton>("button_done")->isVisible());
    for (int d = 1; d <= 4; ++d) EXPECT_TRUE(widget<QWidget>(QString("image_direction%1").arg(d))->isVisible());
    for (const auto& [x, y] : chain) EXPECT_EQ(s().boardletters[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)], 0);

    // Sliding down: the arrows go, only the chosen direction's stays as a sign, and every
    // column's letters have dropped to the bottom.
    QTest::mouseClick(widget<QWidget>("image_direction1"), Qt::LeftButton);
    ASSERT_TRUE(waitFor([this] { return s().image_direction[0].visible && s().image_direction[0].owner == 0; }));
    EXPECT_FALSE(widget<QWidget>("image_direction2")->isVisible());
    EXPECT_TRUE(widget<QWidget>("image_direction1")->isVisible());
    for (std::size_t x = 0; x < 7; ++x) {
        bool seenLetter = false;
        for (std::size_t y = 0; y < 7; ++y) {
            if (s().boardletters[x][y] != 0) seenLetter = true;
            else EXPECT_FALSE(seenLetter) << "hole below a letter in column " << x;
        }
    }
    EXPECT_EQ(board->letters(), s().boardletters);
}

// The socket reports its send from inside the send: the window handles that report after
// the click is carried out, so a sound of the click never plays before its bytes went out.
TEST_F(SoloPlay, AClickIsSentBeforeItsSoundPlays) {
    startAndWaitForTurn();
    std::vector<std::size_t> unsent;
    QObject::connect(&chat(), &Tchat::soundRequested, &chat(),
                     [this, &unsent](const QString&) { unsent.push_back(chat().connection()->SendBufferSize()); });
    QTest::mouseClick(widget<app::BoardView>("paintbox_board"), Qt::LeftButton, {}, QPoint(28, 28));
    ASSERT_EQ(s().selectedcount, 1);
    ASSERT_EQ(unsent.size(), 1u);  // "place"
    EXPECT_EQ(unsent[0], 0u);
}

TEST_F(SoloPlay, InvalidSelectionAndTakingBack) {
    startAndWaitForTurn();
    auto* board = widget<app::BoardView>("paintbox_board");
    QTest::mouseClick(board, Qt::LeftButton, {}, QPoint(28, 28));    // (0, 0)
    QTest::mouseClick(board, Qt::LeftButton, {}, QPoint(28 + 112, 28));  // (2, 0): not touching
    EXPECT_EQ(label("label_status"), "Invalid Selection");
    EXPECT_EQ(s().selectedcount, 1);
    QTest::mouseClick(board, Qt::LeftButton, {}, QPoint(84, 84));    // (1, 1): diagonal
    EXPECT_EQ(s().selectedcount, 2);
    QTest::mouseClick(widget<QWidget>("image_letter1"), Qt::LeftButton);  // not the last slot
    EXPECT_EQ(s().selectedcount, 2);
    QTest::mouseClick(widget<QWidget>("image_letter2"), Qt::LeftButton);
    EXPECT_EQ(s().selectedcount, 1);
    EXPECT_EQ(board->marks()[1][1], c::kMarkNone);
    EXPECT_EQ(board->marks()[0][0], c::kPicFrame);
    QTest::mouseClick(widget<QPushButton>("button_clear"), Qt::LeftButton);
    EXPECT_EQ(s().selectedcount, 0);
    EXPECT_EQ(board->marks()[0][0], c::kMarkNone);
}

TEST_F(SoloPlay, TeamGameShowsTeamLabels) {
    startAndWaitForTurn(true);
    EXPECT_TRUE(widget<QLabel>("label_team1")->isVisible());
    EXPECT_TRUE(widget<QLabel>("label_team2")->isVisible());
    EXPECT_TRUE(widget<QLabel>("label_playername2")->styleSheet().contains("#bacaef"))  // light blue
        << widget<QLabel>("label_playername2")->styleSheet().toStdString() << " " << s().seats[1].colour.value;
}

TEST_F(SoloPlay, TypedChatComesBackWithBoldHead) {
    auto* entry = widget<QLineEdit>("mychat");
    EXPECT_EQ(entry->text(), "<Enter Chat Here>");
    entry->setFocus();
    QTest::keyClicks(entry, "hello there");
    EXPECT_EQ(entry->text(), "hello there");  // the first key replaced the placeholder
    QTest::keyClick(entry, Qt::Key_Return);
    EXPECT_TRUE(entry->text().isEmpty());
    ASSERT_TRUE(waitFor([this] { return chatText().contains("You chats: hello there"); }));
    // The typed "/help" sends nothing and still clears the field.
    QTest::keyClicks(entry, "/help");
    QTest::keyClick(entry, Qt::Key_Return);
    EXPECT_TRUE(entry->text().isEmpty());
}

TEST_F(SoloPlay, PhraseButtonsCoolDown) {
    QTest::mouseClick(widget<QPushButton>("b_phrase1"), Qt::LeftButton);
    QTest::mouseClick(widget<QPushButton>("b_phrase2"), Qt::LeftButton);
    ASSERT_TRUE(waitFor([this] { return chatText().contains("You says: Way To Go!"); }));
    QTest::qWait(200);
    EXPECT_FALSE(chatText().contains("Good One!"));
    EXPECT_EQ(widget<QPushButton>("b_phrase10")->toolTip(), "/me waves \"Good-Bye\"");
}

TEST_F(SoloPlay, StartWhileNotLoggedInSaysSo) {
    Tchat lone;
    lone.showMessage = [this](const QString& t) { boxes << t; };
    lone.button_startClick();
    EXPECT_EQ(boxes, QStringList{"You are not connected"});
}

}  // namespace
}  // namespace quorbit::apptest
