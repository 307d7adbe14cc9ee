#include "app/social/mainwindow.h"

namespace quorbit::social {

QWidget* gameMainWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "Tchat") return w;
    return nullptr;
}

}  // namespace quorbit::social
