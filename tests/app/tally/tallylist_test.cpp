#include <gtest/gtest.h>
#include <unistd.h>

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/social/tallylistform.h"

namespace {

QString text(QWidget& w, const char* name) { return w.findChild<QLabel*>(name)->text(); }

}  // namespace

TEST(Ttallylist, FirstStartThenSavedAfterEveryGame) {
    QTemporaryDir dir;
    {
        Ttallylist t(nullptr, dir.path());
        EXPECT_EQ(t.windowTitle(), "Quorbit - Tally List");
        EXPECT_EQ(text(t, "mylabel_1"), "0");
        EXPECT_EQ(t.findChild<QListWidget*>("listbox_tally")->count(), 0);
        EXPECT_FALSE(QFile::exists(t.tallyFile()));

        t.loadchecklist({"Zubo"});
        auto* current = t.findChild<QListWidget*>("checklist");
        ASSERT_EQ(current->count(), 1);
        current->item(0)->setCheckState(Qt::Checked);  // follow Zubo
        EXPECT_EQ(t.findChild<QListWidget*>("listbox_tally")->count(), 1);

        t.anotherword(3);
        t.addtomineset(4, 14, "STORM");
        t.addgame("addtomine", {"Zubo"});
        EXPECT_TRUE(QFile::exists(t.tallyFile())) << "a recorded game is saved at once";
        EXPECT_EQ(text(t, "mylabel_2"), "1");
        EXPECT_EQ(text(t, "mylabel_4"), "STORM (14)");

        t.findChild<QListWidget*>("listbox_tally")->setCurrentRow(0);
        EXPECT_EQ(text(t, "label_hisnametop"), "Zubo's Tally");
        EXPECT_EQ(text(t, "label_3"), "1");
        EXPECT_EQ(text(t, "label_7"), "1");
    }
    Ttallylist again(nullptr, dir.path());
    EXPECT_EQ(text(again, "mylabel_1"), "1");
    EXPECT_EQ(text(again, "mylabel_4"), "STORM (14)");
    ASSERT_EQ(again.findChild<QListWidget*>("listbox_tally")->count(), 1);
    again.findChild<QListWidget*>("listbox_tally")->setCurrentRow(0);
    EXPECT_EQ(text(again, "label_1"), "1");
    EXPECT_EQ(text(again, "label_5"), "0") << "session columns start at zero";
}

TEST(Ttallylist, DroppingAndResettingAsk) {
    QTemporaryDir dir;
    Ttallylist t(nullptr, dir.path());
    QStringList asked;
    bool answer = false;
    t.ask = [&](const QString& q) {
        asked << q;
        return answer;
    };
    t.loadchecklist({"Ann", "Bob"});
    auto* current = t.findChild<QListWidget*>("checklist");
    current->item(0)->setCheckState(Qt::Checked);
    current->item(1)->setCheckState(Qt::Checked);
    auto* tallied = t.findChild<QListWidget*>("listbox_tally");
    ASSERT_EQ(tallied->count(), 2);

    tallied->item(1)->setCheckState(Qt::Unchecked);
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0], "This will delete Bob's Tally, Are you want to delete it?");
    EXPECT_EQ(tallied->count(), 2);
    EXPECT_EQ(tallied->item(1)->checkState(), Qt::Checked) << "No checks the entry again";

    answer = true;
    tallied->item(1)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(tallied->count(), 1);
    EXPECT_EQ(t.tally().grid().size(), 2u);

    answer = false;
    QTest::mouseClick(t.findChild<QPushButton*>("button_reset"), Qt::LeftButton);
    EXPECT_EQ(asked.last(), "Are you sure you want to reset the Tally?");
    EXPECT_EQ(tallied->count(), 1);
    answer = true;
    QTest::mouseClick(t.findChild<QPushButton*>("button_reset"), Qt::LeftButton);
    EXPECT_EQ(tallied->count(), 0);
    EXPECT_EQ(text(t, "mylabel_1"), "0");
}

TEST(Ttallylist, AFailedSaveIsShownOnce) {
    QTemporaryDir dir;
    const QString folder = QDir(dir.path()).filePath("gone");
    ASSERT_TRUE(QDir().mkpath(folder));
    Ttallylist t(nullptr, folder);
    QStringList errors;
    t.showError = [&](const QString& e) { errors << e; };
    ASSERT_TRUE(QDir(folder).removeRecursively());  // nowhere to save any more
    t.addgame("Ann", {"Ann"});
    t.addgame("Ann", {"Ann"});
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith("The tally could not be saved: "));
    EXPECT_TRUE(errors[0].contains("gone"));
}

TEST(Ttallylist, DamagedFileIsKeptAndTheTallyStartsEmpty) {
    QTemporaryDir dir;
    const QString file = QDir(dir.path()).filePath("Quorbittally.tld");
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("WRZL\x05\x00\x00\x00garbage", 15);
    }
    Ttallylist t(nullptr, dir.path());
    EXPECT_FALSE(t.loadError().isEmpty());
    EXPECT_TRUE(QFile::exists(file + ".bad"));
    EXPECT_EQ(text(t, "mylabel_1"), "0");
}
