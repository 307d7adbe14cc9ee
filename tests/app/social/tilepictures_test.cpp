// The built-in pictures and tile-set strips.
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>
#include <set>

#include "app/widgets/tilepictures.h"

namespace quorbit::app {
namespace {

TEST(TilePictures, ClassicSetHasEveryPictureAtItsSize) {
    const TilePictures t = TilePictures::classic();
    std::set<qint64> distinct;
    for (int i = 0; i < kTilePictureCount; ++i) {
        const QPixmap& p = t.picture(i);
        EXPECT_EQ(p.size(), QSize(56, 56)) << i;
        distinct.insert(p.toImage().cacheKey() == 0 ? i : qHash(QByteArray(
            reinterpret_cast<const char*>(p.toImage().constBits()), static_cast<qsizetype>(p.toImage().sizeInBytes()))));
    }
    EXPECT_EQ(distinct.size(), 36u);  // no two pictures alike
    // Letters and marks are drawn over a square: their corners let it show through.
    for (int i : {1, 26, 28, 29}) EXPECT_EQ(qAlpha(t.picture(i).toImage().pixel(0, 0)), 0) << i;
    // Squares and the rack slot are opaque.
    for (int i : {27, 30, 31, 32, 33, 34, 35}) EXPECT_EQ(qAlpha(t.picture(i).toImage().pixel(28, 2)), 255) << i;
    EXPECT_TRUE(t.picture(-1).toImage() == t.picture(0).toImage());
    EXPECT_TRUE(t.picture(36).toImage() == t.picture(0).toImage());
    for (int n = 0; n <= 5; ++n) EXPECT_EQ(t.shuffles(n).size(), QSize(12, 41));
    EXPECT_TRUE(t.shuffles(9).toImage() == t.shuffles(5).toImage());
    EXPECT_FALSE(t.shuffles(1).toImage() == t.shuffles(2).toImage());
}

TEST(TilePictures, StripsAreCutWithPureGreenTransparent) {
    TilePictures t = TilePictures::classic();
    EXPECT_FALSE(t.loadStrip(QImage()));
    EXPECT_FALSE(t.loadStrip(QImage(2015, 56, QImage::Format_RGB32)));
    QImage strip(2016, 56, QImage::Format_RGB32);
    strip.fill(QColor(0, 255, 0));
    QPainter g(&strip);
    for (int i = 0; i < 36; ++i) g.fillRect(56 * i + 10, 10, 20, 20, QColor(i * 7, 0, 0));
    g.end();
    ASSERT_TRUE(t.loadStrip(strip));
    const QImage five = t.picture(5).toImage();
    EXPECT_EQ(qAlpha(five.pixel(0, 0)), 0);
    EXPECT_EQ(QColor(five.pixel(15, 15)), QColor(35, 0, 0));
}

}  // namespace
}  // namespace quorbit::app

namespace quorbit::app {
namespace {

bool same(const QPixmap& a, const QPixmap& b) { return a.toImage() == b.toImage(); }

// A language's values: the built-in tiles are drawn with them; a set from a file has only
// the letters whose value differs from English's repainted, in their worth corner alone.
TEST(TilePictures, TilesShowTheLanguagesValues) {
    rules::LetterValues values = rules::kEnglishValues;
    values[0] = 10;  // A
    TilePictures t = TilePictures::classic();
    const TilePictures english = TilePictures::classic();
    t.setValues(values);
    EXPECT_FALSE(same(t.picture(1), english.picture(1)));
    EXPECT_TRUE(same(t.picture(2), english.picture(2)));
    t.setResolution(2);  // drawn again at another size, still with the values
    EXPECT_FALSE(same(t.picture(1), TilePictures::classic(2).picture(1)));

    QImage strip(2016, 56, QImage::Format_RGB32);
    strip.fill(QColor(200, 180, 120));
    TilePictures file = TilePictures::classic();
    file.setValues(values);
    ASSERT_TRUE(file.loadStrip(strip));
    const QImage a = file.picture(1).toImage(), b = file.picture(2).toImage();
    EXPECT_FALSE(a == b);
    for (int y : {0, 30, 55})
        for (int x : {0, 30, 55}) EXPECT_EQ(a.pixel(x, y), b.pixel(x, y)) << x << "," << y;
    file.setValues(rules::kEnglishValues);  // back to the file as it is
    EXPECT_TRUE(same(file.picture(1), file.picture(2)));
}

}  // namespace
}  // namespace quorbit::app
