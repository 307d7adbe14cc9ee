#pragma once
// The settings file: an INI text whose section and key names match without regard to
// letter case, and the client's options read from and written to its one section.
//
// IniFile keeps every line it was given (comments, blank lines, other sections, lines it
// cannot read), so a save changes only the keys it writes; a key that is not there yet
// is added at the end of its section, a missing section at the end of the file.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "social/colour.h"
#include "rules/zubolevel.h"

namespace quorbit::social {

class IniFile {
public:
    IniFile() = default;
    // Any text reads: a line that is neither "[section]" nor "key=value" is kept as it is
    // and otherwise ignored; a NUL byte or a Windows line end is never part of a value.
    static IniFile parse(std::string_view text);
    std::string text() const;  // lines ended by "\n"

    // The first entry of that key in the first section of that name (names compared
    // ASCII case-insensitively, surrounding blanks ignored); nothing when missing.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    std::string get(std::string_view section, std::string_view key, std::string_view fallback) const;
    // Replaces the value in place, or adds the key. Line ends in `value` become blanks,
    // so one key can never turn into several lines.
    void set(std::string_view section, std::string_view key, std::string_view value);

private:
    struct Line {
        std::string raw;    // the text as read, for lines that are not entries
        std::string key;    // an entry when not empty
        std::string value;
    };
    struct Section {
        std::string name;  // empty for the lines before the first section header
        bool hasHeader = false;
        std::vector<Line> lines;
    };
    Section* find(std::string_view name);
    const Section* find(std::string_view name) const;
    std::vector<Section> sections_;
};

inline constexpr std::string_view kSettingsFileName = "orvanelobby.ini";
inline constexpr std::string_view kSettingsSection = "Quorbit";  // the game token
inline constexpr int kPhraseKeys = 10;
inline constexpr int kDefaultWidth = 790;
inline constexpr int kDefaultHeight = 580;
inline constexpr int kDefaultTop = 3;
inline constexpr int kDefaultLeft = 3;

// The game-start dialog's fields: ranges and steps.
struct SpinRange {
    int min;
    int max;
    int step;
    int clamp(int v) const { return v < min ? min : (v > max ? max : v); }
};
inline constexpr SpinRange kPlayToScoreRange{100, 10000, 50};
inline constexpr SpinRange kTimePerTurnRange{30, 120, 5};
inline constexpr SpinRange kShufflesRange{0, 5, 1};
// Chat font sizes outside this range are not usable and read as the default 8.
inline constexpr int kMinTextSize = 1;
inline constexpr int kMaxTextSize = 72;

struct WindowBounds {
    int left = kDefaultLeft;
    int top = kDefaultTop;
    int width = kDefaultWidth;
    int height = kDefaultHeight;
    friend bool operator==(const WindowBounds&, const WindowBounds&) = default;
};

// What reading the file yields, every value already defaulted and clamped.
struct SettingsRead {
    int textsize = 8;
    Colour textcolor = kBlack;
    Colour actioncolor = kBlack;
    // A phrase only where the file holds a non-empty one; the rest keep the built-in.
    std::array<std::optional<std::string>, kPhraseKeys> phrases{};
    bool playsounds = true;
    bool postwords = false;
    // Clamped to the dialog's ranges; nothing where the value is empty or no number,
    // which leaves the dialog's field as it was.
    std::optional<int> playtoscore;
    std::optional<int> creationtime;
    std::optional<int> shuffles;
    std::string tiles = "blue";  // the set to load; "blue" for an empty value
    bool tilesClassic = false;   // "classic" in any case: the built-in pictures stay
    WindowBounds bounds;
    int turnsound = 0;  // 0 Classic, 1 New, 2 Default
    rules::ZuboLevel zubolevel = rules::ZuboLevel::Classic;  // any other text reads as Classic
    bool bestwords = false;  // "best: WORD N" after each word
    bool askbeforeleaving = true;  // Exit, Join and Host ask first while a game runs
    // The language of the games this host starts (ISO 639-1); a file without the key, or
    // with a code this program has not built, reads as English.
    std::string language = "en";
};

// What a full save writes, in this order: Textsize, Textcolor, Actioncolor, Playtoscore,
// Creationtime, Shuffles, Tiles, Top, Left, Width, Height, Turnsound, Playsounds,
// Postwordsinchatbox, Zubolevel, Bestwords, Askbeforeleaving, Language. The phrases are written only by the phrase window.
struct SettingsSave {
    int textsize = 8;
    Colour textcolor = kBlack;
    Colour actioncolor = kBlack;
    int playtoscore = 500;
    int creationtime = 60;
    int shuffles = 1;
    std::string tiles;
    WindowBounds bounds;
    int turnsound = 0;
    bool playsounds = true;
    bool postwords = false;
    rules::ZuboLevel zubolevel = rules::ZuboLevel::Classic;
    bool bestwords = false;
    bool askbeforeleaving = true;
    std::string language = "en";
};

SettingsRead readSettings(const IniFile& ini);
void writeSettings(IniFile& ini, const SettingsSave& save);
// Phrase n (1..10) as edited: at most 50 characters are kept.
void writePhrase(IniFile& ini, int n, std::string_view phrase);
inline constexpr std::size_t kMaxPhraseLength = 50;

// The window geometry rule at close: nothing to save when the bounds equal the saved
// ones; otherwise a window wider (taller) than the work area loses 15 pixels of width
// (height), once. `workWidth`/`workHeight` describe the desktop's work area.
std::optional<WindowBounds> boundsToSave(const WindowBounds& window, const WindowBounds& saved,
                                         int workWidth, int workHeight);

}  // namespace quorbit::social
