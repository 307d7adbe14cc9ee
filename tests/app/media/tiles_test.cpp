// Tile sets: the tile folder, the Tiles menu, loading a set, and the shipped bitmaps.
#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/media/tilesets.h"
#include "qt_print.h"
#include "app/media/tilesmenu.h"

using quorbit::media::kTilePictures;
using quorbit::media::kTileSize;
using quorbit::media::TileSets;
using quorbit::media::TilesMenu;

namespace {

// A set whose picture i is filled with grey level 5 i, with a pure green square in the
// top-left 8 x 8 of every picture.
bool writeSet(const QString& path, int width = kTilePictures * kTileSize, int height = kTileSize, int shift = 0) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    for (int i = 0; i < kTilePictures; ++i)
        for (int y = 0; y < kTileSize && y < height; ++y)
            for (int x = 0; x < kTileSize && i * kTileSize + x < width; ++x) {
                const int g = (5 * i + shift) % 250;
                image.setPixel(i * kTileSize + x, y, (x < 8 && y < 8) ? qRgb(0, 255, 0) : qRgb(g, g, g + 1));
            }
    return image.save(path, "BMP");
}

QRgb pixel(const quorbit::media::TilePictures& p, int index, int x, int y) {
    return p[static_cast<std::size_t>(index)].toImage().convertToFormat(QImage::Format_ARGB32).pixel(x, y);
}

struct TileFolder : ::testing::Test {
    QTemporaryDir dir;
    QString folder() const { return dir.filePath("quorbittiles"); }
    QString file(const QString& name) const { return folder() + "/" + name; }
    void SetUp() override { ASSERT_TRUE(QDir().mkpath(folder())); }
    QStringList sorted(QStringList l) { l.sort(); return l; }
};

}  // namespace

TEST_F(TileFolder, EachBitmapIsOneSetNamedUpToItsFirstDot) {
    ASSERT_TRUE(writeSet(file("blue.bmp")));
    ASSERT_TRUE(writeSet(file("wood.v2.bmp")));
    ASSERT_TRUE(writeSet(file("Blue.old.bmp")));  // the same name in another case: listed once
    ASSERT_TRUE(writeSet(file(".bmp")));          // no name at all: not listed
    QFile(file("notes.txt")).open(QIODevice::WriteOnly);
    EXPECT_EQ(sorted(TileSets({folder()}).names()), (QStringList{"blue", "wood"}));
    EXPECT_TRUE(TileSets({dir.filePath("missing")}).names().isEmpty());
}

TEST_F(TileFolder, LaterFoldersAddOnlyNamesTheFirstLacks) {
    QTemporaryDir other;
    ASSERT_TRUE(writeSet(file("blue.bmp"), kTilePictures * kTileSize, kTileSize, 1));
    ASSERT_TRUE(writeSet(other.filePath("blue.bmp"), kTilePictures * kTileSize, kTileSize, 2));
    ASSERT_TRUE(writeSet(other.filePath("mint.bmp")));
    TileSets sets({folder(), other.path()});
    EXPECT_EQ(sorted(sets.names()), (QStringList{"blue", "mint"}));
    EXPECT_EQ(sets.fileOf("blue"), file("blue.bmp"));
    EXPECT_EQ(sets.fileOf("mint"), other.filePath("mint.bmp"));
}

TEST_F(TileFolder, TheMenuListsBlueForBlueBmpAsRadioEntries) {
    ASSERT_TRUE(writeSet(file("blue.bmp")));
    ASSERT_TRUE(writeSet(file("wood.bmp")));
    QMenu menu("Tiles");
    TilesMenu tiles(&menu, TileSets({folder()}));
    tiles.grouptilesmenu();
    QStringList captions;
    for (QAction* a : menu.actions()) {
        captions << a->text();
        EXPECT_TRUE(a->isCheckable());
        EXPECT_FALSE(a->isChecked());
    }
    EXPECT_EQ(sorted(captions), (QStringList{"blue", "wood"}));
    ASSERT_NE(tiles.entry("blue"), nullptr);
    EXPECT_EQ(tiles.entry("blue")->actionGroup(), tiles.entry("wood")->actionGroup());
    EXPECT_TRUE(tiles.entry("blue")->actionGroup()->isExclusive());
}

TEST_F(TileFolder, NoFolderGivesAnEmptyMenu) {
    QMenu menu("Tiles");
    TilesMenu tiles(&menu, TileSets({dir.filePath("nothing-here")}));
    tiles.grouptilesmenu();
    EXPECT_TRUE(menu.actions().isEmpty());
}

