#include "app/social/tallylistform.h"

#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "app/support/paths.h"
#include "tally/tallyfile.h"

using quorbit::tally::Tally;

namespace {

QLabel* valueLabel(const QString& name, QWidget* parent) {
    auto* l = new QLabel("0", parent);
    l->setObjectName(name);
    l->setMinimumWidth(60);
    return l;
}

QListWidget* checkList(const QString& name, QWidget* parent) {
    auto* l = new QListWidget(parent);
    l->setObjectName(name);
    l->setMinimumHeight(110);
    return l;
}

}  // namespace

Ttallylist::Ttallylist(QWidget* parent, const QString& folder) : QDialog(parent) {
    setObjectName("Ttallylist");
    setWindowTitle("Quorbit - Tally List");
    ask = [this](const QString& question) {
        return QMessageBox::question(this, windowTitle(), question, QMessageBox::Yes | QMessageBox::No) ==
               QMessageBox::Yes;
    };
    // Shown without waiting, so that the game goes on behind it.
    showError = [this](const QString& text) {
        auto* box = new QMessageBox(QMessageBox::Critical, "Quorbit", text, QMessageBox::Ok, parentWidget());
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    };

    auto* own = new QGroupBox("Your Record", this);
    auto* ownGrid = new QGridLayout(own);
    const char* ownCaptions[] = {"", "Total Games:", "Your Wins:", "Total Words:", "Best Scoring Word:"};
    for (int n = 1; n <= 4; ++n) {
        ownGrid->addWidget(new QLabel(ownCaptions[n], own), n - 1, 0);
        mylabel_[n] = valueLabel(QString("mylabel_%1").arg(n), own);
        ownGrid->addWidget(mylabel_[n], n - 1, 1);
    }

    auto* lists = new QHBoxLayout;
    auto* current = new QGroupBox("Players In Current Game", this);
    checklist = checkList("checklist", current);
    (new QVBoxLayout(current))->addWidget(checklist);
    auto* tallied = new QGroupBox("Players Being Tallied", this);
    listbox_tally = checkList("listbox_tally", tallied);
    (new QVBoxLayout(tallied))->addWidget(listbox_tally);
    lists->addWidget(current);
    lists->addWidget(tallied);

    auto* his = new QGroupBox(this);
    auto* hisGrid = new QGridLayout(his);
    label_hisnametop = new QLabel("", his);
    label_hisnametop->setObjectName("label_hisnametop");
    QFont bold = label_hisnametop->font();
    bold.setBold(true);
    label_hisnametop->setFont(bold);
    hisGrid->addWidget(label_hisnametop, 0, 0, 1, 3);
    hisGrid->addWidget(new QLabel("Total", his), 1, 1);
    hisGrid->addWidget(new QLabel("Session", his), 1, 2);
    label_hisname = new QLabel("Wins:", his);
    label_hisname->setObjectName("label_hisname");
    QLabel* rowCaptions[] = {new QLabel("Number of Games:", his), label_hisname, new QLabel("Your Wins:", his),
                             new QLabel("Won as a Team:", his)};
    for (int n = 1; n <= 8; ++n) label_[n] = valueLabel(QString("label_%1").arg(n), his);
    for (int r = 0; r < 4; ++r) {
        hisGrid->addWidget(rowCaptions[r], r + 2, 0);
        hisGrid->addWidget(label_[r + 1], r + 2, 1);
        hisGrid->addWidget(label_[r + 5], r + 2, 2);
    }

    button_reset = new QPushButton("Reset Tally", this);
    button_reset->setObjectName("button_reset");
    button_done = new QPushButton("Done", this);
    button_done->setObjectName("button_done");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(button_reset);
    buttons->addStretch();
    buttons->addWidget(button_done);

    // The main window's look: green felt with cream cards.
    setStyleSheet(
        "Ttallylist { background: qlineargradient(x1:0, y1:0, x2:1, y2:1, stop:0 #2f6b4a, stop:1 #1c4531); }"
        "QGroupBox { background: #f6efdc; border: 1px solid #b9a77c; border-radius: 6px; margin-top: 20px;"
        " padding: 8px 6px 6px 6px; font-weight: bold; color: #3a2a10; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 8px; top: 2px; color: #f6efdc; }"
        "QGroupBox QLabel { font-weight: normal; color: #3a2a10; }"
        "QListWidget { background: #fffaf0; border: 1px solid #b9a77c; border-radius: 4px; font-weight: normal; }"
        "QListWidget::item:selected { background: #2f6b4a; color: white; }"
        "QPushButton { background: #e9dcb8; border: 1px solid #8a6a30; border-radius: 5px; padding: 5px 14px;"
        " color: #3a2a10; font-weight: bold; }"
        "QPushButton:hover { background: #f6efdc; }");
    his->setTitle("Head to Head");
    for (int n = 1; n <= 8; ++n) label_[n]->setStyleSheet("font-weight: bold;");
    label_hisnametop->setStyleSheet("font-weight: bold; font-size: 14px;");
    for (int n = 1; n <= 4; ++n) mylabel_[n]->setStyleSheet("font-weight: bold;");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(own);
    layout->addLayout(lists);
    layout->addWidget(his);
    layout->addLayout(buttons);

    connect(checklist, &QListWidget::itemChanged, this, &Ttallylist::checklistItemChanged);
    connect(listbox_tally, &QListWidget::itemChanged, this, &Ttallylist::tallyItemChanged);
    connect(listbox_tally, &QListWidget::currentRowChanged, this, [this](int row) {
        if (rendering_) return;
        tally_.select(row);
        render();
    });
    connect(button_reset, &QPushButton::clicked, this, &Ttallylist::resetClick);
    connect(button_done, &QPushButton::clicked, this, &QDialog::close);

    const QString dir = folder.isEmpty() ? quorbit::app::besideProgramFolder() : folder;
    file_ = QDir(dir).filePath("Quorbittally.tld");
    load();
    render();
}

