// The game mirror: a game's start, the board, the start of a turn and a late arrival's
// view of a running game.
#include "client/client_engine.h"
#include "client/fields_util.h"

namespace quorbit::client {

namespace msg = protocol;

void ClientEngine::clearthings() {
    state_.selectedcount = 0;
    state_.lastselected = Square{};
    for (auto& column : state_.boardmarks) column.fill(kMarkNone);
    clearHint();
    emptyRack();
}

void ClientEngine::emptyRack() { state_.image_letter.fill(0); }

void ClientEngine::hideArrows() {
    for (auto& arrow : state_.image_direction) arrow.visible = false;
}

void ClientEngine::releaseArrows() {
    for (auto& arrow : state_.image_direction) arrow = Arrow{};
}

void ClientEngine::applyTeamColours(bool team) {
    const Colour colour = team ? social::kLightBlue : social::kBlack;
    seatView(2).colour = colour;
    seatView(4).colour = colour;
    if (team) state_.label_team2Colour = social::kLightBlue;
    state_.teamgame = team;
    state_.teamLabelsVisible = team;
}

void ClientEngine::startthegame(msg::FieldReader& f) {
    state_.image_bonus = false;
    state_.button_clear = state_.button_done = state_.button_shuffle = false;
    state_.memo_words.clear();
    state_.memo_wordsDropped = 0;
    state_.hintsTaken = 0;
    state_.gamerunning = true;
    state_.joinedLate = false;
    hideArrows();
    state_.panel_winner = false;
    state_.button_start = false;
    options_.justWatch = false;

    const std::string starter = heardName(f.next());
    const int playto = f.nextInt();
    state_.label_playtoscore = "Play to Score: " + std::to_string(playto);
    state_.turnlength = f.nextInt();
    state_.label_Timeperturn = "Time Per Turn: " + std::to_string(state_.turnlength);
    const bool team = f.next() == "t";
    const int shuffles = intOrZero(f);

    addlinetochat(starter + " has started a game.", social::kSystemColour);
    state_.label_team1 = "Team A: 0 ";
    state_.label_team2 = "Team B: 0 ";
    for (auto& seat : state_.seats) {
        seat.label_bonus.clear();
        seat.label_score.clear();
        seat.image_eyes = false;
        seat.image_shuffles = shufflesPicture(shuffles);
    }
    applyTeamColours(team);
    if (seatView(2).holder == SeatHolder::Nobody) {
        seatView(2).holder = SeatHolder::Computer;
        seatView(2).label_playername = std::string(kZubo);
        addlinetochat("I am Zubo the bot. Good Luck!", social::kOrange);
    }
    TallyCall call;
    call.kind = TallyCall::Kind::loadchecklist;
    call.players = loadchecklist();
    tallyCalls_.push_back(std::move(call));
}

void ClientEngine::theboard(msg::FieldReader& f) {
    for (auto& column : state_.boardletters) column.fill(0);
    clearthings();
    f.beginList();
    while (!f.atListEnd()) {
        const int x = f.nextInt();
        const int y = f.nextInt();
        const int code = f.nextInt();
        // Squares off the board and codes that are no letter leave the mirror alone.
        if (!onBoard(x, y) || code < 0 || code > 26) continue;
        letterAt({x, y}) = code;
    }
}

void ClientEngine::getnextplayer(msg::FieldReader& f) {
    state_.image_bonus = false;
    hideArrows();
    const int seat = f.nextInt();
    if (!isPlayingSeat(seat)) return;
    state_.whoseturn = seat;
    clearHint();
    hintThisTurn_ = false;
    const int left = intOrZero(f);
    seatView(seat).image_shuffles = shufflesPicture(left);
    // Shown only while the seat has a shuffle left; hidden again below for onlookers.
    state_.button_shuffle = left > 0;
    state_.image_Turn = seat;
    emptyRack();
    state_.selected.fill(Square{});
    if (myturn()) {
        state_.label_status = "Your Turn";
        switch (options_.turnSound) {
            case TurnSound::New: playsounds("turnnew"); break;
            case TurnSound::Default: playsounds("turn"); break;
            case TurnSound::Classic: playsounds("start"); break;
        }
        state_.button_clear = state_.button_done = true;
    } else {
        state_.label_status = seatView(seat).label_playername + "'s Turn";
        state_.button_shuffle = false;
    }
    state_.timeleft = state_.turnlength;
    state_.timer2 = true;
}

void ClientEngine::gamestats(msg::FieldReader& f) {
    const int seat = f.nextInt();
    if (seat != 0 && !isPlayingSeat(seat)) return;
    state_.whoseturn = seat;
    // The game's state comes only to a client that arrives while it runs.
    state_.gamerunning = true;
    state_.joinedLate = true;
    if (isPlayingSeat(seat)) state_.image_Turn = seat;
    emptyRack();
    state_.label_playtoscore = "Play to Score: " + std::to_string(f.nextInt());
    state_.turnlength = f.nextInt();
    state_.label_Timeperturn = "Time Per Turn: " + std::to_string(state_.turnlength);
    state_.timeleft = f.nextInt();
    const bool team = f.next() == "t";
    for (int s = 1; s <= kPlayingSeats; ++s) seatView(s).label_score = std::to_string(f.nextInt());
    state_.label_team1 = "Team A : " + std::to_string(f.nextInt());
    state_.label_team2 = "Team B : " + std::to_string(f.nextInt());
    applyTeamColours(team);
    if (state_.timeleft > 0) {
        state_.timer2 = true;
        if (myturn())
            state_.label_status = "Create a Word!";
        else if (isPlayingSeat(seat))
            state_.label_status = seatView(seat).label_playername + "'s turn.";
        else
            state_.label_status.clear();
    }
}

}  // namespace quorbit::client
