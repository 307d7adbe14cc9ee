// Feeds arbitrary bytes to the settings file reader, and checks that what a save
// writes over them reads back to the same options.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "social/settings.h"

using namespace quorbit::social;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    IniFile ini = IniFile::parse(text);
    const SettingsRead r = readSettings(ini);
    if (r.textsize < kMinTextSize || r.textsize > kMaxTextSize) std::abort();

    SettingsSave s;
    s.textsize = r.textsize;
    s.textcolor = r.textcolor;
    s.tiles = r.tiles;
    s.bounds = r.bounds;
    s.turnsound = r.turnsound;
    writeSettings(ini, s);
    writePhrase(ini, 1, text.substr(0, 80));
    const SettingsRead again = readSettings(IniFile::parse(ini.text()));
    if (again.textsize != s.textsize || !(again.bounds == s.bounds) || again.turnsound != s.turnsound ||
        again.textcolor != s.textcolor)
        std::abort();
    return 0;
}
