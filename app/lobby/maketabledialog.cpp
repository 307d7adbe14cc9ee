#include "app/lobby/maketabledialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "language/language.h"
#include "protocol/limits.h"
#include "social/settings.h"

namespace quorbit::lobby {
namespace {

QSpinBox* optionSpin(const social::SpinRange& range, int value, const char* name, QWidget* parent) {
    auto* s = new QSpinBox(parent);
    s->setObjectName(name);
    s->setRange(range.min, range.max);
    s->setSingleStep(range.step);
    s->setValue(range.clamp(value));
    return s;
}

}  // namespace

MakeTableDialog::MakeTableDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("maketable");
    setWindowTitle("Make a Table");
    name_ = new QLineEdit(this);
    name_->setObjectName("edit_tablename");
    name_->setMaxLength(static_cast<int>(protocol::kMaxNameChars));
    name_->setPlaceholderText("the table's name");
    playTo_ = optionSpin(social::kPlayToScoreRange, 300, "spin_playto", this);
    seconds_ = optionSpin(social::kTimePerTurnRange, 60, "spin_seconds", this);
    shuffles_ = optionSpin(social::kShufflesRange, 1, "spin_shuffles", this);
    teams_ = new QCheckBox("Two teams (seats 1 and 3 against 2 and 4)", this);
    teams_->setObjectName("check_teams");
    zubo_ = new QComboBox(this);
    zubo_->setObjectName("combo_zubo");
    for (const char* level : {"classic", "strong", "expert"}) zubo_->addItem(level, QString(level));
    private_ = new QCheckBox("Private: not listed, reached by its invite link", this);
    private_->setObjectName("check_private");
    language_ = new QComboBox(this);
    language_->setObjectName("combo_language");
    for (const language::Language& l : language::all())  // English first
        language_->addItem(QString::fromUtf8(l.name.data(), static_cast<qsizetype>(l.name.size())),
                           QString::fromUtf8(l.code.data(), static_cast<qsizetype>(l.code.size())));

    auto* form = new QFormLayout(this);
    form->addRow("Table name:", name_);
    form->addRow("Play to:", playTo_);
    form->addRow("Seconds per turn:", seconds_);
    form->addRow("Shuffles:", shuffles_);
    form->addRow("Zubo's level:", zubo_);
    form->addRow("Language:", language_);
    form->addRow(teams_);
    form->addRow(private_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText("Make the Table");
    buttons->button(QDialogButtonBox::Ok)->setObjectName("button_make");
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (protocol::usableName(protocol::cleanName(name_->text().toStdString()))) accept();
        else name_->setFocus();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void MakeTableDialog::setTableName(const QString& name) { name_->setText(name); }

client::TableRequest MakeTableDialog::request() const {
    client::TableRequest r;
    r.name = name_->text().toStdString();
    r.options.playTo = playTo_->value();
    r.options.seconds = seconds_->value();
    r.options.shuffles = shuffles_->value();
    r.options.teams = teams_->isChecked();
    r.options.zubo = zubo_->currentData().toString().toStdString();
    r.options.language = language_->currentData().toString().toStdString();
    r.isPublic = !private_->isChecked();
    return r;
}

}  // namespace quorbit::lobby
