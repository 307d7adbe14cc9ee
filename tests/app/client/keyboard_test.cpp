// Playing a solo game from the keyboard, through the real window, server and loopback
// socket, and what the window tells a screen reader on the way.
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/client/boardview.h"
#include "client/spoken.h"
#include "app/social/downloadform.h"
#include "testkit/board_words.h"
#include "window_fixture.h"

namespace quorbit::apptest {
namespace {

namespace c = quorbit::client;

class KeyboardPlay : public SoloGame {
protected:
    void SetUp() override {
        SoloGame::SetUp();
        program->download().hide();  // the solo game opens it beside the main window
        board = widget<app::BoardView>("paintbox_board");
        entry = widget<QLineEdit>("mychat");
    }
    // Starts the game and brings the main window back to the front after the dialog.
    void startTurn() {
        startAndWaitForTurn();
        chat().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&chat()));
    }
    // A key as the user types it: to whichever widget has the focus.
    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, k, mods);
    }
    void focusOn(int x, int y) {
        while (board->focusSquare().x < x) key(Qt::Key_Right);
        while (board->focusSquare().x > x) key(Qt::Key_Left);
        while (board->focusSquare().y < y) key(Qt::Key_Down);
        while (board->focusSquare().y > y) key(Qt::Key_Up);
    }
    QString status() { return widget<QLabel>("label_status")->text(); }
    QAccessibleInterface* accessible(QObject* o) { return QAccessible::queryAccessibleInterface(o); }

    app::BoardView* board = nullptr;
    QLineEdit* entry = nullptr;
    testsupport::BoardWords words;
};

TEST_F(KeyboardPlay, AWholeTurnWithKeysOnly) {
    startTurn();
    // F6 goes round the areas to the board.
    entry->setFocus();
    for (int i = 0; i < 4 && QApplication::focusWidget() != board; ++i) key(Qt::Key_F6);
    ASSERT_EQ(QApplication::focusWidget(), board);

    auto found = words.find(s().boardletters, 5);
    ASSERT_TRUE(found);
    const auto& [word, chain] = *found;
    // A refused square first: two columns away from the chain's first square.
    const auto [x0, y0] = chain[0];
    focusOn(x0, y0);
    key(Qt::Key_Space);
    focusOn(x0 < 4 ? x0 + 2 : x0 - 2, y0);
    key(Qt::Key_Space);
    EXPECT_EQ(status(), "Invalid Selection");
    key(Qt::Key_Backspace);
    EXPECT_EQ(s().selectedcount, 0);

    for (const auto& [x, y] : chain) {
        focusOn(x, y);
        key(Qt::Key_Space);
    }
    ASSERT_EQ(s().selectedcount, static_cast<int>(chain.size()));
    for (std::size_t i = 0; i < chain.size(); ++i) EXPECT_EQ(s().image_letter[i], word[i] - 'A' + 1);

    // Before the word is made the direction keys do nothing.
    key(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_FALSE(s().image_direction[1].visible);

    key(Qt::Key_Return);
    ASSERT_TRUE(waitFor([this] { return status().startsWith("You: "); }));
    EXPECT_TRUE(status().startsWith("You: " + QString::fromStdString(word) + " for ")) << status().toStdString();
    EXPECT_NE(widget<QLabel>("label_score1")->text(), "0");
    for (int d = 1; d <= 4; ++d) EXPECT_TRUE(widget<QWidget>(QString("image_direction%1").arg(d))->isVisible());

    // Shift+Left slides the tiles toward the left column: every row is packed to the left.
    key(Qt::Key_Left, Qt::ShiftModifier);
    ASSERT_TRUE(waitFor([this] { return s().image_direction[1].visible && s().image_direction[1].owner == 0; }));
    EXPECT_FALSE(widget<QWidget>("image_direction1")->isVisible());
    for (std::size_t y = 0; y < 7; ++y) {
        bool hole = false;
        for (std::size_t x = 0; x < 7; ++x) {
            if (s().boardletters[x][y] == 0) hole = true;
            else EXPECT_FALSE(hole) << "letter right of a hole in row " << y;
        }
    }
    EXPECT_EQ(QApplication::focusWidget(), board);
}

TEST_F(KeyboardPlay, TypingInTheChatEntryNeverReachesTheBoard) {
    startTurn();
    QTest::mouseClick(entry, Qt::LeftButton);
    ASSERT_EQ(QApplication::focusWidget(), entry);
    // The board's keys, typed into the chat line, stay in the chat line.
    for (Qt::Key k : {Qt::Key_S, Qt::Key_H, Qt::Key_Space, Qt::Key_A, Qt::Key_Left, Qt::Key_Backspace}) key(k);
    key(Qt::Key_Down, Qt::ShiftModifier);
    key(Qt::Key_Escape);
    EXPECT_EQ(entry->text(), "sha");  // Left and Backspace edited the line
    EXPECT_EQ(s().selectedcount, 0);
    EXPECT_TRUE(widget<QPushButton>("button_shuffle")->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), entry);

    // A click on a button or a turn change keeps the focus where it is.
    QTest::mouseClick(widget<QPushButton>("button_clear"), Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), entry);
    key(Qt::Key_Return, Qt::ControlModifier);
    ASSERT_TRUE(waitFor([this] { return chatText().contains("You chats: sha"); }));
    EXPECT_EQ(entry->text(), "");
    EXPECT_EQ(QApplication::focusWidget(), entry);
}

