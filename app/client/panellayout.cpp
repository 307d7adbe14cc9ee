#include "app/client/panellayout.h"

#include <QEvent>
#include <QWidget>
#include <algorithm>

namespace quorbit::app {

namespace {

// A numbered series of controls ("image_letter1" ...), each `step` right of the last.
void series(std::vector<Place>& t, const char* name, int count, QRect first, QPoint step) {
    for (int n = 1; n <= count; ++n)
        t.push_back({QString("%1%2").arg(name).arg(n), first.translated(step * (n - 1))});
}

// One control per seat, seats 1 to 4 at these places.
void seats(std::vector<Place>& t, const char* name, const QPoint (&at)[4], QSize size) {
    for (int n = 1; n <= 4; ++n) t.push_back({QString("%1%2").arg(name).arg(n), QRect(at[n - 1], size)});
}

std::vector<Place> buildTable() {
    std::vector<Place> t = {
        // The rack on its tray, the status line and the turn's buttons.
        {"rack_tray", {22, 1, 400, 62}},
        {"label_status", {24, 61, 394, 21}},
        {"button_clear", {23, 83, 90, 27}},
        {"button_shuffle", {140, 83, 124, 27}},
        {"button_start", {274, 83, 64, 27}},
        {"button_hint", {274, 83, 64, 27}},  // in a turn the Hint takes the Start button's place
        {"button_done", {344, 83, 74, 27}},
        // The board in its frame, the four arrows around it and the game's settings below.
        {"board_frame", {23, 113, 396, 396}},
        {"paintbox_board", {25, 115, 392, 392}},
        {"image_direction1", {153, 89, 140, 22}},
        {"image_direction2", {419, 219, 22, 139}},
        {"image_direction3", {153, 507, 140, 22}},
        {"image_direction4", {2, 219, 22, 139}},
        {"label_Timeperturn", {25, 510, 180, 18}},
        {"label_playtoscore", {236, 510, 180, 18}},
        // The title, the clock and the words list.
        {"logo", {443, 8, 125, 40}},
        {"tagline", {443, 48, 125, 16}},
        {"timer_box", {441, 91, 121, 24}},
        {"image_timer", {443, 93, 117, 20}},  // the whole bar; the time left shows part of it
        {"label_timer", {443, 93, 117, 20}},
        {"memo_words", {574, 7, 200, 114}},
        // The team scores, the seats, the turn pointer and the bonus animation.
        {"teamcard", {441, 124, 335, 21}},
        {"label_team1", {442, 128, 158, 15}},
        {"label_team2", {611, 128, 154, 15}},
        {"image_Turn", {0, 0, 10, 40}},  // beside the name of the seat whose turn it is
        {"image_bonus", {495, 179, 217, 19}},
        // The chat: phrase buttons, the chat box and the entry field.
        {"mainchat", {442, 267, 334, 234}},
        {"mychat", {442, 504, 334, 24}},
        // The winner banner over the rack, its two labels within it.
        {"panel_winner", {5, 10, 431, 41}},
        {"label_winner1", {0, 0, 429, 39}},
        {"label_winner2", {1, 1, 429, 39}},
    };
    series(t, "image_letter", 7, {26, 4, 56, 56}, {56, 0});
    series(t, "b_phrase", 10, {443, 240, 31, 24}, {33, 0});
    const QPoint names[4] = {{455, 149}, {622, 149}, {455, 195}, {622, 195}};
    const QPoint cards[4] = {{443, 145}, {610, 145}, {443, 191}, {610, 191}};
    const QPoint scores[4] = {{563, 149}, {729, 149}, {563, 195}, {729, 195}};
    const QPoint bonuses[4] = {{460, 166}, {627, 164}, {460, 214}, {627, 212}};
    const QPoint shuffles[4] = {{595, 145}, {762, 145}, {595, 193}, {762, 193}};
    const QPoint eyes[4] = {{450, 149}, {617, 149}, {450, 195}, {617, 195}};
    seats(t, "seatcard", cards, {165, 44});
    seats(t, "label_playername", names, {107, 16});
    seats(t, "label_score", scores, {30, 16});
    seats(t, "label_bonus", bonuses, {130, 16});
    seats(t, "image_shuffles", shuffles, {12, 41});
    seats(t, "image_eyes", eyes, {22, 9});
    return t;
}

QFont scaledFont(QFont f, qreal s) {
    if (f.pixelSize() > 0)
        f.setPixelSize(std::max(1, qRound(f.pixelSize() * s)));
    else
        f.setPointSizeF(f.pointSizeF() * s);
    return f;
}

}  // namespace

const std::vector<Place>& panelPlaces() {
    static const std::vector<Place> table = buildTable();
    return table;
}

QRect designRect(const QString& name) {
    for (const Place& p : panelPlaces())
        if (p.name == name) return p.rect;
    return {};
}

QRect PanelLayout::scaled(const QRect& r, qreal s) {
    return QRect(qRound(r.x() * s), qRound(r.y() * s), qRound(r.width() * s), qRound(r.height() * s));
}

qreal PanelLayout::fitting(QSize area) {
    const qreal w = qreal(area.width()) / kDesignArea.width();
    const qreal h = qreal(area.height()) / kDesignArea.height();
    return std::max<qreal>(1.0, std::min(w, h));
}

PanelLayout::PanelLayout(QWidget* area, QWidget* panel) : QObject(area), area_(area), panel_(panel) {
    area_->setMinimumSize(kDesignArea);
}

void PanelLayout::keepOwnFont(QWidget* w) { ownFont_.emplace_back(w); }

void PanelLayout::start() {
    panelFont_ = panel_->font();
    // Every control gets its font set, not only those with fonts of their own: a control
    // that a style sheet styles takes no font from its parent.
    for (QWidget* w : panel_->findChildren<QWidget*>()) {
        const bool own = std::any_of(ownFont_.begin(), ownFont_.end(), [w](const QPointer<QWidget>& o) {
            return o && (o == w || o->isAncestorOf(w));
        });
        if (!own) fonts_.insert(w, w->font());
    }
    area_->installEventFilter(this);
    apply(fitting(area_->size()));
}

void PanelLayout::apply(qreal scale) {
    const QSize panelSize(qRound(kDesignPanel.width() * scale), qRound(kDesignPanel.height() * scale));
    // The panel keeps the design's margin at the top left and is centred in what is left
    // over when the area's proportions differ from the design's.
    const QSize spare = area_->size() - QSize(qRound(kDesignArea.width() * scale), qRound(kDesignArea.height() * scale));
    panel_->setGeometry(QRect(QPoint(std::max(0, spare.width() / 2), std::max(0, spare.height() / 2)), panelSize));
    const bool rescaled = scale != scale_;
    scale_ = scale;
    if (rescaled) {
        panel_->setFont(scaledFont(panelFont_, scale));
        for (auto it = fonts_.cbegin(); it != fonts_.cend(); ++it) it.key()->setFont(scaledFont(it.value(), scale));
    }
    for (const Place& p : panelPlaces())
        if (auto* w = panel_->findChild<QWidget*>(p.name)) w->setGeometry(scaled(p.rect, scale));
    if (rescaled) emit scaleChanged(scale);
    emit placed();
}

bool PanelLayout::eventFilter(QObject* watched, QEvent* e) {
    if (watched == area_ && e->type() == QEvent::Resize) apply(fitting(area_->size()));
    return QObject::eventFilter(watched, e);
}

}  // namespace quorbit::app
