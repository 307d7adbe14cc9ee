#pragma once
// Tgamestart: the host's game options (play-to score, seconds per turn, shuffles, team
// game) and the start picture that starts the game. The number fields take typed digits
// and their arrows alike, each within its range.
#include <QDialog>

#include "protocol/messages.h"
#include "rules/zubolevel.h"

class QComboBox;
class QSpinBox;
class QCheckBox;

namespace quorbit::app {
class ClickImage;
}

class Tgamestart : public QDialog {
    Q_OBJECT
public:
    explicit Tgamestart(QWidget* parent = nullptr);

    int playtoscore() const;
    int timeperturn() const;
    int quorbitshuffle() const;
    bool team() const;
    // Each value is clamped to its field's range.
    void setPlaytoscore(int v);
    void setTimeperturn(int v);
    void setQuorbitshuffle(int v);
    void setTeam(bool on);
    // How well Zubo plays in the games this host starts ("Zubo:").
    quorbit::rules::ZuboLevel zubolevel() const;
    void setZubolevel(quorbit::rules::ZuboLevel level);
    // The language the games this host starts are played in ("Language:"), by its ISO
    // 639-1 code; a code not built chooses English.
    QString language() const;
    void setLanguage(const QString& code);
    // The options as the start message carries them, with `starter` as the name.
    quorbit::protocol::GameSettings settings(const std::string& starter) const;

    // Centres the dialog on `over` and shows it.
    void showOver(QWidget* over);

signals:
    void startClicked();  // the start picture (Image1)
    void zubolevelChanged(quorbit::rules::ZuboLevel level);
    void languageChanged(const QString& code);

protected:
    void hideEvent(QHideEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    static int typed(QSpinBox* field);

    QSpinBox* playtoscore_;
    QSpinBox* timeperturn_;
    QSpinBox* quorbitshuffle_;
    QCheckBox* checkbox_team_;
    QComboBox* zubolevel_;
    QComboBox* language_;
    quorbit::app::ClickImage* image1_;
};