TEST_F(TileFolder, ChoosingAnEntryLoadsItsPicturesMarksItAndAsksForASave) {
    ASSERT_TRUE(writeSet(file("blue.bmp")));
    ASSERT_TRUE(writeSet(file("wood.bmp"), kTilePictures * kTileSize, kTileSize, 3));
    QMenu menu("Tiles");
    TilesMenu tiles(&menu, TileSets({folder()}));
    tiles.grouptilesmenu();
    QSignalSpy redraws(&tiles, &TilesMenu::picturesChanged), saves(&tiles, &TilesMenu::saveRequested);
    EXPECT_FALSE(tiles.pictures().has_value());  // the built-in pictures are in force
    EXPECT_TRUE(tiles.currentName().isEmpty());

    tiles.entry("wood")->trigger();
    ASSERT_TRUE(tiles.pictures().has_value());
    EXPECT_EQ(tiles.currentName(), "wood");
    EXPECT_TRUE(tiles.entry("wood")->isChecked());
    EXPECT_EQ(redraws.count(), 1);
    EXPECT_EQ(saves.count(), 1);
    const auto& p = *tiles.pictures();
    for (int i = 0; i < kTilePictures; ++i) {
        EXPECT_EQ(p[static_cast<std::size_t>(i)].size(), QSize(kTileSize, kTileSize));
        const int g = (5 * i + 3) % 250;
        EXPECT_EQ(pixel(p, i, 30, 30), qRgb(g, g, g + 1)) << "picture " << i;
        EXPECT_EQ(qAlpha(pixel(p, i, 2, 2)), 0) << "pure green is transparent in picture " << i;
        EXPECT_EQ(qAlpha(pixel(p, i, 8, 2)), 255);
    }

    tiles.entry("blue")->trigger();
    EXPECT_TRUE(tiles.entry("blue")->isChecked());
    EXPECT_FALSE(tiles.entry("wood")->isChecked());
    EXPECT_EQ(pixel(*tiles.pictures(), 10, 30, 30), qRgb(50, 50, 51));
}

TEST_F(TileFolder, ADeletedFileKeepsItsEntryChangesNoPictureButRecordsTheName) {
    ASSERT_TRUE(writeSet(file("blue.bmp")));
    ASSERT_TRUE(writeSet(file("wood.bmp"), kTilePictures * kTileSize, kTileSize, 3));
    QMenu menu("Tiles");
    TilesMenu tiles(&menu, TileSets({folder()}));
    tiles.grouptilesmenu();
    ASSERT_TRUE(tiles.loadgrouptiles("blue"));
    const QRgb before = pixel(*tiles.pictures(), 7, 30, 30);
    ASSERT_TRUE(QFile::remove(file("wood.bmp")));
    QSignalSpy saves(&tiles, &TilesMenu::saveRequested);

    tiles.entry("wood")->trigger();
    EXPECT_EQ(menu.actions().size(), 2);
    EXPECT_EQ(pixel(*tiles.pictures(), 7, 30, 30), before);
    EXPECT_EQ(tiles.currentName(), "wood");
    EXPECT_EQ(saves.count(), 1);
}

TEST_F(TileFolder, AStoredSetWithoutAFileChangesNothing) {
    ASSERT_TRUE(writeSet(file("blue.bmp")));
    QMenu menu("Tiles");
    TilesMenu tiles(&menu, TileSets({folder()}));
    tiles.grouptilesmenu();
    QSignalSpy redraws(&tiles, &TilesMenu::picturesChanged), saves(&tiles, &TilesMenu::saveRequested);
    EXPECT_FALSE(tiles.loadgrouptiles("marble"));
    EXPECT_FALSE(tiles.loadgrouptiles("../quorbittiles/blue"));  // never a path out of the folder
    EXPECT_FALSE(tiles.loadgrouptiles(""));
    EXPECT_FALSE(tiles.pictures().has_value());
    EXPECT_TRUE(tiles.currentName().isEmpty());
    EXPECT_FALSE(tiles.entry("blue")->isChecked());
    EXPECT_EQ(redraws.count() + saves.count(), 0);

    EXPECT_TRUE(tiles.loadgrouptiles("BLUE"));  // the settings may spell it otherwise
    EXPECT_EQ(tiles.currentName(), "blue");
    EXPECT_TRUE(tiles.entry("blue")->isChecked());
    EXPECT_EQ(redraws.count(), 1);
    EXPECT_EQ(saves.count(), 0);  // reading the settings never writes them
}

TEST_F(TileFolder, ABitmapTooSmallOrUnreadableLeavesThePicturesAsTheyWere) {
    ASSERT_TRUE(writeSet(file("blue.bmp")));
    ASSERT_TRUE(writeSet(file("narrow.bmp"), kTilePictures * kTileSize - 1, kTileSize));
    ASSERT_TRUE(writeSet(file("short.bmp"), kTilePictures * kTileSize, kTileSize - 1));
    {
        QFile junk(file("junk.bmp"));
        ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
        junk.write("BM this is not a bitmap at all");
    }
    TileSets sets({folder()});
    ASSERT_TRUE(sets.load("blue"));
    const QRgb before = pixel(*sets.pictures(), 3, 30, 30);
    for (const char* bad : {"narrow", "short", "junk"}) {
        EXPECT_FALSE(sets.load(bad)) << bad;
        EXPECT_EQ(pixel(*sets.pictures(), 3, 30, 30), before) << bad;
        EXPECT_EQ(sets.current(), bad);
    }
}

