#pragma once
// The board's pictures: 36 tiles of 56 x 56 (letters, squares, marks, rack slot) and the
// six shuffles pictures of 12 x 41, drawn at start ("classic") or cut from a tile-set
// strip whose pure green is transparent. Sizes are in design pixels; the pictures hold
// `resolution()` device pixels for each, so that a window drawn larger shows them crisp:
// the built-in set is drawn again at that resolution, a set from a file is scaled to it.
#include <QImage>
#include <QPixmap>
#include <array>

namespace quorbit::app {

inline constexpr int kTilePictureCount = 36;
// The side of a tile and of a board square, in design pixels: the one home of that size.
inline constexpr int kTilePixels = 56;
inline constexpr int kShufflesPictureCount = 6;

class TilePictures {
public:
    // The built-in set.
    static TilePictures classic(qreal resolution = 1);

    // Picture i = the square at x = 56 i of a strip at least 2016 x 56; false (and
    // nothing changed) for a smaller or empty image.
    bool loadStrip(const QImage& strip);
    // Takes a whole set of 36 pictures cut elsewhere (a tile-set file).
    void setPictures(const std::array<QPixmap, kTilePictureCount>& pictures);
    // Device pixels per design pixel (the window's scale times the screen's).
    void setResolution(qreal resolution);
    qreal resolution() const { return resolution_; }

    // Index 0..35; any other index gives the blank (fully transparent) picture.
    const QPixmap& picture(int index) const;
    // n boxes, n clamped to 0..5.
    const QPixmap& shuffles(int n) const;

private:
    void scaleSource();

    std::array<QPixmap, kTilePictureCount> pictures_;
    std::array<QPixmap, kTilePictureCount> source_;  // a set from a file, as cut; empty for the built-in one
    bool builtIn_ = true;
    qreal resolution_ = 1;
    std::array<QPixmap, kShufflesPictureCount> shuffles_;
};

}  // namespace quorbit::app
