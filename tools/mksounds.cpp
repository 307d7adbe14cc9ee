// Synthesises the game's thirteen sound cues as uncompressed PCM wave files.
//
//   quorbit_mksounds OUTPUT_FOLDER
//
// Every cue is built from a few plain ingredients (bell-like tones with harmonics and an
// exponential decay, pitch glides, filtered noise from a fixed-seed generator), mixed
// in floating point, normalised and written in the rate, sample size and channel count
// that the cue table names. The output is the same on every run.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

#include "app/media/cues.h"

namespace {

using quorbit::media::CueFormat;
constexpr double kTau = 2.0 * std::numbers::pi;

// A mono or stereo buffer of float samples in -1..1, the length of one cue.
struct Buffer {
    double rate;
    std::vector<double> left, right;
    Buffer(const CueFormat& c)
        : rate(c.rate), left(static_cast<std::size_t>(quorbit::media::cueFrames(c))), right(left.size()) {}
    std::size_t frames() const { return left.size(); }
    double seconds() const { return static_cast<double>(frames()) / rate; }
};

// A fixed-seed generator for the noise parts, so that each run writes the same bytes.
class Noise {
public:
    double next() {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state_ >> 11) / static_cast<double>(1ULL << 53) * 2.0 - 1.0;
    }

private:
    std::uint64_t state_ = 0x51A7E5C0FFEEULL;
};

struct Tone {
    double start = 0;       // seconds
    double length = 0.2;    // seconds
    double freq = 440;      // Hz at the start
    double freqEnd = 0;     // Hz at the end (0: no glide)
    double amp = 0.5;
    double decay = 6;       // exponential decay rate per second
    double attack = 0.004;  // seconds
    double pan = 0;         // -1 left .. 1 right
    // Relative strengths of the 2nd, 3rd and 4th harmonics: a bell or a reed.
    double h2 = 0.3, h3 = 0.1, h4 = 0.05;
};

void addTone(Buffer& b, const Tone& t) {
    const auto first = static_cast<std::size_t>(t.start * b.rate);
    const auto count = static_cast<std::size_t>(t.length * b.rate);
    const double gl = std::sqrt((1.0 - t.pan) / 2.0), gr = std::sqrt((1.0 + t.pan) / 2.0);
    double phase = 0;
    for (std::size_t i = 0; i < count && first + i < b.frames(); ++i) {
        const double s = static_cast<double>(i) / b.rate;
        const double f = t.freqEnd > 0 ? t.freq + (t.freqEnd - t.freq) * (s / t.length) : t.freq;
        phase += kTau * f / b.rate;
        double env = std::exp(-t.decay * s);
        if (s < t.attack) env *= s / t.attack;
        const double tail = t.length - s;  // a short release so a tone never ends in a click
        if (tail < 0.008) env *= std::max(0.0, tail / 0.008);
        const double v = std::sin(phase) + t.h2 * std::sin(2 * phase) + t.h3 * std::sin(3 * phase) +
                         t.h4 * std::sin(4 * phase);
        b.left[first + i] += t.amp * env * v * gl;
        b.right[first + i] += t.amp * env * v * gr;
    }
}

// Noise through a one-pole low-pass whose corner moves from `from` to `to` Hz.
void addNoise(Buffer& b, Noise& n, double start, double length, double amp, double from, double to,
              double decay) {
    const auto first = static_cast<std::size_t>(start * b.rate);
    const auto count = static_cast<std::size_t>(length * b.rate);
    double y = 0;
    for (std::size_t i = 0; i < count && first + i < b.frames(); ++i) {
        const double s = static_cast<double>(i) / b.rate;
        const double corner = from + (to - from) * (s / length);
        const double a = 1.0 - std::exp(-kTau * corner / b.rate);
        y += a * (n.next() - y);
        double env = std::exp(-decay * s);
        if (s < 0.01) env *= s / 0.01;
        const double tail = length - s;
        if (tail < 0.01) env *= std::max(0.0, tail / 0.01);
        b.left[first + i] += amp * env * y;
        b.right[first + i] += amp * env * y;
    }
}

