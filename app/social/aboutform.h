#pragma once
// Tabout: the about window ("Quorbit - About"): the maker's logo and web address (both
// open the maker's web site), the credits and the version with the build number
// ("1.0.10.9"), both from the project's version. Created once at
// start, shown and hidden on request, centred on the window that owns it.
#include <QDialog>
#include <QPointer>

class QLabel;
class TLbBackground;
class TURL;

class Tabout : public QDialog {
    Q_OBJECT
public:
    explicit Tabout(QWidget* parent = nullptr);

    TURL* url() const { return url_; }
    // The window to centre on when shown, when that is not the owner. Without either,
    // the about window centres on the game's main window.
    void centreOn(QWidget* window) { centre_ = window; }
    // The version label: the game version that the client also sends at login.
    QLabel* versionLabel() const { return version_; }
    // The whole version as shown: the game version and the build, "1.0.10.9".
    QString versionText() const;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TURL* url_;
    QPointer<QWidget> centre_;
    QLabel* logo_ = nullptr;
    QLabel* address_ = nullptr;
    QLabel* version_ = nullptr;
    QLabel* build_ = nullptr;
    TLbBackground* background_ = nullptr;
};
