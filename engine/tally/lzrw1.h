#pragma once
// Tlzrw1: the compressed file container.
//
//   offset 0  4 bytes  method tag: "WRZL" FAST (LZRW1/KH blocks), "!HZL" GOOD (LZHUF)
//   offset 4  4 bytes  uncompressed size, little-endian
//   offset 8  payload
// FAST payload: one chunk per 32,768 input bytes, each a little-endian 16-bit block
// length and one TLZR block; the last chunk holds the remainder, and an input whose
// size is a multiple of 32,768 (the empty input too) ends with a chunk made from 0 bytes.
// GOOD payload: the TLZH stream of the whole input.
//
// In file mode the component reads InputFile and creates OutputFile; a failure after the
// output file was created deletes it, so no partial output remains. In stream mode it
// reads InputStream from its current position to its end and writes OutputStream.
// Every failure raises ELzrw1Exception with a fixed English message.
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <stdexcept>
#include <string>

#include "tally/lzh.h"
#include "tally/lzrw1kh.h"

namespace quorbit::tally {

class ELzrw1Exception : public std::runtime_error {
public:
    explicit ELzrw1Exception(const std::string& text) : std::runtime_error(text) {}
};

enum class TCompressMode { Good = 0, Fast = 1, Auto = 2 };

inline constexpr char kTagFast[4] = {'W', 'R', 'Z', 'L'};
inline constexpr char kTagGood[4] = {'!', 'H', 'Z', 'L'};
// Inputs up to this size are always given GOOD by Advise.
inline constexpr std::uint64_t kAdviseSmallFile = 98303;

class Tlzrw1 {
public:
    bool UseStream = false;
    std::string InputFile;
    std::string OutputFile;  // replaced if present
    TCompressMode CompressMode = TCompressMode::Good;
    int Threshold = 40;  // percent, used by Advise
    std::istream* InputStream = nullptr;
    std::ostream* OutputStream = nullptr;

    // Called with the new caption after every block read or written and at the end of
    // each operation; an application may show it and let its event loop run.
    std::function<void(const std::string& caption)> OnProgress;

    // Returns the bytes written, header included.
    std::uint64_t Compress();
    // Returns the bytes written (the restored size).
    std::uint64_t Decompress();
    // Recommends Fast or Good for the input and shows why in the caption.
    TCompressMode Advise();

    const std::string& Caption() const { return caption_; }

private:
    friend class Lzrw1Operation;
    void show(std::string caption);

    TLZR lzr_;
    TLZH lzh_;
    std::string caption_;
};

}  // namespace quorbit::tally
