#include "app/social/aboutform.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "app/media/pictures.h"
#include "protocol/messages.h"
#include "app/social/lbbackground.h"
#include "app/social/mainwindow.h"
#include "app/social/url.h"

namespace {
const char* const kMakerSite = "www.orvane.com";
}  // namespace

Tabout::Tabout(QWidget* parent) : QDialog(parent), url_(new TURL(kMakerSite, TURL::UrlType::Http, this)) {
    setObjectName("Tabout");
    setWindowTitle("Quorbit - About");
    setWindowFlag(Qt::Tool);
    setFixedSize(304, 174);
    background_ = new TLbBackground(this);
    background_->setPicture(quorbit::media::pictures::windowBackground());

    logo_ = new QLabel(this);
    logo_->setObjectName("image_logo");
    logo_->setPixmap(quorbit::media::pictures::makerLogo());
    logo_->setCursor(Qt::PointingHandCursor);
    logo_->installEventFilter(this);

    auto* title = new QLabel("Quorbit", this);
    title->setObjectName("label_title");
    title->setStyleSheet("font-size: 20px; font-weight: bold; color: #1d3f73;");
    auto* credits = new QLabel("by Orvane Games,\nfor The Orvane Lobby", this);
    credits->setObjectName("label_credits");
    credits->setStyleSheet("color: #1d3f73;");
    address_ = new QLabel(kMakerSite, this);
    address_->setObjectName("label_url");
    address_->setStyleSheet("color: #1a4fd0; text-decoration: underline;");
    address_->setCursor(Qt::PointingHandCursor);
    address_->installEventFilter(this);

    auto* versionCaption = new QLabel("Version", this);
    version_ = new QLabel(QString::fromLatin1(quorbit::protocol::kVersion.data(),
                                              static_cast<qsizetype>(quorbit::protocol::kVersion.size())),
                          this);
    version_->setObjectName("version");
    build_ = new QLabel("." + QString::fromLatin1(quorbit::kBuildNumber.data(), static_cast<qsizetype>(quorbit::kBuildNumber.size())), this);
    build_->setObjectName("label_build");
    auto* versionRow = new QHBoxLayout;
    versionRow->setSpacing(0);
    versionRow->addWidget(versionCaption);
    versionRow->addSpacing(4);
    versionRow->addWidget(version_);
    versionRow->addWidget(build_);
    versionRow->addStretch(1);

    auto* done = new QPushButton("Done", this);
    done->setObjectName("button_done");
    connect(done, &QPushButton::clicked, this, &Tabout::hide);

    auto* text = new QVBoxLayout;
    text->setSpacing(3);
    text->addWidget(title);
    text->addWidget(credits);
    text->addWidget(address_);
    text->addLayout(versionRow);
    text->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(logo_, 0, Qt::AlignTop);
    top->addLayout(text, 1);
    auto* all = new QVBoxLayout(this);
    all->setContentsMargins(10, 10, 10, 10);
    all->addLayout(top, 1);
    all->addWidget(done, 0, Qt::AlignRight);
}

QString Tabout::versionText() const { return version_->text() + build_->text(); }

void Tabout::showEvent(QShowEvent* event) {
    // Centred on the owner window, or the game's main window, or the screen.
    const QWidget* owner = centre_ ? centre_.data() : parentWidget();
    if (!owner) owner = quorbit::social::gameMainWindow();
    const QRect around = owner ? owner->frameGeometry() : (screen() ? screen()->availableGeometry() : QRect());
    if (around.isValid()) move(around.center() - QPoint(width() / 2, height() / 2));
    QDialog::showEvent(event);
}

bool Tabout::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == logo_ || watched == address_) && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        url_->open();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
