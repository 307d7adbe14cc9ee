// Playing without a mouse: the board's keys, the tab order and F6 between the panel's areas.
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/client/boardview.h"
#include "app/client/chatbox.h"
#include "app/client/tchat.h"

namespace client = quorbit::client;

void Tchat::connectKeyboard() {
    paintbox_board->onKey = [this](client::BoardKey key) { return boardKey(key); };
    // A left click also moves the focus square to the square clicked.
    connect(paintbox_board, &quorbit::app::BoardView::clicked, this, [this](int x, int y, Qt::MouseButton b) {
        if (b != Qt::LeftButton) return;
        keys_.setFocus({x, y});
        paintbox_board->setFocusSquare(keys_.focus());
    });

    // Buttons take the focus from Tab only, so a click never takes it from the chat entry.
    for (QPushButton* b : {button_clear, button_shuffle, button_hint, button_start, button_done})
        b->setFocusPolicy(Qt::TabFocus);
    for (QPushButton* b : b_phrase) b->setFocusPolicy(Qt::TabFocus);
    mainchat->setTabChangesFocus(true);
    memo_words->setTabChangesFocus(true);
    QWidget* order[] = {paintbox_board, button_clear, button_shuffle, button_hint, button_start, button_done, mychat};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
    QWidget* previous = mychat;
    for (QPushButton* b : b_phrase) {
        setTabOrder(previous, b);
        previous = b;
    }
    setTabOrder(previous, mainchat);
    setTabOrder(mainchat, memo_words);
}

bool Tchat::boardKey(client::BoardKey key) {
    const bool used = keys_.press(key);
    sync();
    paintbox_board->setFocusSquare(keys_.focus());
    return used;
}

void Tchat::focusNextArea(bool backward) {
    // The board, the chat entry, the chat box and the words list, round and round.
    QWidget* areas[] = {paintbox_board, mychat, mainchat, memo_words};
    constexpr int n = static_cast<int>(std::size(areas));
    int at = -1;
    for (int i = 0; i < n; ++i)
        if (areas[i] == focusWidget() || areas[i]->isAncestorOf(focusWidget())) at = i;
    const int next = at < 0 ? 0 : (at + (backward ? n - 1 : 1)) % n;
    areas[next]->setFocus(backward ? Qt::BacktabFocusReason : Qt::TabFocusReason);
}

void Tchat::keyPressEvent(QKeyEvent* e) {
    // F6 (Shift+F6 backwards) reaches here from whichever control has the focus and passes it on.
    if (e->key() == Qt::Key_F6) {
        focusNextArea(e->modifiers() & Qt::ShiftModifier);
        e->accept();
        return;
    }
    QMainWindow::keyPressEvent(e);
}
