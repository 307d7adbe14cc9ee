// The menus keep their shape whatever the game's state, and leaving a running game asks first.
#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMenuBar>

#include "window_fixture.h"

namespace quorbit::apptest {
namespace {

class Menus : public ::testing::Test {
protected:
    void SetUp() override {
        chat.showMessage = [](const QString&) {};
        chat.askLeave = [this](const QString& question, bool& dontAskAgain) {
            questions << question;
            dontAskAgain = tickDontAsk;
            return answer;
        };
        chat.setSettingsPath(home.settings());
        chat.engine().setLaunch(true, "Ann");
        chat.engine().options().playSounds = false;
        feed("CMD_sendlogininfo+1");
        feed("CMD_newplayerinfo+1+Ann");
        chat.show();
    }
    void feed(const std::string& line) {
        chat.engine().received(line + '\xFF');
        while (chat.engine().pump()) {
        }
        chat.sync();
    }
    void startGameInMyTurn() {
        feed("CMD_startgame+Ann+300+60+f+2+");
        std::string board = "CMD_theboard";
        for (int x = 0; x < 7; ++x)
            for (int y = 0; y < 7; ++y) board += "+" + std::to_string(x) + "+" + std::to_string(y) + "+" + std::to_string(1 + (x * 7 + y) % 26);
        feed(board);
        feed("CMD_nextplayer+1+2");
    }
    // Every item of every menu in the bar, with whether it shows.
    QStringList shape() const {
        QStringList items;
        for (const QAction* top : chat.menuBar()->actions())
            for (const QAction* a : top->menu()->actions())
                items << QString("%1/%2:%3").arg(top->text(), a->isSeparator() ? "-" : a->text()).arg(a->isVisible());
        return items;
    }

    TempHome home;
    Tchat chat;
    QStringList questions;
    bool answer = false;
    bool tickDontAsk = false;
};

TEST_F(Menus, AnItemThatDoesNotApplyIsDisabledNeverHidden) {
    const QStringList before = shape();
    QAction* hint = chat.action("Hint1");
    ASSERT_NE(hint, nullptr);
    EXPECT_FALSE(hint->isEnabled());
    startGameInMyTurn();
    EXPECT_TRUE(hint->isEnabled());
    EXPECT_EQ(shape(), before);
    feed("CMD_nextplayer+2+2");
    EXPECT_FALSE(hint->isEnabled());
    EXPECT_EQ(shape(), before);
    EXPECT_FALSE(before.join(' ').contains(":false")) << qPrintable(before.join('\n'));
}

TEST_F(Menus, ExitAsksWhileAGameRunsAndDontAskAgainIsKept) {
    QAction* exit = chat.action("Exit1");
    QAction* ask = chat.action("AskBeforeLeaving1");
    ASSERT_TRUE(exit && ask);
    EXPECT_TRUE(ask->isChecked());

    startGameInMyTurn();
    exit->trigger();  // "No"
    EXPECT_EQ(questions.size(), 1);
    EXPECT_TRUE(chat.isVisible());
    EXPECT_TRUE(chat.confirmLeave("join?") == false && questions.size() == 2);

    answer = true;
    tickDontAsk = true;
    exit->trigger();
    EXPECT_EQ(questions.size(), 3);
    EXPECT_FALSE(chat.isVisible());
    EXPECT_FALSE(ask->isChecked());
    QFile ini(home.settings());
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().contains("Askbeforeleaving=false"));

    // Read back at the next login, the choice holds: no question any more.
    ask->setChecked(true);
    feed("CMD_newplayerinfo+1+Ann");
    EXPECT_FALSE(ask->isChecked());
    chat.show();
    exit->trigger();
    EXPECT_EQ(questions.size(), 3);
    EXPECT_FALSE(chat.isVisible());
}

TEST_F(Menus, NothingIsAskedOutsideAGame) {
    startGameInMyTurn();
    feed("CMD_winner+Ann");
    chat.action("Exit1")->trigger();
    EXPECT_TRUE(questions.isEmpty());
    EXPECT_FALSE(chat.isVisible());
}

}  // namespace
}  // namespace quorbit::apptest
