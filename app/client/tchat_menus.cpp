// The main window's menus, the player context menu and the option handlers.
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QColorDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

#include "client/chatbox.h"
#include "client/tchat.h"
#include "record/recentgames.h"
#include "media/tilesmenu.h"
#include "social/aboutform.h"
#include "social/helpform.h"
#include "social/phrasesform.h"
#include "social/spylistform.h"
#include "social/tallylistform.h"

namespace {

QAction* item(QMenu* menu, const char* name, const QString& text, bool checkable = false, bool checked = false) {
    QAction* a = menu->addAction(text);
    a->setObjectName(name);
    a->setCheckable(checkable);
    a->setChecked(checked);
    return a;
}

}  // namespace

QAction* Tchat::action(const char* objectName) const { return findChild<QAction*>(objectName); }

void Tchat::buildMenus() {
    QMenu* file = menuBar()->addMenu("File");
    file->setObjectName("File1");
    StartGame1 = item(file, "StartGame1", "Start Game");
    connect(StartGame1, &QAction::triggered, this, &Tchat::button_startClick);
    // Items that do not apply are disabled, never hidden, so the menu keeps its shape.
    Hint1 = item(file, "Hint1", "Hint");
    Hint1->setEnabled(false);
    connect(Hint1, &QAction::triggered, this, &Tchat::hintClick);
    connect(item(file, "JoinaGame1", "Join a Game..."), &QAction::triggered, this, &Tchat::joinWindowRequested);
    file->addSeparator();
    QAction* exit = item(file, "Exit1", "Exit");
    connect(exit, &QAction::triggered, this, [this] {
        if (confirmLeave("A game is running. Exit Quorbit and leave it?")) close();
    });

    QMenu* options = menuBar()->addMenu("Options");
    options->setObjectName("Options1");
    PlaySounds1 = item(options, "PlaySounds1", "Play Sounds", true, true);
    connect(PlaySounds1, &QAction::triggered, this, [this](bool on) {
        engine_.options().playSounds = on;
        saveinifile();
    });
    QMenu* turn = options->addMenu("Turn Sound");
    turn->setObjectName("TurnSound1");
    // Stored values: 0 Classic, 1 New, 2 Default.
    turnSound_[0] = item(turn, "Classic1", "Classic", true);
    turnSound_[2] = item(turn, "Default1", "Default", true);
    turnSound_[1] = item(turn, "New1", "New", true);
    for (int v = 0; v < 3; ++v) {
        connect(turnSound_[static_cast<std::size_t>(v)], &QAction::triggered, this, [this, v] {
            engine_.options().turnSound = static_cast<quorbit::client::TurnSound>(v);
            applyTurnSoundChecks();
            saveinifile();
        });
    }
    PostWords1 = item(options, "PostWordsinChatBox1", "Post Words in Chat Box", true, false);
    connect(PostWords1, &QAction::triggered, this, [this](bool on) {
        engine_.options().postWordsInChatBox = on;
        saveinifile();
    });
    ShowBestWords1 = item(options, "ShowBestWords1", "Show Best Words", true, false);
    connect(ShowBestWords1, &QAction::triggered, this, [this](bool on) {
        engine_.options().showBestWords = on;
        saveinifile();
    });
    options->addSeparator();
    connect(item(options, "TextColor1", "Text Color"), &QAction::triggered, this, [this] { changeColour(false); });
    connect(item(options, "ActionColor1", "Action Color"), &QAction::triggered, this, [this] { changeColour(true); });
    QMenu* size = options->addMenu("Text Size");
    size->setObjectName("TextSize1");
    const int sizes[4] = {8, 10, 12, 14};
    for (std::size_t i = 0; i < 4; ++i) {
        textSize_[i] = item(size, qPrintable(QString("TextSize%1").arg(sizes[i])), QString::number(sizes[i]), true,
                            sizes[i] == 8);
        connect(textSize_[i], &QAction::triggered, this, [this, s = sizes[i]] {
            setTextSize(s);
            saveinifile();
        });
    }
    options->addSeparator();
    ScrollChatOff2 = item(options, "ScrollChatOff2", "Scroll Chat Off", true, false);
    ScrollChatOff2->setShortcut(QKeySequence("Ctrl+S"));
    connect(ScrollChatOff2, &QAction::triggered, this, [this] { mainchat->setScrollFrozen(!mainchat->scrollFrozen()); });
    connect(mainchat, &quorbit::app::ChatBox::scrollFrozenChanged, ScrollChatOff2, &QAction::setChecked);
    connect(item(options, "ClearMainChat2", "Clear Main Chat"), &QAction::triggered, mainchat,
            &quorbit::app::ChatBox::clearChat);
    options->addSeparator();
    JustWatch1 = item(options, "JustWatch1", "Just Watch", true, false);
    connect(JustWatch1, &QAction::triggered, this, [this] {
        JustWatch1->setChecked(engine_.options().justWatch);  // only the server's answer moves the mark
        engine_.justWatchMenuClick();
        sync();
    });
    AskBeforeLeaving1 = item(options, "AskBeforeLeaving1", "Ask Before Leaving a Game", true, true);
    connect(AskBeforeLeaving1, &QAction::triggered, this, [this] { saveinifile(); });
    options->addSeparator();
    connect(item(options, "ResetScreenLocation1", "Reset Screen Location"), &QAction::triggered, this,
            [this] { setBounds(quorbit::social::WindowBounds{}); });

    Tiles1 = menuBar()->addMenu("Tiles");
    Tiles1->setObjectName("Tiles1");
    tiles_ = new quorbit::media::TilesMenu(Tiles1, this);
    tiles_->grouptilesmenu();
    connect(tiles_, &quorbit::media::TilesMenu::picturesChanged, this, &Tchat::applyTilePictures);
    connect(tiles_, &quorbit::media::TilesMenu::saveRequested, this, [this] {
        tileSetName_ = tiles_->currentName();
        saveinifile();
    });

    QMenu* view = menuBar()->addMenu("View");
    view->setObjectName("View1");
    connect(item(view, "PhraseList1", "Phrase List"), &QAction::triggered, this, [this] {
        if (!windows_.phrases) return;
        QStringList phrases;
        for (const auto& p : engine_.options().phrases) phrases << QString::fromStdString(p);
        windows_.phrases->showWith(phrases, this);
    });
    connect(item(view, "SpyList1", "Spy List"), &QAction::triggered, this, [this] {
        if (windows_.spylist) windows_.spylist->showOver(this);
    });
    connect(item(view, "ViewTally1", "View Tally"), &QAction::triggered, this, [this] {
        quorbit::client::TallyCall call;
        call.kind = quorbit::client::TallyCall::Kind::loadchecklist;
        call.players = engine_.loadchecklist();
        emit tallyRequested(call);
        if (windows_.tallylist) windows_.tallylist->show();
    });

    connect(item(view, "RecentGames1", "Recent Games"), &QAction::triggered, this, [this] {
        if (windows_.recentgames) windows_.recentgames->showOver(this);
    });

    QMenu* help = menuBar()->addMenu("Help");
    help->setObjectName("Help1");
    QAction* content = item(help, "Content1", "Content");
    content->setShortcut(QKeySequence(Qt::Key_F1));
    connect(content, &QAction::triggered, this, [this] {
        if (windows_.help) windows_.help->show();
    });
    connect(item(help, "About1", "About"), &QAction::triggered, this, [this] {
        if (windows_.about) windows_.about->show();
    });

    // The player context menu on the seat names and the team scores.
    popup_kick_ = new QMenu(this);
    popup_kick_->setObjectName("popup_kick");
    RemoveFromGame1 = item(popup_kick_, "RemoveFromGame1", "Remove From Game");
    SettoJustWatch1 = item(popup_kick_, "SettoJustWatch1", "Set to Just Watch");
    UnsetJustWatch1 = item(popup_kick_, "UnsetJustWatch1", "Unset Just Watch");
    connect(RemoveFromGame1, &QAction::triggered, this, [this] {
        engine_.kicking(popupSeat_);
        sync();
    });
    connect(SettoJustWatch1, &QAction::triggered, this, [this] {
        engine_.setJustWatch(popupSeat_, true);
        sync();
    });
    connect(UnsetJustWatch1, &QAction::triggered, this, [this] {
        engine_.setJustWatch(popupSeat_, false);
        sync();
    });
    for (std::size_t i = 0; i < 4; ++i) {
        connect(label_playername[i], &QWidget::customContextMenuRequested, this, [this, i](const QPoint& p) {
            openPlayerMenu(static_cast<int>(i) + 1, label_playername[i]->mapToGlobal(p));
        });
    }
    // Both team labels open the menu for seat 1.
    for (QLabel* team : {label_team1, label_team2})
        connect(team, &QWidget::customContextMenuRequested, this,
                [this, team](const QPoint& p) { openPlayerMenu(1, team->mapToGlobal(p)); });
}

