// The main window's options and the settings file: what is read at login is applied to
// the menus, the dialog, the tiles and the window; what the window shows is collected
// for every save. The file itself is SettingsFile's.
#include <QAction>
#include <QLabel>

#include "app/client/boardview.h"
#include "app/client/chatbox.h"
#include "app/client/gameconnection.h"
#include "app/client/mainmenus.h"
#include "app/client/settingsfile.h"
#include "app/client/tchat.h"
#include "app/media/tilesmenu.h"
#include "app/social/gamestartform.h"
#include "app/widgets/clickimage.h"

namespace social = quorbit::social;

social::WindowBounds Tchat::currentBounds() const {
    return social::WindowBounds{x(), y(), width(), height()};
}

void Tchat::setBounds(const social::WindowBounds& b) {
    move(b.left, b.top);
    resize(b.width, b.height);
}

void Tchat::setSettingsPath(const QString& path) {
    settings_->setPath(path);
    connection_->setSettingsPath(path);  // the servers' certificate fingerprints are kept there
}

const QString& Tchat::settingsPath() const { return settings_->path(); }

void Tchat::loadinifile() {
    const social::SettingsRead r = settings_->read();
    auto& opts = engine_.options();
    setTextSize(r.textsize);
    opts.textColour = r.textcolor;
    opts.actionColour = r.actioncolor;
    QPalette pal = mychat->palette();
    pal.setColor(QPalette::Text, QColor(r.textcolor.red(), r.textcolor.green(), r.textcolor.blue()));
    mychat->setPalette(pal);
    for (std::size_t i = 0; i < r.phrases.size(); ++i)
        if (r.phrases[i]) opts.phrases[i] = *r.phrases[i];
    opts.playSounds = r.playsounds;
    menus_->playSounds->setChecked(r.playsounds);
    opts.postWordsInChatBox = r.postwords;
    menus_->postWords->setChecked(r.postwords);
    opts.showBestWords = r.bestwords;
    menus_->showBestWords->setChecked(r.bestwords);
    menus_->askBeforeLeaving->setChecked(r.askbeforeleaving);
    if (windows_.gamestart) {
        if (r.playtoscore) windows_.gamestart->setPlaytoscore(*r.playtoscore);
        if (r.creationtime) windows_.gamestart->setTimeperturn(*r.creationtime);
        if (r.shuffles) windows_.gamestart->setQuorbitshuffle(*r.shuffles);
        windows_.gamestart->setZubolevel(r.zubolevel);
        windows_.gamestart->setLanguage(QString::fromStdString(r.language));
    }
    if (r.tilesClassic)
        tileSetName_ = "classic";  // kept, so that a save writes "classic" back
    else
        loadgrouptiles(QString::fromStdString(r.tiles));
    setBounds(r.bounds);
    // The window as these bounds left it (the minimum size may have widened it) is
    // what closing compares with.
    saved_ = currentBounds();
    opts.turnSound = static_cast<quorbit::client::TurnSound>(r.turnsound);
    applyTurnSoundChecks();
    render();
}

bool Tchat::saveinifile() {
    social::SettingsSave s;
    const auto& opts = engine_.options();
    s.textsize = textSize();
    s.textcolor = opts.textColour;
    s.actioncolor = opts.actionColour;
    if (windows_.gamestart) {
        s.playtoscore = windows_.gamestart->playtoscore();
        s.creationtime = windows_.gamestart->timeperturn();
        s.shuffles = windows_.gamestart->quorbitshuffle();
        s.zubolevel = windows_.gamestart->zubolevel();
        s.language = windows_.gamestart->language().toStdString();
    }
    s.tiles = tileSetName_.toStdString();
    s.bounds = currentBounds();
    s.turnsound = static_cast<int>(opts.turnSound);
    s.playsounds = menus_->playSounds->isChecked();
    s.postwords = menus_->postWords->isChecked();
    s.bestwords = menus_->showBestWords->isChecked();
    s.askbeforeleaving = menus_->askBeforeLeaving->isChecked();
    return settings_->save(s);
}

QString Tchat::rememberedName() const { return settings_->rememberedName(); }

bool Tchat::rememberName(const QString& name) { return settings_->rememberName(name); }

void Tchat::savePhrases(const QStringList& phrases) {
    std::vector<std::string> kept;
    for (int n = 1; n <= quorbit::client::kPhraseCount && n <= phrases.size(); ++n) {
        kept.push_back(phrases[n - 1].toStdString());
        engine_.options().phrases[static_cast<std::size_t>(n - 1)] = kept.back();
    }
    settings_->savePhrases(kept);
    render();
}

bool Tchat::loadgrouptiles(const QString& name) {
    tiles_->loadgrouptiles(name);
    // The name becomes the current one only when the set has a file.
    if (tiles_->currentName().compare(name, Qt::CaseInsensitive) != 0) return false;
    tileSetName_ = tiles_->currentName();
    applyTilePictures();
    return true;
}

void Tchat::applyTilePictures() {
    if (!tiles_->pictures()) return;
    pictures_.setPictures(*tiles_->pictures());
    repaintTiles();
}

void Tchat::repaintTiles() {
    paintbox_board->repaintAll();
    for (auto* slot : image_letter) slot->setProperty("shows", QVariant());
    render();
}

void Tchat::followLanguage() {
    // The values of the game shown (the live one or a replay): those of the table's language,
    // English's for a language this program was not built with (the engine says so).
    const quorbit::rules::LetterValues& values = shown().letterValues;
    if (values == pictures_.values()) return;
    pictures_.setValues(values);
    repaintTiles();
}
