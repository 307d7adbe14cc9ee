#pragma once
// The per-user temporary folder for files the program must write when the current
// folder cannot be written.
#include <filesystem>

namespace quorbit::dictionary {

// "quorbit-<uid>" under XDG_RUNTIME_DIR (else the system's temporary folder), created
// with mode 0700. Empty when it is not a directory of this user's own (a link, or made
// by somebody else): nothing is written there then.
std::filesystem::path privateTempFolder();

}  // namespace quorbit::dictionary
