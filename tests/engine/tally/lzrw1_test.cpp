#include "tally/lzrw1.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using namespace quorbit::tally;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes randomBytes(std::size_t n, unsigned seed, int alphabet = 256) {
    std::mt19937 gen(seed);
    std::uniform_int_distribution<int> d(0, alphabet - 1);
    Bytes b(n);
    for (auto& x : b) x = static_cast<std::uint8_t>(d(gen));
    return b;
}

Bytes textOf(std::size_t n) {
    std::string s;
    for (int i = 0; s.size() < n; ++i) s += "Zubo plays " + std::to_string(i * 7919 % 1000) + " letters; ";
    s.resize(n);
    return Bytes(s.begin(), s.end());
}

std::string str(const Bytes& b) { return std::string(b.begin(), b.end()); }

// The message of the ELzrw1Exception that `op` raises.
template <class Op>
std::string failure(Op op) {
    try {
        op();
    } catch (const ELzrw1Exception& e) {
        return e.what();
    }
    return "no exception";
}

class Lzrw1Files : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("lzrw1-test-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    void put(const std::string& name, const Bytes& data) const {
        std::ofstream(path(name), std::ios::binary).write(reinterpret_cast<const char*>(data.data()),
                                                        static_cast<std::streamsize>(data.size()));
    }
    Bytes get(const std::string& name) const {
        std::ifstream in(path(name), std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    std::string tag(const std::string& name) const { return str(get(name)).substr(0, 4); }
    std::uint64_t compress(const std::string& in, const std::string& out, TCompressMode mode) {
        Tlzrw1 c;
        c.InputFile = path(in);
        c.OutputFile = path(out);
        c.CompressMode = mode;
        return c.Compress();
    }
    std::uint64_t decompress(const std::string& in, const std::string& out) {
        Tlzrw1 c;
        c.InputFile = path(in);
        c.OutputFile = path(out);
        return c.Decompress();
    }
    // Decompressing `container` must fail with `message` and leave no output file,
    // even where one existed before.
    void expectRefused(const Bytes& container, const std::string& message) {
        put("bad.lzr", container);
        put("bad.out", {1, 2, 3});
        EXPECT_EQ(failure([&] { decompress("bad.lzr", "bad.out"); }), message);
        EXPECT_FALSE(fs::exists(path("bad.out")));
    }

    fs::path dir_;
};

}  // namespace

TEST_F(Lzrw1Files, EmptyFileIsElevenBytesAndBack) {
    put("empty", {});
    EXPECT_EQ(compress("empty", "empty.lzr", TCompressMode::Fast), 11u);
    EXPECT_EQ(get("empty.lzr"), (Bytes{'W', 'R', 'Z', 'L', 0, 0, 0, 0, 1, 0, 0x80}));
    EXPECT_EQ(decompress("empty.lzr", "empty.out"), 0u);
    EXPECT_TRUE(fs::exists(path("empty.out")));
    EXPECT_TRUE(get("empty.out").empty());
    // GOOD: the header alone.
    EXPECT_EQ(compress("empty", "empty.good", TCompressMode::Good), 8u);
    EXPECT_EQ(decompress("empty.good", "empty.out2"), 0u);
}

TEST_F(Lzrw1Files, ChunkEdgesAndIncompressibleGrowth) {
    // Exactly 32,768 bytes: a chunk, then a chunk from 0 bytes (a 1-byte stored block).
    put("edge", Bytes(32768, 'e'));
    compress("edge", "edge.lzr", TCompressMode::Fast);
    const Bytes c = get("edge.lzr");
    ASSERT_GT(c.size(), 11u);
    EXPECT_EQ(Bytes(c.begin() + 4, c.begin() + 8), (Bytes{0x00, 0x80, 0x00, 0x00}));
    EXPECT_EQ(Bytes(c.end() - 3, c.end()), (Bytes{1, 0, 0x80}));
    const std::size_t first = c[8] | (std::size_t{c[9]} << 8);
    EXPECT_EQ(8 + 2 + first + 3, c.size());

    // Stored blocks of n + 1 bytes: 8 bytes plus 3 per chunk.
    for (std::size_t n : {32767u, 32768u, 32769u, 100000u}) {
        put("random", randomBytes(n, static_cast<unsigned>(n)));
        const std::size_t chunks = n / 32768 + 1;
        EXPECT_EQ(compress("random", "random.lzr", TCompressMode::Fast), n + 8 + 3 * chunks) << n;
        EXPECT_EQ(decompress("random.lzr", "random.out"), n);
        EXPECT_EQ(get("random.out"), get("random"));
    }
}

