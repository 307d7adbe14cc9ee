#pragma once
// The sound cues the game carries: name, and the wave format each is recorded in.
// Plain C++ so that the generator in tools/ and the tests read the same table.
#include <array>
#include <string_view>

namespace quorbit::media {

struct CueFormat {
    std::string_view name;  // lower case; the event name that plays it
    int rate;               // samples per second
    int bits;               // 8 (unsigned) or 16 (signed little-endian)
    int channels;
    int milliseconds;       // length of the recording
};

inline constexpr std::array<CueFormat, 13> kCues{{
    {"badword", 44100, 16, 1, 350},
    {"clear", 44100, 16, 1, 260},
    {"entered", 11025, 8, 1, 790},
    {"gameover", 22050, 8, 1, 1060},
    {"goodword", 44100, 16, 1, 220},
    {"place", 44100, 16, 1, 220},
    {"roundover", 11025, 8, 1, 1250},
    {"shift", 11025, 16, 1, 290},
    {"shuffle", 22050, 8, 1, 1170},
    {"start", 22050, 8, 1, 1000},
    {"timer", 44100, 16, 1, 100},
    {"turn", 11025, 16, 2, 570},
    {"turnnew", 44100, 8, 1, 430},
}};

// Sample frames in a cue of that format: the length rounded to the nearest frame.
inline constexpr int cueFrames(const CueFormat& c) { return (c.rate * c.milliseconds + 500) / 1000; }

}  // namespace quorbit::media
