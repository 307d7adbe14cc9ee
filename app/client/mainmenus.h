#pragma once
// The main window's menus and the player context menu, built and nothing more: their
// items, names, check marks and shortcuts. What an item does (the option it changes, the
// window it opens, the saving of the settings) is wired by the window that owns them.
// Items that do not apply are disabled, never hidden, so that every menu keeps its shape.
#include <QObject>
#include <array>

class QAction;
class QMainWindow;
class QMenu;

namespace quorbit::app {

struct MainMenus {
    explicit MainMenus(QMainWindow* window);

    // File.
    QAction* startGame;
    QAction* hint;
    QAction* joinGame;
    QAction* copyInvite;
    QAction* exit;
    // Options.
    QAction* playSounds;
    std::array<QAction*, 3> turnSound;  // Classic, New, Default by setting value 0, 1, 2
    QAction* postWords;
    QAction* showBestWords;
    QAction* textColour;
    QAction* actionColour;
    static constexpr std::array<int, 4> kTextSizes = {8, 10, 12, 14};
    std::array<QAction*, 4> textSize;   // by kTextSizes
    QAction* scrollChatOff;
    QAction* clearMainChat;
    QAction* justWatch;
    QAction* askBeforeLeaving;
    QAction* resetScreenLocation;
    // Tiles: filled from the tile folder by its own menu object.
    QMenu* tiles;
    // View.
    QAction* phraseList;
    QAction* spyList;
    QAction* viewTally;
    QAction* recentGames;
    // Help.
    QAction* content;
    QAction* about;
    // The context menu of the seat names and the team scores.
    QMenu* player;
    QAction* removeFromGame;
    QAction* setJustWatch;
    QAction* unsetJustWatch;
};

}  // namespace quorbit::app