TEST_F(Lzrw1Files, RunOf5000Bytes) {
    put("run", Bytes(5000, 'r'));
    compress("run", "run.lzr", TCompressMode::Fast);
    EXPECT_EQ(get("run.lzr"), (Bytes{'W', 'R', 'Z', 'L', 0x88, 0x13, 0, 0, 11, 0, 0x40, 0xC0, 0x00,
                                     0x00, 0x0F, 0xEF, 'r', 0x00, 0x03, 0x79, 'r'}));
    decompress("run.lzr", "run.out");
    EXPECT_EQ(get("run.out"), Bytes(5000, 'r'));
}

TEST_F(Lzrw1Files, RoundTripsBothMethodsOverVariedData) {
    std::vector<Bytes> inputs = {Bytes{42}, textOf(3), textOf(32767), textOf(32768), textOf(32769),
                                 textOf(65536), textOf(200000), randomBytes(40000, 9, 5),
                                 randomBytes(33000, 10), Bytes(70000, 0)};
    for (const Bytes& input : inputs) {
        for (TCompressMode mode : {TCompressMode::Fast, TCompressMode::Good}) {
            put("in", input);
            const std::uint64_t written = compress("in", "in.lzr", mode);
            EXPECT_EQ(written, fs::file_size(path("in.lzr")));
            EXPECT_EQ(tag("in.lzr"),
                      mode == TCompressMode::Fast ? "WRZL" : "!HZL");
            EXPECT_EQ(decompress("in.lzr", "in.out"), input.size());
            EXPECT_EQ(get("in.out"), input) << input.size() << (mode == TCompressMode::Fast ? " fast" : " good");
        }
    }
}

TEST_F(Lzrw1Files, BadTagIsRefusedAndTheOutputDeleted) {
    expectRefused(Bytes{'W', 'R', 'Z', 'X', 0, 0, 0, 0, 1, 0, 0x80},
                  path("bad.lzr") + " : Lzrw1 decompression : this file has no valid header !");
    expectRefused(Bytes{'W', 'R'}, "Lzrw1 : Error reading from input file : " + path("bad.lzr"));
}

