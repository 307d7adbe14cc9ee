// The help and about windows, the link component and the tiled background.
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTest>
#include <QTextBrowser>
#include <gtest/gtest.h>

#include "protocol/messages.h"
#include "app/social/aboutform.h"
#include "app/social/helpform.h"
#include "app/social/lbbackground.h"
#include "app/social/url.h"

namespace {

template <class T>
T* child(QWidget& w, const char* name) {
    T* c = w.findChild<T*>(name);
    EXPECT_NE(c, nullptr) << name;
    return c;
}

// Replaces the desktop's link handler for one test, recording what it was given.
struct OpenerSpy {
    QStringList opened;
    bool answer = true;
    std::function<bool(const QString&)> saved = TURL::opener();
    OpenerSpy() {
        TURL::opener() = [this](const QString& url) {
            opened << url;
            return answer;
        };
    }
    ~OpenerSpy() { TURL::opener() = saved; }
};

}  // namespace

TEST(HelpWindow, SixTopicsEachBringTheirPageToTheFront) {
    Thelp help;
    EXPECT_EQ(help.windowTitle(), "Quorbit - Help File");
    EXPECT_EQ(help.size(), QSize(512, 425));
    auto* caption = child<QLabel>(help, "label_caption");
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->text(), "Overview");
    EXPECT_EQ(help.currentTopic(), 1);

    const struct { const char* button; const char* caption; int page; } topics[] = {
        {"button_overview", "Overview", 1}, {"button_connecting", "Connecting", 2},
        {"button_gameplay", "Game Play", 3}, {"button_scoring", "Scoring", 4},
        {"button_documentation", "Documentation", 5}, {"button_license", "License", 6}};
    for (const auto& t : topics) {
        auto* b = child<QPushButton>(help, t.button);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->text(), t.caption);
        for (int twice = 0; twice < 2; ++twice) {  // a second press changes nothing further
            QTest::mouseClick(b, Qt::LeftButton);
            EXPECT_EQ(help.currentTopic(), t.page);
            EXPECT_EQ(caption->text(), t.caption);
            auto* stack = help.findChild<QStackedWidget*>();
            ASSERT_NE(stack, nullptr);
            EXPECT_EQ(stack->currentWidget()->objectName(), QString("memo%1").arg(t.page));
        }
    }
    help.showTopic(0);
    help.showTopic(7);
    EXPECT_EQ(help.currentTopic(), 6);
}

TEST(HelpWindow, PagesAreReadOnlyAndSayWhatTheirTopicPromises) {
    Thelp help;
    for (int n = 1; n <= 6; ++n) {
        ASSERT_NE(help.memo(n), nullptr);
        EXPECT_TRUE(help.memo(n)->isReadOnly());
        EXPECT_GT(help.memo(n)->toPlainText().size(), 200) << "page " << n;
    }
    EXPECT_EQ(help.memo(0), nullptr);
    EXPECT_TRUE(help.memo(2)->toPlainText().contains("7772"));
    EXPECT_TRUE(help.memo(3)->toPlainText().contains("Quorbit Shuffle"));
    const QString scoring = help.memo(4)->toPlainText();
    EXPECT_TRUE(scoring.contains("Double Letter"));
    EXPECT_TRUE(scoring.contains("60"));  // the worked example's total
    const QString history = help.memo(5)->toPlainText();
    EXPECT_TRUE(history.startsWith("History"));
    EXPECT_TRUE(history.contains(QString::fromLatin1(quorbit::protocol::kVersion.data(), 6)));
    EXPECT_TRUE(help.memo(6)->toPlainText().contains("License"));
}

TEST(HelpWindow, AboutAsksForTheAboutWindowAndDoneHides) {
    Thelp help;
    help.show();
    QSignalSpy about(&help, &Thelp::aboutRequested);
    QTest::mouseClick(child<QPushButton>(help, "button_about"), Qt::LeftButton);
    EXPECT_EQ(about.count(), 1);
    QTest::mouseClick(child<QPushButton>(help, "button_done"), Qt::LeftButton);
    EXPECT_FALSE(help.isVisible());
}

TEST(AboutWindow, ShowsVersion1_0_10_9FromTheGameVersion) {
    Tabout about;
    EXPECT_EQ(about.windowTitle(), "Quorbit - About");
    EXPECT_EQ(about.size(), QSize(304, 174));
    EXPECT_TRUE(about.windowFlags().testFlag(Qt::Tool));
    auto* version = child<QLabel>(about, "version");
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->text().toStdString(), std::string(quorbit::protocol::kVersion));
    EXPECT_EQ(version->text(), "1.0.10");
    EXPECT_EQ(about.versionText(), "1.0.10.9");
}

