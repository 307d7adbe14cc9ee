#pragma once
// The client's engine: everything the main window shows and decides, as data.
//
// The window (Tchat) feeds it received bytes, clicks, key presses and time, and after
// each call renders `state()` and drains the output queues. Nothing here draws, plays
// or sends by itself: lines to send, chat lines, sounds, message boxes, tally calls,
// the settings reload and the end of the program are requests the window carries out.
//
// Squares are (x, y), x the column from the left, y the row from the top, 0..6; grids
// are indexed [x][y]. Rack slots and chain slots are numbered 1..7; the arrays below
// hold slot n at index n - 1.
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "client/launch.h"
#include "client/mirror.h"
#include "client/presenter.h"
#include "common/random.h"
#include "language/loaded.h"
#include "protocol/account_messages.h"
#include "protocol/dispatch.h"
#include "protocol/framing.h"
#include "protocol/limits.h"
#include "protocol/lobby_messages.h"
#include "protocol/messages.h"
#include "protocol/table_messages.h"
#include "rules/board.h"
#include "rules/scoring.h"
#include "rules/seats.h"
#include "social/colour.h"
#include "solver/solver.h"

namespace quorbit::client {

using social::Colour;

using rules::Grid;
using rules::isPlayingSeat;
using rules::isSeat;
using rules::kBoardSize;
using rules::kMaxWord;
using rules::kPlayingSeats;
using rules::onBoard;
using rules::Square;

inline constexpr int kPhraseCount = 10;
inline constexpr std::int64_t kPhraseCooldownMs = 2000;

inline constexpr std::string_view kJustWatchingText = "You are just watching right now.";
inline constexpr std::string_view kOverlongNotice = "A message from the server was too long and was skipped.";
// A table was named, and the server seats every connection at its one table.
inline constexpr std::string_view kOneTableNotice = "This server has one table only: you are at its table.";
inline constexpr std::string_view kHostNotice = "You are the host of this table: you start its games.";
// A password was given for a connection that is not encrypted.
inline constexpr std::string_view kPlainPasswordNotice =
    "Passwords travel only over an encrypted connection: you play as a guest.";
inline constexpr std::string_view kFloodNotice =
    "Too many messages are waiting from the server. The connection is closed.";

// What the client keeps of what a server sends is never more than a server of this game
// keeps itself: a host that sends more cannot make the program grow. Names are read as
// the server cleans them (at most protocol::kMaxNameChars characters); a chat or action
// line is its sender's name, the words between and a text of protocol::kMaxTextChars; a
// word is cut at protocol::kMaxTextChars; the words list keeps its newest kMaxWordsLines.
inline constexpr std::size_t kMaxWordsLines = 300;
inline constexpr std::size_t kMaxHeardLineChars = protocol::kMaxNameChars + 16 + protocol::kMaxTextChars;
// A name as this client keeps it.
std::string heardName(std::string_view name);
// A text (a chat line, a word) as this client keeps it: its first `maxChars` characters.
std::string heardText(std::string_view text, std::size_t maxChars = protocol::kMaxTextChars);

// Indices into the tile picture list.
enum Picture : int {
    kPicBlank = 0,            // 1..26 are the letters A..Z
    kPicTripleLetter = 27,
    kPicCross = 28,           // earlier square of the local chain
    kPicFrame = 29,           // selected square
    kPicPlain = 30,
    kPicBonus = 31,
    kPicDoubleLetter = 32,
    kPicDoubleWord = 33,
    kPicTripleWord = 34,
    kPicEmptySlot = 35,
};

// Values of `boardmarks` besides the pictures 28 and 29.
inline constexpr int kMarkNone = -1;
inline constexpr int kMarkTaken = -2;  // a word's square: draws nothing, counts as marked

// The picture of each square's bonus, indexed [x][y].
const Grid& boardsquares();

enum class MouseButton { Left, Right, Middle };
enum class TurnSound { Classic = 0, New = 1, Default = 2 };  // settings values 0, 1, 2

// What the window shows for one playing seat (label_playernameN, label_scoreN, ...), worded
// by the presenter from the mirror's SeatValues.
struct SeatView {
    std::string label_playername{kWaiting};
    bool playernameVisible = true;
    std::string label_score = "0";
    bool scoreVisible = true;
    std::string label_bonus;
    Colour colour = social::kBlack;  // text of the name, score and bonus labels
    bool image_eyes = false;         // "just watching" mark shown
    int image_shuffles = 0;          // picture 0..5: shuffles left
};

struct Arrow {
    bool visible = false;
    int owner = 0;  // seat allowed to click it, 0 for none
};

// The whole visible state of the main window's game area and the client's connection:
// the mirror's values, and what the window shows of them.
struct ClientState : Mirror {
    // Connection.
    bool loggedin = false;
    // This client holds the table's host powers (Start, "Start Game", kicking, switching
    // others to just watch): by the launch mode (solo, host), or because a table server
    // named this client's seat as the table's host.
    bool ishost = false;
    // The options the table was made with in a lobby, told to its host: the game-start
    // dialog offers them. `tableoptionsTold` counts the tellings, so each is offered once.
    protocol::lobby::TableOptions tableoptions;
    int tableoptionsTold = 0;
    int hostseat = 0;  // the seat a table server last named as its host; 0 before it says
    std::string logintail;

