// The main window's texts fit their places: at the scale factor and the text size the
// desktop sets (the suite runs these cases again under QT_SCALE_FACTOR=2 and under
// QT_FONT_DPI=144, the desktop's text size at 150%), no label or button cuts its text.
#include <QAbstractButton>
#include <QLabel>
#include <QTest>

#include "app/widgets/elidinglabel.h"
#include "window_fixture.h"

namespace quorbit::apptest {
namespace {

class Scaling : public ::testing::Test {
protected:
    void SetUp() override {
        chat.setSettingsPath(home.settings());
        chat.engine().setLaunch(true, "Alexandra");
        chat.engine().options().playSounds = false;
        for (const char* line : {"CMD_sendlogininfo+1", "CMD_newplayerinfo+1+Alexandra", "CMD_newplayerinfo+2+Zubo",
                                 "CMD_newplayerinfo+3+Bartholomew", "CMD_newplayerinfo+4+Christopher",
                                 "CMD_startgame+Alexandra+1000+3600+f+99+"})
            feed(line);
        std::string board = "CMD_theboard";
        for (int x = 0; x < 7; ++x)
            for (int y = 0; y < 7; ++y) board += "+" + std::to_string(x) + "+" + std::to_string(y) + "+" + std::to_string(1 + (x * 7 + y) % 26);
        feed(board);
        feed("CMD_whoseturn+1+3600");
        chat.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&chat));
    }
    void feed(const std::string& line) {
        chat.engine().received(line + '\xFF');
        while (chat.engine().pump()) {
        }
        chat.sync();
    }

    // Every shown one-line label and button whose text is wider or taller than the room it has.
    QStringList cutTexts() const {
        QStringList cut;
        for (const QLabel* l : chat.findChildren<QLabel*>()) {
            if (!l->isVisibleTo(&chat) || l->wordWrap() || l->text().isEmpty() || l->textFormat() == Qt::RichText) continue;
            const QRect room = l->contentsRect().adjusted(l->indent() > 0 ? l->indent() : 0, 0, 0, 0);
            // A name too long for its place is drawn cut short with an ellipsis.
            const auto* eliding = qobject_cast<const app::ElidingLabel*>(l);
            const QString shown = eliding ? eliding->shownText() : l->text();
            const QSize need = l->fontMetrics().size(Qt::TextSingleLine, shown);
            if (need.width() > room.width() || need.height() > room.height())
                cut << QString("%1 \"%2\" needs %3x%4, has %5x%6")
                           .arg(l->objectName(), shown)
                           .arg(need.width()).arg(need.height()).arg(room.width()).arg(room.height());
        }
        for (const QAbstractButton* b : chat.findChildren<QAbstractButton*>()) {
            if (!b->isVisibleTo(&chat) || b->text().isEmpty()) continue;
            const QSize need = b->fontMetrics().size(Qt::TextShowMnemonic, b->text());
            if (need.width() > b->width() || need.height() > b->height())
                cut << QString("%1 \"%2\" needs %3x%4, has %5x%6")
                           .arg(b->objectName(), b->text())
                           .arg(need.width()).arg(need.height()).arg(b->width()).arg(b->height());
        }
        return cut;
    }

    TempHome home;
    Tchat chat;
};

TEST_F(Scaling, NoTextIsCutDuringAGame) {
    EXPECT_TRUE(cutTexts().isEmpty()) << "at scale " << chat.devicePixelRatioF() << ":\n" << qPrintable(cutTexts().join("\n"));
}

TEST_F(Scaling, ALongNameIsShortenedWithAnEllipsisButKeptWhole) {
    const auto* name = chat.findChild<app::ElidingLabel*>("label_playername3");
    ASSERT_NE(name, nullptr);
    // The longest name a server keeps (24 characters).
    feed("CMD_newplayerinfo+3+BARTHOLOMEW MONTGOMERY-S");
    EXPECT_EQ(name->text(), "BARTHOLOMEW MONTGOMERY-S");
    EXPECT_TRUE(name->shownText().endsWith(QChar(0x2026))) << qPrintable(name->shownText());
    EXPECT_TRUE(name->shownText().startsWith("BART"));
    EXPECT_TRUE(cutTexts().isEmpty()) << qPrintable(cutTexts().join("\n"));
    feed("CMD_newplayerinfo+3+Cy");
    EXPECT_EQ(name->shownText(), "Cy");
}

TEST_F(Scaling, NoTextIsCutWhenTheWinnerIsShown) {
    feed("CMD_winner+Alexandra");
    EXPECT_TRUE(cutTexts().isEmpty()) << "at scale " << chat.devicePixelRatioF() << ":\n" << qPrintable(cutTexts().join("\n"));
}

}  // namespace
}  // namespace quorbit::apptest
