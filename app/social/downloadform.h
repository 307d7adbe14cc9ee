#pragma once
// Tdownload: the window that offers a solo player the Orvane Lobby ("Download The Orvane
// Lobby"). It fetches the lobby's installer over HTTPS into the folder beside the program
// and hands the finished file to the desktop to open; it starts the lobby if it is
// installed; or it steps aside for the solo game. Created once at start, shown on request.
#include <QDialog>
#include <QPointer>
#include <QSslConfiguration>
#include <functional>
#include <memory>

class QLabel;
class QNetworkAccessManager;
class QNetworkReply;
class QPushButton;
class QSaveFile;
class TLbBackground;

class Tdownload : public QDialog {
    Q_OBJECT
public:
    explicit Tdownload(QWidget* parent = nullptr);
    ~Tdownload() override;

    // The installer's address: the one given here, else the settings key Lobbyinstaller
    // of the game's section, else defaultInstallerAddress(). Only https addresses are
    // fetched: the installer is a program that is run, so it must come unaltered.
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

    // The TLS settings of the transfer: the system's certificate authorities unless set.
    void setSslConfiguration(const QSslConfiguration& config) { tls_ = config; }
    QSslConfiguration sslConfiguration() const { return tls_; }

    // The buttons' handlers.
    void getbuttonClick();
    void abortbuttonClick();
    void playSoloClick();
    void playOthersClick();

    // What the window asks of the desktop; tests replace these. Defaults: the desktop's
    // handler for the file (QDesktopServices), a detached process for the lobby, a
    // message box, a yes/no question box, and closing the game's main window (the owner,
    // or the top-level window "Tchat") as its Exit command does.
    std::function<bool(const QString& file)> openFile;
    std::function<bool(const QString& program)> startProgram;
    std::function<void(const QString& text)> showMessage;
    // Asked before a file of the installer's name is replaced; false keeps the file.
    std::function<bool(const QString& file)> confirmReplace;
    std::function<void()> exitProgram;
    // When set, "Play with Others" calls it instead of the steps above: the program opens
    // its lobby itself (or, without one, the window that joins games on the local network).
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
    bool mayReplace(const QString& file);
    bool keepFile(const QNetworkReply& reply);

    QNetworkAccessManager* net_;
    QPointer<QNetworkReply> reply_;
    // The installer while it arrives: a temporary file beside the final name, renamed into
    // place only once whole, and removed when the transfer fails or is stopped.
    std::unique_ptr<QSaveFile> file_;
    QSslConfiguration tls_;
    qint64 received_ = 0;
    bool replaceAgreed_ = false;
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
