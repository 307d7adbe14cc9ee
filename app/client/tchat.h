#pragma once
// Tchat: the main window. It shows the client engine's state (board, rack, seats, status,
// clock, words, chat) and hands the engine every click, key and received byte; the
// engine's requests (lines to send, chat lines, sounds, message boxes, settings reload,
// close) are carried out here after each call. Its parts have their own homes: the
// connection (GameConnection), the layout (PanelLayout), the menus (MainMenus), the
// replay (ReplayPlayer), the settings file (SettingsFile); the launch mode comes from
// client::launchPlan.
#include <QElapsedTimer>
#include <QMainWindow>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "client/board_keys.h"
#include "client/client_engine.h"
#include "client/launch.h"
#include "common/random.h"
#include "social/settings.h"
#include "app/widgets/tilepictures.h"

class QAction;
class QActionGroup;
class QFrame;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class Tabout;
class Tdownload;
class Tgamestart;
class Thelp;
class Tphrases;
class Tspylist;
class Ttallylist;
class TrecentGames;

namespace quorbit::net {
class TSock;
}

namespace quorbit::record {
class Replay;
}

namespace quorbit::media {
class TilesMenu;
}

namespace quorbit::app {
class BoardView;
class RecordKeeper;
class ChatBox;
class ChatEntry;
class ClickImage;
class PanelLayout;
struct MainMenus;
class ReplayPlayer;
class SettingsFile;
class GameConnection;
}  // namespace quorbit::app

class Tchat : public QMainWindow {
    Q_OBJECT
public:
    // The other windows, created after this one; Tchat opens and fills them.
    struct Windows {
        Tabout* about = nullptr;
        Tgamestart* gamestart = nullptr;
        Thelp* help = nullptr;
        Tphrases* phrases = nullptr;
        Tspylist* spylist = nullptr;
        Tdownload* download = nullptr;
        Ttallylist* tallylist = nullptr;
        TrecentGames* recentgames = nullptr;
    };
    // How the launch modes reach the outside world.
    struct Launch {
        std::vector<std::string> params;  // the positional command-line parameters
        std::string table;                // a table named apart (--table), an invite code (--invite), or empty
        quorbit::client::TableSeat seat = quorbit::client::TableSeat::Play;  // --watch, --invite
        int port = 7772;                  // the game port
        int lobbyPort = 9001;             // the silent lobby link on 127.0.0.1
        // Switches the in-process server's listening socket on; false when the port
        // cannot be taken (the text says why).
        std::function<bool(int port, std::string& why)> startServer;
    };

    explicit Tchat(QWidget* parent = nullptr);
    ~Tchat() override;

    void attach(const Windows& windows);
    void setLaunch(Launch launch);
    // The launch mode and its names, read from the parameters once.
    const quorbit::client::LaunchPlan& launchPlan() const { return plan_; }
    // Where the settings file lives (normally beside the program).
    void setSettingsPath(const QString& path);
    // Records every game this client sees into that folder (none unless asked).
    void keepRecords(const QString& folder);
    const quorbit::app::RecordKeeper* recordKeeper() const { return records_.get(); }
    const QString& settingsPath() const;

    // Launch modes.
    void processparams();
    void hostpress();
    void joinpress(std::string password);

    // The engine and its state, for the windows around and for tests.
    quorbit::client::ClientEngine& engine() { return engine_; }
    const quorbit::client::ClientState& state() const { return engine_.state(); }
    // Keyboard play on the board and its focus square.
    quorbit::client::BoardKeys& boardKeys() { return keys_; }
    const std::string& playername() const { return playername_; }
    const std::string& hostaddress() const { return hostaddress_; }
    bool lobbyLinkOpened() const;
    // The connection to the game's server; nothing before joining or hosting.
    const quorbit::net::TSock* connection() const;
    // The connection to the game's server speaks TLS (only there may a password be sent).
    bool encrypted() const;

