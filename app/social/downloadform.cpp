#include "app/social/downloadform.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QProcess>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QTextStream>
#include <QUrl>
#include <QVBoxLayout>

#include "app/media/pictures.h"
#include "app/support/paths.h"
#include "app/social/lbbackground.h"
#include "app/social/mainwindow.h"

namespace {

const char* const kDefaultInstaller = "https://www.orvane.com/downloads/orvanelobbysetup.exe";

// The value of one key of the game's section in the settings file, names compared
// without regard to letter case; empty when the file, the section or the key is missing.
QString settingsValue(const QString& key) {
    QFile f(QDir(quorbit::app::besideProgramFolder()).filePath("orvanelobby.ini"));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    QTextStream in(&f);
    bool inSection = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith('[') && line.endsWith(']')) {
            inSection = line.mid(1, line.size() - 2).trimmed().compare("Quorbit", Qt::CaseInsensitive) == 0;
        } else if (inSection) {
            const qsizetype eq = line.indexOf('=');
            if (eq > 0 && line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0) return line.mid(eq + 1).trimmed();
        }
    }
    return {};
}

// A file, or a link even to nothing, already holds the name.
bool present(const QString& path) {
    const QFileInfo f(path);
    return f.exists() || f.isSymLink();
}

QLabel* text(const QString& s, QWidget* parent, const char* style = "color: #173a25; font-size: 13px;") {
    auto* l = new QLabel(s, parent);
    l->setWordWrap(true);
    l->setStyleSheet(style);
    return l;
}

QPushButton* button(const QString& caption, const char* name, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setMinimumHeight(34);
    b->setStyleSheet(
        "QPushButton { background: #2f6fc4; color: white; border: 1px solid #1d4f9e; border-radius: 5px;"
        " font-weight: bold; font-size: 13px; padding: 4px 10px; }"
        "QPushButton:hover { background: #4a8be0; }"
        "QPushButton:disabled { background: #9fb0c4; border-color: #8797aa; color: #eef2f6; }");
    return b;
}

QFrame* panel(QWidget* parent) {
    auto* f = new QFrame(parent);
    f->setStyleSheet("QFrame#panel { background: rgba(255,255,255,200); border: 1px solid #9cb8a4; border-radius: 8px; }");
    f->setObjectName("panel");
    return f;
}

}  // namespace

