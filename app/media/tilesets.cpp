#include "app/media/tilesets.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>

#include "app/support/paths.h"

namespace quorbit::media {

namespace {

const char* const kTileFolder = "quorbittiles";

QString setName(const QString& fileName) { return fileName.section('.', 0, 0); }

bool usableName(const QString& name) {
    return !name.isEmpty() && !name.contains('/') && !name.contains('\\') && !name.startsWith('.');
}

}  // namespace

QStringList TileSets::defaultFolders() {
    QStringList folders{QDir(app::besideProgramFolder()).filePath(kTileFolder)};
    for (const QString& shipped : app::shippedDataFolders()) {
        const QString folder = QDir(shipped).filePath(kTileFolder);
        bool known = false;
        for (const QString& f : folders) known = known || QFileInfo(f).absoluteFilePath() == QFileInfo(folder).absoluteFilePath();
        if (!known) folders << folder;
    }
    return folders;
}

TileSets::TileSets(QStringList folders) : folders_(std::move(folders)) {}

QStringList TileSets::names() const {
    QStringList out;
    for (const QString& folder : folders_) {
        const QDir dir(folder);
        if (!dir.exists()) continue;
        // By name, as a directory listing reads on the desktops the sets come from.
        const QStringList files = dir.entryList({"*.bmp"}, QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
        for (const QString& file : files) {
            const QString name = setName(file);
            if (!usableName(name) || out.contains(name, Qt::CaseInsensitive)) continue;
            out << name;
        }
    }
    return out;
}

QString TileSets::fileOf(const QString& name) const {
    if (!usableName(name)) return {};
    for (const QString& folder : folders_) {
        const QDir dir(folder);
        const QString exact = dir.filePath(name + ".bmp");
        if (QFileInfo(exact).isFile()) return exact;
        // The settings may spell the name in another letter case than the file.
        for (const QString& file : dir.entryList({"*.bmp"}, QDir::Files, QDir::Name))
            if (file.compare(name + ".bmp", Qt::CaseInsensitive) == 0) return dir.filePath(file);
    }
    return {};
}

std::optional<TilePictures> TileSets::readSet(const QString& file) {
    QImage image(file);
    if (image.isNull() || image.width() < kTilePictures * kTileSize || image.height() < kTileSize) return std::nullopt;
    image = image.convertToFormat(QImage::Format_ARGB32);
    // Pure green is the transparent colour; every other colour is drawn as it is.
    for (int y = 0; y < kTileSize; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kTilePictures * kTileSize; ++x)
            if ((line[x] & 0x00FFFFFFu) == 0x0000FF00u) line[x] = 0;
    }
    TilePictures pictures;
    for (int i = 0; i < kTilePictures; ++i)
        pictures[static_cast<std::size_t>(i)] = QPixmap::fromImage(image.copy(i * kTileSize, 0, kTileSize, kTileSize));
    return pictures;
}

bool TileSets::load(const QString& name) {
    const QString file = fileOf(name);
    if (file.isEmpty()) return false;
    current_ = setName(QFileInfo(file).fileName());
    auto read = readSet(file);
    if (!read) return false;
    pictures_ = std::move(read);
    return true;
}

bool TileSets::choose(const QString& name) {
    const bool changed = load(name);
    current_ = name;
    return changed;
}

}  // namespace quorbit::media