    // Settings.
    void loadinifile();
    bool saveinifile();
    const quorbit::social::WindowBounds& savedBounds() const { return saved_; }
    quorbit::social::WindowBounds currentBounds() const;
    void setBounds(const quorbit::social::WindowBounds& b);
    // The player's name as the Join window last used it (the key Joinname).
    QString rememberedName() const;
    bool rememberName(const QString& name);
    // Current tile-set name, written as Tiles.
    const QString& tileSetName() const { return tileSetName_; }
    // Loads the tile set of that name from the tile folder; false when it has no file.
    bool loadgrouptiles(const QString& name);
    // Draws the board and the rack again with the pictures now in force.
    void applyTilePictures();
    void repaintTiles();  // the board and the rack drawn again with the pictures now in force
    // The tiles show the letter values of the language of the game shown, live or replayed.
    void followLanguage();
    int textSize() const;

    // How long after its login a client that named a table waits for a table server's
    // answer before it takes the server for one with a single table.
    static constexpr int kTableAnswerMs = 2000;

    // The words list's first line for a client that came in while the game ran.
    static constexpr const char* kLateArrivalNote = "(You came in during this game: earlier words are not shown.)";

    // Hooks that tests replace: message boxes, the question before leaving a game and
    // the two colour dialogs.
    std::function<void(const QString& text)> showMessage;
    // True to go ahead; `dontAskAgain` set when the player ticked "Don't ask again".
    std::function<bool(const QString& question, bool& dontAskAgain)> askLeave;
    std::function<bool(QColor& colour, const QString& title)> chooseColour;
    // Desktop work area used by the closing geometry rule; tests may replace it.
    std::function<QRect()> workArea;

    // Before Exit, Join or Host: while a game runs (and Options, "Ask Before Leaving a
    // Game" is ticked) the player is asked first. True to go ahead.
    bool confirmLeave(const QString& question);

    // Applies the state and carries out the engine's requests; every input path ends here.
    void sync();

    // Replay of a saved game in this window, on an engine of its own; the live game goes
    // on underneath and shows again, as it is by then, when the replay is left.
    bool startReplay(const QString& path);  // false (and a message) for an unusable file
    void leaveReplay();
    bool replaying() const;
    const quorbit::record::Replay* replay() const;
    void replayPlay(bool play);
    void replayNextWord();
    void setReplaySpeed(int speed);  // 1, 4 or 16
    int replaySpeed() const;
    bool replayPlaying() const;
    QString replaySummary() const;  // the replayed game as text

    // Input paths (also reached through the widgets).
    void button_startClick();
    void startGameFromDialog();
    void phraseClick(int n);
    // Shows the best word on the board (the Hint button, its menu item and its key).
    void hintClick();
    // Puts the invite link of the table this client sits at on the clipboard.
    void copyInviteLink();
    void openPlayerMenu(int seat, const QPoint& globalPos);
    void preparePlayerMenu(int seat);  // the enabling rules, before the menu shows
    QMenu* playerMenu() const;
    QAction* action(const char* objectName) const;
    // The game panel's layout: its table of places and the scale it is drawn at.
    const quorbit::app::PanelLayout& panelLayout() const { return *layout_; }

signals:
    void soundRequested(const QString& name);
    void tallyRequested(const quorbit::client::TallyCall& call);
    void closed();                              // the main window closed: the program ends
    void joined();                              // the server announced this client's own seat
    void hostingChanged(bool hosts);            // this client took or lost the table's host powers
    void joinWindowRequested();                 // File, "Join a Game..."
    void inviteLinkRequested(const QString& link);  // a Quorbit link in the chat box, confirmed

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    // Layout and menus (tchat_layout.cpp, tchat_menus.cpp).
    void buildLayout();
    void buildSeats();
    void buildChat();
    void applyScale(qreal scale);  // the layout's scale changed
    void wireMenus();
    void connectReplay();  // tchat_replay.cpp
    void connectWidgets();
    // Drawing the state (tchat_render.cpp).
    void render();
    // Puts the options a table was made with into the game-start dialog, once each time
    // the server tells them.
    void offerTableOptions(const quorbit::client::ClientState& s);
    void renderRack();
    void renderWords();
    void renderSeats();
    void renderTimers();
    void renderAccessible();  // names and descriptions for screen readers
    // Keyboard focus: the board's keys, F6 between the panel's areas, the tab order.
    void connectKeyboard();
    bool boardKey(quorbit::client::BoardKey key);
    void focusNextArea(bool backward);
    void drainEngine();
    // What the window shows: the replay's state while one runs, else the live game's.
    const quorbit::client::ClientState& shown() const;
    std::uint64_t shownRevision() const;
    bool acceptsMoves() const { return !replaying(); }
    // Options.
    void setTextSize(int size);
    void applyTurnSoundChecks();
    void changeColour(bool action);
    void addNotice(const QString& text);
    void addline(const QString& text, const QColor& colour);
    void savePhrases(const QStringList& phrases);

