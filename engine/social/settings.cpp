#include "social/settings.h"

#include "language/language.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "common/ascii.h"
#include "common/numbers.h"

namespace quorbit::social {
namespace {

std::string_view trim(std::string_view s) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\0'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

std::string oneLine(std::string_view v) {
    std::string out(v);
    for (char& c : out)
        if (c == '\n' || c == '\r' || c == '\0') c = ' ';
    return out;
}

// An integer setting: the strict conversion, with its fallback for anything else.
int intOr(const IniFile& ini, std::string_view key, int fallback) {
    auto v = ini.value(kSettingsSection, key);
    if (!v) return fallback;
    return toInt(*v).value_or(fallback);
}

std::optional<int> clampedField(const IniFile& ini, std::string_view key, std::string_view fallback,
                                const SpinRange& range) {
    const std::string text = ini.get(kSettingsSection, key, fallback);
    if (text.empty()) return std::nullopt;
    auto n = toInt(text);
    if (!n) return std::nullopt;
    return range.clamp(*n);
}

Colour colourOr(const IniFile& ini, std::string_view key) {
    return colourFromText(ini.get(kSettingsSection, key, "clblack")).value_or(kBlack);
}

// Cuts a UTF-8 text after `maxChars` characters, never inside a character.
std::string firstChars(std::string_view s, std::size_t maxChars) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto byte = static_cast<unsigned char>(s[i]);
        if ((byte & 0xC0) != 0x80) {  // the first byte of a character
            if (chars == maxChars) return std::string(s.substr(0, i));
            ++chars;
        }
    }
    return std::string(s);
}

}  // namespace

IniFile IniFile::parse(std::string_view text) {
    IniFile ini;
    ini.sections_.push_back(Section{});
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        const std::string_view t = trim(line);
        if (t.size() >= 2 && t.front() == '[' && t.find(']') != std::string_view::npos) {
            Section s;
            s.name = std::string(trim(t.substr(1, t.find(']') - 1)));
            s.hasHeader = true;
            ini.sections_.push_back(std::move(s));
            continue;
        }
        Line l;
        l.raw = std::string(line);
        const auto eq = t.find('=');
        if (eq != std::string_view::npos && t.front() != ';' && t.front() != '#') {
            l.key = std::string(trim(t.substr(0, eq)));
            l.value = std::string(trim(t.substr(eq + 1)));
        }
        ini.sections_.back().lines.push_back(std::move(l));
    }
    return ini;
}

std::string IniFile::text() const {
    std::string out;
    for (const Section& s : sections_) {
        if (s.hasHeader) out += "[" + s.name + "]\n";
        for (const Line& l : s.lines) out += (l.key.empty() ? l.raw : l.key + "=" + l.value) + "\n";
    }
    return out;
}

const IniFile::Section* IniFile::find(std::string_view name) const {
    for (const Section& s : sections_)
        if (s.hasHeader && equalsIgnoringAsciiCase(s.name, trim(name))) return &s;
    return nullptr;
}