    // Board marks.
    Grid boardmarks{};    // kMarkNone, kPicCross, kPicFrame or kMarkTaken (set to kMarkNone at start)
    Grid hintmarks{};     // the hint's squares: 1..7 by place in its word, 0 elsewhere

    // Rack: letter code per slot, 0 shows the empty-slot picture.
    std::array<int, kMaxWord> image_letter{};

    // Turn.
    std::string label_timer = "Time: 0:00";
    int image_timer = 0;  // width of the clock bar in pixels

    // Seats and teams.
    std::array<SeatView, kPlayingSeats> seats{};  // seat n at index n - 1
    int image_Turn = 0;                        // seat the turn pointer stands by, 0 none
    TeamLabelForm teamLabelForm = TeamLabelForm::Word;
    std::string label_team1 = "Team A: 0";
    std::string label_team2 = "Team B: 0";
    bool teamLabelsVisible = false;
    Colour label_team2Colour = social::kBlack;

    // Status, settings labels, buttons, arrows.
    std::string label_status = "Welcome to Quorbit";
    std::string label_Timeperturn = "Time Per Turn: 60";
    std::string label_playtoscore = "Play To Score: 100";
    bool button_clear = false;
    bool button_shuffle = false;
    bool button_start = true;
    bool button_done = false;
    std::array<Arrow, 4> image_direction{};  // arrow n (direction n) at index n - 1

    // The letter values of the table's language: what the tiles show and what every score
    // this client works out (the hint, the best words, the spoken tiles) counts.
    rules::LetterValues letterValues = rules::kEnglishValues;

    // Results.
    std::vector<std::string> memo_words;  // the newest kMaxWordsLines lines
    std::size_t memo_wordsDropped = 0;    // lines of this game dropped from its front
    int hintsTaken = 0;  // turns of this game in which the hint was shown
    bool image_bonus = false;
    int bonusPlays = 0;  // grows each time the bonus animation restarts from its first frame
    bool panel_winner = false;
    std::string label_winner;  // front and shadow show the same text
};

// Options the client's rules read; the window keeps them in step with its menus and
// the settings file.
struct ClientOptions {
    bool playSounds = true;          // Options, "Play Sounds"
    TurnSound turnSound = TurnSound::Classic;
    bool postWordsInChatBox = false; // Options, "Post Words in Chat Box"
    bool showBestWords = false;      // Options, "Show Best Words": "best: WORD N" after each word
    bool justWatch = false;          // Options, "Just Watch" (set only by the server's answer)
    Colour textColour = social::kBlack;
    Colour actionColour = social::kBlack;
    std::array<std::string, kPhraseCount> phrases = {
        "Way To Go!", "Good One!", "Nice Try!", "Excellent!", "Brilliant!", "Wow, WTG!",
        "Thanks!", "Way To Go Teamie!", "Good Game Everyone!", "/me waves \"Good-Bye\""};
};

// A line for the chat box. Its head, up to and including the first ":", is bold.
struct ChatLine {
    std::string text;
    Colour colour;
};

struct MessageBox {
    std::string text;
    bool closeAfter = false;  // close the program once the box is dismissed
};

// A call into the tally window.
struct TallyCall {
    enum class Kind {
        loadchecklist,  // refill "Players In Current Game" with `players`
        anotherword,    // anotherword(column)
        addtomineset,   // addtomineset(column, points, word)
        addgame,        // addgame(word): "addtomine" or the winner's name
    };
    Kind kind = Kind::loadchecklist;
    int column = 0;
    int points = 0;
    std::string word;
    std::vector<std::string> players;
};

// Gives the client a language's files (its word graph, for the hint) by ISO 639-1 code:
// the app's cache of loaded languages. Asked only for languages other than English,
// whose words are built into the program.
using LanguageSource = std::function<language::LoadResult(std::string_view code)>;

class ClientEngine {
public:
    // `rng` draws Zubo's remarks and must outlive the engine.
    explicit ClientEngine(Random& rng);

