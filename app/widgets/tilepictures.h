#pragma once
// The board's pictures: 36 tiles of 56 x 56 (letters, squares, marks, rack slot) and the
// six shuffles pictures of 12 x 41, drawn at start ("classic") or cut from a tile-set
// strip whose pure green is transparent. Sizes are in design pixels; the pictures hold
// `resolution()` device pixels for each, so that a window drawn larger shows them crisp:
// the built-in set is drawn again at that resolution, a set from a file is scaled to it.
#include <QImage>
#include <QPixmap>
#include <array>

#include "rules/letters.h"

namespace quorbit::app {

inline constexpr int kTilePictureCount = 36;
// The side of a tile and of a board square, in design pixels: the one home of that size.
inline constexpr int kTilePixels = 56;
inline constexpr int kShufflesPictureCount = 6;

class TilePictures {
public:
    // The built-in set, its letters showing `values`.
    static TilePictures classic(qreal resolution = 1, const rules::LetterValues& values = rules::kEnglishValues);

    // The tiles for a language's letter values (English's until told otherwise): the
    // built-in set is drawn with them; a set from a file has the worth in the top-left
    // corner of each letter whose value differs painted over with the face beside it and
    // written anew (the shipped sets draw their worth there, in a corner of plain face).
    // The values stay in force for every set loaded later.
    void setValues(const rules::LetterValues& values);
    const rules::LetterValues& values() const { return values_; }

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
    void applyValues();  // source_ from file_ with values_

    std::array<QPixmap, kTilePictureCount> pictures_;
    std::array<QPixmap, kTilePictureCount> file_;    // a set from a file, as cut; empty for the built-in one
    std::array<QPixmap, kTilePictureCount> source_;  // the same with values_ shown
    bool builtIn_ = true;
    qreal resolution_ = 1;
    rules::LetterValues values_ = rules::kEnglishValues;
    std::array<QPixmap, kShufflesPictureCount> shuffles_;
};

}  // namespace quorbit::app
