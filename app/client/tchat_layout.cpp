// The main window's controls, each at its place in the game panel.
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "client/boardview.h"
#include "client/chatbox.h"
#include "client/tchat.h"
#include "widgets/artwork.h"
#include "widgets/clickimage.h"
#include "widgets/elidinglabel.h"

namespace art = quorbit::app::artwork;
using quorbit::app::ClickImage;

namespace {

constexpr int kPanelWidth = 777;
constexpr int kPanelHeight = 530;

QLabel* label(QWidget* parent, const char* name, const QString& text, QRect where) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(where);
    return l;
}

QFrame* card(QWidget* parent, const char* name, QRect where) {
    auto* f = new QFrame(parent);
    f->setObjectName(name);
    f->setGeometry(where);
    return f;
}

}  // namespace

void Tchat::buildLayout() {
    panel_board = new QWidget(this);
    panel_board->setObjectName("panel_board");
    auto* holder = new QWidget(this);
    holder->setObjectName("panel_client");
    holder->setMinimumSize(kPanelWidth + 15, kPanelHeight + 12);
    panel_board->setParent(holder);
    panel_board->setGeometry(0, 0, kPanelWidth, kPanelHeight);
    holder->setStyleSheet(
        "#panel_client { background: qlineargradient(x1:0, y1:0, x2:1, y2:1, stop:0 #2f6b4a, stop:1 #1c4531); }"
        "#panel_board QLabel { color: #10202a; }"
        "QLabel#label_status { color: #fff6d8; }"
        "QLabel#label_Timeperturn, QLabel#label_playtoscore { color: #e8f2e0; font-weight: bold; }"
        "#board_frame { background: #5b3b1c; border: 2px solid #2d1c0c; border-radius: 3px; }"
        "#rack_tray { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #8a5a2b, stop:1 #5b3a1a);"
        " border: 1px solid #2d1c0c; border-radius: 6px; }"
        "QFrame[seat=\"light\"] { background: #f6efdc; border: 1px solid #b9a77c; border-radius: 6px; }"
        "QFrame[seat=\"dark\"] { background: #2b3c5c; border: 1px solid #16203a; border-radius: 6px; }"
        "#teamcard { background: #f6efdc; border: 1px solid #b9a77c; border-radius: 6px; }"
        "#timer_box { background: #16301f; border: 1px solid #0b1a10; border-radius: 4px; }"
        "#image_timer { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffd45c, stop:1 #e07a10);"
        " border-radius: 3px; }"
        "QLabel#label_timer { color: white; font-weight: bold; }"
        "#memo_words { background: #fffaf0; border: 1px solid #b9a77c; border-radius: 4px; }"
        "#panel_winner { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fff3b0, stop:1 #f2c230);"
        " border: 2px solid #8a5a00; border-radius: 8px; }"
        "QLabel#logo { color: #ffe9a8; } QLabel#tagline { color: #cfe3c8; }");
    setCentralWidget(holder);

    // The rack, on a wooden tray.
    card(panel_board, "rack_tray", QRect(22, 1, 56 * 7 + 8, 62));
    for (int n = 1; n <= 7; ++n) {
        auto* slot = new ClickImage(panel_board);
        slot->setObjectName(QString("image_letter%1").arg(n));
        slot->setGeometry(26 + 56 * (n - 1), 4, 56, 56);
        image_letter[static_cast<std::size_t>(n - 1)] = slot;
    }

    label_status = label(panel_board, "label_status", "Welcome to Quorbit", QRect(24, 61, 394, 21));
    label_status->setAlignment(Qt::AlignCenter);
    QFont bold = label_status->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    label_status->setFont(bold);

    button_clear = art::flatButton(panel_board, "button_clear", "Clear", QRect(23, 83, 90, 27), "#c0504d");
    button_shuffle = art::flatButton(panel_board, "button_shuffle", "Quorbit Shuffle", QRect(140, 83, 124, 27), "#d88a1c");
    button_start = art::flatButton(panel_board, "button_start", "Start", QRect(274, 83, 64, 27), "#3a8fd0");
    button_done = art::flatButton(panel_board, "button_done", "Done", QRect(344, 83, 74, 27), "#3c9a3c");
    // In a turn the Start button is away; the Hint takes its place.
    button_hint = art::flatButton(panel_board, "button_hint", "Hint", QRect(274, 83, 64, 27), "#8e5cc4");
    button_hint->setToolTip("Show the best word on the board");
    button_hint->hide();

    board_frame = new QFrame(panel_board);
    board_frame->setObjectName("board_frame");
    board_frame->setGeometry(23, 113, 396, 396);
    paintbox_board = new quorbit::app::BoardView(pictures_, panel_board);
    paintbox_board->move(25, 115);

    const QRect arrows[4] = {QRect(153, 89, 140, 22), QRect(419, 219, 22, 139), QRect(153, 507, 140, 22),
                             QRect(2, 219, 22, 139)};
    for (int d = 1; d <= 4; ++d) {
        auto* a = new ClickImage(panel_board);
        a->setObjectName(QString("image_direction%1").arg(d));
        a->setGeometry(arrows[d - 1]);
        a->setPixmap(art::arrow(d));
        a->setCursor(Qt::PointingHandCursor);
        a->setToolTip("Slide the tiles this way");
        a->hide();
        image_direction[static_cast<std::size_t>(d - 1)] = a;
    }

    label_Timeperturn = label(panel_board, "label_Timeperturn", "Time Per Turn: 60", QRect(25, 510, 180, 18));
    label_playtoscore = label(panel_board, "label_playtoscore", "Play To Score: 100", QRect(236, 510, 180, 18));
    label_playtoscore->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    // Game title beside the words list.
    QLabel* logo = label(panel_board, "logo", "Quorbit", QRect(443, 8, 125, 40));
    QFont logoFont("DejaVu Serif");
    logoFont.setPixelSize(28);
    logoFont.setBold(true);
    logoFont.setItalic(true);
    logo->setFont(logoFont);
    logo->setAlignment(Qt::AlignCenter);
    QLabel* tagline = label(panel_board, "tagline", "chain \xc2\xb7 score \xc2\xb7 slide", QRect(443, 48, 125, 16));
    tagline->setAlignment(Qt::AlignCenter);

    card(panel_board, "timer_box", QRect(441, 91, 121, 24));
    image_timer = label(panel_board, "image_timer", QString(), QRect(443, 93, 0, 20));
    label_timer = label(panel_board, "label_timer", "Time: 0:00", QRect(443, 93, 117, 20));
    label_timer->setAlignment(Qt::AlignCenter);

    memo_words = new QPlainTextEdit(panel_board);
    memo_words->setObjectName("memo_words");
    memo_words->setGeometry(574, 7, 200, 114);
    memo_words->setReadOnly(true);
    memo_words->setMaximumBlockCount(static_cast<int>(quorbit::client::kMaxWordsLines));
    memo_words->setPlaceholderText("Words made this game");

    buildSeats();
    buildChat();

    image_bonus = label(panel_board, "image_bonus", QString(), QRect(495, 179, 217, 19));
    image_bonus->hide();

    panel_winner = card(panel_board, "panel_winner", QRect(5, 10, 431, 41));
    label_winner2 = label(panel_winner, "label_winner2", QString(), QRect(1, 1, 429, 39));
    label_winner1 = label(panel_winner, "label_winner1", QString(), QRect(0, 0, 429, 39));
    QFont big("DejaVu Sans");
    big.setPixelSize(20);
    big.setBold(true);
    for (QLabel* l : {label_winner1, label_winner2}) {
        l->setFont(big);
        l->setAlignment(Qt::AlignCenter);
    }
    label_winner2->setStyleSheet("color: #808080; background: transparent;");
    label_winner1->setStyleSheet("color: #7a1f00; background: transparent;");
    panel_winner->hide();
}