    quorbit::SeededRandom rng_;
    quorbit::client::ClientEngine engine_;
    quorbit::client::BoardKeys keys_{engine_};
    quorbit::app::TilePictures pictures_;
    Windows windows_;
    Launch launch_;
    quorbit::client::LaunchPlan plan_;
    std::string playername_;
    std::string hostaddress_;
    quorbit::app::GameConnection* connection_ = nullptr;
    std::unique_ptr<quorbit::app::RecordKeeper> records_;
    std::unique_ptr<quorbit::app::SettingsFile> settings_;
    QString tileSetName_;
    quorbit::social::WindowBounds saved_;
    bool shownOnce_ = false;
    bool hostingShown_ = false;  // what hostingChanged last told
    std::uint64_t renderedRevision_ = ~std::uint64_t{0};
    int tableoptionsOffered_ = 0;
    int bonusPlaysShown_ = 0;
    std::vector<std::string> wordsShown_;  // what the words list holds, line by line
    std::size_t wordsShownDropped_ = 0;    // the lines dropped from its front when it was shown
    bool lateNoteShown_ = false;           // and whether the late arrival's note heads it
    int bonusFrame_ = 0;
    QElapsedTimer clock_;

    QTimer Timer2;      // the turn clock display
    QTimer bonusTimer_;
    quorbit::app::ReplayPlayer* replayer_ = nullptr;

    // Game panel.
    quorbit::app::PanelLayout* layout_ = nullptr;
    QWidget* panel_board = nullptr;
    std::array<quorbit::app::ClickImage*, 7> image_letter{};
    QLabel* label_status = nullptr;
    QPushButton* button_clear = nullptr;
    QPushButton* button_shuffle = nullptr;
    QPushButton* button_start = nullptr;
    QPushButton* button_done = nullptr;
    QPushButton* button_hint = nullptr;
    std::array<quorbit::app::ClickImage*, 4> image_direction{};
    QFrame* board_frame = nullptr;
    quorbit::app::BoardView* paintbox_board = nullptr;
    QLabel* label_Timeperturn = nullptr;
    QLabel* label_playtoscore = nullptr;
    QLabel* label_timer = nullptr;
    QLabel* image_timer = nullptr;
    QPlainTextEdit* memo_words = nullptr;
    QLabel* label_team1 = nullptr;
    QLabel* label_team2 = nullptr;
    std::array<QFrame*, 4> seatcard{};
    std::array<QLabel*, 4> label_playername{};
    std::array<QLabel*, 4> label_score{};
    std::array<QLabel*, 4> label_bonus{};
    std::array<QLabel*, 4> image_shuffles{};
    std::array<QLabel*, 4> image_eyes{};
    QLabel* image_Turn = nullptr;
    QLabel* image_bonus = nullptr;
    QFrame* panel_winner = nullptr;
    QLabel* label_winner1 = nullptr;
    QLabel* label_winner2 = nullptr;
    std::array<QPushButton*, 10> b_phrase{};
    quorbit::app::ChatBox* mainchat = nullptr;
    quorbit::app::ChatEntry* mychat = nullptr;

    // Menus.
    std::unique_ptr<quorbit::app::MainMenus> menus_;
    quorbit::media::TilesMenu* tiles_ = nullptr;
    int popupSeat_ = 1;
};
