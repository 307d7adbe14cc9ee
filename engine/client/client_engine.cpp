// Connection, dispatch, chat and the output queues of the client's engine.
#include "client/client_engine.h"

#include <algorithm>

#include "client/fields_util.h"
#include "language/language.h"
#include "protocol/limits.h"
#include "social/bot_chatter.h"
#include "social/chat_rules.h"

namespace quorbit::client {

namespace msg = protocol;

void ClientEngine::presentSeats() {
    for (int seat = 1; seat <= kPlayingSeats; ++seat) {
        const SeatValues& values = state_.seat(seat);
        SeatView& view = seatView(seat);
        view.label_playername = seatNameText(values);
        view.label_score = scoreText(values);
        view.image_eyes = values.watching;
        view.image_shuffles = shufflesPicture(values.shuffles);
    }
    state_.label_team1 = teamText(rules::kTeamA, state_.teamA, state_.teamLabelForm);
    state_.label_team2 = teamText(rules::kTeamB, state_.teamB, state_.teamLabelForm);
}

std::string heardName(std::string_view name) { return protocol::cleanName(name); }

std::string heardText(std::string_view text, std::size_t maxChars) { return protocol::cutChars(text, maxChars); }

const Grid& boardsquares() {
    static const Grid squares = [] {
        Grid g{};
        for (int x = 0; x < kBoardSize; ++x)
            for (int y = 0; y < kBoardSize; ++y) {
                int pic = kPicPlain;
                switch (rules::bonusAt(x, y)) {
                    case rules::Bonus::Centre: pic = kPicBonus; break;
                    case rules::Bonus::DoubleLetter: pic = kPicDoubleLetter; break;
                    case rules::Bonus::TripleLetter: pic = kPicTripleLetter; break;
                    case rules::Bonus::DoubleWord: pic = kPicDoubleWord; break;
                    case rules::Bonus::TripleWord: pic = kPicTripleWord; break;
                    case rules::Bonus::None: break;
                }
                rules::at(g, {x, y}) = pic;
            }
        return g;
    }();
    return squares;
}

ClientEngine::ClientEngine(Random& rng) : rng_(rng) {
    for (auto& column : state_.boardmarks) column.fill(kMarkNone);
    buildDispatch();
}

void ClientEngine::setLaunch(bool ishost, std::string logintail) {
    state_.ishost = ishost;
    state_.logintail = std::move(logintail);
    touch();
}

void ClientEngine::setTable(std::string table, TableSeat seat) {
    table_ = std::move(table);
    tableSeat_ = seat;
    touch();
}

void ClientEngine::buildDispatch() {
    // In the order of names::kClientHears.
    dispatcher_.on(*this, &ClientEngine::sendloginfo);
    dispatcher_.on(*this, &ClientEngine::chat);
    dispatcher_.on(*this, &ClientEngine::action);
    dispatcher_.on(*this, &ClientEngine::newplayerinfo);
    dispatcher_.on(*this, &ClientEngine::havewrongversion);
    dispatcher_.on(*this, &ClientEngine::wrongversion);
    dispatcher_.on(*this, &ClientEngine::language);
    dispatcher_.on(*this, &ClientEngine::existingplayers);
    dispatcher_.on(*this, &ClientEngine::playerdisconnected);
    dispatcher_.on(*this, &ClientEngine::startthegame);
    dispatcher_.on(*this, &ClientEngine::getnextplayer);
    dispatcher_.on(*this, &ClientEngine::winner);
    dispatcher_.on(*this, &ClientEngine::full);
    dispatcher_.on(*this, &ClientEngine::justwatching);
    dispatcher_.on(*this, &ClientEngine::theboard);
    dispatcher_.on(*this, &ClientEngine::notvalid);
    dispatcher_.on(*this, &ClientEngine::madeword);
    dispatcher_.on(*this, &ClientEngine::timeup);
    dispatcher_.on(*this, &ClientEngine::gamestats);
    dispatcher_.on(*this, &ClientEngine::selectletter);
    dispatcher_.on(*this, &ClientEngine::selectclear);
    dispatcher_.on(*this, &ClientEngine::moving);
    dispatcher_.on(*this, &ClientEngine::clearletter);
    dispatcher_.on(*this, &ClientEngine::useshuffle);
    dispatcher_.on(*this, &ClientEngine::shufflesl);
    dispatcher_.on(*this, &ClientEngine::bonus);
    // What a table server says to the seats of a table (names::kTableServerSays).
    dispatcher_.on(*this, &ClientEngine::host);
    dispatcher_.on(*this, &ClientEngine::tableoptions);
    dispatcher_.on(*this, &ClientEngine::loggedin);
    dispatcher_.on(*this, &ClientEngine::accountrefused);
}

// ---- Connection -------------------------------------------------------------------

void ClientEngine::connected(bool encrypted) {
    // A table server seats a connection that logged in to an account only at a table it
    // names: without one named, the default table (the name "") is.
    if (tableCheck_ == TableCheck::None && logInToAccount(encrypted) && table_.empty())
        send(protocol::tables::Table{}.format());
    // A table server seats the connection at the table its first line names.
    if (!table_.empty() && tableCheck_ == TableCheck::None) {
        switch (tableSeat_) {
            case TableSeat::Play: send(protocol::tables::Table{table_}.format()); break;
            case TableSeat::Watch: send(protocol::lobby::Watchtable{table_}.format()); break;
            case TableSeat::Invite: send(protocol::lobby::Invite{table_}.format()); break;
        }
        tableCheck_ = TableCheck::Asked;
    }
    touch();
}

void ClientEngine::setPassword(std::string password) {
    forgetPassword();
    password_ = std::move(password);
}

// An account is logged in to before anything else, and only where nobody can read what
// proves it. The session token wins over a password: it is the same person's login.
bool ClientEngine::logInToAccount(bool encrypted) {
    bool sent = false;
    if (!session_.empty() && encrypted) {
        send(protocol::accounts::Resume{session_}.format());
        sent = true;
    } else if (!password_.empty() && !encrypted) {
        addlinetochat(std::string(kPlainPasswordNotice), social::kSystemColour);
    } else if (!password_.empty()) {
        send(protocol::accounts::Login{state_.logintail, password_}.format());
        sent = true;
    }
    forgetPassword();
    return sent;
}

void ClientEngine::forgetPassword() {
    // Overwritten before it is let go, so that no copy of it lingers in freed memory.
    std::fill(password_.begin(), password_.end(), '\0');
    password_.clear();
    password_.shrink_to_fit();
}

void ClientEngine::received(std::string_view bytes) {
    if (flooded_) return;
    std::vector<std::string> lines;
    // A line too long for any message of the game is skipped whole by the cutter; the
    // lines around it count.
    if (!cutter_.feed(bytes, lines)) {
        addlinetochat(std::string(kOverlongNotice), social::kSystemColour);
        touch();
    }
    for (auto& line : lines) receivedlist_.push_back(std::move(line));
    if (receivedlist_.size() >= protocol::kMaxClientQueuedLines) {
        // A server this far ahead of the window is not playing a game: the program ends
        // once the notice is read, which closes the connection.
        flooded_ = true;
        receivedlist_.clear();
        messageBox(std::string(kFloodNotice), true);
        touch();
    }
}

void ClientEngine::socketClosed() {
    closeRequested_ = true;
    touch();
}

bool ClientEngine::pump() {
    if (receivedlist_.empty()) return false;
    const std::string line = std::move(receivedlist_.front());
    receivedlist_.pop_front();
    noteTableAnswer(line);
    dispatcher_.dispatch(line);
    touch();
    return true;
}

void ClientEngine::sendloginfo(const tc::Sendlogininfo& m) {
    const int seat = state_.hear(m);
    if (seat == 0) return;
    state_.loggedin = true;
    // The server takes no name without something visible in it: a player who gave none
    // is named after his seat.
    if (!msg::usableName(msg::cleanName(state_.logintail))) state_.logintail = "Player " + std::to_string(seat);
    send(msg::toserver::logininfo(seat, msg::kVersion, state_.logintail));
}

void ClientEngine::arrived(const std::optional<Spectator>& arrival) {
    if (!arrival) return;
    const bool mine = arrival->seat == state_.myseat;
    if (mine) {
        addlinetochat("You are Connected.", social::kSystemColour);
        joined_ = true;
        if (tableCheck_ == TableCheck::Asked) tableCheck_ = TableCheck::AfterLogin;
    } else {
        addlinetochat(arrival->name + " is Connected.", social::kSystemColour);
    }
    if (isPlayingSeat(arrival->seat)) {
        SeatView& view = seatView(arrival->seat);
        view.playernameVisible = true;
        view.scoreVisible = true;
        presentSeats();
    } else {
        addlinetochat(mine ? std::string("You are spying.") : arrival->name + " is spying.", social::kSystemColour);
    }
    playsounds("entered");
}

void ClientEngine::playerdisconnected(const tc::Playerdisconnected& m) {
    const auto left = state_.hear(m);
    if (!left) return;
    if (isPlayingSeat(left->seat)) {
        if (left->holderBefore != SeatHolder::Nobody)
            addlinetochat(seatNameText({left->holderBefore, left->nameBefore}) + " disconnected.", social::kSystemColour);
        presentSeats();
        return;
    }
    if (left->spectatorKnown) addlinetochat(left->name + " has left.", social::kSystemColour);
}

void ClientEngine::justwatching(const tc::Justwatching& m) {
    const int seat = state_.hear(m);
    if (seat == 0) return;
    const SeatValues& values = state_.seat(seat);
    if (seat == state_.myseat) options_.justWatch = values.watching;
    addlinetochat(seatNameText(values) + (values.watching ? " is just watching" : " is now playing again"),
                  social::kSystemColour);
    presentSeats();
}

void ClientEngine::kicking(int seat) {
    if (state_.ishost && state_.loggedin && isSeat(seat))
        send(msg::toserver::kickhim(state_.myseat, seat));
    touch();
}

void ClientEngine::justWatchMenuClick() {
    if (state_.loggedin && isPlayingSeat(state_.myseat))
        send(msg::toserver::justwatch(state_.myseat, options_.justWatch ? 2 : 1));
    touch();
}

// ---- The table server ----------------------------------------------------------------

void ClientEngine::host(const protocol::tables::Host& m) {
    if (m.seat < 0 || m.seat > rules::kSeats) return;
    if (tableCheck_ == TableCheck::AfterLogin)
        addlinetochat(tableSeat_ == TableSeat::Invite ? std::string("You are at the private table you were invited to.")
                                                      : "You are at the table " + heardName(table_) + ".",
                      social::kSystemColour);
    tableCheck_ = TableCheck::Answered;
    state_.hostseat = m.seat;
    const bool mine = state_.myseat != 0 && m.seat == state_.myseat;
    if (mine && !state_.ishost) {
        addlinetochat(std::string(kHostNotice), social::kSystemColour);
        // Between games the new host may start one at once.
        if (!state_.gamerunning) state_.button_start = true;
    }
    state_.ishost = mine;
}

void ClientEngine::loggedin(const protocol::accounts::Loggedin& m) {
    addlinetochat("You are logged in as " + heardName(m.name) + ".", social::kSystemColour);
}

// The game plays on as a guest; the server says under which name.
void ClientEngine::accountrefused(const protocol::accounts::Accountrefused& m) {
    addlinetochat(protocol::cutChars(m.text, protocol::kMaxTextChars), social::kSystemColour);
}

void ClientEngine::tableoptions(const protocol::lobby::Tableoptions& m) {
    state_.tableoptions = m.options;
    ++state_.tableoptionsTold;
}

// A table server sends nothing but the login's own catch-up (the seats, the version
// notes, a running game's board and numbers) between this client's announcement and the
// table's host; any other line before the host is named comes from a server that seats
// every connection at its one table.
void ClientEngine::noteTableAnswer(std::string_view line) {
    if (tableCheck_ != TableCheck::AfterLogin) return;
    const auto split = protocol::splitLine(line);
    if (!split) return;
    namespace names = protocol::names;
    for (const std::string_view catchUp : {names::existingplayers, names::havewrongversion, names::wrongversion,
                                           names::theboard, names::gamestats, names::shufflesl, names::host})
        if (split->name == catchUp) return;
    oneTableOnly();
}

void ClientEngine::tableAnswerOverdue() {
    if (tableCheck_ == TableCheck::AfterLogin) oneTableOnly();
    touch();
}

void ClientEngine::oneTableOnly() {
    tableCheck_ = TableCheck::Answered;
    addlinetochat(std::string(kOneTableNotice), social::kSystemColour);
}

void ClientEngine::setJustWatch(int seat, bool watch) {
    if (state_.ishost && state_.loggedin && isPlayingSeat(seat))
        send(msg::toserver::justwatch(seat, watch ? 1 : 2));
    touch();
}

void ClientEngine::startGame(const msg::GameSettings& settings) {
    // The starter is named as the server announced this seat.
    msg::GameSettings s = settings;
    if (!ownName().empty()) s.starter = ownName();
    if (state_.ishost && state_.loggedin) send(msg::toserver::startgame(s));
    touch();
}

// ---- Chat ---------------------------------------------------------------------------

void ClientEngine::chat(const tc::Chat& m) {
    chatrecieved(m.text);
    zubotalk();
}

void ClientEngine::action(const tc::Action& m) { chatrecieved(m.text); }

void ClientEngine::havewrongversion(const tc::Havewrongversion& m) {
    addlinetochat(heardName(m.name) + " has a different version of the game then you.", social::kSystemColour);
}

void ClientEngine::wrongversion(const tc::Wrongversion&) {
    addlinetochat("You have a differnt version of the game then the host.", social::kSystemColour);
}

// The table's language: the chat box names it; a code this program was not built with is
// said once, and the tiles keep English's values (the server's scores still count).
void ClientEngine::language(const tc::Language& m) {
    if (!state_.hear(m)) return;
    takeLanguage();
    if (const language::Language* l = language::find(m.code)) {
        addlinetochat("This game is played in " + std::string(l->name), social::kSystemColour);
        return;
    }
    if (unknownLanguageSaid_ == m.code) return;
    unknownLanguageSaid_ = m.code;
    addlinetochat("This game is played in a language this program does not have (" + m.code +
                      "): the tiles show English values.",
                  social::kSystemColour);
}

void ClientEngine::takeLanguage() {
    const language::Language* known = language::find(state_.language);
    state_.letterValues = known ? known->values : rules::kEnglishValues;
    if (!known || known->builtIn()) {
        words_.reset();
        return;
    }
    if (words_ && words_->code() == known->code) return;
    words_.reset();
    if (languageSource_) words_ = languageSource_(known->code).language;
    // A source that answers with another language than asked is not taken at its word.
    if (words_ && words_->code() != known->code) words_.reset();
}

const dictionary::WordGraph* ClientEngine::wordGraph() const {
    if (words_) return &words_->graph();
    const language::Language* known = language::find(state_.language);
    return known && known->builtIn() ? &dictionary::WordGraph::builtin() : nullptr;
}

void ClientEngine::full(const tc::Full&) { messageBox("Game is full", true); }

void ClientEngine::chatrecieved(std::string_view text) {
    auto line = social::readReceivedLine(text);
    addlinetochat(heardText(line.text, kMaxHeardLineChars), line.colour);
}

void ClientEngine::zubotalk() {
    const auto remark = social::zubotalk(state_.seat(2).holder == SeatHolder::Computer,
                                         state_.seat(3).holder == SeatHolder::Nobody &&
                                             state_.seat(4).holder == SeatHolder::Nobody,
                                         rng_);
    if (remark) addlinetochat(*remark, social::kSystemColour);
}

bool ClientEngine::sendit(std::string_view text) {
    touch();
    if (!state_.loggedin) return false;
    const auto typed = social::readTypedLine(text);
    if (typed.kind == social::TypedLine::Kind::chat)
        send(msg::toserver::chat(state_.myseat, typed.text, social::colourToText(options_.textColour)));
    else if (typed.kind == social::TypedLine::Kind::action)
        send(msg::toserver::action(state_.myseat, typed.text, social::colourToText(options_.actionColour)));
    return true;
}

bool ClientEngine::phrasesReady(std::int64_t nowMs) const {
    // A clock that went backwards counts as the cool-down being over.
    return phrasesReady_ || nowMs - phraseUsedAt_ >= kPhraseCooldownMs || nowMs < phraseUsedAt_;
}

void ClientEngine::phraseClick(int button, std::int64_t nowMs) {
    touch();
    if (button < 1 || button > kPhraseCount || !phrasesReady(nowMs)) return;
    const std::string& phrase = options_.phrases[static_cast<std::size_t>(button - 1)];
    send(msg::toserver::action(state_.myseat, social::phraseActionText(phrase),
                               social::colourToText(options_.actionColour)));
    phrasesReady_ = false;
    phraseUsedAt_ = nowMs;
}

// ---- State and queues --------------------------------------------------------------

std::vector<std::string> ClientEngine::loadchecklist() const {
    std::vector<std::string> names;
    for (int seat = 1; seat <= kPlayingSeats; ++seat) {
        const SeatValues& values = state_.seat(seat);
        if (seat != state_.myseat && values.holder != SeatHolder::Nobody) names.push_back(values.name);
    }
    return names;
}

std::string ClientEngine::ownName() const {
    if (!isPlayingSeat(state_.myseat)) return {};
    return seatNameText(state_.seat(state_.myseat));
}

void ClientEngine::send(std::string message) {
    // The terminator byte can never be part of a message's text.
    std::erase(message, protocol::kTerminator);
    outgoing_.push_back(protocol::frame(message));
}

void ClientEngine::sendIfLoggedIn(std::string message) {
    if (state_.loggedin) send(std::move(message));
}

void ClientEngine::addlinetochat(std::string text, Colour colour) {
    chatLines_.push_back({std::move(text), colour});
}

void ClientEngine::addToWords(std::string line) {
    auto& words = state_.memo_words;
    words.push_back(std::move(line));
    if (words.size() > kMaxWordsLines) {
        const std::size_t over = words.size() - kMaxWordsLines;
        words.erase(words.begin(), words.begin() + static_cast<std::ptrdiff_t>(over));
        state_.memo_wordsDropped += over;
    }
}

void ClientEngine::playsounds(std::string_view name) {
    if (options_.playSounds) sounds_.emplace_back(name);
}

void ClientEngine::messageBox(std::string text, bool closeAfter) {
    messageBoxes_.push_back({std::move(text), closeAfter});
}

std::vector<std::string> ClientEngine::takeOutgoing() { return std::exchange(outgoing_, {}); }
std::vector<ChatLine> ClientEngine::takeChatLines() { return std::exchange(chatLines_, {}); }
std::vector<std::string> ClientEngine::takeSounds() { return std::exchange(sounds_, {}); }
std::vector<MessageBox> ClientEngine::takeMessageBoxes() { return std::exchange(messageBoxes_, {}); }
std::vector<TallyCall> ClientEngine::takeTallyCalls() { return std::exchange(tallyCalls_, {}); }
bool ClientEngine::takeJoined() { return std::exchange(joined_, false); }

}  // namespace quorbit::client
