// The main window's controls. Where each one sits is the layout's table (panellayout.cpp):
// here they are made, named and styled; the layout places them at the window's scale.
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/client/boardview.h"
#include "app/client/chatbox.h"
#include "app/client/panellayout.h"
#include "app/client/tchat.h"
#include "app/widgets/artwork.h"
#include "app/widgets/clickimage.h"
#include "app/widgets/elidinglabel.h"

namespace art = quorbit::app::artwork;
using quorbit::app::ClickImage;

namespace {

QLabel* label(QWidget* parent, const QString& name, const QString& text = {}) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

// A picture label: its picture fills its place, however large the window draws it.
QLabel* picture(QWidget* parent, const QString& name) {
    QLabel* l = label(parent, name);
    l->setScaledContents(true);
    return l;
}

QFrame* card(QWidget* parent, const QString& name) {
    auto* f = new QFrame(parent);
    f->setObjectName(name);
    return f;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text, const char* colour) {
    return art::flatButton(parent, name, text, QRect(), colour);
}

}  // namespace

void Tchat::buildLayout() {
    panel_board = new QWidget(this);
    panel_board->setObjectName("panel_board");
    auto* holder = new QWidget(this);
    holder->setObjectName("panel_client");
    panel_board->setParent(holder);
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
    card(panel_board, "rack_tray");
    for (int n = 1; n <= 7; ++n) {
        auto* slot = new ClickImage(panel_board);
        slot->setObjectName(QString("image_letter%1").arg(n));
        slot->setScaledContents(true);
        image_letter[static_cast<std::size_t>(n - 1)] = slot;
    }

    label_status = label(panel_board, "label_status", "Welcome to Quorbit");
    label_status->setAlignment(Qt::AlignCenter);
    QFont bold = label_status->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    label_status->setFont(bold);

    button_clear = button(panel_board, "button_clear", "Clear", "#c0504d");
    button_shuffle = button(panel_board, "button_shuffle", "Quorbit Shuffle", "#d88a1c");
    button_start = button(panel_board, "button_start", "Start", "#3a8fd0");
    button_done = button(panel_board, "button_done", "Done", "#3c9a3c");
    // In a turn the Start button is away; the Hint takes its place.
    button_hint = button(panel_board, "button_hint", "Hint", "#8e5cc4");
    button_hint->setToolTip("Show the best word on the board");
    button_hint->hide();

    board_frame = new QFrame(panel_board);
    board_frame->setObjectName("board_frame");
    paintbox_board = new quorbit::app::BoardView(pictures_, panel_board);

    for (int d = 1; d <= 4; ++d) {
        auto* a = new ClickImage(panel_board);
        a->setObjectName(QString("image_direction%1").arg(d));
        a->setScaledContents(true);
        a->setPixmap(art::arrow(d));
        a->setCursor(Qt::PointingHandCursor);
        a->setToolTip("Slide the tiles this way");
        a->hide();
        image_direction[static_cast<std::size_t>(d - 1)] = a;
    }

    label_Timeperturn = label(panel_board, "label_Timeperturn", "Time Per Turn: 60");
    label_playtoscore = label(panel_board, "label_playtoscore", "Play To Score: 100");
    label_playtoscore->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    // Game title beside the words list.
    QLabel* logo = label(panel_board, "logo", "Quorbit");
    QFont logoFont("DejaVu Serif");
    logoFont.setPixelSize(28);
    logoFont.setBold(true);
    logoFont.setItalic(true);
    logo->setFont(logoFont);
    logo->setAlignment(Qt::AlignCenter);
    QLabel* tagline = label(panel_board, "tagline", "chain \xc2\xb7 score \xc2\xb7 slide");
    tagline->setAlignment(Qt::AlignCenter);

    card(panel_board, "timer_box");
    image_timer = label(panel_board, "image_timer");
    label_timer = label(panel_board, "label_timer", "Time: 0:00");
    label_timer->setAlignment(Qt::AlignCenter);

    memo_words = new QPlainTextEdit(panel_board);
    memo_words->setObjectName("memo_words");
    memo_words->setReadOnly(true);
    memo_words->setMaximumBlockCount(static_cast<int>(quorbit::client::kMaxWordsLines));
    memo_words->setPlaceholderText("Words made this game");

    buildSeats();
    buildChat();

    image_bonus = picture(panel_board, "image_bonus");
    image_bonus->hide();

    panel_winner = card(panel_board, "panel_winner");
    label_winner2 = label(panel_winner, "label_winner2");
    label_winner1 = label(panel_winner, "label_winner1");
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

    layout_ = new quorbit::app::PanelLayout(holder, panel_board);
    layout_->keepOwnFont(mainchat);  // the chat's text size is the player's choice, scaled by the chat box
    connect(layout_, &quorbit::app::PanelLayout::scaleChanged, this, &Tchat::applyScale);
}

