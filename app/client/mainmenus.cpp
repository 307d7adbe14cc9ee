#include "app/client/mainmenus.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace quorbit::app {

namespace {

QAction* item(QMenu* menu, const char* name, const QString& text, bool checkable = false, bool checked = false) {
    QAction* a = menu->addAction(text);
    a->setObjectName(name);
    a->setCheckable(checkable);
    a->setChecked(checked);
    return a;
}

QMenu* menu(QMenuBar* bar, const char* name, const QString& title) {
    QMenu* m = bar->addMenu(title);
    m->setObjectName(name);
    return m;
}

}  // namespace

MainMenus::MainMenus(QMainWindow* window) {
    QMenuBar* bar = window->menuBar();
    QMenu* file = menu(bar, "File1", "File");
    startGame = item(file, "StartGame1", "Start Game");
    hint = item(file, "Hint1", "Hint");
    hint->setEnabled(false);  // in the player's own turn only
    joinGame = item(file, "JoinaGame1", "Join a Game...");
    copyInvite = item(file, "CopyInviteLink1", "Copy Invite Link");
    copyInvite->setEnabled(false);  // at a table of a table server only
    file->addSeparator();
    exit = item(file, "Exit1", "Exit");

    QMenu* options = menu(bar, "Options1", "Options");
    playSounds = item(options, "PlaySounds1", "Play Sounds", true, true);
    QMenu* turn = options->addMenu("Turn Sound");
    turn->setObjectName("TurnSound1");
    turnSound[0] = item(turn, "Classic1", "Classic", true);
    turnSound[2] = item(turn, "Default1", "Default", true);
    turnSound[1] = item(turn, "New1", "New", true);
    postWords = item(options, "PostWordsinChatBox1", "Post Words in Chat Box", true, false);
    showBestWords = item(options, "ShowBestWords1", "Show Best Words", true, false);
    options->addSeparator();
    textColour = item(options, "TextColor1", "Text Color");
    actionColour = item(options, "ActionColor1", "Action Color");
    QMenu* size = options->addMenu("Text Size");
    size->setObjectName("TextSize1");
    for (std::size_t i = 0; i < kTextSizes.size(); ++i)
        textSize[i] = item(size, qPrintable(QString("TextSize%1").arg(kTextSizes[i])), QString::number(kTextSizes[i]),
                           true, kTextSizes[i] == 8);
    options->addSeparator();
    scrollChatOff = item(options, "ScrollChatOff2", "Scroll Chat Off", true, false);
    scrollChatOff->setShortcut(QKeySequence("Ctrl+S"));
    clearMainChat = item(options, "ClearMainChat2", "Clear Main Chat");
    options->addSeparator();
    justWatch = item(options, "JustWatch1", "Just Watch", true, false);
    askBeforeLeaving = item(options, "AskBeforeLeaving1", "Ask Before Leaving a Game", true, true);
    options->addSeparator();
    resetScreenLocation = item(options, "ResetScreenLocation1", "Reset Screen Location");

    tiles = menu(bar, "Tiles1", "Tiles");

    QMenu* view = menu(bar, "View1", "View");
    phraseList = item(view, "PhraseList1", "Phrase List");
    spyList = item(view, "SpyList1", "Spy List");
    viewTally = item(view, "ViewTally1", "View Tally");
    recentGames = item(view, "RecentGames1", "Recent Games");

    QMenu* help = menu(bar, "Help1", "Help");
    content = item(help, "Content1", "Content");
    content->setShortcut(QKeySequence(Qt::Key_F1));
    about = item(help, "About1", "About");

    player = new QMenu(window);
    player->setObjectName("popup_kick");
    removeFromGame = item(player, "RemoveFromGame1", "Remove From Game");
    setJustWatch = item(player, "SettoJustWatch1", "Set to Just Watch");
    unsetJustWatch = item(player, "UnsetJustWatch1", "Unset Just Watch");
}

}  // namespace quorbit::app
