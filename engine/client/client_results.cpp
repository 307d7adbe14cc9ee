// Word results and the end of a game.
#include "client/client_engine.h"
#include "client/fields_util.h"

namespace quorbit::client {

namespace msg = protocol;

void ClientEngine::madeword(msg::FieldReader& f) {
    state_.button_clear = state_.button_done = state_.button_shuffle = false;
    state_.whoseturn = 0;
    state_.timer2 = false;

    const int seat = f.nextInt();
    const std::string word = heardText(f.next());
    const int points = f.nextInt();
    const int total = f.nextInt();
    const int teamA = f.nextInt();
    const int teamB = f.nextInt();
    if (!isPlayingSeat(seat)) return;
    // The best word the player had, from the board before the word leaves it.
    const auto best = options_.showBestWords ? bestOnBoard() : std::nullopt;

    state_.label_team1 = "Team A: " + std::to_string(teamA);
    state_.label_team2 = "Team B: " + std::to_string(teamB);
    seatView(seat).label_score = std::to_string(total);
    for (auto& view : state_.seats) view.label_bonus.clear();
    seatView(seat).label_bonus = word + " +" + std::to_string(points);

    const std::string line =
        seatView(seat).label_playername + ": " + word + " for " + std::to_string(points) + " points.";
    state_.label_status = line;
    addToWords(line);
    if (best) addToWords("best: " + std::string(best->word()) + " " + std::to_string(best->score));
    if (options_.postWordsInChatBox) addlinetochat(line, social::kSystemColour);

    state_.selectedcount = 0;
    state_.lastselected = Square{};
    for (auto& column : state_.boardmarks) column.fill(kMarkTaken);
    clearHint();
    emptyRack();

    // The rack shows the word as its letters leave the board.
    f.beginList();
    for (int slot = 1; !f.atListEnd(); ++slot) {
        const int x = f.nextInt();
        const int y = f.nextInt();
        if (!onBoard(x, y)) continue;
        if (isSlot(slot)) state_.image_letter[static_cast<std::size_t>(slot - 1)] = letterAt({x, y});
        letterAt({x, y}) = 0;
    }

    if (seat == state_.myseat) {
        playsounds("goodword");
        TallyCall another;
        another.kind = TallyCall::Kind::anotherword;
        another.column = 3;
        tallyCalls_.push_back(std::move(another));
        TallyCall best;
        best.kind = TallyCall::Kind::addtomineset;
        best.column = 4;
        best.points = points;
        best.word = word;
        tallyCalls_.push_back(std::move(best));
        for (auto& arrow : state_.image_direction) arrow = Arrow{true, state_.myseat};
    } else {
        playsounds("roundover");
    }
}

void ClientEngine::notvalid(msg::FieldReader& f) {
    const int seat = f.nextInt();
    if (seat != state_.myseat || !isSeat(seat)) return;
    const std::string word = heardText(f.next());
    state_.label_status = word + " is not a valid word.";
    state_.selectedcount = 0;
    state_.lastselected = Square{};
    unmarkAll();
    emptyRack();
    state_.selected.fill(Square{});
    playsounds("badword");
}

void ClientEngine::bonus(msg::FieldReader&) {
    state_.image_bonus = true;
    ++state_.bonusPlays;
}

void ClientEngine::timeup(msg::FieldReader&) {
    state_.whoseturn = 0;
    state_.label_status = "Time is Up!";
    clearHint();
    playsounds("roundover");
    state_.button_done = state_.button_clear = state_.button_shuffle = false;
    hideArrows();
}

void ClientEngine::winner(msg::FieldReader& f) {
    hideArrows();
    state_.image_bonus = false;
    state_.whoseturn = 0;
    state_.gamerunning = false;
    emptyRack();

    // The name is everything up to the message's closing "+", so a name that holds a "+"
    // arrives whole.
    std::string name = f.rest();
    if (!name.empty() && name.back() == '+') name.pop_back();
    name = heardName(name);
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
