#pragma once
// Ttallylist: the tally window ("Quorbit - Tally List"). It owns the tally for the
// life of the program, shows it, and keeps the tally file up to date.
#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "client/client_engine.h"
#include "tally/tally.h"

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

class Ttallylist : public QDialog {
    Q_OBJECT
public:
    // Reads the tally file in besideProgramFolder() (or `folder` when given).
    explicit Ttallylist(QWidget* parent = nullptr, const QString& folder = {});
    ~Ttallylist() override;

    // The calls of the game client.
    void anotherword(int column);
    void addtomineset(int column, int points, const std::string& word);
    void addgame(const std::string& winner, const std::vector<std::string>& otherPlayers);
    void loadchecklist(const std::vector<std::string>& otherPlayers);
    // Carries out one call that the client engine queued.
    void apply(const quorbit::client::TallyCall& call);

    const quorbit::tally::Tally& tally() const { return tally_; }
    QString tallyFile() const { return file_; }
    // The message of a tally file that could not be read at start (kept as ".bad").
    QString loadError() const { return loadError_; }
    // Writes the tally file now; false (with the reason) when that failed.
    bool save(QString* error = nullptr);

    // Asks a Yes/No question; tests replace it. Returns true for Yes.
    std::function<bool(const QString& question)> ask;
    // Shows an error (a tally that could not be saved); tests replace it.
    std::function<void(const QString& text)> showError;

private:
    void load();
    void render();
    void checklistItemChanged(QListWidgetItem* item);
    void tallyItemChanged(QListWidgetItem* item);
    void resetClick();

    quorbit::tally::Tally tally_;
    QString file_;
    QString loadError_;
    bool saveErrorShown_ = false;  // a failed save is told once, not after every game
    QLabel* mylabel_[5] = {};
    QLabel* label_[9] = {};
    QLabel* label_hisname = nullptr;
    QLabel* label_hisnametop = nullptr;
    QListWidget* checklist = nullptr;
    QListWidget* listbox_tally = nullptr;
    QPushButton* button_reset = nullptr;
    QPushButton* button_done = nullptr;
    bool rendering_ = false;
};