void Tchat::preparePlayerMenu(int seat) {
    const bool host = engine_.state().ishost;
    RemoveFromGame1->setEnabled(host);
    SettoJustWatch1->setEnabled(host);
    UnsetJustWatch1->setEnabled(host);
    const auto& seatView = engine_.state().seats[static_cast<std::size_t>(seat - 1)];
    if (seatView.holder == quorbit::client::SeatHolder::Nobody) RemoveFromGame1->setEnabled(false);
    popupSeat_ = seat;
}

void Tchat::openPlayerMenu(int seat, const QPoint& globalPos) {
    if (!quorbit::rules::isPlayingSeat(seat)) return;
    preparePlayerMenu(seat);
    popup_kick_->popup(globalPos);
}

void Tchat::applyTurnSoundChecks() {
    const int chosen = static_cast<int>(engine_.options().turnSound);
    for (int v = 0; v < 3; ++v) turnSound_[static_cast<std::size_t>(v)]->setChecked(v == chosen);
}

void Tchat::setTextSize(int size) {
    mainchat->setChatFont(size);
    const int sizes[4] = {8, 10, 12, 14};
    for (std::size_t i = 0; i < 4; ++i) textSize_[i]->setChecked(sizes[i] == size);
}

int Tchat::textSize() const { return mainchat->chatFontSize(); }

void Tchat::changeColour(bool action) {
    auto& opts = engine_.options();
    const quorbit::social::Colour current = action ? opts.actionColour : opts.textColour;
    QColor colour(current.red(), current.green(), current.blue());
    const bool ok = chooseColour(colour, action ? "Action Color" : "Text Color");
    if (ok && colour.isValid()) {
        const auto chosen = quorbit::social::Colour::fromRgb(colour.red(), colour.green(), colour.blue());
        if (action) {
            opts.actionColour = chosen;
        } else {
            opts.textColour = chosen;
            QPalette pal = mychat->palette();
            pal.setColor(QPalette::Text, colour);
            mychat->setPalette(pal);
        }
    }
    // A cancelled text colour saves nothing; the action colour saves either way.
    if (ok || action) saveinifile();
}
