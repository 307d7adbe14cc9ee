// Program entry for Quorbit.
#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Quorbit");
    return 0;
}
