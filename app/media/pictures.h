#pragma once
// The pictures of the help, about and download windows,
// drawn here rather than shipped as files.
#include <QPixmap>

namespace quorbit::media::pictures {

QPixmap windowBackground();    // 100 x 100, tiles seamlessly: the windows' background
QPixmap downloadBackground();  // 150 x 149, tiles seamlessly: the download window's own
QPixmap makerLogo();           // 88 x 88: the maker's mark
QPixmap lobbyPicture();        // 230 x 150: players around a board, for the download window

}  // namespace quorbit::media::pictures