    // Where the words of a table's language come from once the server names it. Without a
    // source (or when it fails) a game in another language has no hint; its letter values
    // are known all the same.
    void setLanguageSource(LanguageSource source) { languageSource_ = std::move(source); }

    // Launch mode: whether this process hosts, and the name to log in with.
    void setLaunch(bool ishost, std::string logintail);
    // The table to sit at on a table server (empty: none named), or a private table's
    // invite code. It is asked for as the connection's first line, before the login.
    void setTable(std::string table, TableSeat seat = TableSeat::Play);
    const std::string& table() const { return table_; }
    // The window's grace after this client's login ran out: a table was named and the
    // server did not answer as a table server does, so it holds one table only.
    void tableAnswerOverdue();
    // Whether a named table still waits for the server's answer after the login.
    bool awaitingTableAnswer() const { return tableCheck_ == TableCheck::AfterLogin; }

    // ---- Connection ------------------------------------------------------------
    // The lobby's session token: over an encrypted connection the first line logs in with
    // it, before the table is named. Empty: none.
    void setSession(std::string token) { session_ = std::move(token); }
    // The password of the account named as the player's name (the launch's login name):
    // over an encrypted connection the first line logs in to it, before the table is
    // named; over a plain one it is not sent and the chat box says so. Either way it is
    // wiped once the connection is made. A session token, when there is one, logs in
    // instead. Empty: none.
    void setPassword(std::string password);
    // The socket connected (nothing is sent yet); whether it is encrypted.
    void connected(bool encrypted = false);
    void received(std::string_view bytes);  // bytes read from the socket
    void socketClosed();                    // the connection closed: the program ends
    // Handles one queued line; false when the queue was empty.
    bool pump();
    std::size_t pendingLines() const { return receivedlist_.size(); }
    void kicking(int seat);  // host's "Remove From Game"

    // Requests the window's menus and dialogs make; each is sent only while logged in.
    void justWatchMenuClick();                  // Options, "Just Watch" (own seat 1..4)
    void setJustWatch(int seat, bool watch);    // host: "Set to" / "Unset Just Watch"
    void startGame(const protocol::GameSettings& settings);

    // ---- Turn input ------------------------------------------------------------
    void boardClick(Square square, MouseButton button);  // a square off the board is refused
    void rackClick(int slot);                             // 1..7; 0 for the panel
    void buttonClearClick();
    void buttonDoneClick();
    void buttonShuffleClick();
    void arrowClick(int direction);  // arrow 1..4
    void timer2Tick();               // every second while state().timer2
    // The hint (button, menu item, key): shown only in the player's own turn while every
    // other playing seat is the computer's.
    bool hintAvailable() const;
    void hintClick();

    // ---- Chat --------------------------------------------------------------------
    // Enter in the entry field. True when the field is to be cleared.
    bool sendit(std::string_view text);
    // Phrase button 1..10 at `nowMs` (milliseconds since any fixed epoch).
    void phraseClick(int button, std::int64_t nowMs);
    bool phrasesReady(std::int64_t nowMs) const;

    // ---- State -------------------------------------------------------------------
    const ClientState& state() const { return state_; }
    ClientOptions& options() { return options_; }
    const ClientOptions& options() const { return options_; }
    // Grows whenever anything in state() may have changed.
    std::uint64_t revision() const { return revision_; }
    // The names for the tally's "Players In Current Game", from the seats as they are now.
    std::vector<std::string> loadchecklist() const;
    // The local player's own name: the name label of myseat; empty for a spectator.
    std::string ownName() const;

    // ---- Output queues (drain after every call) ------------------------------------
    std::vector<std::string> takeOutgoing();   // whole messages, each ending in 0xFF
    std::vector<ChatLine> takeChatLines();
    std::vector<std::string> takeSounds();     // cue names, only while sounds are on
    std::vector<MessageBox> takeMessageBoxes();
    std::vector<TallyCall> takeTallyCalls();
    // True once after the server announced this client's own seat, which completes the
    // login: the window reads its settings then.
    bool takeJoined();
    bool closeRequested() const { return closeRequested_; }

private:
    void buildDispatch();
    void touch() { ++revision_; }
    void send(std::string message);
    void sendIfLoggedIn(std::string message);
    // The account's first line (a session token or a password), as connected() sends it;
    // whether one was sent.
    bool logInToAccount(bool encrypted);
    void forgetPassword();
    bool myturn() const { return state_.myturn(); }
    // Whether an echo of a seat's chain is shown: never my own, nor any while it is my turn.
    bool showsEcho(int seat) const { return seat != state_.myseat && !myturn(); }
    SeatView& seatView(int seat) { return state_.seats[static_cast<std::size_t>(seat - 1)]; }
    // The seat labels, the team labels and the pictures the presenter words from the mirror.
    void presentSeats();
    int& letterAt(Square s) { return rules::at(state_.boardletters, s); }
    int& markAt(Square s) { return rules::at(state_.boardmarks, s); }
    void addlinetochat(std::string text, Colour colour);
    void addToWords(std::string line);  // to the words list, its oldest line going beyond the cap
    void clearHint();
    // The best word on the board as the mirror shows it; nothing when none can be traced.
    std::optional<solver::Found> bestOnBoard() const;
    void playsounds(std::string_view name);
    void messageBox(std::string text, bool closeAfter = false);

