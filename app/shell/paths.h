#pragma once
// Where the files that live beside the program go (settings, tally, tile folder).
#include <QString>

namespace quorbit::app {

// The program's own folder when it can be written (a portable install); otherwise the
// per-user application data folder, created if needed. QUORBIT_DATA_DIR, when set,
// names the folder instead (tests and several players on one account use it).
QString besideProgramFolder();

}  // namespace quorbit::app
