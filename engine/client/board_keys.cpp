#include "client/board_keys.h"

#include "client/fields_util.h"

namespace quorbit::client {

void BoardKeys::setFocus(Square square) {
    if (onBoard(square.x, square.y)) focus_ = square;
}

bool BoardKeys::move(int dx, int dy) {
    // The focus square stops at the edges; the key is used up either way.
    setFocus({focus_.x + dx, focus_.y + dy});
    return true;
}

bool BoardKeys::choose() {
    const ClientState& s = engine_.state();
    if (s.selectedcount > 0 && s.lastselected == focus_) {
        engine_.rackClick(s.selectedcount);
        return true;
    }
    // A left click on the square.
    engine_.boardClick(focus_, MouseButton::Left);
    return true;
}

bool BoardKeys::slide(int direction) {
    const ClientState& s = engine_.state();
    const Arrow& arrow = s.image_direction[static_cast<std::size_t>(direction - 1)];
    if (!arrow.visible || s.myseat == 0 || arrow.owner != s.myseat) return false;
    engine_.arrowClick(direction);
    return true;
}

bool BoardKeys::press(BoardKey key) {
    const ClientState& s = engine_.state();
    switch (key) {
        case BoardKey::Left: return move(-1, 0);
        case BoardKey::Right: return move(1, 0);
        case BoardKey::Up: return move(0, -1);
        case BoardKey::Down: return move(0, 1);
        case BoardKey::Choose: return choose();
        case BoardKey::TakeBack:
            if (s.selectedcount == 0) return false;
            engine_.rackClick(s.selectedcount);
            return true;
        case BoardKey::Clear:
            if (!s.button_clear) return false;
            engine_.buttonClearClick();
            return true;
        case BoardKey::Done:
            if (!s.button_done) return false;
            engine_.buttonDoneClick();
            return true;
        case BoardKey::SlideDown: return slide(1);
        case BoardKey::SlideLeft: return slide(2);
        case BoardKey::SlideUp: return slide(3);
        case BoardKey::SlideRight: return slide(4);
        case BoardKey::Shuffle:
            if (!s.button_shuffle) return false;
            engine_.buttonShuffleClick();
            return true;
        case BoardKey::Hint:
            if (!engine_.hintAvailable()) return false;
            engine_.hintClick();
            return true;
    }
    return false;
}

}  // namespace quorbit::client
