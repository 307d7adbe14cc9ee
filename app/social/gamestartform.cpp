#include "app/social/gamestartform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

#include "language/language.h"
#include "social/settings.h"
#include "app/widgets/artwork.h"
#include "app/widgets/clickimage.h"

namespace {

QSpinBox* spinField(const char* name, const quorbit::social::SpinRange& range, int value, QWidget* parent) {
    auto* s = new QSpinBox(parent);
    s->setObjectName(name);
    s->setRange(range.min, range.max);
    s->setSingleStep(range.step);
    s->setValue(value);
    // Typed digits count as well as the arrows, within the same range: a number beyond
    // it is taken as the nearest end of the range.
    s->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    s->setMinimumWidth(90);
    return s;
}

}  // namespace

Tgamestart::Tgamestart(QWidget* parent) : QDialog(parent, Qt::Tool) {
    setObjectName("Tgamestart");
    setWindowTitle("Quorbit - Game Start");
    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel("Game Options", this);
    QFont f = heading->font();
    f.setBold(true);
    f.setPointSize(f.pointSize() + 3);
    heading->setFont(f);
    heading->setAlignment(Qt::AlignCenter);
    layout->addWidget(heading);

    auto* form = new QFormLayout();
    playtoscore_ = spinField("playtoscore", quorbit::social::kPlayToScoreRange, 500, this);
    timeperturn_ = spinField("timeperturn", quorbit::social::kTimePerTurnRange, 60, this);
    quorbitshuffle_ = spinField("quorbitshuffle", quorbit::social::kShufflesRange, 1, this);
    form->addRow("Play to Score:", playtoscore_);
    form->addRow("Creation Time:", timeperturn_);
    form->addRow("Quorbit Shuffles:", quorbitshuffle_);
    zubolevel_ = new QComboBox(this);
    zubolevel_->setObjectName("zubolevel");
    zubolevel_->addItems({"Classic", "Strong", "Expert"});  // in the order of the levels
    zubolevel_->setToolTip("How well the computer player plays");
    form->addRow("Zubo:", zubolevel_);
    connect(zubolevel_, &QComboBox::currentIndexChanged, this, [this] { emit zubolevelChanged(zubolevel()); });
    language_ = new QComboBox(this);
    language_->setObjectName("language");
    for (const quorbit::language::Language& l : quorbit::language::all())  // English first
        language_->addItem(QString::fromUtf8(l.name.data(), static_cast<qsizetype>(l.name.size())),
                           QString::fromLatin1(l.code.data(), static_cast<qsizetype>(l.code.size())));
    language_->setToolTip("The language the words are played in");
    form->addRow("Language:", language_);
    connect(language_, &QComboBox::currentIndexChanged, this, [this] { emit languageChanged(language()); });
    layout->addLayout(form);
    checkbox_team_ = new QCheckBox("Team Game", this);
    checkbox_team_->setObjectName("checkbox_team");
    layout->addWidget(checkbox_team_, 0, Qt::AlignHCenter);

    image1_ = new quorbit::app::ClickImage(this);
    image1_->setObjectName("Image1");
    image1_->setPixmap(quorbit::app::artwork::startPicture("Start Game", 150, 34));
    image1_->setCursor(Qt::PointingHandCursor);
    image1_->setToolTip("Start the game");
    image1_->setFocusPolicy(Qt::TabFocus);  // Tab reaches it; Space or Enter starts the game
    layout->addWidget(image1_, 0, Qt::AlignHCenter);
    connect(image1_, &quorbit::app::ClickImage::clicked, this, [this](Qt::MouseButton b) {
        if (b == Qt::LeftButton) emit startClicked();
    });
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

// A field's value, counting what is typed in it but not yet confirmed (the start picture
// takes no focus, so the field may still be in the middle of an edit).
int Tgamestart::typed(QSpinBox* field) {
    field->interpretText();
    return field->value();
}

int Tgamestart::playtoscore() const { return typed(playtoscore_); }
int Tgamestart::timeperturn() const { return typed(timeperturn_); }
int Tgamestart::quorbitshuffle() const { return typed(quorbitshuffle_); }
bool Tgamestart::team() const { return checkbox_team_->isChecked(); }
void Tgamestart::setPlaytoscore(int v) { playtoscore_->setValue(quorbit::social::kPlayToScoreRange.clamp(v)); }
void Tgamestart::setTimeperturn(int v) { timeperturn_->setValue(quorbit::social::kTimePerTurnRange.clamp(v)); }
void Tgamestart::setQuorbitshuffle(int v) { quorbitshuffle_->setValue(quorbit::social::kShufflesRange.clamp(v)); }
void Tgamestart::setTeam(bool on) { checkbox_team_->setChecked(on); }
quorbit::rules::ZuboLevel Tgamestart::zubolevel() const {
    return static_cast<quorbit::rules::ZuboLevel>(std::max(0, zubolevel_->currentIndex()));
}
void Tgamestart::setZubolevel(quorbit::rules::ZuboLevel level) { zubolevel_->setCurrentIndex(static_cast<int>(level)); }
QString Tgamestart::language() const { return language_->currentData().toString(); }
void Tgamestart::setLanguage(const QString& code) { language_->setCurrentIndex(std::max(0, language_->findData(code))); }

quorbit::protocol::GameSettings Tgamestart::settings(const std::string& starter) const {
    quorbit::protocol::GameSettings s;
    s.starter = starter;
    s.playTo = playtoscore();
    s.seconds = timeperturn();
    s.team = team();
    s.shuffles = quorbitshuffle();
    return s;
}

void Tgamestart::hideEvent(QHideEvent* e) {
    // A field that keeps the focus while the dialog is away would go on blinking its
    // text cursor, waking the program twice a second through the whole game: while
    // hidden the fields take no typing, and so show no cursor.
    for (QSpinBox* field : {playtoscore_, timeperturn_, quorbitshuffle_}) field->setReadOnly(true);
    QDialog::hideEvent(e);
}

void Tgamestart::showEvent(QShowEvent* e) {
    for (QSpinBox* field : {playtoscore_, timeperturn_, quorbitshuffle_}) field->setReadOnly(false);
    QDialog::showEvent(e);
}

void Tgamestart::showOver(QWidget* over) {
    adjustSize();
    if (over) move(over->geometry().center() - QPoint(width() / 2, height() / 2));
    show();
    raise();
    activateWindow();
}
