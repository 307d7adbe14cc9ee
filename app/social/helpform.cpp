#include "app/social/helpform.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMetaMethod>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "app/media/pictures.h"
#include "app/social/aboutform.h"
#include "app/social/mainwindow.h"
#include "app/social/helppages.h"
#include "app/social/lbbackground.h"

namespace {

const char* const kButtonNames[] = {"button_overview", "button_connecting", "button_gameplay",
                                    "button_scoring", "button_documentation", "button_license"};

QPushButton* sideButton(const QString& caption, const char* name, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setFocusPolicy(Qt::NoFocus);
    b->setMinimumHeight(26);
    b->setStyleSheet(
        "QPushButton { background: #2f6fc4; color: white; border: 1px solid #1d4f9e; border-radius: 4px;"
        " font-weight: bold; padding: 2px 6px; }"
        "QPushButton:hover { background: #4a8be0; }"
        "QPushButton:pressed { background: #1d4f9e; }");
    return b;
}

}  // namespace

Thelp::Thelp(QWidget* parent) : QDialog(parent) {
    setObjectName("Thelp");
    setWindowTitle("Quorbit - Help File");
    setFixedSize(512, 425);
    background_ = new TLbBackground(this);
    background_->setPicture(quorbit::media::pictures::windowBackground());

    auto* side = new QVBoxLayout;
    side->setSpacing(5);
    for (int n = 1; n <= quorbit::help::kPages; ++n) {
        QPushButton* b = sideButton(quorbit::help::topic(n), kButtonNames[n - 1], this);
        connect(b, &QPushButton::clicked, this, [this, n] { showTopic(n); });
        side->addWidget(b);
    }
    side->addSpacing(8);
    QPushButton* about = sideButton("About", "button_about", this);
    connect(about, &QPushButton::clicked, this, [this] {
        // A window that listens shows the about window itself; otherwise the program's one.
        if (isSignalConnected(QMetaMethod::fromSignal(&Thelp::aboutRequested))) {
            emit aboutRequested();
        } else if (Tabout* window = quorbit::social::topLevel<Tabout>()) {
            window->show();
            window->raise();
        }
    });
    side->addWidget(about);
    side->addStretch(1);
    auto* credits = new QLabel("Quorbit\nby Orvane Games\nwww.orvane.com", this);
    credits->setObjectName("label_credits");
    credits->setAlignment(Qt::AlignCenter);
    credits->setStyleSheet("color: #1d3f73; font-size: 11px;");
    side->addWidget(credits);
    side->addStretch(1);
    QPushButton* done = sideButton("Done", "button_done", this);
    connect(done, &QPushButton::clicked, this, &Thelp::hide);
    side->addWidget(done);

    label_caption = new QLabel(this);
    label_caption->setObjectName("label_caption");
    label_caption->setStyleSheet("font-size: 16px; font-weight: bold; color: #1d3f73;");
    pages_ = new QStackedWidget(this);
    for (int n = 1; n <= quorbit::help::kPages; ++n) {
        auto* memo = new QTextBrowser(pages_);
        memo->setObjectName(QString("memo%1").arg(n));
        memo->setReadOnly(true);
        memo->setOpenLinks(false);
        memo->setHtml(quorbit::help::page(n));
        memo->setStyleSheet("QTextBrowser { background: white; border: 1px solid #9fb5d1; border-radius: 3px; }");
        memos_[n - 1] = memo;
        pages_->addWidget(memo);
    }
    auto* main = new QVBoxLayout;
    main->addWidget(label_caption);
    main->addWidget(pages_, 1);

    auto* all = new QHBoxLayout(this);
    all->setContentsMargins(10, 10, 10, 10);
    all->addLayout(side);
    all->addLayout(main, 1);
    showTopic(1);
}

void Thelp::showTopic(int n) {
    if (n < 1 || n > quorbit::help::kPages) return;
    pages_->setCurrentIndex(n - 1);
    label_caption->setText(quorbit::help::topic(n));
}

int Thelp::currentTopic() const { return pages_->currentIndex() + 1; }

QTextBrowser* Thelp::memo(int n) const { return (n >= 1 && n <= quorbit::help::kPages) ? memos_[n - 1] : nullptr; }
