#pragma once
// The game's main window ("Tchat"), for the small windows that act on it without owning
// a pointer to it: the about window centres on it, the download window closes it.
#include <QWidget>

namespace quorbit::social {

// The top-level window named "Tchat", or nullptr when there is none.
QWidget* gameMainWindow();

// The first top-level window of class T, or nullptr.
template <class T>
T* topLevel();

}  // namespace quorbit::social

#include <QApplication>

template <class T>
T* quorbit::social::topLevel() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (T* t = qobject_cast<T*>(w)) return t;
    return nullptr;
}
