// The settings file as the main window reads and writes it.
#include <QAction>
#include <QFile>
#include <QLineEdit>

#include "app/social/gamestartform.h"
#include "app/social/phrasesform.h"
#include "social/settings.h"
#include "window_fixture.h"

namespace quorbit::apptest {
namespace {

QString readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

void writeFile(const QString& path, const QByteArray& text) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
}

social::SettingsRead reread(const QString& path) {
    return social::readSettings(social::IniFile::parse(readAll(path).toStdString()));
}

using WindowSettings = SoloGame;

TEST_F(WindowSettings, LoginReadsTheFileAndEveryOptionChangeWritesIt) {
    writeFile(home.settings(),
              "[QUORBIT]\ntextsize=12\nTEXTCOLOR=clRed\nPlaysounds=false\nPostwordsinchatbox=true\n"
              "Playtoscore=50\nCreationtime=never\nShuffles=9\nTiles=Classic\nTurnsound=1\nPhrase3=Hi all\n"
              "Left=40\nTop=30\nWidth=800\nHeight=600\n");
    chat().loadinifile();
    EXPECT_EQ(chat().textSize(), 12);
    EXPECT_TRUE(chat().action("TextSize12")->isChecked());
    EXPECT_FALSE(chat().action("TextSize8")->isChecked());
    EXPECT_FALSE(chat().action("PlaySounds1")->isChecked());
    EXPECT_TRUE(chat().action("PostWordsinChatBox1")->isChecked());
    EXPECT_TRUE(chat().action("New1")->isChecked());
    EXPECT_FALSE(chat().action("Classic1")->isChecked());
    EXPECT_EQ(program->gamestart().playtoscore(), 100);  // clamped up
    EXPECT_EQ(program->gamestart().timeperturn(), 70);   // not a number: left as the login read it
    EXPECT_EQ(program->gamestart().quorbitshuffle(), 5); // clamped down
    EXPECT_EQ(chat().engine().options().phrases[2], "Hi all");
    EXPECT_EQ(chat().engine().options().phrases[0], "Way To Go!");
    EXPECT_EQ(chat().engine().options().textColour, social::kRed);
    EXPECT_EQ(chat().tileSetName(), "classic");
    EXPECT_EQ(chat().currentBounds(), (social::WindowBounds{40, 30, 800, 600}));

    // A menu change saves at once, and "classic" is written back as "classic".
    chat().action("TextSize14")->trigger();
    const social::SettingsRead r = reread(home.settings());
    EXPECT_EQ(r.textsize, 14);
    EXPECT_TRUE(r.tilesClassic);
    EXPECT_FALSE(r.playsounds);
    EXPECT_TRUE(r.postwords);
    EXPECT_EQ(r.playtoscore, 100);
    EXPECT_EQ(r.turnsound, 1);
    EXPECT_EQ(r.phrases[2], "Hi all");  // other lines of the file stay
    EXPECT_TRUE(readAll(home.settings()).startsWith("[QUORBIT]\ntextsize=14\n"));

    chat().action("Default1")->trigger();
    EXPECT_EQ(reread(home.settings()).turnsound, 2);
    EXPECT_TRUE(chat().action("Default1")->isChecked());
    EXPECT_FALSE(chat().action("New1")->isChecked());
    chat().action("PlaySounds1")->trigger();
    EXPECT_TRUE(reread(home.settings()).playsounds);
}

TEST_F(WindowSettings, ColourDialogsSaveAsTheyShould) {
    QFile::remove(home.settings());
    nextColour = QColor();  // cancelled
    chat().action("TextColor1")->trigger();
    EXPECT_FALSE(QFile::exists(home.settings()));  // a cancelled text colour saves nothing
    chat().action("ActionColor1")->trigger();
    EXPECT_TRUE(QFile::exists(home.settings()));  // the action colour saves either way
    nextColour = QColor(0x40, 0x80, 0xFF);
    chat().action("TextColor1")->trigger();
    EXPECT_EQ(reread(home.settings()).textcolor, social::Colour::fromRgb(0x40, 0x80, 0xFF));
    EXPECT_TRUE(readAll(home.settings()).contains("Textcolor=$00FF8040"));
    EXPECT_EQ(chat().findChild<QLineEdit*>("mychat")->palette().color(QPalette::Text), nextColour);
}

TEST_F(WindowSettings, ClosingWritesOnlyAMovedWindow) {
    QFile::remove(home.settings());
    chat().workArea = [] { return QRect(0, 0, 4000, 4000); };
    chat().close();
    EXPECT_FALSE(QFile::exists(home.settings()));  // not moved, not resized: nothing written

    chat().show();
    chat().setBounds({120, 80, 900, 650});
    chat().close();
    EXPECT_EQ(reread(home.settings()).bounds, (social::WindowBounds{120, 80, 900, 650}));
    EXPECT_EQ(chat().savedBounds(), (social::WindowBounds{120, 80, 900, 650}));

    // Wider and taller than the work area: 15 pixels off each, once.
    chat().show();
    chat().workArea = [] { return QRect(0, 0, 850, 600); };
    chat().setBounds({0, 0, 900, 650});
    chat().close();
    EXPECT_EQ(reread(home.settings()).bounds, (social::WindowBounds{0, 0, 885, 635}));
}

TEST_F(WindowSettings, TheWindowKeepsItsMinimumClientArea) {
    chat().resize(300, 200);
    QWidget* client = chat().centralWidget();
    EXPECT_GE(client->width(), 792);
    EXPECT_GE(client->height(), 542);
    chat().action("ResetScreenLocation1")->trigger();
    EXPECT_EQ(chat().pos(), QPoint(3, 3));
}

TEST_F(WindowSettings, AFileThatCannotBeWrittenIsReported) {
    chat().setSettingsPath(home.path() + "/missing-folder/orvanelobby.ini");
    EXPECT_FALSE(chat().saveinifile());
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0], "Unable to write to " + home.path() + "/missing-folder/orvanelobby.ini");
}

TEST_F(WindowSettings, PhraseWindowDoneStoresThePhrases) {
    chat().action("PhraseList1")->trigger();
    Tphrases& window = program->phrases();
    ASSERT_TRUE(window.isVisible());
    EXPECT_EQ(window.field(1)->text(), "Way To Go!");  // the buttons' phrases, not the window's own
    EXPECT_EQ(window.field(2)->text(), "Good One!");
    window.field(2)->setText("Well played!");
    window.field(9)->setText(QString(80, 'x'));  // the field holds at most 50
    QTest::mouseClick(window.findChild<QWidget*>("SelButton8"), Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(chat().engine().options().phrases[1], "Well played!");
    EXPECT_EQ(chat().findChild<QWidget*>("b_phrase2")->toolTip(), "Well played!");
    const social::SettingsRead r = reread(home.settings());
    EXPECT_EQ(r.phrases[1], "Well played!");
    EXPECT_EQ(r.phrases[8], std::string(50, 'x'));
    EXPECT_EQ(r.phrases[0], "Way To Go!");

    // Edits closed by the frame are dropped.
    chat().action("PhraseList1")->trigger();
    window.field(1)->setText("never kept");
    window.close();
    EXPECT_EQ(chat().engine().options().phrases[0], "Way To Go!");
}

}  // namespace
}  // namespace quorbit::apptest