Ttallylist::~Ttallylist() { save(); }

void Ttallylist::load() {
    const auto result = quorbit::tally::loadTallyFile(file_.toStdString());
    if (!result.error.empty()) {
        // Shown once the event loop runs, so creating the window never blocks.
        loadError_ = QString::fromStdString(result.error);
        QTimer::singleShot(0, this, [this] {
            auto* box = new QMessageBox(QMessageBox::Critical, "Quorbit", loadError_, QMessageBox::Ok, parentWidget());
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->open();
        });
    }
    if (result.found) {
        tally_.setGrid(result.grid);
        tally_.loadtally();
    }
}

bool Ttallylist::save(QString* error) {
    std::string why;
    const bool ok = quorbit::tally::saveTallyFile(file_.toStdString(), tally_.grid(), &why);
    if (!ok && error) *error = QString::fromStdString(why);
    return ok;
}

void Ttallylist::anotherword(int column) {
    tally_.anotherword(column);
    render();
}

void Ttallylist::addtomineset(int column, int points, const std::string& word) {
    tally_.addtomineset(column, points, word);
    render();
}

void Ttallylist::addgame(const std::string& winner, const std::vector<std::string>& otherPlayers) {
    tally_.addgame(winner, otherPlayers);
    render();
    // A finished game is on disk at once: a crash loses at most the game in progress.
    QString why;
    if (!save(&why) && !saveErrorShown_) {
        saveErrorShown_ = true;
        if (showError) showError("The tally could not be saved: " + why);
    }
}

void Ttallylist::loadchecklist(const std::vector<std::string>& otherPlayers) {
    tally_.loadchecklist(otherPlayers);
    render();
}

void Ttallylist::apply(const quorbit::client::TallyCall& call) {
    using Kind = quorbit::client::TallyCall::Kind;
    try {
        switch (call.kind) {
            case Kind::loadchecklist: loadchecklist(call.players); break;
            case Kind::anotherword: anotherword(call.column); break;
            case Kind::addtomineset: addtomineset(call.column, call.points, call.word); break;
            case Kind::addgame: addgame(call.word, call.players); break;
        }
    } catch (const std::exception& e) {
        // A counter of the tally that is not a number: say so, and the game goes on.
        render();
        QMessageBox::critical(this, "Quorbit", QString::fromStdString(e.what()));
    }
}

void Ttallylist::render() {
    rendering_ = true;
    for (int n = 1; n <= 4; ++n) mylabel_[n]->setText(QString::fromStdString(tally_.mylabel(n)));
    for (int n = 1; n <= 8; ++n) label_[n]->setText(QString::fromStdString(tally_.label(n)));
    if (tally_.selected() >= 0) {
        label_hisname->setText(QString::fromStdString(tally_.labelHisname()));
        label_hisnametop->setText(QString::fromStdString(tally_.labelHisnametop()));
    }
    auto fill = [](QListWidget* list, const std::vector<quorbit::tally::CheckEntry>& entries) {
        if (list->count() != static_cast<int>(entries.size())) {
            list->clear();
            for (std::size_t i = 0; i < entries.size(); ++i) {
                auto* item = new QListWidgetItem(list);
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            }
        }
        for (std::size_t i = 0; i < entries.size(); ++i) {
            auto* item = list->item(static_cast<int>(i));
            item->setText(QString::fromStdString(entries[i].name));
            item->setCheckState(entries[i].checked ? Qt::Checked : Qt::Unchecked);
        }
    };
    fill(checklist, tally_.checklist());
    fill(listbox_tally, tally_.listboxTally());
    listbox_tally->setCurrentRow(tally_.selected());
    rendering_ = false;
}

void Ttallylist::checklistItemChanged(QListWidgetItem* item) {
    if (rendering_) return;
    tally_.follow(checklist->row(item));
    render();
}

void Ttallylist::tallyItemChanged(QListWidgetItem* item) {
    if (rendering_ || item->checkState() == Qt::Checked) return;
    const int row = listbox_tally->row(item);
    const bool yes = ask(QString::fromStdString(tally_.dropQuestion(row)));
    tally_.drop(row, yes);
    render();
}

void Ttallylist::resetClick() {
    if (!ask(QString::fromStdString(std::string(quorbit::tally::kResetQuestion)))) return;
    tally_.reset();
    render();
}