// Scales the loudest sample to `peak` and fades the last few milliseconds to silence.
void finish(Buffer& b, double peak = 0.85) {
    double top = 1e-9;
    for (std::size_t i = 0; i < b.frames(); ++i) top = std::max({top, std::abs(b.left[i]), std::abs(b.right[i])});
    const auto fade = static_cast<std::size_t>(0.006 * b.rate);
    for (std::size_t i = 0; i < b.frames(); ++i) {
        double g = peak / top;
        const std::size_t fromEnd = b.frames() - 1 - i;
        if (fromEnd < fade) g *= static_cast<double>(fromEnd) / static_cast<double>(fade);
        b.left[i] *= g;
        b.right[i] *= g;
    }
}

double note(int semitonesFromA4) { return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0); }

// --- the cues -------------------------------------------------------------------------

void badword(Buffer& b) {  // a low two-step "bonk" downward
    addTone(b, {.start = 0, .length = 0.16, .freq = 311, .amp = 0.6, .decay = 5, .h2 = 0.5, .h3 = 0.35, .h4 = 0.2});
    addTone(b, {.start = 0.15, .length = 0.2, .freq = 233, .freqEnd = 220, .amp = 0.6, .decay = 4, .h2 = 0.5, .h3 = 0.35, .h4 = 0.2});
}

void clear(Buffer& b) {  // a soft falling sweep
    Noise n;
    addNoise(b, n, 0, b.seconds(), 0.5, 3000, 400, 3);
    addTone(b, {.start = 0, .length = b.seconds(), .freq = 880, .freqEnd = 440, .amp = 0.25, .decay = 4, .h2 = 0.1, .h3 = 0, .h4 = 0});
}

void entered(Buffer& b) {  // a door chime: two bell notes, high then low
    addTone(b, {.start = 0, .length = 0.42, .freq = note(7), .amp = 0.5, .decay = 3.5, .h2 = 0.4, .h3 = 0.15, .h4 = 0.1});
    addTone(b, {.start = 0.32, .length = 0.47, .freq = note(3), .amp = 0.55, .decay = 3, .h2 = 0.4, .h3 = 0.15, .h4 = 0.1});
}

void gameover(Buffer& b) {  // a slow falling arpeggio
    const int steps[] = {12, 7, 3, 0};
    for (int i = 0; i < 4; ++i)
        addTone(b, {.start = 0.2 * i, .length = b.seconds() - 0.2 * i, .freq = note(steps[i]), .amp = 0.35, .decay = 2.5, .h2 = 0.3, .h3 = 0.1, .h4 = 0.05});
}

void goodword(Buffer& b) {  // a bright rising ding-ding
    addTone(b, {.start = 0, .length = 0.1, .freq = note(15), .amp = 0.45, .decay = 8, .h2 = 0.25, .h3 = 0.1, .h4 = 0});
    addTone(b, {.start = 0.08, .length = 0.14, .freq = note(22), .amp = 0.5, .decay = 7, .h2 = 0.25, .h3 = 0.1, .h4 = 0});
}

void place(Buffer& b) {  // a wooden tile set down: a knock with a short resonance
    Noise n;
    addNoise(b, n, 0, 0.03, 0.6, 4000, 1500, 60);
    addTone(b, {.start = 0, .length = b.seconds(), .freq = 620, .freqEnd = 560, .amp = 0.6, .decay = 12, .attack = 0.001, .h2 = 0.2, .h3 = 0.3, .h4 = 0});
    addTone(b, {.start = 0, .length = b.seconds(), .freq = 1240, .amp = 0.15, .decay = 18, .attack = 0.001, .h2 = 0, .h3 = 0, .h4 = 0});
}

void roundover(Buffer& b) {  // three gentle falling chimes
    const int steps[] = {10, 5, 2};
    for (int i = 0; i < 3; ++i)
        addTone(b, {.start = 0.3 * i, .length = b.seconds() - 0.3 * i, .freq = note(steps[i]), .amp = 0.4, .decay = 2.5, .h2 = 0.35, .h3 = 0.1, .h4 = 0.05});
}

void shift(Buffer& b) {  // tiles sliding: a noisy whoosh that rises and falls
    Noise n;
    addNoise(b, n, 0, b.seconds(), 0.9, 300, 2200, 2);
    addTone(b, {.start = 0, .length = b.seconds(), .freq = 180, .freqEnd = 360, .amp = 0.2, .decay = 3, .h2 = 0.2, .h3 = 0, .h4 = 0});
}

