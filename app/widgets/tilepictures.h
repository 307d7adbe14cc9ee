#pragma once
// The board's pictures: 36 tiles of 56 x 56 (letters, squares, marks, rack slot) and the
// six shuffles pictures of 12 x 41, drawn at start ("classic") or cut from a tile-set
// strip whose pure green is transparent.
#include <QImage>
#include <QPixmap>
#include <array>

namespace quorbit::app {

inline constexpr int kTilePictureCount = 36;
inline constexpr int kTilePixels = 56;
inline constexpr int kShufflesPictureCount = 6;

class TilePictures {
public:
    // The built-in set.
    static TilePictures classic();

    // Picture i = the square at x = 56 i of a strip at least 2016 x 56; false (and
    // nothing changed) for a smaller or empty image.
    bool loadStrip(const QImage& strip);
    // Takes a whole set of 36 pictures cut elsewhere (a tile-set file).
    void setPictures(const std::array<QPixmap, kTilePictureCount>& pictures) { pictures_ = pictures; }

    // Index 0..35; any other index gives the blank (fully transparent) picture.
    const QPixmap& picture(int index) const;
    // n boxes, n clamped to 0..5.
    const QPixmap& shuffles(int n) const;

private:
    std::array<QPixmap, kTilePictureCount> pictures_;
    std::array<QPixmap, kShufflesPictureCount> shuffles_;
};

}  // namespace quorbit::app
