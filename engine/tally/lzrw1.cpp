#include "tally/lzrw1.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <ios>
#include <istream>
#include <new>
#include <optional>
#include <ostream>
#include <system_error>
#include <type_traits>
#include <vector>

namespace quorbit::tally {

namespace fs = std::filesystem;

namespace {

constexpr std::uint64_t kMaxSize = 0xFFFFFFFFu;  // the size field has 32 bits
constexpr std::size_t kHeaderSize = 8;

std::string percent(std::uint64_t part, std::uint64_t whole) {
    // Nothing read (an empty input): nothing grew or shrank.
    return std::to_string(whole == 0 ? 100 : part * 100 / whole);
}

void putLe32(std::uint8_t* at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t getLe32(const std::uint8_t* at) {
    return std::uint32_t{at[0]} | (std::uint32_t{at[1]} << 8) | (std::uint32_t{at[2]} << 16) |
           (std::uint32_t{at[3]} << 24);
}

[[noreturn]] void fail(const std::string& text) { throw ELzrw1Exception(text); }

// The stream's position, or -1 when it cannot tell (also when it throws instead).
template <class Stream>
auto position(Stream& s) {
    try {
        if constexpr (std::is_base_of_v<std::istream, Stream>) {
            return s.tellg();
        } else {
            return s.tellp();
        }
    } catch (const std::ios_base::failure&) {
        return typename Stream::pos_type(-1);
    }
}

}  // namespace

// One Compress, Decompress or Advise: its files or streams, buffers and counters.
// The destructor closes what is open; abandon() also deletes an output file it created.
class Lzrw1Operation {
public:
    explicit Lzrw1Operation(Tlzrw1& owner) : c_(owner), stream_(owner.UseStream) {}
    ~Lzrw1Operation() { close(); }
    Lzrw1Operation(const Lzrw1Operation&) = delete;
    Lzrw1Operation& operator=(const Lzrw1Operation&) = delete;

    void getBuffers(const char* message) {
        try {
            in_.assign(kLzrBufferSize, 0);
            out_.assign(kLzrBufferSize, 0);
        } catch (const std::bad_alloc&) {
            fail(message);
        }
    }

    // The bytes from the input's current position to its end; nullopt when unknown.
    std::optional<std::uint64_t> inputSize() {
        if (!stream_) {
            std::error_code ec;
            const auto size = fs::file_size(c_.InputFile, ec);
            if (ec) return std::nullopt;
            return size;
        }
        try {
            return streamSize();
        } catch (const std::ios_base::failure&) {
            return std::nullopt;
        }
    }

    std::optional<std::uint64_t> streamSize() {
        std::istream* s = c_.InputStream;
        if (s == nullptr) return std::nullopt;
        const auto here = s->tellg();
        if (here == std::istream::pos_type(-1)) return std::nullopt;
        s->seekg(0, std::ios::end);
        const auto end = s->tellg();
        s->seekg(here);
        if (end == std::istream::pos_type(-1) || !*s || end < here) {
            s->clear();
            s->seekg(here);
            return std::nullopt;
        }
        start_ = here;
        return static_cast<std::uint64_t>(end - here);
    }

    bool openInput() {
        if (stream_) {
            std::istream* s = c_.InputStream;
            if (s == nullptr || (start_ = position(*s)) == std::istream::pos_type(-1)) return false;
            restoreInput_ = true;
            return true;
        }
        file_in_ = std::fopen(c_.InputFile.c_str(), "rb");
        return file_in_ != nullptr;
    }

    // After a successful operation the input stream stays where reading ended.
    void keepInputPosition() { restoreInput_ = false; }

    void openOutput() {
        if (stream_) {
            std::ostream* s = c_.OutputStream;
            if (s == nullptr || position(*s) == std::ostream::pos_type(-1))
                fail("Lzrw1 (de)compression : Failed to initialize output stream !");
            return;
        }
        const std::string message = "Lzrw1 (de)compression : Failed to open output file : " + c_.OutputFile;
        // Creating the output would empty the input when both are the same file.
        std::error_code ec;
        if (fs::equivalent(c_.InputFile, c_.OutputFile, ec) && !ec) fail(message);
        file_out_ = std::fopen(c_.OutputFile.c_str(), "wb");
        if (file_out_ == nullptr) fail(message);
        created_ = true;
    }

