// Program entry for Quorbit.
#include <QApplication>
#include <cstdio>

#include "shell/cmdline.h"
#include "shell/headless.h"
#include "shell/program.h"

int main(int argc, char** argv) {
    // The headless server needs no display, so it is chosen before any window system.
    if (quorbit::shell::wantsServer(argc, argv)) return quorbit::shell::runHeadless(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName("Quorbit");
    std::vector<std::string> args;
    const QStringList qargs = QApplication::arguments();
    for (qsizetype i = 1; i < qargs.size(); ++i) args.push_back(qargs[i].toStdString());
    const quorbit::shell::CommandLine line = quorbit::shell::parseCommandLine(args);
    if (!line.error.empty()) {
        std::fprintf(stderr, "quorbit: %s\nusage: quorbit [NAME HOST true|false] [--port N]\n       quorbit --server [--port N]\n",
                     line.error.c_str());
        return 2;
    }
    return quorbit::shell::runWindowed(line);
}
