#include "dictionary/private_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace quorbit::dictionary {
namespace fs = std::filesystem;

fs::path privateTempFolder() {
    std::error_code ec;
    fs::path base;
    if (const char* run = std::getenv("XDG_RUNTIME_DIR"); run && *run) base = run;
    else base = fs::temp_directory_path(ec);
    if (base.empty()) return {};
    fs::path dir = base / ("quorbit-" + std::to_string(::getuid()));
    ::mkdir(dir.c_str(), 0700);
    struct stat st {};
    if (::lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) return {};
    // Our own folder with a looser mode is closed again.
    if ((st.st_mode & 077) != 0 && ::chmod(dir.c_str(), 0700) != 0) return {};
    return dir;
}

}  // namespace quorbit::dictionary