    // Reads up to `count` bytes; false on a read failure (a short read is no failure).
    bool read(std::uint8_t* buffer, std::size_t count, std::size_t& got) {
        if (!stream_) {
            got = std::fread(buffer, 1, count, file_in_);
            if (std::ferror(file_in_)) return false;
        } else {
            // A stream that throws on failure fails the same way as one that does not.
            std::istream* s = c_.InputStream;
            try {
                s->read(reinterpret_cast<char*>(buffer), static_cast<std::streamsize>(count));
            } catch (const std::ios_base::failure&) {
                if (s->bad()) return false;
            }
            got = static_cast<std::size_t>(s->gcount());
            if (s->bad()) return false;
        }
        read_ += got;
        return true;
    }

    // Reads exactly `count` bytes, or raises `message`.
    void readExactly(std::uint8_t* buffer, std::size_t count, const std::string& message) {
        std::size_t got = 0;
        if (!read(buffer, count, got) || got != count) fail(message);
    }

    void write(const std::uint8_t* buffer, std::size_t count) {
        bool ok;
        if (!stream_) {
            ok = std::fwrite(buffer, 1, count, file_out_) == count;
        } else {
            try {
                c_.OutputStream->write(reinterpret_cast<const char*>(buffer), static_cast<std::streamsize>(count));
                ok = static_cast<bool>(*c_.OutputStream);
            } catch (const std::ios_base::failure&) {
                ok = false;
            }
        }
        if (!ok) fail(writeError());
        written_ += count;
    }

    // Moves the input to `offset` bytes after where it started.
    bool seekInput(std::uint64_t offset) {
        if (!stream_) return fseeko(file_in_, static_cast<off_t>(offset), SEEK_SET) == 0;
        std::istream* s = c_.InputStream;
        try {
            s->clear();
            s->seekg(start_ + static_cast<std::streamoff>(offset));
        } catch (const std::ios_base::failure&) {
            return false;
        }
        return static_cast<bool>(*s);
    }

    // Closes the output and checks that everything reached it.
    void finishOutput() {
        if (stream_) {
            try {
                c_.OutputStream->flush();
            } catch (const std::ios_base::failure&) {
            }
            if (!*c_.OutputStream) fail(writeError());
            return;
        }
        std::FILE* f = file_out_;
        file_out_ = nullptr;
        if (std::fclose(f) != 0) fail(writeError());
    }

    // After a failure: no partial output file remains.
    void abandon() {
        close();
        if (created_) {
            // Only a file is deleted: an output that is a device or a pipe stays.
            std::error_code ec;
            if (fs::is_regular_file(fs::symlink_status(c_.OutputFile, ec))) fs::remove(c_.OutputFile, ec);
            created_ = false;
        }
    }

    std::string writeError() const {
        return stream_ ? "Lzrw1 : Error writing to output stream !" : "Lzrw1 : Error writing to output file : " + c_.OutputFile;
    }
    std::string readError(const char* engine) const {
        return stream_ ? std::string("Lzrw1 : Error reading from input stream ! ") + engine
                       : "Lzrw1 : Error reading from input file : " + c_.InputFile + " " + engine;
    }
    std::string plainReadError() const {
        return stream_ ? "Lzrw1 : Error reading from input stream !" : "Lzrw1 : Error reading from input file : " + c_.InputFile;
    }

    bool stream() const { return stream_; }
    std::uint8_t* inBuffer() { return in_.data(); }
    std::uint8_t* outBuffer() { return out_.data(); }
    std::uint64_t bytesRead() const { return read_; }
    std::uint64_t bytesWritten() const { return written_; }
    Tlzrw1& owner() { return c_; }

private:
    void close() {
        if (file_in_ != nullptr) std::fclose(file_in_);
        if (file_out_ != nullptr) std::fclose(file_out_);
        file_in_ = file_out_ = nullptr;
        if (restoreInput_ && c_.InputStream != nullptr) {
            restoreInput_ = false;
            try {
                c_.InputStream->clear();
                c_.InputStream->seekg(start_);
            } catch (const std::ios_base::failure&) {
            }
        }
        in_.clear();
        in_.shrink_to_fit();
        out_.clear();
        out_.shrink_to_fit();
    }

