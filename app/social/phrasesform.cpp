#include "app/social/phrasesform.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "social/settings.h"

Tphrases::Tphrases(QWidget* parent) : QDialog(parent) {
    setObjectName("Tphrases");
    setWindowTitle("Quorbit - Phrase Buttons ");
    auto* grid = new QGridLayout(this);
    // The window's own texts, replaced by the buttons' phrases whenever it opens.
    static const char* defaults[10] = {"Way To Go!", "Excellent!",        "Brilliant!",          "Good one!",  "Good Find!",
                                       "Nice Try!",  "Way To Go Teamie!", "Good Game Everyone!", "Good Luck!", "See ya!"};
    for (int i = 0; i < 10; ++i) {
        auto* label = new QLabel(QString("Phrase Button %1:").arg(i + 1), this);
        auto* edit = new QLineEdit(defaults[i], this);
        edit->setObjectName(QString("phrase%1").arg(i + 1));
        edit->setMaxLength(static_cast<int>(quorbit::social::kMaxPhraseLength));
        edit->setMinimumWidth(260);
        phrase_[static_cast<std::size_t>(i)] = edit;
        grid->addWidget(label, i, 0);
        grid->addWidget(edit, i, 1);
    }
    auto* bottom = new QHBoxLayout();
    auto* note = new QLabel("Buttons can only be used once every 2 seconds", this);
    note->setStyleSheet("color: red;");
    auto* doneButton = new QPushButton("Done", this);
    doneButton->setObjectName("SelButton8");
    bottom->addWidget(note);
    bottom->addStretch();
    bottom->addWidget(doneButton);
    grid->addLayout(bottom, 10, 0, 1, 2);
    connect(doneButton, &QPushButton::clicked, this, [this] {
        emit done(fields());
        hide();
    });
}

void Tphrases::showWith(const QStringList& phrases, QWidget* over) {
    for (int i = 0; i < 10 && i < phrases.size(); ++i) phrase_[static_cast<std::size_t>(i)]->setText(phrases[i]);
    adjustSize();
    if (over) move(over->geometry().center() - QPoint(width() / 2, height() / 2));
    show();
    raise();
}

QStringList Tphrases::fields() const {
    QStringList out;
    for (auto* e : phrase_) out << e->text();
    return out;
}

QLineEdit* Tphrases::field(int n) const {
    return (n >= 1 && n <= 10) ? phrase_[static_cast<std::size_t>(n - 1)] : nullptr;
}