IniFile::Section* IniFile::find(std::string_view name) {
    return const_cast<Section*>(std::as_const(*this).find(name));
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const {
    const Section* s = find(section);
    if (!s) return std::nullopt;
    for (const Line& l : s->lines)
        if (!l.key.empty() && equalsIgnoringAsciiCase(l.key, trim(key))) return l.value;
    return std::nullopt;
}

std::string IniFile::get(std::string_view section, std::string_view key, std::string_view fallback) const {
    auto v = value(section, key);
    return v ? *v : std::string(fallback);
}

void IniFile::set(std::string_view section, std::string_view key, std::string_view value) {
    const std::string k = oneLine(trim(key));
    const std::string v = oneLine(trim(value));
    Section* s = find(section);
    if (!s) {
        Section fresh;
        fresh.name = oneLine(trim(section));
        fresh.hasHeader = true;
        sections_.push_back(std::move(fresh));
        s = &sections_.back();
    }
    for (Line& l : s->lines)
        if (!l.key.empty() && equalsIgnoringAsciiCase(l.key, k)) {
            l.value = v;
            return;
        }
    // New keys go after the section's last entry, before any trailing blank lines.
    auto at = s->lines.end();
    while (at != s->lines.begin() && std::prev(at)->key.empty() && trim(std::prev(at)->raw).empty()) --at;
    s->lines.insert(at, Line{{}, k, v});
}

SettingsRead readSettings(const IniFile& ini) {
    SettingsRead r;
    const int size = intOr(ini, "Textsize", 8);
    r.textsize = (size >= kMinTextSize && size <= kMaxTextSize) ? size : 8;
    r.textcolor = colourOr(ini, "Textcolor");
    r.actioncolor = colourOr(ini, "Actioncolor");
    for (int n = 1; n <= kPhraseKeys; ++n) {
        std::string p = ini.get(kSettingsSection, "Phrase" + std::to_string(n), "");
        if (!p.empty()) r.phrases[static_cast<std::size_t>(n - 1)] = std::move(p);
    }
    r.playsounds = ini.get(kSettingsSection, "Playsounds", "true") != "false";
    r.postwords = ini.get(kSettingsSection, "Postwordsinchatbox", "false") == "true";
    r.playtoscore = clampedField(ini, "Playtoscore", "110", kPlayToScoreRange);
    r.creationtime = clampedField(ini, "Creationtime", "70", kTimePerTurnRange);
    r.shuffles = clampedField(ini, "Shuffles", "1", kShufflesRange);
    std::string tiles = ini.get(kSettingsSection, "Tiles", "blue");
    if (tiles.empty()) tiles = "blue";
    r.tilesClassic = equalsIgnoringAsciiCase(tiles, "classic");
    r.tiles = std::move(tiles);
    r.bounds.top = intOr(ini, "Top", kDefaultTop);
    r.bounds.left = intOr(ini, "Left", kDefaultLeft);
    r.bounds.width = intOr(ini, "Width", kDefaultWidth);
    r.bounds.height = intOr(ini, "Height", kDefaultHeight);
    // A window of no size, or one larger than any screen, is not a saved geometry.
    if (r.bounds.width <= 0 || r.bounds.width > 32767) r.bounds.width = kDefaultWidth;
    if (r.bounds.height <= 0 || r.bounds.height > 32767) r.bounds.height = kDefaultHeight;
    const std::string turn = ini.get(kSettingsSection, "Turnsound", "0");
    r.turnsound = turn == "1" ? 1 : (turn == "2" ? 2 : 0);
    r.zubolevel = rules::parseZuboLevel(ini.get(kSettingsSection, "Zubolevel", "classic")).value_or(rules::ZuboLevel::Classic);
    r.bestwords = ini.get(kSettingsSection, "Bestwords", "false") == "true";
    r.askbeforeleaving = ini.get(kSettingsSection, "Askbeforeleaving", "true") != "false";
    const std::string code = ini.get(kSettingsSection, "Language", "en");
    if (language::find(code)) r.language = code;
    return r;
}

void writeSettings(IniFile& ini, const SettingsSave& s) {
    const auto put = [&](std::string_view key, const std::string& value) { ini.set(kSettingsSection, key, value); };
    put("Textsize", std::to_string(s.textsize));
    put("Textcolor", colourToText(s.textcolor));
    put("Actioncolor", colourToText(s.actioncolor));
    put("Playtoscore", std::to_string(s.playtoscore));
    put("Creationtime", std::to_string(s.creationtime));
    put("Shuffles", std::to_string(s.shuffles));
    put("Tiles", s.tiles);
    put("Top", std::to_string(s.bounds.top));
    put("Left", std::to_string(s.bounds.left));
    put("Width", std::to_string(s.bounds.width));
    put("Height", std::to_string(s.bounds.height));
    put("Turnsound", std::to_string(s.turnsound == 1 || s.turnsound == 2 ? s.turnsound : 0));
    put("Playsounds", s.playsounds ? "true" : "false");
    put("Postwordsinchatbox", s.postwords ? "true" : "false");
    put("Zubolevel", std::string(rules::zuboLevelName(s.zubolevel)));
    put("Bestwords", s.bestwords ? "true" : "false");
    put("Askbeforeleaving", s.askbeforeleaving ? "true" : "false");
    put("Language", language::find(s.language) ? s.language : "en");
}

void writePhrase(IniFile& ini, int n, std::string_view phrase) {
    if (n < 1 || n > kPhraseKeys) return;
    ini.set(kSettingsSection, "Phrase" + std::to_string(n), firstChars(phrase, kMaxPhraseLength));
}

std::optional<WindowBounds> boundsToSave(const WindowBounds& window, const WindowBounds& saved,
                                         int workWidth, int workHeight) {
    if (window == saved) return std::nullopt;
    WindowBounds out = window;
    if (out.width > workWidth) out.width -= 15;
    if (out.height > workHeight) out.height -= 15;
    return out;
}

}  // namespace quorbit::social
