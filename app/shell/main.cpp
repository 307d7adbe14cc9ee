// Program entry for Quorbit.
#include <QApplication>

#include "app/shell/cmdline.h"
#include "app/shell/headless.h"
#include "app/shell/program.h"
#include "app/shell/tablelist.h"
#include "app/shell/tilelist.h"

int main(int argc, char** argv) {
    namespace shell = quorbit::shell;
    // Help, version, a bad option, the headless server and a kept game's text need no
    // display, so they are settled before any window system is touched.
    const shell::CommandLine raw = shell::parseCommandLine(argc, argv);
    if (const int code = shell::finishEarly(raw); code >= 0) return code;

    // Qt reads its own options ("-platform", "-style", "-reverse" ...) out of the words it
    // is given: it gets only those that are no option of ours, so that no player name or
    // address given as an option value (or after "--") can reach it.
    std::vector<std::string> toolkitWords = shell::toolkitArguments(raw);
    std::vector<char*> toolkitArgv{argv[0]};
    for (std::string& word : toolkitWords) toolkitArgv.push_back(word.data());
    toolkitArgv.push_back(nullptr);
    int toolkitArgc = static_cast<int>(toolkitArgv.size()) - 1;

    if (raw.server) return shell::runHeadless(toolkitArgc, toolkitArgv.data(), raw);
    if (!raw.listTables.empty()) return shell::printTables(toolkitArgc, toolkitArgv.data(), raw.listTables);
    if (raw.tileSets) return shell::printTileSets(toolkitArgc, toolkitArgv.data());
    if (raw.summary) return shell::printSummary(raw);

    QApplication app(toolkitArgc, toolkitArgv.data());
    QApplication::setApplicationName("Quorbit");
    // The menu entry's name: desktops match the window to its entry and icon by it.
    QGuiApplication::setDesktopFileName("org.quorbit.Quorbit");
    // The launch parameters are what Qt left of its words.
    std::vector<std::string> left;
    const QStringList qargs = QApplication::arguments();
    for (qsizetype i = 1; i < qargs.size(); ++i) left.push_back(qargs[i].toStdString());
    shell::CommandLine line = shell::afterToolkit(raw, left);
    if (line.languageGiven)
        if (const int code = shell::loadChosenLanguage(line); code >= 0) return code;
    return shell::runWindowed(line);
}
