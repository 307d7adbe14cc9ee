// The spy list, the game-start dialog and the single-instance guard.
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

#include "app/shell/instance.h"
#include "app/social/gamestartform.h"
#include "language/language.h"
#include "app/social/spylistform.h"

namespace {

TEST(Spylist, RemoveFromGameKicksTheHoveredSeatOnly) {
    Tspylist spies;
    spies.resize(220, 260);
    spies.show();
    EXPECT_EQ(spies.windowTitle(), "Quorbit - Spys");
    EXPECT_FALSE(spies.kickAction()->isEnabled());
    spies.setKickEnabled(true);
    // A name that reads like another seat's entry is kicked by its own seat.
    spies.setEntries({{5, "Ann"}, {6, "9: Bob"}, {7, "Cy"}});
    EXPECT_EQ(spies.entries(), (QStringList{"5: Ann", "6: 9: Bob", "7: Cy"}));
    QSignalSpy kicked(&spies, &Tspylist::kickRequested);
    auto* list = spies.findChild<QListWidget*>("listbox_spys");

    spies.removeFromGame();  // nothing hovered yet
    EXPECT_EQ(kicked.count(), 0);
    spies.hoverAt(list->visualItemRect(list->item(0)).center());
    EXPECT_EQ(spies.hoverIndex(), 0);
    spies.removeFromGame();
    ASSERT_EQ(kicked.count(), 1);
    EXPECT_EQ(kicked.at(0).at(0).toInt(), 5);
    spies.hoverAt(list->visualItemRect(list->item(1)).center());
    spies.removeFromGame();
    ASSERT_EQ(kicked.count(), 2);
    EXPECT_EQ(kicked.at(1).at(0).toInt(), 6);
    spies.hoverAt(QPoint(5, list->viewport()->height() - 2));  // blank space below the entries
    EXPECT_EQ(spies.hoverIndex(), -1);
    spies.removeFromGame();
    EXPECT_EQ(kicked.count(), 2);

    spies.setEntries({{7, "Cy"}});
    EXPECT_EQ(spies.entries(), QStringList{"7: Cy"});
}

TEST(Spylist, TheListIsRebuiltOnlyWhenItsEntriesChange) {
    Tspylist spies;
    auto* list = spies.findChild<QListWidget*>();
    ASSERT_NE(list, nullptr);
    spies.setEntries({{8, "Cy"}, {9, "Dee"}});
    QListWidgetItem* first = list->item(0);
    QSignalSpy resets(list->model(), &QAbstractItemModel::modelReset);
    QSignalSpy removed(list->model(), &QAbstractItemModel::rowsRemoved);
    for (int redraw = 0; redraw < 50; ++redraw) spies.setEntries({{8, "Cy"}, {9, "Dee"}});
    EXPECT_EQ(list->item(0), first) << "the same entries keep the same items";
    EXPECT_EQ(resets.count() + removed.count(), 0);

    spies.setEntries({{8, "Cy"}, {9, "Dee"}, {5, "Eve"}});
    EXPECT_EQ(spies.entries(), (QStringList{"8: Cy", "9: Dee", "5: Eve"}));
    spies.setEntries({});
    EXPECT_EQ(list->count(), 0);
    spies.setEntries({{8, "Cy"}});
    EXPECT_EQ(spies.entries(), QStringList{"8: Cy"});
}

TEST(Gamestart, FieldsStepWithinTheirRanges) {
    Tgamestart dialog;
    EXPECT_EQ(dialog.windowTitle(), "Quorbit - Game Start");
    EXPECT_EQ(dialog.playtoscore(), 500);
    EXPECT_EQ(dialog.timeperturn(), 60);
    EXPECT_EQ(dialog.quorbitshuffle(), 1);
    EXPECT_FALSE(dialog.team());
    auto* score = dialog.findChild<QSpinBox*>("playtoscore");
    EXPECT_EQ(score->singleStep(), 50);
    EXPECT_EQ(dialog.findChild<QSpinBox*>("timeperturn")->singleStep(), 5);
    EXPECT_EQ(dialog.findChild<QSpinBox*>("quorbitshuffle")->singleStep(), 1);
    score->stepUp();
    EXPECT_EQ(dialog.playtoscore(), 550);
    dialog.setPlaytoscore(50);
    EXPECT_EQ(dialog.playtoscore(), 100);
    dialog.setPlaytoscore(99999);
    EXPECT_EQ(dialog.playtoscore(), 10000);
    score->stepUp();
    EXPECT_EQ(dialog.playtoscore(), 10000);
    dialog.setTimeperturn(10);
    EXPECT_EQ(dialog.timeperturn(), 30);
    dialog.setQuorbitshuffle(9);
    EXPECT_EQ(dialog.quorbitshuffle(), 5);

    dialog.setPlaytoscore(500);
    dialog.setTimeperturn(60);
    dialog.setQuorbitshuffle(1);
    dialog.findChild<QCheckBox*>("checkbox_team")->setChecked(true);
    const auto s = dialog.settings("Ann");
    EXPECT_EQ(quorbit::protocol::toserver::startgame(s), std::string("CMD_startgame+Ann+500+60+t+1+"));

    // "Zubo:" offers the three levels, Classic first; the choice is announced.
    auto* zubo = dialog.findChild<QComboBox*>("zubolevel");
    ASSERT_TRUE(zubo);
    EXPECT_EQ(zubo->count(), 3);
    EXPECT_EQ(zubo->itemText(0), "Classic");
    EXPECT_EQ(dialog.zubolevel(), quorbit::rules::ZuboLevel::Classic);
    QSignalSpy level(&dialog, &Tgamestart::zubolevelChanged);
    zubo->setCurrentIndex(2);
    EXPECT_EQ(dialog.zubolevel(), quorbit::rules::ZuboLevel::Expert);
    ASSERT_EQ(level.count(), 1);
    dialog.setZubolevel(quorbit::rules::ZuboLevel::Strong);
    EXPECT_EQ(zubo->currentText(), "Strong");

    // "Language:" lists every language built by name, English first; the choice is announced.
    auto* language = dialog.findChild<QComboBox*>("language");
    ASSERT_TRUE(language);
    EXPECT_EQ(language->count(), static_cast<int>(quorbit::language::all().size()));
    EXPECT_EQ(language->itemText(0), "English");
    EXPECT_EQ(dialog.language(), "en");
    QSignalSpy chosen(&dialog, &Tgamestart::languageChanged);
    if (language->count() > 1) {
        language->setCurrentIndex(1);
        ASSERT_EQ(chosen.count(), 1);
        EXPECT_EQ(chosen.at(0).at(0).toString(), dialog.language());
        EXPECT_NE(dialog.language(), "en");
    }
    dialog.setLanguage("xx");  // not built: English
    EXPECT_EQ(dialog.language(), "en");

    QSignalSpy start(&dialog, &Tgamestart::startClicked);
    dialog.show();
    QTest::mouseClick(dialog.findChild<QWidget*>("Image1"), Qt::LeftButton);
    EXPECT_EQ(start.count(), 1);
}

// Digits typed into a field count, within the limits the arrows keep, also when the start
// picture is clicked while the field is still being edited.
TEST(Gamestart, TypedDigitsCountWithinTheArrowsLimits) {
    Tgamestart dialog;
    dialog.show();
    auto type = [&dialog](const char* field, const char* text) {
        auto* edit = dialog.findChild<QSpinBox*>(field)->findChild<QLineEdit*>();
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    };
    QSignalSpy start(&dialog, &Tgamestart::startClicked);
    type("playtoscore", "1234");
    type("timeperturn", "95");
    type("quorbitshuffle", "3");
    QTest::mouseClick(dialog.findChild<QWidget*>("Image1"), Qt::LeftButton);
    ASSERT_EQ(start.count(), 1);
    EXPECT_EQ(quorbit::protocol::toserver::startgame(dialog.settings("Ann")), std::string("CMD_startgame+Ann+1234+95+f+3+"));

    type("playtoscore", "99999");  // the fifth digit would pass 10000 and is refused
    EXPECT_EQ(dialog.playtoscore(), 9999);
    type("timeperturn", "7");  // below 30, still being typed: taken as 30
    EXPECT_EQ(dialog.timeperturn(), 30);
    type("quorbitshuffle", "8");
    EXPECT_EQ(dialog.quorbitshuffle(), 3);  // a digit beyond 5 is refused as typed
    type("playtoscore", "x");
    EXPECT_EQ(dialog.playtoscore(), 9999);  // no letter gets in
    dialog.findChild<QSpinBox*>("timeperturn")->stepUp();
    EXPECT_EQ(dialog.timeperturn(), 35);
}

TEST(InstanceGuard, ASecondInstanceFindsTheFirstAndAsksItForward) {
    const QString key = quorbit::shell::instanceKey("enavro-test") + QString::number(QCoreApplication::applicationPid());
    quorbit::shell::InstanceGuard first(key);
    QSignalSpy forward(&first, &quorbit::shell::InstanceGuard::activateRequested);
    EXPECT_FALSE(first.anotherInstanceRuns());
    quorbit::shell::InstanceGuard second(key);
    EXPECT_TRUE(second.anotherInstanceRuns());
    EXPECT_TRUE(forward.wait(2000) || forward.count() == 1);
    EXPECT_EQ(forward.count(), 1);
}

TEST(InstanceGuard, KeysDifferByDisplayAndDataFolder) {
    const QByteArray display = qgetenv("DISPLAY");
    qputenv("DISPLAY", ":1");
    const QString one = quorbit::shell::instanceKey("enavro");
    qputenv("DISPLAY", ":2");
    const QString two = quorbit::shell::instanceKey("enavro");
    qputenv("QUORBIT_DATA_DIR", "/tmp/elsewhere");
    const QString three = quorbit::shell::instanceKey("enavro");
    qunsetenv("QUORBIT_DATA_DIR");
    if (display.isEmpty()) qunsetenv("DISPLAY"); else qputenv("DISPLAY", display);
    EXPECT_NE(one, two);
    EXPECT_NE(two, three);
    EXPECT_TRUE(one.startsWith("enavro-"));
}

}  // namespace