    // Connection handlers.
    void sendloginfo(const tc::Sendlogininfo& m);
    void newplayerinfo(const tc::Newplayerinfo& m) { arrived(state_.hear(m)); }
    void existingplayers(const tc::Existingplayers& m) { arrived(state_.hear(m)); }
    void arrived(const std::optional<Spectator>& arrival);
    void playerdisconnected(const tc::Playerdisconnected& m);
    void justwatching(const tc::Justwatching& m);
    void chat(const tc::Chat& m);  // a chat line, which Zubo may answer
    void action(const tc::Action& m);
    void chatrecieved(std::string_view text);  // a chat or action line shown as it came
    void havewrongversion(const tc::Havewrongversion& m);
    void wrongversion(const tc::Wrongversion&);
    void language(const tc::Language& m);
    // Takes the letter values and the words of the language the mirror names.
    void takeLanguage();
    // The word graph of the table's language; null when its words are not at hand here.
    const dictionary::WordGraph* wordGraph() const;
    std::string unknownLanguageSaid_;  // a code not built here, said once in the chat box
    LanguageSource languageSource_;
    // The loaded language of a table not played in English; null for English, and for a
    // language that is not built here or whose files could not be read.
    std::shared_ptr<const language::LoadedLanguage> words_;
    void full(const tc::Full&);
    void zubotalk();
    // The table server's word on the table's host.
    void host(const protocol::tables::Host& m);
    void tableoptions(const protocol::lobby::Tableoptions& m);
    void loggedin(const protocol::accounts::Loggedin& m);
    void accountrefused(const protocol::accounts::Accountrefused& m);
    // A line heard after the login while a named table waits for the server's answer.
    void noteTableAnswer(std::string_view line);
    void oneTableOnly();

    // Game mirror handlers.
    void startthegame(const tc::Startgame& m);
    void theboard(const tc::Theboard& m);
    void getnextplayer(const tc::Nextplayer& m);
    void gamestats(const tc::Gamestats& m);
    void clearthings();
    void applyTeamColours();

    // Turn handlers.
    void selectletter(const tc::Selectletter& m);
    void clearletter(const tc::Clearletter& m);
    void selectclear(const tc::Selectclear& m);
    void moving(const tc::Moving& m);
    void useshuffle(const tc::Useshuffle& m);
    void shufflesl(const tc::Shufflesl& m);
    void pressclear();
    void pressdone();
    void emptyRack();
    void unmarkAll();
    void hideArrows();
    void releaseArrows();  // hide them and take away their owners
    void showClock();

    // Result handlers.
    void madeword(const tc::Madeword& m);
    void notvalid(const tc::Notvalid& m);
    void bonus(const tc::Bonus&);
    void timeup(const tc::Timeup& m);
    void winner(const tc::Winner& m);

    Random& rng_;
    ClientState state_;
    ClientOptions options_;
    std::uint64_t revision_ = 0;

    protocol::LineCutter cutter_;
    std::deque<std::string> receivedlist_;
    bool flooded_ = false;  // the receive queue overflowed: nothing more is read
    protocol::Dispatcher dispatcher_;

    bool phrasesReady_ = true;
    std::int64_t phraseUsedAt_ = 0;

    std::vector<std::string> outgoing_;
    std::vector<ChatLine> chatLines_;
    std::vector<std::string> sounds_;
    std::vector<MessageBox> messageBoxes_;
    std::vector<TallyCall> tallyCalls_;
    bool joined_ = false;
    bool closeRequested_ = false;
    bool hintThisTurn_ = false;

    // The table asked for, and what is known of the server's answer: a table server
    // names the table's host at the end of each login; a server with one table never does.
    enum class TableCheck { None, Asked, AfterLogin, Answered };
    std::string table_;
    std::string session_;
    std::string password_;
    TableSeat tableSeat_ = TableSeat::Play;
    TableCheck tableCheck_ = TableCheck::None;
};

}  // namespace quorbit::client