TEST_F(Lzrw1Files, SizeMismatchIsRefusedAndTheOutputDeleted) {
    put("text", textOf(50000));
    for (TCompressMode mode : {TCompressMode::Fast, TCompressMode::Good}) {
        compress("text", "text.lzr", mode);
        const std::string message = mode == TCompressMode::Fast
                                        ? "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !"
                                        : "Lzrw1 (LZH decompression) : Original and compressed sizes do not match !";
        for (std::uint32_t size : {49999u, 50001u, 0xFFFFFFFFu}) {
            Bytes c = get("text.lzr");
            for (int i = 0; i < 4; ++i) c[4 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(size >> (8 * i));
            expectRefused(c, message);
        }
    }
}

TEST_F(Lzrw1Files, CorruptOrTruncatedPayloadsAreRefused) {
    const std::string corrupt = "Lzrw1 (decompression LZRW1/KH) : corrupt block !";
    // A copy reaching before the start of the output.
    expectRefused(Bytes{'W', 'R', 'Z', 'L', 3, 0, 0, 0, 5, 0, 0x40, 0x80, 0x00, 0x00, 0x1B}, corrupt);
    // A block length over 32,770.
    expectRefused(Bytes{'W', 'R', 'Z', 'L', 3, 0, 0, 0, 0x03, 0x80, 0x80}, corrupt);
    // A block shorter than its length says.
    expectRefused(Bytes{'W', 'R', 'Z', 'L', 3, 0, 0, 0, 9, 0, 0x80, 'a'},
                  "Lzrw1 : Error reading from input file : " + path("bad.lzr"));
    // A GOOD payload cut in half.
    put("text", textOf(20000));
    compress("text", "text.lzr", TCompressMode::Good);
    Bytes c = get("text.lzr");
    c.resize(c.size() / 2);
    expectRefused(c, "Lzrw1 (LZH decompression) : Original and compressed sizes do not match !");
}

TEST_F(Lzrw1Files, MissingFilesAndSameInputAndOutput) {
    Tlzrw1 c;
    c.InputFile = path("missing");
    c.OutputFile = path("out");
    c.CompressMode = TCompressMode::Fast;
    EXPECT_EQ(failure([&] { c.Compress(); }), "Lzrw1 compression : Failed to obtain the size of : " + path("missing"));
    EXPECT_EQ(failure([&] { c.Decompress(); }), "Lzrw1 (de)compression : Failed to open input file : " + path("missing"));
    EXPECT_FALSE(fs::exists(path("out")));

    // Compressing a file onto itself would empty it before it is read.
    put("self", textOf(1000));
    c.InputFile = c.OutputFile = path("self");
    EXPECT_EQ(failure([&] { c.Compress(); }), "Lzrw1 (de)compression : Failed to open output file : " + path("self"));
    EXPECT_EQ(get("self"), textOf(1000));

    c.InputFile = path("self");
    c.OutputFile = path("no-such-dir/out");
    EXPECT_THROW(c.Compress(), ELzrw1Exception);
}

TEST_F(Lzrw1Files, AdviseAnswersGoodForSmallFilesAndSamplesLargerOnes) {
    Tlzrw1 c;
    c.InputFile = path("zeros");
    c.CompressMode = TCompressMode::Auto;
    put("zeros", Bytes(98303, 0));
    EXPECT_EQ(c.Advise(), TCompressMode::Good);
    EXPECT_EQ(c.Caption(), "Lzrw1 recommends GOOD compression :  small file !!");
    EXPECT_EQ(c.CompressMode, TCompressMode::Good);

    c.CompressMode = TCompressMode::Auto;
    put("zeros", Bytes(98304, 0));
    EXPECT_EQ(c.Advise(), TCompressMode::Fast);
    EXPECT_EQ(c.Caption(), "Lzrw1 recommends FAST compression : 0%.");
    EXPECT_EQ(c.CompressMode, TCompressMode::Auto);

    // The samples are the blocks at a third and two thirds: make only those random.
    Bytes mixed(98304 * 2, 0);
    const Bytes noise = randomBytes(32768, 3);
    std::copy(noise.begin(), noise.end(), mixed.begin() + 65536);
    std::copy(noise.begin(), noise.end(), mixed.begin() + 131072);
    put("mixed", mixed);
    c.InputFile = path("mixed");
    EXPECT_EQ(c.Advise(), TCompressMode::Good);
    EXPECT_EQ(c.Caption(), "Lzrw1 recommends GOOD compression : 100%.");

    c.InputFile = path("missing");
    EXPECT_EQ(failure([&] { c.Advise(); }), "Lzrw1 advise : can not get the size of : " + path("missing"));
}

TEST_F(Lzrw1Files, AutoModePicksTheMethodAndCaptionsTellProgress) {
    put("zeros", Bytes(200000, 0));
    Tlzrw1 c;
    c.InputFile = path("zeros");
    c.OutputFile = path("zeros.lzr");
    c.CompressMode = TCompressMode::Auto;
    std::vector<std::string> captions;
    c.OnProgress = [&](const std::string& caption) { captions.push_back(caption); };
    c.Compress();
    EXPECT_EQ(tag("zeros.lzr"), "WRZL");
    ASSERT_GE(captions.size(), 4u);
    EXPECT_EQ(captions.front(), "Guessing the best compression mode for : " + path("zeros"));
    EXPECT_NE(std::find(captions.begin(), captions.end(), "(LZRW1/KH) Bytes in : 32768 Bytes out : 8"), captions.end());
    const auto size = fs::file_size(path("zeros.lzr"));
    EXPECT_EQ(captions.back(), path("zeros") + " : Lzrw1 : successfully compressed at " +
                                   std::to_string(size * 100 / 200000) + "%");

    put("small", textOf(1000));
    c.InputFile = path("small");
    c.OutputFile = path("small.lzr");
    c.CompressMode = TCompressMode::Auto;
    c.Compress();
    EXPECT_EQ(tag("small.lzr"), "!HZL");
}

// ---- stream mode

namespace {

// Accepts `room` bytes, then refuses every write.
class FullBuffer : public std::streambuf {
public:
    explicit FullBuffer(std::size_t room) : room_(room) {}

protected:
    std::streamsize xsputn(const char*, std::streamsize n) override {
        const auto take = std::min<std::streamsize>(n, static_cast<std::streamsize>(room_));
        room_ -= static_cast<std::size_t>(take);
        return take;
    }
    int_type overflow(int_type c) override { return room_ > 0 && c != traits_type::eof() ? (--room_, c) : traits_type::eof(); }
    pos_type seekoff(off_type, std::ios::seekdir, std::ios::openmode) override { return 0; }

private:
    std::size_t room_;
};

}  // namespace

TEST(Lzrw1Streams, RoundTripFromTheCurrentPositionToTheEnd) {
    const Bytes text = textOf(70000);
    for (TCompressMode mode : {TCompressMode::Fast, TCompressMode::Good}) {
        std::istringstream in("skip" + str(text));
        in.seekg(4);
        std::ostringstream packed;
        Tlzrw1 c;
        c.UseStream = true;
        c.InputStream = &in;
        c.OutputStream = &packed;
        c.CompressMode = mode;
        const std::uint64_t written = c.Compress();
        EXPECT_EQ(written, packed.str().size());
        EXPECT_EQ(c.Caption().rfind("Lzrw1 : inputstream successfully compressed at ", 0), 0u);

        std::istringstream back(packed.str());
        std::ostringstream out;
        c.InputStream = &back;
        c.OutputStream = &out;
        EXPECT_EQ(c.Decompress(), text.size());
        EXPECT_EQ(out.str(), str(text));
        EXPECT_EQ(c.Caption().rfind("LZrw1 : inputstream successfully decompressed at ", 0), 0u);
    }
}

TEST(Lzrw1Streams, FailuresRaiseTheStreamMessages) {
    Tlzrw1 c;
    c.UseStream = true;
    std::istringstream bad("XXXX\0\0\0\0");
    std::ostringstream out;
    c.InputStream = &bad;
    c.OutputStream = &out;
    EXPECT_EQ(failure([&] { c.Decompress(); }), "Lzrw1 decompression : input stream contains no valid header !");

    std::istringstream shortHeader("WR");
    c.InputStream = &shortHeader;
    EXPECT_EQ(failure([&] { c.Decompress(); }), "Lzrw1 : Error reading from input stream !");

    std::istringstream text(str(textOf(100000)));
    FullBuffer full(1000);
    std::ostream fullOut(&full);
    c.InputStream = &text;
    c.OutputStream = &fullOut;
    c.CompressMode = TCompressMode::Fast;
    EXPECT_EQ(failure([&] { c.Compress(); }), "Lzrw1 : Error writing to output stream !");

    c.InputStream = nullptr;
    EXPECT_EQ(failure([&] { c.Compress(); }), "Lzrw1 compression : Failed to obtain the size of the input stream !");
    c.InputStream = &text;
    c.OutputStream = nullptr;
    EXPECT_EQ(failure([&] { c.Compress(); }), "Lzrw1 (de)compression : Failed to initialize output stream !");
}

TEST(Lzrw1Streams, AdviseRestoresThePosition) {
    std::istringstream in(std::string(200000, 'a'));
    in.seekg(10);
    Tlzrw1 c;
    c.UseStream = true;
    c.InputStream = &in;
    EXPECT_EQ(c.Advise(), TCompressMode::Fast);
    EXPECT_EQ(in.tellg(), 10);
    EXPECT_EQ(c.Caption().rfind("Lzrw1 recommends FAST compression : ", 0), 0u);
}

TEST(Lzrw1Streams, StreamsThatThrowOnFailureWorkTheSame) {
    const std::string text = str(textOf(40000));
    for (TCompressMode mode : {TCompressMode::Fast, TCompressMode::Good}) {
        std::istringstream in(text);
        in.exceptions(std::ios::failbit | std::ios::badbit);
        std::ostringstream packed;
        Tlzrw1 c;
        c.UseStream = true;
        c.InputStream = &in;
        c.OutputStream = &packed;
        c.CompressMode = mode;
        c.Compress();

        std::string cut = packed.str();
        cut.resize(cut.size() - 10);
        std::istringstream back(cut);
        back.exceptions(std::ios::failbit | std::ios::badbit);
        std::ostringstream out;
        c.InputStream = &back;
        c.OutputStream = &out;
        EXPECT_EQ(failure([&] { c.Decompress(); }),
                  mode == TCompressMode::Fast ? "Lzrw1 : Error reading from input stream !"
                                              : "Lzrw1 (LZH decompression) : Original and compressed sizes do not match !");
    }
}
