#pragma once
// Keyboard play on the board: a focus square that the arrow keys move, and keys that stand
// for the mouse's actions on the board, the rack, the buttons and the direction arrows.
//
// Every key is handed to the very ClientEngine function that the matching mouse action
// calls, so the lines sent, the sounds and the refusals ("Invalid Selection", "You are just
// watching right now.") are the mouse's own. A key stands only for what the mouse could
// reach at that moment: Clear, Done, Quorbit Shuffle and Hint while their buttons show,
// a direction only while that arrow shows and belongs to this seat.
#include "client/client_engine.h"

namespace quorbit::client {

enum class BoardKey {
    Left, Right, Up, Down,                      // move the focus square
    Choose,                                     // Space: add the focus square, or take back the chain's end
    TakeBack,                                   // Backspace: the last letter, as a click on the last rack slot
    Clear,                                      // Escape: the Clear button
    Done,                                       // Enter: the Done button
    SlideDown, SlideLeft, SlideUp, SlideRight,  // Shift+arrow: directions 1, 2, 3 and 4
    Shuffle,                                    // S: the Quorbit Shuffle button
    Hint,                                       // H: the Hint button, while it is offered
};

class BoardKeys {
public:
    explicit BoardKeys(ClientEngine& engine) : engine_(engine) {}

    // The square the keys act on; it starts in the middle of the board.
    Square focus() const { return focus_; }
    // Moves the focus square (a square off the board is ignored).
    void setFocus(Square square);

    // Carries out the key. False when it stands for nothing at this moment, so the window
    // may pass the key on.
    bool press(BoardKey key);

private:
    bool move(int dx, int dy);
    bool choose();
    bool slide(int direction);

    ClientEngine& engine_;
    Square focus_{kBoardSize / 2, kBoardSize / 2};
};

}  // namespace quorbit::client
