#include "app/shell/tilelist.h"

#include <QCoreApplication>
#include <cstdio>

#include "app/media/tilesets.h"

namespace quorbit::shell {

int printTileSets(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("Quorbit");
    for (const QString& name : media::TileSets().names()) std::printf("%s\n", name.toUtf8().constData());
    return 0;
}

}  // namespace quorbit::shell