TEST(AboutWindow, LogoAndAddressOpenTheMakersSiteAndDoneCloses) {
    OpenerSpy spy;
    Tabout about;
    about.show();
    QTest::mouseClick(child<QLabel>(about, "image_logo"), Qt::LeftButton);
    QTest::mouseClick(child<QLabel>(about, "label_url"), Qt::LeftButton);
    QTest::mouseClick(child<QLabel>(about, "label_url"), Qt::RightButton);  // not a click on the link
    EXPECT_EQ(spy.opened, (QStringList{"http://www.orvane.com", "http://www.orvane.com"}));
    QTest::mouseClick(child<QPushButton>(about, "button_done"), Qt::LeftButton);
    EXPECT_FALSE(about.isVisible());
}

TEST(AboutWindow, OpensCentredOnItsOwner) {
    QWidget owner;
    owner.setGeometry(100, 80, 790, 580);
    owner.show();
    Tabout about(&owner);
    about.show();
    const QPoint centre = about.frameGeometry().center();
    EXPECT_NEAR(centre.x(), owner.frameGeometry().center().x(), 3);
    EXPECT_NEAR(centre.y(), owner.frameGeometry().center().y(), 3);

    QWidget main;  // a window that is not its owner
    main.setGeometry(300, 200, 400, 300);
    main.show();
    Tabout standalone;
    standalone.centreOn(&main);
    standalone.show();
    EXPECT_NEAR(standalone.frameGeometry().center().x(), main.frameGeometry().center().x(), 3);
    EXPECT_NEAR(standalone.frameGeometry().center().y(), main.frameGeometry().center().y(), 3);
}

TEST(Link, EachTypePutsItsPrefixBeforeTheAddress) {
    OpenerSpy spy;
    using T = TURL::UrlType;
    const struct { T type; const char* url; } cases[] = {
        {T::File, "file://x"},   {T::Ftp, "ftp://x"},       {T::Gopher, "gopher://x"}, {T::Http, "http://x"},
        {T::Https, "https://x"}, {T::Mailto, "mailto:x"},   {T::News, "news:x"},       {T::Telnet, "telnet:x"},
        {T::Wais, "wais:x"},     {T::None, "x"}};
    for (const auto& c : cases) {
        TURL link("x", c.type);
        EXPECT_EQ(link.url(), c.url);
        EXPECT_TRUE(link.open());
    }
    EXPECT_EQ(spy.opened.size(), 10);
    EXPECT_EQ(TURL().urlType(), T::Http);  // the default type
}

TEST(Link, ReportsWhatTheDesktopAnswersAndOpensNothingForNoAddress) {
    OpenerSpy spy;
    spy.answer = false;
    EXPECT_FALSE(TURL("www.example.org", TURL::UrlType::Http).open());
    EXPECT_FALSE(TURL("  ", TURL::UrlType::Http).open());
    EXPECT_EQ(spy.opened, QStringList{"http://www.example.org"});
}

TEST(TiledBackground, GridHasTwoSpareColumnsAndRows) {
    EXPECT_EQ(TLbBackground::grid({790, 580}, {100, 100}), QSize(9, 7));
    EXPECT_EQ(TLbBackground::grid({724, 500}, {150, 149}), QSize(6, 5));
    EXPECT_EQ(TLbBackground::grid({50, 50}, {100, 100}), QSize(2, 2));
    EXPECT_EQ(TLbBackground::grid({50, 50}, {0, 0}), QSize(0, 0));
}

TEST(TiledBackground, PaintsThePictureInAGridUnderTheWindowsOwnDrawing) {
    // A window that draws a black square of its own at its centre.
    struct Window : QWidget {
        void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(45, 45, 10, 10, Qt::black); }
    } window;
    window.resize(100, 100);
    TLbBackground background(&window);
    QPixmap picture(30, 20);
    picture.fill(Qt::red);
    {
        QPainter p(&picture);
        p.fillRect(0, 0, 1, 1, Qt::blue);  // marks each copy's top left
    }
    background.setPicture(picture);
    QImage shot = window.grab().toImage();
    EXPECT_EQ(shot.pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_EQ(shot.pixelColor(30, 20), QColor(Qt::blue));
    EXPECT_EQ(shot.pixelColor(90, 80), QColor(Qt::blue));
    EXPECT_EQ(shot.pixelColor(10, 10), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(50, 50), QColor(Qt::black));  // the window's own drawing on top
    EXPECT_EQ(shot.pixelColor(99, 99), QColor(Qt::red));   // the spare column and row cover the edge

    background.setActive(false);
    shot = window.grab().toImage();
    EXPECT_NE(shot.pixelColor(10, 10), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(50, 50), QColor(Qt::black));
}

TEST(HelpWindow, WithoutAReceiverAboutShowsTheProgramsAboutWindowCentredOnTheGame) {
    QWidget game;  // the program's windows are created side by side, none owning another
    game.setObjectName("Tchat");
    game.setGeometry(200, 150, 600, 400);
    game.show();
    Tabout about;
    Thelp help;
    help.show();
    QTest::mouseClick(child<QPushButton>(help, "button_about"), Qt::LeftButton);
    EXPECT_TRUE(about.isVisible());
    EXPECT_NEAR(about.frameGeometry().center().x(), game.frameGeometry().center().x(), 3);
    EXPECT_NEAR(about.frameGeometry().center().y(), game.frameGeometry().center().y(), 3);
}
