#include "tally/lzh.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace quorbit::tally {

namespace {

constexpr int N = 4096;        // ring buffer size
constexpr int F = 60;          // look-ahead size, longest match
constexpr int kThreshold = 2;  // longer matches than this are coded as matches
constexpr int NIL = N;         // "no node" in the string matcher's trees
constexpr int kSymbols = 256 - kThreshold + F;  // 314
constexpr int T = kSymbols * 2 - 1;             // 627 nodes
constexpr int R = T - 1;                        // the root
constexpr std::uint32_t kMaxFreq = 0x8000;

// The fixed codes of the upper 6 bits of a position: lengths and left-aligned codes.
constexpr std::array<std::uint8_t, 64> kPositionLength = {
    3, 4, 4, 4, 5, 5, 5, 5, 5, 5, 5, 5, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6,
    7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7,
    8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8};

struct PositionCodes {
    std::array<std::uint8_t, 64> code{};      // left-aligned in 8 bits
    std::array<std::uint8_t, 256> upper{};    // by the next 8 bits: the upper 6 bits
    std::array<std::uint8_t, 256> length{};   // by the next 8 bits: that code's length
};

// The codes are canonical: each length's codes follow the previous ones in order.
constexpr PositionCodes makePositionCodes() {
    PositionCodes p;
    unsigned next = 0;  // next code, left-aligned in 8 bits
    for (int i = 0; i < 64; ++i) {
        const unsigned len = kPositionLength[static_cast<std::size_t>(i)];
        p.code[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(next);
        const unsigned span = 1u << (8 - len);
        for (unsigned k = 0; k < span; ++k) {
            p.upper[next + k] = static_cast<std::uint8_t>(i);
            p.length[next + k] = static_cast<std::uint8_t>(len);
        }
        next += span;
    }
    return p;
}
constexpr PositionCodes kPosition = makePositionCodes();
static_assert(kPosition.code[1] == 0x20 && kPosition.code[4] == 0x50 && kPosition.code[12] == 0x90 &&
              kPosition.code[24] == 0xC0 && kPosition.code[48] == 0xF0 && kPosition.code[63] == 0xFF);

// The adaptive Huffman tree. Nodes are kept in order of frequency; the two children
// of a node sit side by side at son[node] and son[node] + 1; leaves point to
// T + symbol, and prnt[T + symbol] is the node of that leaf.
struct Huffman {
    std::array<std::uint32_t, T + 1> freq{};
    std::array<int, T + kSymbols> prnt{};
    std::array<int, T> son{};

    void start() {
        for (int i = 0; i < kSymbols; ++i) {
            freq[i] = 1;
            son[i] = i + T;
            prnt[i + T] = i;
        }
        for (int i = 0, j = kSymbols; j <= R; i += 2, ++j) {
            freq[j] = freq[i] + freq[i + 1];
            son[j] = i;
            prnt[i] = prnt[i + 1] = j;
        }
        freq[T] = 0xFFFF;  // sentinel above every count
        prnt[R] = 0;
    }

    // Halves the counts of the leaves and builds the tree again from them.
    void reconst() {
        int j = 0;
        for (int i = 0; i < T; ++i) {
            if (son[i] >= T) {
                freq[j] = (freq[i] + 1) / 2;
                son[j] = son[i];
                ++j;
            }
        }
        for (int i = 0, node = kSymbols; node < T; i += 2, ++node) {
            const std::uint32_t f = freq[i] + freq[i + 1];
            freq[node] = f;
            int k = node - 1;
            while (f < freq[k]) --k;
            ++k;
            std::move_backward(freq.begin() + k, freq.begin() + node, freq.begin() + node + 1);
            freq[k] = f;
            std::move_backward(son.begin() + k, son.begin() + node, son.begin() + node + 1);
            son[k] = i;
        }
        for (int i = 0; i < T; ++i) {
            const int k = son[i];
            if (k >= T) {
                prnt[k] = i;
            } else {
                prnt[k] = prnt[k + 1] = i;
            }
        }
    }

    // Counts one more occurrence of `symbol` and restores the order of the nodes.
    void update(int symbol) {
        if (freq[R] == kMaxFreq) reconst();
        int c = prnt[symbol + T];
        do {
            const std::uint32_t k = ++freq[c];
            if (k > freq[c + 1]) {
                // The counts rise with the node number: the node to swap with is the last
                // one below k (the sentinel at T stops the search).
                int l = static_cast<int>(std::lower_bound(freq.begin() + c + 2, freq.end(), k) - freq.begin()) - 1;
                freq[c] = freq[l];
                freq[l] = k;
                const int i = son[c];
                prnt[i] = l;
                if (i < T) prnt[i + 1] = l;
                const int s = son[l];
                son[l] = i;
                prnt[s] = c;
                if (s < T) prnt[s + 1] = c;
                son[c] = s;
                c = l;
            }
            c = prnt[c];
        } while (c != 0);
    }
};

// How two strings of F bytes compare when their first bytes agree: `length` is how many
// agree from the start (2..F with the first one counted), and `keyAbove` whether the key
// sorts at or after the other string. Compares 8 bytes at a time; both strings must have
// 8 readable bytes beyond F.
struct Comparison {
    int length;
    bool keyAbove;
};

inline std::uint64_t load64(const std::uint8_t* p) {
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

// `x` and `y` are the words at key + 1 and other + 1, loaded by the caller.
inline Comparison compareStrings(const std::uint8_t* key, const std::uint8_t* other, std::uint64_t x,
                                 std::uint64_t y) {
    static_assert(std::endian::native == std::endian::little || std::endian::native == std::endian::big);
    for (int i = 1; i < F; i += 8) {
        if (i > 1) {
            x = load64(key + i);
            y = load64(other + i);
        }
        if (const std::uint64_t diff = x ^ y; diff != 0) {
            int shift;  // of the first differing byte within the words
            if constexpr (std::endian::native == std::endian::little) {
                shift = std::countr_zero(diff) & ~7;
            } else {
                shift = 56 - (std::countl_zero(diff) & ~7);
            }
            const int at = i + (std::endian::native == std::endian::little ? shift : 56 - shift) / 8;
            if (at >= F) return {F, true};
            return {at, ((x >> shift) & 0xFF) > ((y >> shift) & 0xFF)};
        }
    }
    return {F, true};
}

// The string matcher: one binary tree of ring positions per first byte. The tree of
// byte b hangs as the right child of the root N + 1 + b. Nodes are 16-bit so that the
// tables stay small enough for the first-level cache.
struct Matcher {
    static constexpr int kLeft = 0;
    static constexpr int kRight = 1;
    using Node = std::uint16_t;

    // The ring, its first F - 1 bytes mirrored after it, and 8 spare bytes for the
    // word-wise comparison (never part of a match).
    std::array<std::uint8_t, N + F - 1 + 8> text{};
    std::array<std::array<Node, 2>, N + 257> son{};  // left and right child
    std::array<Node, N + 1> dad{};
    int matchPosition = 0;
    int matchLength = 0;

    void init() {
        for (int i = N + 1; i <= N + 256; ++i) son[static_cast<std::size_t>(i)][kRight] = NIL;
        for (int i = 0; i < N; ++i) dad[static_cast<std::size_t>(i)] = NIL;
    }

    Node& lson(int p) { return son[static_cast<std::size_t>(p)][kLeft]; }
    Node& rson(int p) { return son[static_cast<std::size_t>(p)][kRight]; }
    Node& parent(int p) { return dad[static_cast<std::size_t>(p)]; }

    // Inserts the string at r and finds the longest match for it, preferring the
    // nearest among equally long ones.
    void insert(int r) {
        const std::uint8_t* key = &text[static_cast<std::size_t>(r)];
        const std::uint64_t keyWord = load64(key + 1);
        int p = N + 1 + key[0];
        lson(r) = rson(r) = NIL;
        int length = 0;
        int position = matchPosition;
        int side = kRight;
        int next = rson(p);
        // The first word of the next node's string; NIL's text lies inside the ring's
        // spare bytes, so it may be loaded too.
        std::uint64_t nextWord = load64(&text[static_cast<std::size_t>(next) + 1]);
        for (;;) {
            if (next == NIL) {
                son[static_cast<std::size_t>(p)][static_cast<std::size_t>(side)] = static_cast<Node>(r);
                parent(r) = static_cast<Node>(p);
                matchLength = length;
                matchPosition = position;
                return;
            }
            p = next;
            // Both children and their first words are fetched while p is compared, so
            // that the walk does not wait for memory after each decision.
            const int left = lson(p);
            const int right = rson(p);
            const std::uint64_t leftWord = load64(&text[static_cast<std::size_t>(left) + 1]);
            const std::uint64_t rightWord = load64(&text[static_cast<std::size_t>(right) + 1]);
            const Comparison cmp = compareStrings(key, &text[static_cast<std::size_t>(p)], keyWord, nextWord);
            const int i = cmp.length;
            side = cmp.keyAbove ? kRight : kLeft;
            // A longer match, or one as long and nearer, is the better one. Written
            // without branches: which way each test goes is hard to predict.
            const int distance = ((r - p) & (N - 1)) - 1;
            const bool better = (i > kThreshold) & ((i > length) | ((i == length) & (distance < position)));
            const int take = -static_cast<int>(better);  // all ones or zero
            length = (i & take) | (length & ~take);
            position = (distance & take) | (position & ~take);
            if (i >= F) break;
            next = cmp.keyAbove ? right : left;
            nextWord = cmp.keyAbove ? rightWord : leftWord;
        }
        matchLength = length;
        matchPosition = position;
        // p holds the same F bytes: r takes its place in the tree.
        parent(r) = parent(p);
        lson(r) = lson(p);
        rson(r) = rson(p);
        parent(lson(p)) = static_cast<Node>(r);
        parent(rson(p)) = static_cast<Node>(r);
        if (rson(parent(p)) == p) {
            rson(parent(p)) = static_cast<Node>(r);
        } else {
            lson(parent(p)) = static_cast<Node>(r);
        }
        parent(p) = NIL;
    }

    void remove(int p) {
        if (parent(p) == NIL) return;
        int q;
        if (rson(p) == NIL) {
            q = lson(p);
        } else if (lson(p) == NIL) {
            q = rson(p);
        } else {
            q = lson(p);
            if (rson(q) != NIL) {
                do {
                    q = rson(q);
                } while (rson(q) != NIL);
                rson(parent(q)) = lson(q);
                parent(lson(q)) = parent(q);
                lson(q) = lson(p);
                parent(lson(p)) = static_cast<Node>(q);
            }
            rson(q) = rson(p);
            parent(rson(p)) = static_cast<Node>(q);
        }
        parent(q) = parent(p);
        if (rson(parent(p)) == p) {
            rson(parent(p)) = static_cast<Node>(q);
        } else {
            lson(parent(p)) = static_cast<Node>(q);
        }
        parent(p) = NIL;
    }
};

struct Tables {
    Huffman huff;
    Matcher match;
};

std::unique_ptr<Tables> getTables() {
    try {
        return std::make_unique<Tables>();
    } catch (const std::bad_alloc&) {
        throw ElzhException(kLzhNoMemory);
    }
}

// Bytes in, in portions.
class Input {
public:
    explicit Input(const TLZH::ReadFn& read) : read_(read), buffer_(TLZH::kPortion) {}
    // The next byte, or -1 at the end.
    int next() {
        if (at_ == have_) {
            if (ended_) return -1;
            have_ = read_(buffer_.data(), buffer_.size());
            at_ = 0;
            total_ += have_;
            if (have_ == 0) {
                ended_ = true;
                return -1;
            }
        }
        return buffer_[at_++];
    }
    std::uint64_t total() const { return total_; }

private:
    const TLZH::ReadFn& read_;
    std::vector<std::uint8_t> buffer_;
    std::size_t at_ = 0;
    std::size_t have_ = 0;
    std::uint64_t total_ = 0;
    bool ended_ = false;
};

// Bytes out, in portions.
class Output {
public:
    explicit Output(const TLZH::WriteFn& write) : write_(write), buffer_(TLZH::kPortion) {}
    void put(std::uint8_t byte) {
        if (used_ == buffer_.size()) flush();
        buffer_[used_++] = byte;
    }
    void flush() {
        if (used_ == 0) return;
        write_(buffer_.data(), used_);
        written_ += used_;
        used_ = 0;
    }
    std::uint64_t written() const { return written_ + used_; }

private:
    const TLZH::WriteFn& write_;
    std::vector<std::uint8_t> buffer_;
    std::size_t used_ = 0;
    std::uint64_t written_ = 0;
};

// Bits out, most significant first.
class BitWriter {
public:
    explicit BitWriter(Output& out) : out_(out) {}
    // The low `count` bits of `bits` (count <= 32).
    void put(std::uint32_t bits, int count) {
        acc_ = (acc_ << count) | (bits & ((std::uint64_t{1} << count) - 1));
        used_ += count;
        while (used_ >= 8) {
            used_ -= 8;
            out_.put(static_cast<std::uint8_t>(acc_ >> used_));
        }
    }
    void finish() {
        if (used_ > 0) out_.put(static_cast<std::uint8_t>(acc_ << (8 - used_)));
        used_ = 0;
    }

private:
    Output& out_;
    std::uint64_t acc_ = 0;
    int used_ = 0;
};

// Bits in, most significant first; past the end of the input it reads zero bits and
// remembers that it did.
class BitReader {
public:
    explicit BitReader(Input& in) : in_(in) {}
    unsigned bit() {
        if (left_ == 0) refill();
        --left_;
        return (byte_ >> left_) & 1u;
    }
    unsigned bits(int count) {
        unsigned v = 0;
        for (int i = 0; i < count; ++i) v = (v << 1) | bit();
        return v;
    }
    bool overrun() const { return overrun_; }

private:
    void refill() {
        const int c = in_.next();
        if (c < 0) {
            byte_ = 0;
            overrun_ = true;
        } else {
            byte_ = static_cast<unsigned>(c);
        }
        left_ = 8;
    }
    Input& in_;
    unsigned byte_ = 0;
    int left_ = 0;
    bool overrun_ = false;
};

void encodeChar(Huffman& h, BitWriter& bits, int symbol) {
    // The path from the leaf up to the root, deepest bit lowest.
    std::uint64_t code = 0;
    int length = 0;
    int k = h.prnt[symbol + T];
    do {
        code |= std::uint64_t(k & 1) << length;
        ++length;
        k = h.prnt[k];
    } while (k != R);
    // Counts below 0x8000 keep the tree far shallower than 64 levels; still, a path is
    // written whole however long it is.
    while (length > 32) {
        length -= 32;
        bits.put(static_cast<std::uint32_t>(code >> length), 32);
    }
    bits.put(static_cast<std::uint32_t>(code), length);
    h.update(symbol);
}

void encodePosition(BitWriter& bits, int position) {
    const int upper = position >> 6;
    bits.put(kPosition.code[static_cast<std::size_t>(upper)] >> (8 - kPositionLength[static_cast<std::size_t>(upper)]),
             kPositionLength[static_cast<std::size_t>(upper)]);
    bits.put(static_cast<std::uint32_t>(position & 0x3F), 6);
}

int decodeChar(Huffman& h, BitReader& bits) {
    int c = h.son[R];
    while (c < T) c = h.son[c + static_cast<int>(bits.bit())];
    c -= T;
    h.update(c);
    return c;
}

int decodePosition(BitReader& bits) {
    const unsigned first = bits.bits(8);
    const int upper = kPosition.upper[first];
    const int length = kPosition.length[first];
    // 8 bits read so far; the code and the 6 lower bits take length + 6.
    const unsigned rest = bits.bits(length - 2);
    const unsigned all = (first << (length - 2)) | rest;
    return (upper << 6) | static_cast<int>(all & 0x3F);
}

}  // namespace

void TLZH::Encode(std::uint64_t& bytesWritten, const WriteFn& write, const ReadFn& read) {
    auto tables = getTables();
    Huffman& huff = tables->huff;
    Matcher& m = tables->match;
    Input in(read);
    Output out(write);
    BitWriter bits(out);

    huff.start();
    m.init();
    int s = 0;
    int r = N - F;
    std::fill(m.text.begin(), m.text.begin() + r, std::uint8_t{' '});
    int len = 0;
    for (int c; len < F && (c = in.next()) >= 0; ++len) m.text[static_cast<std::size_t>(r + len)] = static_cast<std::uint8_t>(c);
    if (len == 0) return;
    for (int i = 1; i <= F; ++i) m.insert(r - i);
    m.insert(r);
    do {
        if (m.matchLength > len) m.matchLength = len;
        if (m.matchLength <= kThreshold) {
            m.matchLength = 1;
            encodeChar(huff, bits, m.text[static_cast<std::size_t>(r)]);
        } else {
            encodeChar(huff, bits, 255 - kThreshold + m.matchLength);
            encodePosition(bits, m.matchPosition);
        }
        const int last = m.matchLength;
        int i = 0;
        for (int c; i < last && (c = in.next()) >= 0; ++i) {
            m.remove(s);
            m.text[static_cast<std::size_t>(s)] = static_cast<std::uint8_t>(c);
            if (s < F - 1) m.text[static_cast<std::size_t>(s + N)] = static_cast<std::uint8_t>(c);
            s = (s + 1) & (N - 1);
            r = (r + 1) & (N - 1);
            m.insert(r);
        }
        while (i++ < last) {
            m.remove(s);
            s = (s + 1) & (N - 1);
            r = (r + 1) & (N - 1);
            if (--len) m.insert(r);
        }
    } while (len > 0);
    bits.finish();
    out.flush();
    bytesWritten += out.written();
}

std::uint64_t TLZH::Decode(std::uint64_t size, const WriteFn& write, const ReadFn& read) {
    auto tables = getTables();
    Huffman& huff = tables->huff;
    std::uint8_t* text = tables->match.text.data();
    Input in(read);
    Output out(write);
    BitReader bits(in);

    huff.start();
    std::fill(text, text + (N - F), std::uint8_t{' '});
    int r = N - F;
    std::uint64_t count = 0;
    while (count < size) {
        const int c = decodeChar(huff, bits);
        if (c < 256) {
            if (bits.overrun()) break;
            out.put(static_cast<std::uint8_t>(c));
            text[r++] = static_cast<std::uint8_t>(c);
            r &= (N - 1);
            ++count;
        } else {
            const int from = (r - decodePosition(bits) - 1) & (N - 1);
            const int length = c - 255 + kThreshold;
            if (bits.overrun() || static_cast<std::uint64_t>(length) > size - count) break;
            for (int k = 0; k < length; ++k) {
                const std::uint8_t b = text[(from + k) & (N - 1)];
                out.put(b);
                text[r++] = b;
                r &= (N - 1);
            }
            count += static_cast<std::uint64_t>(length);
        }
    }
    out.flush();
    return count;
}

}  // namespace quorbit::tally
