// Shows one of the game's smaller windows on its own, for screenshots and a look by eye:
//
//   quorbit_media_gallery help|about|gamestart [CODE]|download|download-busy|board SET [CODE]
//
// "download-busy" shows the download window as it looks during a transfer; "board SET"
// lays the tile set SET from the tile folder out as a board with a word being chosen,
// its tiles showing the letter values of the language CODE when given ("classic" as SET
// is the built-in set).
#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

#include "app/media/tilesets.h"
#include "app/widgets/tilepictures.h"
#include "language/loaded.h"
#include "app/social/aboutform.h"
#include "app/social/gamestartform.h"
#include "app/social/downloadform.h"
#include "app/social/helpform.h"
#include "client/client_engine.h"

namespace {

constexpr int kTile = quorbit::media::kTileSize;  // a picture of the set, in pixels

QPixmap board(const quorbit::media::TilePictures& p) {
    const char* rows[7] = {"QUORBIT", "SLAETNO", "W.RDIMP", "ASTORME", "NIG.LEC", "HAPUSKY", "ODZELVR"};
    QPixmap out(7 * kTile + 20, 7 * kTile + 96);
    out.fill(QColor("#d8e2ee"));
    QPainter g(&out);
    // The rack: the chain S-T-O-R-M being chosen, then empty slots.
    const char* rack = "STORM";
    for (int n = 0; n < 7; ++n) {
        g.drawPixmap(10 + kTile * n, 10, p[35]);
        if (n < 5) {
            g.drawPixmap(10 + kTile * n, 10, p[30]);
            g.drawPixmap(12 + kTile * n, 12, p[static_cast<std::size_t>(rack[n] - 'A' + 1)]);
        }
    }
    const QPoint chain[] = {{0, 3}, {1, 3}, {2, 3}, {3, 3}, {4, 3}};  // ASTOR.. row 3 x 1..5 reads STORM
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 7; ++x) {
            const QPoint at(10 + kTile * x, 86 + kTile * y);
            // The square's own picture (plain or its bonus), as the board view draws it.
            const int square = quorbit::client::boardsquares()[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)];
            g.drawPixmap(at, p[static_cast<std::size_t>(square)]);
            const char c = rows[y][x];
            if (c != '.') g.drawPixmap(at, p[static_cast<std::size_t>(c - 'A' + 1)]);
        }
    for (int i = 0; i < 5; ++i) {
        const QPoint sq = chain[i] + QPoint(1, 0);
        g.drawPixmap(10 + kTile * sq.x(), 86 + kTile * sq.y(), p[i == 4 ? 29 : 28]);
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString what = argc > 1 ? QString(argv[1]) : QString("help");
    QWidget* shown = nullptr;
    if (what == "help") {
        auto* help = new Thelp;
        if (argc > 2) help->showTopic(QString(argv[2]).toInt());
        shown = help;
    } else if (what == "about") {
        shown = new Tabout;
    } else if (what == "gamestart") {
        auto* start = new Tgamestart;
        if (argc > 2) start->setLanguage(argv[2]);
        shown = start;
    } else if (what.startsWith("download")) {
        auto* d = new Tdownload;
        if (what == "download-busy") {
            // The look of a running transfer, without fetching anything.
            d->findChild<QPushButton*>("getbutton")->setEnabled(false);
            d->findChild<QPushButton*>("abortbutton")->setEnabled(true);
            d->findChild<QLabel*>("infolabel")->setText("1843200 bytes");
            d->findChild<QLabel*>("infolabel3")->setText("Downloading: orvanelobbysetup.exe");
        }
        shown = d;
    } else if (what == "board" && argc > 2) {
        quorbit::app::TilePictures tiles = quorbit::app::TilePictures::classic();
        if (QString(argv[2]) != "classic") {
            quorbit::media::TileSets sets;
            if (!sets.load(argv[2]) || !sets.pictures()) {
                std::fprintf(stderr, "no tile set %s in %s\n", argv[2], qPrintable(sets.folders().join(", ")));
                return 1;
            }
            tiles.setPictures(*sets.pictures());
        }
        if (argc > 3) {
            const quorbit::language::Language* language = quorbit::language::find(argv[3]);
            if (!language) {
                std::fprintf(stderr, "no language %s (%s)\n", argv[3], quorbit::language::codesBuilt().c_str());
                return 1;
            }
            tiles.setValues(language->values);
        }
        quorbit::media::TilePictures shownTiles;
        for (int i = 0; i < quorbit::media::kTilePictures; ++i) shownTiles[static_cast<std::size_t>(i)] = tiles.picture(i);
        auto* label = new QLabel;
        label->setPixmap(board(shownTiles));
        shown = label;
    } else {
        std::fprintf(stderr, "usage: %s help [TOPIC]|about|gamestart [CODE]|download|download-busy|board SET [CODE]\n", argv[0]);
        return 2;
    }
    shown->move(0, 0);
    shown->show();
    if (qEnvironmentVariableIsSet("QUORBIT_GALLERY_SECONDS"))
        QTimer::singleShot(qEnvironmentVariableIntValue("QUORBIT_GALLERY_SECONDS") * 1000, &app, &QApplication::quit);
    return app.exec();
}
