// Program entry for Quorbit.
#include <QApplication>

#include "shell/headless.h"
#include "shell/cmdline.h"

int main(int argc, char** argv) {
    // The headless server needs no display, so it is chosen before any window system.
    if (quorbit::shell::wantsServer(argc, argv)) return quorbit::shell::runHeadless(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName("Quorbit");
    return 0;
}
