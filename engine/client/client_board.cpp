// The game mirror: a game's start, the board, the start of a turn and a late arrival's
// view of a running game.
#include "client/client_engine.h"

namespace quorbit::client {

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

void ClientEngine::applyTeamColours() {
    const bool team = state_.teamgame;
    const Colour colour = team ? social::kLightBlue : social::kBlack;
    seatView(2).colour = colour;
    seatView(4).colour = colour;
    if (team) state_.label_team2Colour = social::kLightBlue;
    state_.teamLabelsVisible = team;
}

void ClientEngine::startthegame(const tc::Startgame& m) {
    state_.image_bonus = false;
    state_.button_clear = state_.button_done = state_.button_shuffle = false;
    state_.memo_words.clear();
    state_.memo_wordsDropped = 0;
    state_.hintsTaken = 0;
    hideArrows();
    state_.panel_winner = false;
    state_.button_start = false;
    options_.justWatch = false;

    const GameStart start = state_.hear(m);
    state_.label_playtoscore = playToText(state_.playTo);
    state_.label_Timeperturn = turnLengthText(state_.turnlength);

    addlinetochat(start.starter + " has started a game.", social::kSystemColour);
    state_.teamLabelForm = TeamLabelForm::Start;
    for (auto& seat : state_.seats) seat.label_bonus.clear();
    presentSeats();
    applyTeamColours();
    if (start.computerJoined) addlinetochat("I am Zubo the bot. Good Luck!", social::kOrange);
    TallyCall call;
    call.kind = TallyCall::Kind::loadchecklist;
    call.players = loadchecklist();
    tallyCalls_.push_back(std::move(call));
}

void ClientEngine::theboard(const tc::Theboard& m) {
    clearthings();
    state_.hear(m);
}

void ClientEngine::getnextplayer(const tc::Nextplayer& m) {
    state_.image_bonus = false;
    hideArrows();
    const int seat = state_.hear(m);
    if (seat == 0) return;
    clearHint();
    hintThisTurn_ = false;
    presentSeats();
    // Shown only while the seat has a shuffle left; hidden again below for onlookers.
    state_.button_shuffle = state_.seat(seat).shuffles > 0;
    state_.image_Turn = seat;
    emptyRack();
    if (myturn()) {
        state_.label_status = "Your Turn";
        switch (options_.turnSound) {
            case TurnSound::New: playsounds("turnnew"); break;
            case TurnSound::Default: playsounds("turn"); break;
            case TurnSound::Classic: playsounds("start"); break;
        }
        state_.button_clear = state_.button_done = true;
    } else {
        state_.label_status = seatNameText(state_.seat(seat)) + "'s Turn";
        state_.button_shuffle = false;
    }
}

void ClientEngine::gamestats(const tc::Gamestats& m) {
    if (!state_.hear(m)) return;
    emptyRack();
    const int seat = state_.whoseturn;
    if (isPlayingSeat(seat)) state_.image_Turn = seat;
    state_.label_playtoscore = playToText(state_.playTo);
    state_.label_Timeperturn = turnLengthText(state_.turnlength);
    state_.teamLabelForm = TeamLabelForm::CatchUp;
    presentSeats();
    applyTeamColours();
    if (state_.timeleft > 0) {
        if (myturn())
            state_.label_status = "Create a Word!";
        else if (isPlayingSeat(seat))
            state_.label_status = seatNameText(state_.seat(seat)) + "'s turn.";
        else
            state_.label_status.clear();
    }
}

}  // namespace quorbit::client
