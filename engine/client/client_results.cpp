// Word results and the end of a game.
#include "client/client_engine.h"

namespace quorbit::client {

void ClientEngine::madeword(const tc::Madeword& m) {
    state_.button_clear = state_.button_done = state_.button_shuffle = false;
    // The best word the player had, from the board before the word leaves it.
    const auto best = options_.showBestWords ? bestOnBoard() : std::nullopt;
    const auto made = state_.hear(m);
    if (!made) return;
    const int seat = made->seat;

    state_.teamLabelForm = TeamLabelForm::Word;
    presentSeats();
    for (auto& view : state_.seats) view.label_bonus.clear();
    seatView(seat).label_bonus = made->word + " +" + std::to_string(made->points);

    const std::string line = wordLine(seatNameText(state_.seat(seat)), made->word, made->points);
    state_.label_status = line;
    addToWords(line);
    if (best) addToWords("best: " + std::string(best->word()) + " " + std::to_string(best->score));
    if (options_.postWordsInChatBox) addlinetochat(line, social::kSystemColour);

    for (auto& column : state_.boardmarks) column.fill(kMarkTaken);
    clearHint();
    // The rack shows the word as its letters left the board.
    state_.image_letter = made->letters;

    if (seat == state_.myseat) {
        playsounds("goodword");
        TallyCall another;
        another.kind = TallyCall::Kind::anotherword;
        another.column = 3;
        tallyCalls_.push_back(std::move(another));
        TallyCall mine;
        mine.kind = TallyCall::Kind::addtomineset;
        mine.column = 4;
        mine.points = made->points;
        mine.word = made->word;
        tallyCalls_.push_back(std::move(mine));
        for (auto& arrow : state_.image_direction) arrow = Arrow{true, state_.myseat};
    } else {
        playsounds("roundover");
    }
}

void ClientEngine::notvalid(const tc::Notvalid& m) {
    if (m.seat != state_.myseat || !isSeat(m.seat)) return;
    const std::string word = heardText(m.word);
    state_.label_status = word + " is not a valid word.";
    state_.selectedcount = 0;
    state_.lastselected = Square{};
    unmarkAll();
    emptyRack();
    state_.selected.fill(Square{});
    playsounds("badword");
}

void ClientEngine::bonus(const tc::Bonus&) {
    state_.image_bonus = true;
    ++state_.bonusPlays;
}

void ClientEngine::timeup(const tc::Timeup& m) {
    state_.hear(m);
    state_.label_status = "Time is Up!";
    clearHint();
    playsounds("roundover");
    state_.button_done = state_.button_clear = state_.button_shuffle = false;
    hideArrows();
}

void ClientEngine::winner(const tc::Winner& m) {
    hideArrows();
    state_.image_bonus = false;
    emptyRack();
    const std::string name = state_.hear(m);
    const bool player = isPlayingSeat(state_.myseat);
    const bool mine = player && name == ownName();

    state_.label_winner = mine ? std::string("You have won the game!") : name + " has won the game!";
    state_.label_status = "GAME OVER!";
    state_.panel_winner = true;
    playsounds("winner");
    addlinetochat(state_.label_winner, social::kBlue);
    if (state_.ishost) state_.button_start = true;

    if (!player) return;
    if (!mine && state_.teamgame) return;  // team wins are not tallied
    TallyCall call;
    call.kind = TallyCall::Kind::addgame;
    call.word = mine ? std::string("addtomine") : name;
    call.players = loadchecklist();
    tallyCalls_.push_back(std::move(call));
}

}  // namespace quorbit::client
