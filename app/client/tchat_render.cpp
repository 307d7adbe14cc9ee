// Drawing the client engine's state into the main window's controls.
#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <algorithm>

#include "app/client/boardview.h"
#include "app/client/panellayout.h"
#include "app/client/mainmenus.h"
#include "app/client/tchat.h"
#include "record/replay.h"
#include "app/social/gamestartform.h"
#include "app/social/spylistform.h"
#include "rules/zubolevel.h"
#include "app/widgets/artwork.h"
#include "app/widgets/clickimage.h"

namespace client = quorbit::client;

namespace {

void setText(QLabel* l, const std::string& text) {
    const QString t = QString::fromStdString(text);
    if (l->text() != t) l->setText(t);
}

void setColour(QLabel* l, quorbit::social::Colour c) {
    const QString css = QString("color: #%1;").arg(c.rgb(), 6, 16, QChar('0'));
    if (l->styleSheet() != css) l->setStyleSheet(css);
}

}  // namespace

const client::ClientState& Tchat::shown() const { return replaying() ? replay()->state() : engine_.state(); }

std::uint64_t Tchat::shownRevision() const { return replaying() ? replay()->revision() : engine_.revision(); }

void Tchat::offerTableOptions(const client::ClientState& s) {
    if (s.tableoptionsTold == tableoptionsOffered_ || !windows_.gamestart) return;
    tableoptionsOffered_ = s.tableoptionsTold;
    const quorbit::protocol::lobby::TableOptions& o = s.tableoptions;
    Tgamestart& dialog = *windows_.gamestart;
    dialog.setPlaytoscore(o.playTo);
    dialog.setTimeperturn(o.seconds);
    dialog.setQuorbitshuffle(o.shuffles);
    dialog.setTeam(o.teams);
    if (const auto level = quorbit::rules::parseZuboLevel(o.zubo)) dialog.setZubolevel(*level);
    if (!o.language.empty()) dialog.setLanguage(QString::fromStdString(o.language));
}

void Tchat::render() {
    const client::ClientState& s = shown();
    renderedRevision_ = shownRevision();

    paintbox_board->show(s.boardletters, s.boardmarks, s.hintmarks);
    renderRack();
    setText(label_status, s.label_status);
    // A replay shows the game, never the buttons to move in it.
    button_clear->setVisible(s.button_clear && acceptsMoves());
    button_shuffle->setVisible(s.button_shuffle && acceptsMoves());
    button_done->setVisible(s.button_done && acceptsMoves());
    const bool hint = engine_.hintAvailable() && acceptsMoves();
    button_hint->setVisible(hint);
    menus_->hint->setEnabled(hint);
    // Only the table's host ever shows Start; the engine says when it is due. The host's
    // powers may pass from seat to seat on a table server, so the menu items follow too.
    button_start->setVisible(s.ishost && s.button_start);
    const bool hosts = engine_.state().ishost;
    menus_->startGame->setEnabled(hosts);
    if (windows_.spylist) windows_.spylist->setKickEnabled(hosts);
    offerTableOptions(engine_.state());
    for (std::size_t i = 0; i < 4; ++i) image_direction[i]->setVisible(s.image_direction[i].visible);
    setText(label_Timeperturn, s.label_Timeperturn);
    setText(label_playtoscore, s.label_playtoscore);
    renderTimers();

    renderWords();
    renderSeats();

    if (s.bonusPlays != bonusPlaysShown_) {  // the animation starts again at its first frame
        bonusPlaysShown_ = s.bonusPlays;
        bonusFrame_ = 0;
        bonusTimer_.start();
    }
    if (!s.image_bonus) bonusTimer_.stop();
    image_bonus->setPixmap(quorbit::app::artwork::bonusFrame(bonusFrame_));
    image_bonus->setVisible(s.image_bonus);
    image_bonus->raise();

    renderAccessible();  // before the banner shows, so its news is told once
    setText(label_winner1, s.label_winner);
    setText(label_winner2, s.label_winner);
    panel_winner->setVisible(s.panel_winner);
    panel_winner->raise();

    menus_->justWatch->setChecked(engine_.options().justWatch);
    for (std::size_t i = 0; i < b_phrase.size(); ++i) {
        const QString phrase = QString::fromStdString(engine_.options().phrases[i]);
        if (b_phrase[i]->toolTip() != phrase) b_phrase[i]->setToolTip(phrase);
    }
    if (windows_.spylist) windows_.spylist->setEntries(engine_.state().spectators);
}