TEST_F(TileFolder, ALargerBitmapIsCutFromItsTopLeft) {
    ASSERT_TRUE(writeSet(file("big.bmp"), kTilePictures * kTileSize + 200, kTileSize + 40));
    TileSets sets({folder()});
    ASSERT_TRUE(sets.load("big"));
    EXPECT_EQ(pixel(*sets.pictures(), 35, 30, 30), qRgb(175, 175, 176));
}

TEST(ShippedTileSets, BlueAndAnotherSetAreWellFormed) {
    const QDir assets(QString(QUORBIT_SOURCE_DIR) + "/assets/tiles");
    TileSets sets({assets.path()});
    const QStringList names = sets.names();
    EXPECT_TRUE(names.contains("blue"));
    EXPECT_GE(names.size(), 2);
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const QImage sheet(sets.fileOf(name));
        EXPECT_EQ(sheet.size(), QSize(kTilePictures * kTileSize, kTileSize));
        const auto pictures = TileSets::readSet(sets.fileOf(name));
        ASSERT_TRUE(pictures.has_value());
        auto alpha = [&](int i, int x, int y) { return qAlpha(pixel(*pictures, i, x, y)); };
        for (int x = 0; x < kTileSize; x += 5)
            for (int y = 0; y < kTileSize; y += 5) EXPECT_EQ(alpha(0, x, y), 0) << "picture 0 is never drawn";
        for (int i : {27, 30, 31, 32, 33, 34, 35}) {
            const QImage img = (*pictures)[static_cast<std::size_t>(i)].toImage().convertToFormat(QImage::Format_ARGB32);
            bool opaque = true;
            for (int y = 0; y < kTileSize; ++y)
                for (int x = 0; x < kTileSize; ++x) opaque = opaque && qAlpha(img.pixel(x, y)) == 255;
            EXPECT_TRUE(opaque) << "square picture " << i << " is opaque";
        }
        for (int i = 1; i <= 26; ++i) {
            EXPECT_EQ(alpha(i, 0, 0), 0) << "letter tile " << i << " shows the square at its corner";
            EXPECT_EQ(alpha(i, 28, 28), 255) << "letter tile " << i;
        }
        // The cross is a badge in the lower right corner, leaving the letter readable.
        EXPECT_EQ(alpha(28, 44, 44), 255);
        EXPECT_EQ(alpha(28, 28, 28), 0);
        EXPECT_EQ(alpha(28, 28, 4), 0);
        EXPECT_EQ(alpha(29, 28, 28), 0);    // the frame is open in the middle
        EXPECT_EQ(alpha(29, 28, 4), 255);
        // The special squares differ from each other and from the plain square.
        QSet<QRgb> middles;
        for (int i : {27, 30, 31, 32, 33, 34}) middles.insert(pixel(*pictures, i, 4, 50));
        EXPECT_EQ(middles.size(), 6);
    }
}

TEST(ShippedTileSets, TheGeneratorDrawsTheCommittedSetsAgain) {
    const QString tool = QFileInfo(QUORBIT_BINARY).dir().filePath("quorbit_mktiles");
    ASSERT_TRUE(QFileInfo(tool).isExecutable()) << tool.toStdString();
    QTemporaryDir dir;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.start(tool, {dir.path()});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0);
    const QStringList drawn = TileSets({dir.path()}).names();
    EXPECT_EQ(drawn, TileSets({QString(QUORBIT_SOURCE_DIR) + "/assets/tiles"}).names());
    for (const QString& name : drawn) {
        const QImage fresh = QImage(dir.filePath(name + ".bmp")).convertToFormat(QImage::Format_RGB32);
        const QImage shipped =
            QImage(QString(QUORBIT_SOURCE_DIR) + "/assets/tiles/" + name + ".bmp").convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(fresh.size(), shipped.size()) << name.toStdString();
        // Font rendering may differ by a shade between machines; a changed drawing does not.
        long long difference = 0;
        for (int y = 0; y < fresh.height(); ++y)
            for (int x = 0; x < fresh.width(); ++x) {
                const QRgb a = fresh.pixel(x, y), b = shipped.pixel(x, y);
                difference += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
            }
        EXPECT_LT(difference / (fresh.width() * fresh.height()), 2)
            << name.toStdString() << ": assets/tiles is out of date; run tools/make_media.sh";
    }
}