TEST_F(KeyboardPlay, TabAndF6GoRoundTheControls) {
    startTurn();
    board->setFocus();
    key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), widget<QPushButton>("button_clear"));
    key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), widget<QPushButton>("button_shuffle"));
    key(Qt::Key_Backtab);
    key(Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), board);
    key(Qt::Key_F6);
    EXPECT_EQ(QApplication::focusWidget(), entry);
    key(Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), board);
    // A click on a square takes the focus there.
    QTest::mouseClick(board, Qt::LeftButton, {}, QPoint(5 * 56 + 3, 1 * 56 + 3));
    EXPECT_EQ(board->focusSquare(), (c::Square{5, 1}));
}

TEST_F(KeyboardPlay, AScreenReaderFindsNamedSquaresSeatsAndButtons) {
    startTurn();
    QAccessibleInterface* b = accessible(board);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->role(), QAccessible::Table);
    ASSERT_EQ(b->childCount(), 49);
    for (int x = 0; x < 7; ++x)
        for (int y = 0; y < 7; ++y) {
            QAccessibleInterface* square = b->child(y * 7 + x);
            ASSERT_NE(square, nullptr);
            EXPECT_EQ(square->text(QAccessible::Name).toStdString(), c::spoken::square(s(), {x, y}));
            EXPECT_EQ(square->parent(), b);
            EXPECT_EQ(b->indexOfChild(square), y * 7 + x);
        }
    board->setFocus();
    focusOn(2, 4);
    ASSERT_NE(b->focusChild(), nullptr);
    EXPECT_TRUE(b->focusChild()->text(QAccessible::Name).contains("column 3, row 5"));
    EXPECT_TRUE(b->focusChild()->state().focused);
    key(Qt::Key_Space);
    EXPECT_TRUE(b->child(4 * 7 + 2)->text(QAccessible::Name).endsWith("selected, letter 1 of the chain"));
    EXPECT_TRUE(b->child(4 * 7 + 2)->state().selected);
    EXPECT_TRUE(accessible(widget<QWidget>("image_letter1"))->text(QAccessible::Name).startsWith("letter 1 of the chain: "));

    EXPECT_EQ(accessible(widget<QWidget>("label_playername1"))->text(QAccessible::Name), "You, 0 points, playing, your turn");
    EXPECT_EQ(accessible(widget<QWidget>("label_playername2"))->text(QAccessible::Name), "Zubo, 0 points, playing");
    EXPECT_TRUE(accessible(widget<QWidget>("label_timer"))->text(QAccessible::Name).endsWith(" seconds left"));
    EXPECT_EQ(accessible(widget<QWidget>("button_done"))->text(QAccessible::Name), "Done");
    EXPECT_EQ(accessible(widget<QWidget>("b_phrase1"))->text(QAccessible::Name), "Way To Go!");
    EXPECT_EQ(accessible(widget<QWidget>("b_phrase10"))->text(QAccessible::Name), "/me waves \"Good-Bye\"");
    QAccessibleInterface* arrow = accessible(widget<QWidget>("image_direction2"));
    EXPECT_EQ(arrow->text(QAccessible::Name), "slide the tiles toward the left column");
    EXPECT_EQ(arrow->role(), QAccessible::Button);
}

// The status line's accessible name is its text: Qt tells screen readers of every change
// of a name, so turns and word results are heard as they happen.
TEST_F(KeyboardPlay, TurnsAndWordResultsAreToldAndArrowsCanBePressed) {
    startTurn();
    QAccessibleInterface* statusLine = accessible(widget<QLabel>("label_status"));
    EXPECT_EQ(statusLine->text(QAccessible::Name), "Your Turn");

    auto found = words.find(s().boardletters, 5);
    ASSERT_TRUE(found);
    board->setFocus();
    for (const auto& [x, y] : found->second) {
        focusOn(x, y);
        key(Qt::Key_Space);
    }
    key(Qt::Key_Return);
    ASSERT_TRUE(waitFor([this] { return status().startsWith("You: "); }));
    EXPECT_EQ(statusLine->text(QAccessible::Name), status());

    // A screen reader presses an arrow as a button.
    QAccessibleInterface* arrow = accessible(widget<QWidget>("image_direction3"));
    ASSERT_NE(arrow->actionInterface(), nullptr);
    EXPECT_EQ(arrow->actionInterface()->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
    arrow->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_TRUE(waitFor([this] { return s().image_direction[2].visible && s().image_direction[2].owner == 0; }));
    // Zubo's turn follows, and is told the same way.
    ASSERT_TRUE(waitFor([this] { return s().whoseturn == 2; }, 15000));
    EXPECT_EQ(statusLine->text(QAccessible::Name), "Zubo's Turn");
}

}  // namespace
}  // namespace quorbit::apptest