void Tchat::applyScale(qreal scale) {
    // Tiles are drawn again with as many device pixels as they now cover.
    pictures_.setResolution(scale * devicePixelRatioF());
    paintbox_board->repaintAll();
    for (auto* slot : image_letter) slot->setProperty("shows", QVariant());
    for (auto* shuffles : image_shuffles) shuffles->setProperty("shows", QVariant());
    // The phrase pictures are drawn at their design size: shown larger, they are scaled once.
    for (std::size_t i = 0; i < b_phrase.size(); ++i) {
        const QSize size(layout_->px(30), layout_->px(22));
        const QPixmap icon = quorbit::app::artwork::phraseIcon(static_cast<int>(i) + 1);
        b_phrase[i]->setIcon(QIcon(scale == 1 ? icon : icon.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
        b_phrase[i]->setIconSize(size);
    }
    mainchat->setZoom(scale);
}

void Tchat::buildSeats() {
    auto* teamcard = card(panel_board, "teamcard");
    teamcard->lower();
    label_team1 = label(panel_board, "label_team1", "Team A: 0");
    label_team2 = label(panel_board, "label_team2", "Team B: 0");
    for (QLabel* l : {label_team1, label_team2}) {
        l->setAlignment(Qt::AlignCenter);
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
        l->setContextMenuPolicy(Qt::CustomContextMenu);
        l->hide();
    }
    teamcard->setVisible(false);

    for (std::size_t i = 0; i < 4; ++i) {
        const int n = static_cast<int>(i) + 1;
        seatcard[i] = card(panel_board, QString("seatcard%1").arg(n));
        seatcard[i]->setProperty("seat", "light");
        label_playername[i] = new quorbit::app::ElidingLabel("<Waiting>", panel_board);
        label_playername[i]->setObjectName(QString("label_playername%1").arg(n));
        QFont nameFont = label_playername[i]->font();
        nameFont.setBold(true);
        label_playername[i]->setFont(nameFont);
        label_playername[i]->setIndent(20);  // room for the eye mark
        label_playername[i]->setContextMenuPolicy(Qt::CustomContextMenu);
        label_score[i] = label(panel_board, QString("label_score%1").arg(n), "0");
        label_score[i]->setFont(nameFont);
        label_bonus[i] = label(panel_board, QString("label_bonus%1").arg(n));
        image_shuffles[i] = picture(panel_board, QString("image_shuffles%1").arg(n));
        image_shuffles[i]->setToolTip("Quorbit Shuffles left");
        image_eyes[i] = picture(panel_board, QString("image_eyes%1").arg(n));
        image_eyes[i]->setPixmap(quorbit::app::artwork::eyes());
        image_eyes[i]->setToolTip("Just watching");
        image_eyes[i]->hide();
    }
    image_Turn = picture(panel_board, "image_Turn");
    image_Turn->setPixmap(quorbit::app::artwork::turnPointer());
    image_Turn->hide();
}

void Tchat::buildChat() {
    for (int n = 1; n <= 10; ++n) {
        auto* b = new QPushButton(panel_board);
        b->setObjectName(QString("b_phrase%1").arg(n));
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
    mychat = new quorbit::app::ChatEntry(panel_board);
}
