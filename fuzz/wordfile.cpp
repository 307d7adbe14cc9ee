// Opens an arbitrary file as the word file and looks words up in it.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "dictionary/dictn.h"

using namespace quorbit::dictionary;
namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("fuzz-wordfile-" + std::to_string(::getpid()));
        fs::create_directories(d);
        return d;
    }();
    {
        std::ofstream out(dir / "English", std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    TDictn d(dir, "");
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    d.IsWord(text.substr(0, 20));
    d.IsWord("cat");
    d.IsWord("");
    d.IsWord(std::string(size % 40, 'Z'));
    return 0;
}
