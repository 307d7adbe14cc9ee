// Turn input: building, taking back, clearing and submitting a chain, the shuffle, the
// direction arrows, the echoes of other players' chains, the slide and the turn clock.
#include "client/client_engine.h"
#include "client/fields_util.h"
#include "rules/letters.h"
#include "rules/turn.h"

namespace quorbit::client {

namespace msg = protocol;

void ClientEngine::unmarkAll() {
    for (auto& column : state_.boardmarks) column.fill(kMarkNone);
}

void ClientEngine::boardClick(Square square, MouseButton button) {
    touch();
    if (!myturn()) return;
    if (options_.justWatch) {
        messageBox(std::string(kJustWatchingText));
        return;
    }
    if (button == MouseButton::Right) {
        pressdone();
        return;
    }
    const int count = state_.selectedcount;
    bool acceptable = onBoard(square.x, square.y) && count + 1 <= kMaxWord;
    if (acceptable && state_.lastselected.isSet()) acceptable = rules::neighbours(square, state_.lastselected);
    for (int slot = 0; acceptable && slot < count; ++slot)
        if (state_.selected[static_cast<std::size_t>(slot)] == square) acceptable = false;
    if (acceptable) acceptable = rules::isLetter(letterAt(square));
    if (!acceptable) {
        state_.label_status = "Invalid Selection";
        playsounds("badword");
        return;
    }
    if (state_.lastselected.isSet()) markAt(state_.lastselected) = kPicCross;
    markAt(square) = kPicFrame;
    state_.selectedcount = count + 1;
    state_.selected[static_cast<std::size_t>(count)] = square;
    state_.image_letter[static_cast<std::size_t>(count)] = letterAt(square);
    state_.lastselected = square;
    sendIfLoggedIn(msg::toserver::selectletter(state_.myseat, count + 1, square.x, square.y));
    playsounds("place");
}

void ClientEngine::rackClick(int slot) {
    touch();
    const int count = state_.selectedcount;
    if (!myturn() || count <= 0 || slot != count || !isSlot(slot)) return;
    const auto index = static_cast<std::size_t>(slot - 1);
    if (!state_.selected[index].isSet()) return;
    markAt(state_.selected[index]) = kMarkNone;
    state_.selected[index] = Square{};
    state_.image_letter[index] = 0;
    sendIfLoggedIn(msg::toserver::clearletter(state_.myseat, slot));
    state_.selectedcount = count - 1;
    state_.lastselected = count > 1 ? state_.selected[index - 1] : Square{};
    // The new end of the chain is the newest square again and shows the frame.
    if (state_.lastselected.isSet()) markAt(state_.lastselected) = kPicFrame;
}

void ClientEngine::buttonClearClick() {
    touch();
    if (options_.justWatch) {
        messageBox(std::string(kJustWatchingText));
        return;
    }
    pressclear();
    playsounds("clear");
}

void ClientEngine::pressclear() {
    if (!myturn()) return;
    state_.selectedcount = 0;
    state_.lastselected = Square{};
    unmarkAll();
    state_.selected.fill(Square{});
    emptyRack();
    sendIfLoggedIn(msg::toserver::selectclear(state_.myseat));
}

void ClientEngine::buttonDoneClick() {
    touch();
    if (options_.justWatch) {
        messageBox(std::string(kJustWatchingText));
        return;
    }
    pressdone();
}

void ClientEngine::pressdone() {
    if (!myturn() || state_.selectedcount == 0) return;
    std::vector<msg::PathStep> path;
    for (int slot = 1; slot <= state_.selectedcount; ++slot) {
        const Square s = state_.selected[static_cast<std::size_t>(slot - 1)];
        path.push_back({slot, s.x, s.y});
    }
    sendIfLoggedIn(msg::toserver::playerdone(state_.myseat, path));
    pressclear();
}

void ClientEngine::buttonShuffleClick() {
    touch();
    state_.button_shuffle = false;
    if (options_.justWatch) {
        messageBox(std::string(kJustWatchingText));
        return;
    }
    sendIfLoggedIn(msg::toserver::shuffle(state_.myseat));
}

void ClientEngine::arrowClick(int direction) {
    touch();
    if (direction < 1 || direction > 4) return;
    const Arrow arrow = state_.image_direction[static_cast<std::size_t>(direction - 1)];
    // A hidden arrow cannot be clicked; an owned one only by its owner, and only once.
    if (arrow.visible && arrow.owner != 0 && arrow.owner == state_.myseat)
        sendIfLoggedIn(msg::toserver::direction(state_.myseat, direction));
    releaseArrows();
}

// ---- Echoes of another player's chain ------------------------------------------------

void ClientEngine::selectletter(const tc::Selectletter& m) {
    const int seat = m.seat, slot = m.position;
    if (!showsEcho(seat)) return;
    if (!isSeat(seat) || !isSlot(slot) || !onBoard(m.x, m.y)) return;
    const Square square{m.x, m.y};
    markAt(square) = kPicFrame;
    const auto index = static_cast<std::size_t>(slot - 1);
    state_.selected[index] = square;
    state_.image_letter[index] = letterAt(square);
    playsounds("place");
}

void ClientEngine::clearletter(const tc::Clearletter& m) {
    const int seat = m.seat, slot = m.position;
    if (!showsEcho(seat)) return;
    if (!isSeat(seat) || !isSlot(slot)) return;
    const auto index = static_cast<std::size_t>(slot - 1);
    const Square square = state_.selected[index];
    if (!square.isSet()) return;
    markAt(square) = kMarkNone;
    state_.selected[index] = Square{};
    state_.image_letter[index] = 0;
    state_.lastselected = slot > 1 ? state_.selected[index - 1] : Square{};
}

void ClientEngine::selectclear(const tc::Selectclear& m) {
    const int seat = m.seat;
    if (!showsEcho(seat) || !isSeat(seat)) return;
    unmarkAll();
    emptyRack();
    playsounds("clear");
}

// ---- The slide ------------------------------------------------------------------------

void ClientEngine::moving(const tc::Moving& m) {
    state_.hear(m);
    const int direction = m.direction;
    releaseArrows();
    playsounds("shift");
    if (direction >= 1 && direction <= 4)
        state_.image_direction[static_cast<std::size_t>(direction - 1)].visible = true;
}

// ---- Shuffles -----------------------------------------------------------------------

void ClientEngine::useshuffle(const tc::Useshuffle& m) {
    if (state_.hear(m) == 0) return;
    presentSeats();
    playsounds("shuffle");
}

void ClientEngine::shufflesl(const tc::Shufflesl& m) {
    state_.hear(m);
    presentSeats();
}

// ---- The turn clock ------------------------------------------------------------------

void ClientEngine::showClock() {
    state_.label_timer = clockText(state_.timeleft);
    state_.image_timer = state_.timeleft;
}

void ClientEngine::timer2Tick() {
    touch();
    if (!state_.timer2) return;
    if (state_.tick()) {
        showClock();
        if (state_.timeleft <= 9) playsounds("timer");
    } else {
        state_.label_timer = clockText(0);
    }
}

}  // namespace quorbit::client
