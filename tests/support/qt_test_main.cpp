// Test entry for the Qt test programs: a QApplication needs a platform, and
// tests never need a display, so the offscreen platform is the default.
#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (!std::getenv("XDG_RUNTIME_DIR")) setenv("XDG_RUNTIME_DIR", "/tmp", 0);
    // Hosted games announce themselves through the system bus's Avahi daemon: tests
    // never reach the machine's own, only one they start themselves (and name here).
    const char* ownBus = std::getenv("QUORBIT_TEST_SYSTEM_BUS");
    setenv("DBUS_SYSTEM_BUS_ADDRESS", ownBus ? ownBus : "unix:path=/nonexistent/quorbit-tests-no-bus", 1);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