// Words arrive one line at a time during a game: new lines are appended (the list itself
// lets its oldest lines go beyond the engine's cap, as the engine does), and the list is
// built afresh only when what it shows is no longer the start of the words (a new game,
// a replay moved back). Nothing is done, not even a comparison of texts, while they stay.
// A client that came in while the game ran hears only the words made since (no message
// carries the earlier ones): a first line says so.
void Tchat::renderWords() {
    const client::ClientState& s = shown();
    const std::vector<std::string>& words = s.memo_words;
    const bool late = s.joinedLate;
    if (s.memo_wordsDropped == wordsShownDropped_ && words == wordsShown_ && late == lateNoteShown_) return;
    // The lines shown that are still in the list, from its front.
    const std::size_t gone = s.memo_wordsDropped - wordsShownDropped_;
    const bool extends = late == lateNoteShown_ && s.memo_wordsDropped >= wordsShownDropped_ &&
                         gone < wordsShown_.size() && words.size() > wordsShown_.size() - gone &&
                         std::equal(wordsShown_.begin() + static_cast<std::ptrdiff_t>(gone), wordsShown_.end(),
                                    words.begin());
    if (extends) {
        for (std::size_t i = wordsShown_.size() - gone; i < words.size(); ++i)
            memo_words->appendPlainText(QString::fromStdString(words[i]));
    } else {
        QStringList lines;
        if (late) lines << kLateArrivalNote;
        for (const auto& w : words) lines << QString::fromStdString(w);
        memo_words->setPlainText(lines.join('\n'));
    }
    wordsShown_ = words;
    wordsShownDropped_ = s.memo_wordsDropped;
    lateNoteShown_ = late;
    memo_words->moveCursor(QTextCursor::End);
    memo_words->ensureCursorVisible();
}

void Tchat::renderRack() {
    const client::ClientState& s = shown();
    for (std::size_t i = 0; i < 7; ++i) {
        const int code = s.image_letter[i];
        const qint64 key = code;  // what the slot shows, to skip unchanged slots
        if (image_letter[i]->property("shows").isValid() && image_letter[i]->property("shows").toLongLong() == key)
            continue;
        image_letter[i]->setProperty("shows", key);
        if (code >= 1 && code <= 26) {
            QPixmap p = pictures_.picture(client::kPicPlain);
            QPainter g(&p);
            g.drawPixmap(2, 2, pictures_.picture(code));
            g.end();
            image_letter[i]->setPixmap(p);
        } else {
            image_letter[i]->setPixmap(pictures_.picture(client::kPicEmptySlot));
        }
    }
}

void Tchat::renderSeats() {
    const client::ClientState& s = shown();
    const bool teams = s.teamLabelsVisible;
    setText(label_team1, s.label_team1);
    setText(label_team2, s.label_team2);
    const QString team2Style = QString("color: #%1;%2")
                                   .arg(s.label_team2Colour.rgb(), 6, 16, QChar('0'))
                                   .arg(teams ? " background: #2b3c5c; border-radius: 4px;" : "");
    if (label_team2->styleSheet() != team2Style) label_team2->setStyleSheet(team2Style);
    label_team1->setVisible(teams);
    label_team2->setVisible(teams);
    if (QWidget* teamcard = panel_board->findChild<QWidget*>("teamcard")) teamcard->setVisible(teams);

    for (std::size_t i = 0; i < 4; ++i) {
        const client::SeatView& v = s.seats[i];
        const bool dark = teams && (i == 1 || i == 3);
        const char* tone = dark ? "dark" : "light";
        if (seatcard[i]->property("seat").toString() != tone) {
            seatcard[i]->setProperty("seat", tone);
            seatcard[i]->style()->unpolish(seatcard[i]);
            seatcard[i]->style()->polish(seatcard[i]);
        }
        setText(label_playername[i], v.label_playername);
        label_playername[i]->setVisible(v.playernameVisible);
        setText(label_score[i], v.label_score);
        label_score[i]->setVisible(v.scoreVisible);
        label_score[i]->adjustSize();
        setText(label_bonus[i], v.label_bonus);
        label_bonus[i]->adjustSize();
        for (QLabel* l : {label_playername[i], label_score[i], label_bonus[i]}) setColour(l, v.colour);
        image_eyes[i]->setVisible(v.image_eyes);
        image_eyes[i]->raise();
        const QVariant shown = image_shuffles[i]->property("shows");
        if (!shown.isValid() || shown.toInt() != v.image_shuffles) {
            image_shuffles[i]->setProperty("shows", v.image_shuffles);
            image_shuffles[i]->setPixmap(pictures_.shuffles(v.image_shuffles));
        }
    }
    if (s.image_Turn >= 1 && s.image_Turn <= 4) {
        const QLabel* name = label_playername[static_cast<std::size_t>(s.image_Turn - 1)];
        image_Turn->move(name->x() - layout_->px(12), name->y() - layout_->px(3));
        image_Turn->show();
        image_Turn->raise();
    } else {
        image_Turn->hide();
    }
}

void Tchat::renderTimers() {
    const client::ClientState& s = shown();
    setText(label_timer, s.label_timer);
    const int bar = layout_->px(std::clamp(s.image_timer, 0, 117));
    if (image_timer->width() != bar) image_timer->resize(bar, image_timer->height());
    image_timer->setVisible(bar > 0);
    // The window's clock ticks the live game only; a replay's clock runs with the replay.
    const bool live = engine_.state().timer2;
    if (live && !Timer2.isActive()) Timer2.start();
    if (!live && Timer2.isActive()) Timer2.stop();
}