void shuffle(Buffer& b) {  // tiles rattling in a bag: many little knocks over a soft rustle
    Noise n;
    addNoise(b, n, 0, b.seconds(), 0.12, 1800, 1200, 0.8);
    for (int i = 0; i < 22; ++i) {
        const double at = 0.02 + i * 0.05 + 0.012 * n.next();
        const double f = 700 + 500 * std::abs(n.next());
        const double len = std::min(0.09, b.seconds() - at);
        if (len <= 0.01) break;
        addTone(b, {.start = at, .length = len, .freq = f, .amp = 0.3, .decay = 40, .attack = 0.001, .h2 = 0.2, .h3 = 0.25, .h4 = 0});
    }
}

void start(Buffer& b) {  // a little fanfare: up the major chord
    const int steps[] = {3, 7, 10, 15};
    for (int i = 0; i < 4; ++i)
        addTone(b, {.start = 0.12 * i, .length = b.seconds() - 0.12 * i, .freq = note(steps[i]), .amp = 0.35, .decay = i == 3 ? 2.2 : 4, .h2 = 0.3, .h3 = 0.15, .h4 = 0.05});
}

void timer(Buffer& b) {  // a clock tick
    addTone(b, {.start = 0, .length = b.seconds(), .freq = 1500, .amp = 0.5, .decay = 18, .attack = 0.001, .h2 = 0.2, .h3 = 0.1, .h4 = 0});
}

void turn(Buffer& b) {  // "your turn": two notes passing from the left to the right
    addTone(b, {.start = 0, .length = 0.3, .freq = note(0), .amp = 0.5, .decay = 4, .pan = -0.6, .h2 = 0.3, .h3 = 0.1, .h4 = 0});
    addTone(b, {.start = 0.2, .length = 0.37, .freq = note(7), .amp = 0.55, .decay = 3.5, .pan = 0.6, .h2 = 0.3, .h3 = 0.1, .h4 = 0});
}

void turnnew(Buffer& b) {  // a marimba run up three notes
    const int steps[] = {3, 10, 15};
    for (int i = 0; i < 3; ++i)
        addTone(b, {.start = 0.09 * i, .length = b.seconds() - 0.09 * i, .freq = note(steps[i]), .amp = 0.4, .decay = 6, .attack = 0.002, .h2 = 0, .h3 = 0, .h4 = 0.25});
}

// --- writing --------------------------------------------------------------------------

void put16(std::string& out, unsigned v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& out, unsigned v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

std::string wave(const CueFormat& c, const Buffer& b) {
    const unsigned bytesPerSample = static_cast<unsigned>(c.bits / 8);
    const unsigned block = bytesPerSample * static_cast<unsigned>(c.channels);
    const unsigned data = block * static_cast<unsigned>(b.frames());
    std::string out = "RIFF";
    put32(out, 36 + data);
    out += "WAVEfmt ";
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, static_cast<unsigned>(c.channels));
    put32(out, static_cast<unsigned>(c.rate));
    put32(out, static_cast<unsigned>(c.rate) * block);
    put16(out, block);
    put16(out, static_cast<unsigned>(c.bits));
    out += "data";
    put32(out, data);
    for (std::size_t i = 0; i < b.frames(); ++i) {
        for (int ch = 0; ch < c.channels; ++ch) {
            const double v = std::clamp(ch == 0 ? b.left[i] : b.right[i], -1.0, 1.0);
            if (c.bits == 8) {
                out += static_cast<char>(static_cast<unsigned char>(std::lround(128 + v * 127)));
            } else {
                put16(out, static_cast<unsigned>(static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(v * 32767)))));
            }
        }
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    for (const CueFormat& c : quorbit::media::kCues) {
        Buffer b(c);
        const std::string_view n = c.name;
        if (n == "badword") badword(b);
        else if (n == "clear") clear(b);
        else if (n == "entered") entered(b);
        else if (n == "gameover") gameover(b);
        else if (n == "goodword") goodword(b);
        else if (n == "place") place(b);
        else if (n == "roundover") roundover(b);
        else if (n == "shift") shift(b);
        else if (n == "shuffle") shuffle(b);
        else if (n == "start") start(b);
        else if (n == "timer") timer(b);
        else if (n == "turn") turn(b);
        else if (n == "turnnew") turnnew(b);
        finish(b);
        const std::string path = folder + "/" + std::string(n) + ".wav";
        std::ofstream f(path, std::ios::binary | std::ios::trunc);
        const std::string bytes = wave(c, b);
        f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!f) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
