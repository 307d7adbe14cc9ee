#pragma once
// Tdownload: the window that offers a solo player the Orvane Lobby ("Download The Orvane
// Lobby"). It fetches the lobby's installer over HTTP into the folder beside the program
// and hands the finished file to the desktop to open; it starts the lobby if it is
// installed; or it steps aside for the solo game. Created once at start, shown on request.
#include <QDialog>
#include <QFile>
#include <QPointer>
#include <functional>

class QLabel;
class QNetworkAccessManager;
class QNetworkReply;
class QPushButton;
class TLbBackground;

class Tdownload : public QDialog {
    Q_OBJECT
public:
    explicit Tdownload(QWidget* parent = nullptr);
    ~Tdownload() override;

    // The installer's address: the one given here, else the settings key Lobbyinstaller
    // of the game's section, else defaultInstallerAddress(). Only http and https are fetched.
    QString installerAddress() const;
    void setInstallerAddress(const QString& address) { address_ = address; }
    static QString defaultInstallerAddress();
    // The address's last segment: everything up to and including each "/" cut away.
    static QString fileNameOf(const QString& address);

    // Where the installer is written; the folder beside the program unless set.
    QString downloadFolder() const;
    void setDownloadFolder(const QString& folder) { folder_ = folder; }
    // The lobby program, at its fixed place beside the game unless set.
    QString lobbyProgram() const;
    void setLobbyProgram(const QString& path) { lobby_ = path; }

    enum DownloadState { Idle = 0, Running = 1, Stopped = 2 };  // Stopped: also a failure
    int downloadState() const { return state_; }
    QString downloadedFile() const;  // download folder + file name

    // The buttons' handlers.
    void getbuttonClick();
    void abortbuttonClick();
    void playSoloClick();
    void playOthersClick();

    // What the window asks of the desktop; tests replace these. Defaults: the desktop's
    // handler for the file (QDesktopServices), a detached process for the lobby, a
    // message box, and closing the game's main window (the owner, or the top-level window
    // "Tchat") as its Exit command does.
    std::function<bool(const QString& file)> openFile;
    std::function<bool(const QString& program)> startProgram;
    std::function<void(const QString& text)> showMessage;
    std::function<void()> exitProgram;
    // When set, "Play with Others" opens the window that finds and joins games on the
    // local network instead of handing over to the lobby program.
    std::function<void()> openJoin;

signals:
    // A status line changed: 1 is `infolabel`, 3 is `infolabel3`.
    void statusChanged(int line, const QString& text);
    // A transfer ended, whatever the outcome (after the install step, if any).
    void transferEnded();

private:
    void setStatus(int line, const QString& text);
    void headersArrived();
    void dataArrived();
    void transferFinished();
    void fail();
    bool replyOk() const;

    QNetworkAccessManager* net_;
    QPointer<QNetworkReply> reply_;
    QFile file_;
    qint64 received_ = 0;
    int state_ = Idle;
    bool stopped_ = false;
    bool bodyStarted_ = false;
    QString address_, folder_, lobby_;
    QPushButton* getbutton = nullptr;
    QPushButton* abortbutton = nullptr;
    QLabel* infolabel = nullptr;
    QLabel* infolabel2 = nullptr;  // hidden: the file name
    QLabel* infolabel3 = nullptr;
    TLbBackground* background_ = nullptr;
};