Tdownload::Tdownload(QWidget* parent)
    : QDialog(parent), net_(new QNetworkAccessManager(this)), tls_(QSslConfiguration::defaultConfiguration()) {
    setObjectName("Tdownload");
    setWindowTitle("Download The Orvane Lobby");
    setWindowFlags(windowFlags() | Qt::Tool | Qt::WindowStaysOnTopHint);
    setFixedSize(724, 500);
    net_->setProxy(QNetworkProxy::NoProxy);
    background_ = new TLbBackground(this);
    background_->setPicture(quorbit::media::pictures::downloadBackground());

    openFile = [](const QString& file) { return QDesktopServices::openUrl(QUrl::fromLocalFile(file)); };
    startProgram = [](const QString& program) { return QProcess::startDetached(program, {}); };
    showMessage = [this](const QString& t) { QMessageBox::information(this, "Quorbit", t); };
    confirmReplace = [this](const QString& file) {
        return QMessageBox::question(this, "Quorbit",
                                     "The file " + file + " already exists.\n\nReplace it with the downloaded installer?",
                                     QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
    };
    // As File, Exit: the main window closes, which saves its place and ends the program.
    exitProgram = [this] {
        QWidget* main = parentWidget() ? parentWidget()->window() : quorbit::social::gameMainWindow();
        if (main) main->close();
        else QCoreApplication::quit();
    };

    QFrame* left = panel(this);
    auto* picture = new QLabel(left);
    picture->setObjectName("image_lobby");
    picture->setPixmap(quorbit::media::pictures::lobbyPicture());
    picture->setAlignment(Qt::AlignCenter);
    getbutton = button("Download And Install The Orvane Lobby Now", "getbutton", left);
    abortbutton = button("Stop Download", "abortbutton", left);
    abortbutton->setEnabled(false);
    infolabel = text({}, left, "color: #1d3f73; font-weight: bold; font-size: 13px;");
    infolabel->setObjectName("infolabel");
    infolabel3 = text({}, left, "color: #1d3f73; font-size: 13px;");
    infolabel3->setObjectName("infolabel3");
    infolabel2 = new QLabel(left);
    infolabel2->setObjectName("infolabel2");
    infolabel2->hide();
    auto* l = new QVBoxLayout(left);
    l->setContentsMargins(14, 14, 14, 14);
    l->addWidget(picture);
    QLabel* offer = text("Download The Orvane Lobby Now to play this  and other exciting games online with other players!",
                         left, "color: #173a25; font-size: 15px; font-weight: bold;");
    offer->setAlignment(Qt::AlignCenter);
    l->addWidget(offer);
    l->addSpacing(6);
    l->addWidget(getbutton);
    l->addWidget(abortbutton);
    l->addSpacing(6);
    l->addWidget(infolabel);
    l->addWidget(infolabel3);
    l->addWidget(infolabel2);
    l->addStretch(1);

    QFrame* upper = panel(this);
    auto* solo = button("Play Solo Game", "button_solo", upper);
    auto* u = new QVBoxLayout(upper);
    u->setContentsMargins(14, 14, 14, 14);
    u->addWidget(text("To proceed to the game without the ability to play against others click the button below.", upper));
    u->addWidget(solo);
    u->addWidget(text("Note: Even if you are playing offline, you will need to configure your FIREWALL to allow the "
                      "game to access the internet components.",
                      upper, "color: #7a2a1c; font-size: 12px;"));
    u->addStretch(1);

    QFrame* lower = panel(this);
    auto* others = button("Play with Others", "button_others", lower);
    auto* w = new QVBoxLayout(lower);
    w->setContentsMargins(14, 14, 14, 14);
    w->addWidget(text("If you already have The Orvane Lobby and you wish to play with others then click the button "
                      "below to close this game and open The Orvane Lobby.",
                      lower));
    w->addWidget(others);
    w->addStretch(1);

    auto* right = new QVBoxLayout;
    right->setSpacing(12);
    right->addWidget(upper, 1);
    right->addWidget(lower, 1);
    auto* all = new QHBoxLayout(this);
    all->setContentsMargins(12, 12, 12, 12);
    all->setSpacing(12);
    all->addWidget(left, 11);
    all->addLayout(right, 9);

    connect(getbutton, &QPushButton::clicked, this, &Tdownload::getbuttonClick);
    connect(abortbutton, &QPushButton::clicked, this, &Tdownload::abortbuttonClick);
    connect(solo, &QPushButton::clicked, this, &Tdownload::playSoloClick);
    connect(others, &QPushButton::clicked, this, &Tdownload::playOthersClick);

    if (const QScreen* s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

Tdownload::~Tdownload() {
    if (reply_) {
        stopped_ = true;
        state_ = Stopped;
        reply_->disconnect(this);
        reply_->abort();
    }
}

QString Tdownload::defaultInstallerAddress() { return kDefaultInstaller; }

QString Tdownload::installerAddress() const {
    if (!address_.isEmpty()) return address_;
    const QString stored = settingsValue("Lobbyinstaller");
    return stored.isEmpty() ? defaultInstallerAddress() : stored;
}

QString Tdownload::fileNameOf(const QString& address) {
    const qsizetype slash = address.lastIndexOf('/');
    return slash < 0 ? address : address.mid(slash + 1);
}

QString Tdownload::downloadFolder() const { return folder_.isEmpty() ? quorbit::app::besideProgramFolder() : folder_; }

QString Tdownload::lobbyProgram() const {
    return lobby_.isEmpty() ? QDir(QCoreApplication::applicationDirPath()).filePath("orvanelobby") : lobby_;
}

QString Tdownload::downloadedFile() const { return QDir(downloadFolder()).filePath(infolabel2->text()); }

void Tdownload::setStatus(int line, const QString& t) {
    (line == 1 ? infolabel : infolabel3)->setText(t);
    emit statusChanged(line, t);
}

void Tdownload::getbuttonClick() {
    if (reply_) return;  // one transfer at a time
    state_ = Running;
    stopped_ = false;
    bodyStarted_ = false;
    received_ = 0;
    replaceAgreed_ = false;
    const QString address = installerAddress();
    const QString name = fileNameOf(address);
    infolabel2->setText(name);
    setStatus(3, {});
    const QUrl url(address, QUrl::StrictMode);
    // The installer is run once it arrives: over plain http anybody on the way could
    // hand over a program of their own, so only a secure address is fetched.
    if (!url.isValid() || url.scheme() != "https" || url.host().isEmpty()) {
        fail();
        if (showMessage)
            showMessage("The Orvane Lobby is downloaded only from a secure address (one that begins with "
                        "\"https://\"), and this one is not:\n\n" +
                        address);
        return;
    }
    // A name that cannot be a file in the folder fetches nothing.
    if (name.isEmpty() || name == "." || name == "..") return fail();
    const QString target = downloadedFile();
    if (present(target)) {
        if (!mayReplace(target)) return fail();
        replaceAgreed_ = true;
    }
    file_ = std::make_unique<QSaveFile>(target);
    if (!file_->open(QIODevice::WriteOnly)) {
        file_.reset();
        return fail();
    }

    getbutton->setEnabled(false);
    abortbutton->setEnabled(true);
    setStatus(1, "Loading");

    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, "Mozilla/3.0 (compatible)");
    request.setRawHeader("Accept", "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*");
    request.setRawHeader("Connection", "close");
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setSslConfiguration(tls_);
    reply_ = net_->get(request);
    connect(reply_, &QNetworkReply::metaDataChanged, this, &Tdownload::headersArrived);
    connect(reply_, &QNetworkReply::readyRead, this, &Tdownload::dataArrived);
    connect(reply_, &QNetworkReply::finished, this, &Tdownload::transferFinished);
}

bool Tdownload::replyOk() const {
    if (!reply_) return false;
    const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return status >= 200 && status < 300;
}

void Tdownload::headersArrived() {
    if (!reply_ || stopped_) return;
    // One dot per header line received.
    setStatus(1, infolabel->text() + QString(reply_->rawHeaderPairs().size(), '.'));
    if (replyOk() && !bodyStarted_) {
        bodyStarted_ = true;
        setStatus(3, "Downloading: " + infolabel2->text());
    }
}

void Tdownload::dataArrived() {
    if (!reply_ || stopped_) return;
    const QByteArray block = reply_->readAll();
    // The body of an error answer is not the installer: it is read and dropped.
    if (!replyOk() || block.isEmpty()) return;
    if (file_->write(block) != block.size()) {
        stopped_ = false;
        state_ = Stopped;
        reply_->abort();  // a disk that is full fails the transfer
        return;
    }
    received_ += block.size();
    setStatus(1, QString::number(received_) + " bytes");
}

void Tdownload::transferFinished() {
    QNetworkReply* reply = reply_;
    if (!reply) return;
    if (!stopped_) dataArrived();  // whatever is still buffered
    const bool ok = state_ == Running && reply->error() == QNetworkReply::NoError && replyOk() && keepFile(*reply);
    file_.reset();  // a file that was not kept is removed with it
    reply_ = nullptr;
    reply->deleteLater();
    getbutton->setEnabled(true);
    abortbutton->setEnabled(false);
    if (ok) {
        setStatus(1, "Received " + QString::number(QFileInfo(downloadedFile()).size()) + " bytes");
    } else {
        // Any failure, of HTTP or of the connection, installs nothing.
        if (!stopped_) setStatus(1, "Download Aborted");
        state_ = Stopped;
    }
    if (state_ != Stopped) {
        setStatus(3, "Installing");
        if (!openFile || !openFile(downloadedFile())) {
            if (showMessage) showMessage("An Error has Occurred.");
        } else if (exitProgram) {
            exitProgram();
        }
    }
    emit transferEnded();
}

bool Tdownload::mayReplace(const QString& file) { return confirmReplace && confirmReplace(file); }

bool Tdownload::keepFile(const QNetworkReply& reply) {
    // A connection that ends before the announced length was cut off: the file is not
    // whole. (A body that arrived compressed has no length of its own to compare.)
    const QVariant length = reply.header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && !reply.hasRawHeader("Content-Encoding") && length.toLongLong() != received_) return false;
    // A file of the same name may have appeared while the installer arrived.
    const QString target = downloadedFile();
    if (!replaceAgreed_ && present(target) && !mayReplace(target)) return false;
    // Flushes and syncs the data, then renames it into place; any write error fails it.
    return file_->commit();
}

void Tdownload::fail() {
    state_ = Stopped;
    setStatus(1, "Download Aborted");
    getbutton->setEnabled(true);
    abortbutton->setEnabled(false);
    emit transferEnded();
}

void Tdownload::abortbuttonClick() {
    if (reply_) {
        stopped_ = true;
        state_ = Stopped;
        reply_->abort();
    }
    setStatus(1, "Download has been aborted.");
    state_ = Stopped;
    setStatus(3, "Download Aborted");
}

void Tdownload::playSoloClick() { hide(); }

void Tdownload::playOthersClick() {
    if (openJoin) {
        openJoin();
        return;
    }
    const QFileInfo lobby(lobbyProgram());
    if (!lobby.isFile() || !lobby.isExecutable()) {
        if (showMessage)
            showMessage("Please close the game and open the Orvane Lobby using the icon on your desktop or using the "
                        "your Window's start-up menu.");
        return;
    }
    if (!startProgram || !startProgram(lobby.absoluteFilePath())) {
        if (showMessage) showMessage("An Error has Occurred.");
        return;
    }
    if (exitProgram) exitProgram();
}
