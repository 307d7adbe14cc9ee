// Names and descriptions for screen readers, drawn from the same state as the pictures.
#include <QAccessible>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/client/boardview.h"
#include "app/client/chatbox.h"
#include "client/spoken.h"
#include "app/client/tchat.h"
#include "app/widgets/clickimage.h"

namespace client = quorbit::client;
namespace spoken = quorbit::client::spoken;

namespace {

void name(QWidget* w, const std::string& text) {
    const QString t = QString::fromStdString(text);
    if (w->accessibleName() != t) w->setAccessibleName(t);
}

void describe(QWidget* w, const char* text) {
    if (w->accessibleDescription() != QLatin1String(text)) w->setAccessibleDescription(text);
}

}  // namespace

void Tchat::renderAccessible() {
    // The game shown: a replay's while one runs, as the pictures are.
    const client::ClientState& s = shown();
    std::array<QString, quorbit::app::BoardView::kSquares> squares;
    for (int x = 0; x < client::kBoardSize; ++x)
        for (int y = 0; y < client::kBoardSize; ++y)
            squares[static_cast<std::size_t>(quorbit::app::BoardView::indexOf({x, y}))] =
                QString::fromStdString(spoken::square(s, {x, y}));
    paintbox_board->setSquareNames(squares);

    for (int n = 1; n <= client::kMaxWord; ++n) name(image_letter[static_cast<std::size_t>(n - 1)], spoken::rackSlot(s, n));
    for (int seat = 1; seat <= client::kPlayingSeats; ++seat)
        name(label_playername[static_cast<std::size_t>(seat - 1)], spoken::seat(s, seat));
    name(label_timer, spoken::clock(s));
    for (int seat = 1; seat <= client::kPlayingSeats; ++seat) {
        name(image_shuffles[static_cast<std::size_t>(seat - 1)], spoken::shuffles(s, seat));
        name(image_eyes[static_cast<std::size_t>(seat - 1)], "just watching");
    }
    name(memo_words, "Words made this game");
    name(mainchat, "Chat");
    name(mychat, "Chat entry");
    for (int d = 1; d <= 4; ++d) name(image_direction[static_cast<std::size_t>(d - 1)], spoken::arrow(d));
    for (std::size_t i = 0; i < b_phrase.size(); ++i) name(b_phrase[i], engine_.options().phrases[i]);
    describe(button_clear, "Escape on the board");
    describe(button_done, "Enter on the board");
    describe(button_shuffle, "S on the board");
    describe(button_hint, "H on the board");

    // Turn changes, word results and refusals are told by the status line, whose name is
    // its text; the winner banner is told as soon as it shows.
    name(label_status, s.label_status);
    const bool winnerNews = s.panel_winner && !panel_winner->isVisible();
    name(panel_winner, s.label_winner);
    if (winnerNews) {
        QAccessibleEvent alert(panel_winner, QAccessible::Alert);
        QAccessible::updateAccessibility(&alert);
    }
}