void Tchat::buildSeats() {
    auto* teamcard = card(panel_board, "teamcard", QRect(441, 124, 335, 21));
    teamcard->lower();
    label_team1 = label(panel_board, "label_team1", "Team A: 0", QRect(442, 128, 158, 15));
    label_team2 = label(panel_board, "label_team2", "Team B: 0", QRect(611, 128, 154, 15));
    for (QLabel* l : {label_team1, label_team2}) {
        l->setAlignment(Qt::AlignCenter);
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
        l->setContextMenuPolicy(Qt::CustomContextMenu);
        l->hide();
    }
    teamcard->setVisible(false);

    const QPoint names[4] = {{455, 149}, {622, 149}, {455, 195}, {622, 195}};
    const QPoint scores[4] = {{563, 149}, {729, 149}, {563, 195}, {729, 195}};
    const QPoint bonuses[4] = {{460, 166}, {627, 164}, {460, 214}, {627, 212}};
    const QPoint shuffles[4] = {{595, 145}, {762, 145}, {595, 193}, {762, 193}};
    const QPoint eyes[4] = {{450, 149}, {617, 149}, {450, 195}, {617, 195}};
    for (std::size_t i = 0; i < 4; ++i) {
        const int n = static_cast<int>(i) + 1;
        seatcard[i] = card(panel_board, qPrintable(QString("seatcard%1").arg(n)),
                           QRect(names[i].x() - 12, names[i].y() - 4, 165, 44));
        seatcard[i]->setProperty("seat", "light");
        label_playername[i] = new quorbit::app::ElidingLabel("<Waiting>", panel_board);
        label_playername[i]->setObjectName(QString("label_playername%1").arg(n));
        label_playername[i]->setGeometry(QRect(names[i], QSize(107, 16)));
        QFont nameFont = label_playername[i]->font();
        nameFont.setBold(true);
        label_playername[i]->setFont(nameFont);
        label_playername[i]->setIndent(20);  // room for the eye mark
        label_playername[i]->setContextMenuPolicy(Qt::CustomContextMenu);
        label_score[i] = label(panel_board, qPrintable(QString("label_score%1").arg(n)), "0", QRect(scores[i], QSize(30, 16)));
        label_score[i]->setFont(nameFont);
        label_bonus[i] = label(panel_board, qPrintable(QString("label_bonus%1").arg(n)), QString(),
                               QRect(bonuses[i], QSize(130, 16)));
        image_shuffles[i] = label(panel_board, qPrintable(QString("image_shuffles%1").arg(n)), QString(),
                                  QRect(shuffles[i], QSize(12, 41)));
        image_shuffles[i]->setToolTip("Quorbit Shuffles left");
        image_eyes[i] = label(panel_board, qPrintable(QString("image_eyes%1").arg(n)), QString(),
                              QRect(eyes[i], QSize(22, 9)));
        image_eyes[i]->setPixmap(quorbit::app::artwork::eyes());
        image_eyes[i]->setToolTip("Just watching");
        image_eyes[i]->hide();
    }
    image_Turn = label(panel_board, "image_Turn", QString(), QRect(0, 0, 10, 40));
    image_Turn->setPixmap(quorbit::app::artwork::turnPointer());
    image_Turn->hide();
}

void Tchat::buildChat() {
    for (int n = 1; n <= 10; ++n) {
        auto* b = new QPushButton(panel_board);
        b->setObjectName(QString("b_phrase%1").arg(n));
        b->setGeometry(442 + (n - 1) * 33 + 1, 240, 31, 24);
        b->setIcon(QIcon(quorbit::app::artwork::phraseIcon(n)));
        b->setIconSize(QSize(30, 22));
        b->setFlat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setCursor(Qt::PointingHandCursor);
        b->setStyleSheet("QPushButton { border: none; } QPushButton:hover { background: rgba(255,255,255,60);"
                         " border-radius: 4px; }");
        b_phrase[static_cast<std::size_t>(n - 1)] = b;
    }
    mainchat = new quorbit::app::ChatBox(panel_board);
    mainchat->setGeometry(442, 267, 334, 234);
    mychat = new quorbit::app::ChatEntry(panel_board);
    mychat->setGeometry(442, 504, 334, 24);
}
