#pragma once
// Tile sets: the folder `quorbittiles` of bitmaps, each holding the 36 pictures of the
// board and rack side by side, and the set currently in force.
//
// A set's file is NAME.bmp; it must be at least 36 tiles wide and one tall (a tile is
// app::kTilePixels square), picture i being the tile at x = i tiles, y = 0; pure green (0, 255, 0) is transparent. Until a set is loaded
// the window's built-in ("classic") pictures are in force.
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

#include "app/widgets/tilepictures.h"

namespace quorbit::media {

inline constexpr int kTilePictures = app::kTilePictureCount;
inline constexpr int kTileSize = app::kTilePixels;
using TilePictures = std::array<QPixmap, kTilePictures>;

class TileSets {
public:
    // The folders to look in, first match winning: `quorbittiles` in the folder of the
    // user's files (besideProgramFolder()), then `quorbittiles` in each folder of the
    // shipped data (the program's own folder, the installed share/quorbit).
    static QStringList defaultFolders();

    explicit TileSets(QStringList folders = defaultFolders());

    // The set names, one per *.bmp file: the file name up to its first ".", in the order
    // the folders list them. Names that repeat (in any letter case) and empty names are
    // listed once or not at all. No folder, no files: an empty list.
    QStringList names() const;

    // The file of a set, or empty when there is none. The name is matched without regard
    // to letter case; a name holding a "/" or starting with "." never names a file.
    QString fileOf(const QString& name) const;

    // Cuts a bitmap into the 36 pictures; nothing when it cannot be read or is smaller
    // than 36 tiles by one.
    static std::optional<TilePictures> readSet(const QString& file);

    // Loads a set by name. No file: nothing changes and false. A file: its name becomes
    // the current set name; its pictures replace the loaded ones if it reads (true),
    // otherwise the pictures stay as they were (false).
    bool load(const QString& name);

    // A choice from the Tiles menu: loads the set and records its name as current even
    // when its file has gone. True when the pictures changed.
    bool choose(const QString& name);

    QString current() const { return current_; }
    // The pictures of the last set that loaded; nothing while the built-in ones are in force.
    const std::optional<TilePictures>& pictures() const { return pictures_; }
    const QStringList& folders() const { return folders_; }

private:
    QStringList folders_;
    QString current_;
    std::optional<TilePictures> pictures_;
};

}  // namespace quorbit::media