    Tlzrw1& c_;
    const bool stream_;
    std::FILE* file_in_ = nullptr;
    std::FILE* file_out_ = nullptr;
    bool created_ = false;
    bool restoreInput_ = false;
    std::istream::pos_type start_ = 0;
    std::vector<std::uint8_t> in_;
    std::vector<std::uint8_t> out_;
    std::uint64_t read_ = 0;
    std::uint64_t written_ = 0;
};

void Tlzrw1::show(std::string caption) {
    caption_ = std::move(caption);
    if (OnProgress) OnProgress(caption_);
}

namespace {

std::string counts(const char* engine, const Lzrw1Operation& op) {
    return std::string(engine) + " Bytes in : " + std::to_string(op.bytesRead()) +
           " Bytes out : " + std::to_string(op.bytesWritten());
}

}  // namespace

std::uint64_t Tlzrw1::Compress() {
    const TCompressMode mode = CompressMode == TCompressMode::Auto ? Advise() : CompressMode;
    const bool fast = mode == TCompressMode::Fast;
    Lzrw1Operation op(*this);
    try {
        op.getBuffers("Lzrw1 (de)compression : Failed to get memory for I/O buffers !");
        const auto size = op.inputSize();
        if (!size)
            fail(UseStream ? "Lzrw1 compression : Failed to obtain the size of the input stream !"
                           : "Lzrw1 compression : Failed to obtain the size of : " + InputFile);
        if (*size > kMaxSize)
            fail(UseStream ? "Lzrw1 compression : the input stream is too large (4 GB or more) !"
                           : "Lzrw1 compression : the input is too large (4 GB or more) : " + InputFile);
        if (!op.openInput())
            fail(UseStream ? "Lzrw1 (de)compression : Failed to initialize input stream !"
                           : "Lzrw1 (de)compression : Failed to open input file : " + InputFile);
        op.openOutput();

        std::uint8_t header[kHeaderSize];
        std::memcpy(header, fast ? kTagFast : kTagGood, 4);
        putLe32(header + 4, static_cast<std::uint32_t>(*size));
        op.write(header, kHeaderSize);

        const char* engine = fast ? "(LZRW1/KH)" : "(LZH)";
        if (fast) {
            std::size_t got = 0;
            do {
                if (!op.read(op.inBuffer(), kLzrBlockSize, got)) fail(op.readError(engine));
                show(counts(engine, op));
                const std::size_t length = lzr_.CompressBlock({op.inBuffer(), got}, {op.outBuffer(), kLzrBufferSize});
                const std::uint8_t lengthBytes[2] = {static_cast<std::uint8_t>(length),
                                                     static_cast<std::uint8_t>(length >> 8)};
                op.write(lengthBytes, 2);
                op.write(op.outBuffer(), length);
                show(counts(engine, op));
            } while (got == kLzrBlockSize);
        } else {
            std::uint64_t ignored = 0;
            lzh_.Encode(
                ignored,
                [&](const std::uint8_t* buffer, std::size_t count) {
                    op.write(buffer, count);
                    show(counts(engine, op));
                },
                [&](std::uint8_t* buffer, std::size_t count) {
                    std::size_t got = 0;
                    if (!op.read(buffer, count, got)) fail(op.readError(engine));
                    show(counts(engine, op));
                    return got;
                });
        }
        // An input that changed size while it was read would give a container that
        // cannot be restored.
        if (op.bytesRead() != *size) fail(op.readError(engine));
        op.finishOutput();
        op.keepInputPosition();
    } catch (...) {
        op.abandon();
        throw;
    }
    show(UseStream ? "Lzrw1 : inputstream successfully compressed at " + percent(op.bytesWritten(), op.bytesRead()) + "%"
                   : InputFile + " : Lzrw1 : successfully compressed at " + percent(op.bytesWritten(), op.bytesRead()) + "%");
    return op.bytesWritten();
}

std::uint64_t Tlzrw1::Decompress() {
    Lzrw1Operation op(*this);
    try {
        op.getBuffers("Lzrw1 (de)compression : Failed to get memory for I/O buffers !");
        if (!op.openInput())
            fail(UseStream ? "Lzrw1 (de)compression : Failed to initialize input stream !"
                           : "Lzrw1 (de)compression : Failed to open input file : " + InputFile);
        op.openOutput();

        std::uint8_t header[kHeaderSize];
        op.readExactly(header, 4, op.plainReadError());
        const bool fast = std::memcmp(header, kTagFast, 4) == 0;
        if (!fast && std::memcmp(header, kTagGood, 4) != 0)
            fail(UseStream ? "Lzrw1 decompression : input stream contains no valid header !"
                           : InputFile + " : Lzrw1 decompression : this file has no valid header !");
        op.readExactly(header + 4, 4, op.plainReadError());
        const std::uint64_t size = getLe32(header + 4);

        if (fast) {
            const char* mismatch = "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !";
            long produced = 0;
            do {
                std::uint8_t lengthBytes[2];
                op.readExactly(lengthBytes, 2, op.plainReadError());
                const std::size_t length = lengthBytes[0] | (std::size_t{lengthBytes[1]} << 8);
                if (length > kLzrMaxBlockLength) fail("Lzrw1 (decompression LZRW1/KH) : corrupt block !");
                op.readExactly(op.inBuffer(), length, op.plainReadError());
                show(counts("(LZRW1/KH)", op));
                produced = TLZR::DecompressBlock({op.inBuffer(), length}, {op.outBuffer(), kLzrBufferSize});
                if (produced < 0) fail("Lzrw1 (decompression LZRW1/KH) : corrupt block !");
                if (op.bytesWritten() + static_cast<std::uint64_t>(produced) > size) fail(mismatch);
                op.write(op.outBuffer(), static_cast<std::size_t>(produced));
                show(counts("(LZRW1/KH)", op));
            } while (static_cast<std::size_t>(produced) == kLzrBlockSize);
            if (op.bytesWritten() != size) fail(mismatch);
        } else {
            const std::uint64_t produced = lzh_.Decode(
                size,
                [&](const std::uint8_t* buffer, std::size_t count) {
                    op.write(buffer, count);
                    show(counts("(LZH)", op));
                },
                [&](std::uint8_t* buffer, std::size_t count) {
                    std::size_t got = 0;
                    if (!op.read(buffer, count, got)) fail(op.plainReadError());
                    show(counts("(LZH)", op));
                    return got;
                });
            if (produced != size || op.bytesWritten() != size)
                fail("Lzrw1 (LZH decompression) : Original and compressed sizes do not match !");
        }
        op.finishOutput();
        op.keepInputPosition();
    } catch (...) {
        op.abandon();
        throw;
    }
    show(UseStream ? "LZrw1 : inputstream successfully decompressed at " + percent(op.bytesWritten(), op.bytesRead()) + "%"
                   : InputFile + " : Lzrw1 : successfully decompressed at " + percent(op.bytesWritten(), op.bytesRead()) + "%");
    return op.bytesWritten();
}

TCompressMode Tlzrw1::Advise() {
    show(UseStream ? "Guessing the best compression mode for the inputstream"
                   : "Guessing the best compression mode for : " + InputFile);
    Lzrw1Operation op(*this);
    op.getBuffers("Lzrw1 advise : Error getting I/O buffers");
    const auto size = op.inputSize();
    if (!size)
        fail(UseStream ? "Lzrw1 advise : can not get size of inputstream !"
                       : "Lzrw1 advise : can not get the size of : " + InputFile);
    if (!op.openInput() || !op.seekInput(0))
        fail(UseStream ? "Lzrw1 edvise : can not initialize the input stream!"
                       : "Lzrw1 advise : can open input file : " + InputFile);
    if (*size <= kAdviseSmallFile) {
        CompressMode = TCompressMode::Good;
        show("Lzrw1 recommends GOOD compression :  small file !!");
        return TCompressMode::Good;
    }
    const std::string readError = UseStream ? "Lzrw1 advise : input stream read error !"
                                            : "Lzrw1 advise : read error on input file : " + InputFile;
    std::uint64_t sampled = 0;
    std::uint64_t compressed = 0;
    for (const std::uint64_t at : {*size / 3, *size * 2 / 3}) {
        const std::uint64_t start = at / kLzrBlockSize * kLzrBlockSize;
        std::size_t got = 0;
        if (!op.seekInput(start) || !op.read(op.inBuffer(), kLzrBlockSize, got)) fail(readError);
        compressed += lzr_.CompressBlock({op.inBuffer(), got}, {op.outBuffer(), kLzrBufferSize});
        sampled += got;
    }
    if (sampled == 0) fail(readError);
    const std::string ratio = std::to_string(compressed * 100 / sampled) + "%.";
    const auto threshold = static_cast<std::int64_t>(sampled) * Threshold / 100;
    if (static_cast<std::int64_t>(compressed) < threshold) {
        show("Lzrw1 recommends FAST compression : " + ratio);
        return TCompressMode::Fast;
    }
    show("Lzrw1 recommends GOOD compression : " + ratio);
    return TCompressMode::Good;
}

}  // namespace quorbit::tally
