// Program entry for Quorbit.
#include <QApplication>

#include "shell/cmdline.h"
#include "shell/headless.h"
#include "shell/program.h"
#include "shell/tilelist.h"

int main(int argc, char** argv) {
    namespace shell = quorbit::shell;
    // Help, version, a bad option, the headless server and a kept game's text need no
    // display, so they are settled before any window system is touched.
    const shell::CommandLine raw = shell::parseCommandLine(argc, argv);
    if (const int code = shell::finishEarly(raw); code >= 0) return code;
    if (raw.server) return shell::runHeadless(argc, argv, raw);
    if (raw.tileSets) return shell::printTileSets(argc, argv);
    if (raw.summary) return shell::printSummary(raw);

    QApplication app(argc, argv);
    QApplication::setApplicationName("Quorbit");
    // The menu entry's name: desktops match the window to its entry and icon by it.
    QGuiApplication::setDesktopFileName("org.quorbit.Quorbit");
    // Read again without the options that Qt took for itself ("-platform", "-style" ...).
    std::vector<std::string> args;
    const QStringList qargs = QApplication::arguments();
    for (qsizetype i = 1; i < qargs.size(); ++i) args.push_back(qargs[i].toStdString());
    shell::CommandLine line = shell::parseCommandLine(args);
    if (const int code = shell::finishEarly(line); code >= 0) return code;
    // Qt takes "--name" for itself (the X11 "-name"); it was read before.
    if (line.name.empty()) line.name = raw.name;
    return shell::runWindowed(line);
}
