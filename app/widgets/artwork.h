#pragma once
// The window's small pictures besides the tiles: direction arrows, the eye mark, the
// turn pointer, the bonus animation's frames, the phrase buttons and the start picture.
#include <QPixmap>
#include <QRect>
#include <QString>

class QPushButton;
class QWidget;

namespace quorbit::app::artwork {

QPixmap arrow(int direction);       // 1 above (points down) .. 4 left (points right)
QPixmap eyes();                     // 22 x 9
QPixmap turnPointer();              // 10 x 40
QPixmap bonusFrame(int frame);      // 217 x 19, frame 0..4
inline constexpr int kBonusFrames = 5;
QPixmap phraseIcon(int n);          // 30 x 22, button 1..10
QPixmap startPicture(const QString& caption, int width, int height);

// The style of the game's flat buttons.
QString buttonStyle(const QString& colour);
// One of the game's flat buttons, named, placed and in that colour.
QPushButton* flatButton(QWidget* parent, const char* name, const QString& text, QRect where, const QString& colour);

}  // namespace quorbit::app::artwork
