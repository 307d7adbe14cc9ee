#pragma once
// The headless server as a child process, on a free loopback port, in a working folder
// of its own.
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "testkit/wire_client.h"

namespace quorbit::e2e {

// A fresh working folder per server, for the word file it writes.
struct ServerProcess {
    std::filesystem::path dir;
    int port = freePort();
    std::unique_ptr<Process> process;

    explicit ServerProcess(const std::vector<std::string>& extra = {}) {
        dir = std::filesystem::temp_directory_path() /
              ("quorbit-e2e-" + std::to_string(::getpid()) + "-" + std::to_string(port));
        std::filesystem::create_directories(dir);
        // Its store and other files in that folder too, never in the user's own.
        std::string cmd = "cd '" + dir.string() + "' && QUORBIT_DATA_DIR='" + dir.string() + "' exec '" +
                          QUORBIT_BINARY + "' --server";
        for (const auto& e : extra) cmd += " " + e;
        if (extra.empty()) cmd += " --port " + std::to_string(port);
        process = std::make_unique<Process>("/bin/sh", std::vector<std::string>{"-c", cmd});
    }
    ~ServerProcess() {
        process.reset();
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

}  // namespace quorbit::e2e
