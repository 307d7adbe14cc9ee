#include "dictionary/dictn.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

#include "dictionary/builtin_words.h"
#include "dictionary/private_folder.h"

namespace quorbit::dictionary {
namespace fs = std::filesystem;

namespace {

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::uint64_t bigEndian64(const char* p) {
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    if constexpr (std::endian::native == std::endian::big) return v;
    else return __builtin_bswap64(v);
}

// True when every word byte of every record is an upper-case letter or a space, so
// records compare as they lie, without converting each probe.
bool isCanonical(const char* data, std::size_t size) {
    bool ok = true;
    for (std::size_t off = 0; off < size; off += kRecordSize)
        for (std::size_t i = 1; i < kRecordSize; ++i) {
            const char c = data[off + i];
            ok &= (c >= 'A' && c <= 'Z') || c == ' ';
        }
    return ok;
}

}  // namespace

TDictn::TDictn(Notice notice) : TDictn(fs::current_path(), builtinWordFile(), std::move(notice)) {}

TDictn::TDictn(fs::path folder, std::string_view builtin, Notice notice, std::string_view fileName) {
    // The built-in data is taken up to its first zero byte.
    if (const auto zero = builtin.find('\0'); zero != std::string_view::npos) builtin = builtin.substr(0, zero);
    open(folder, builtin, fileName);
    if (!open_ && notice) notice(std::string(kNotFoundMessage));
}

// Writes `builtin` as `target` without ever replacing a file someone else made there:
// the bytes go to a private name first and are linked in place only if `target` is free.
bool TDictn::writeFile(const fs::path& target, std::string_view builtin) {
    const fs::path temp = target.parent_path() /
        (std::string(kWordFileName) + "." + std::to_string(::getpid()) + ".tmp");
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const bool ok = writeAll(fd, builtin) && ::close(fd) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    const bool linked = ::link(temp.c_str(), target.c_str()) == 0;
    ::unlink(temp.c_str());
    return linked;
}

void TDictn::open(const fs::path& folder, std::string_view builtin, std::string_view fileName) {
    path_ = folder / fileName;
    std::error_code ec;
    if (!fs::exists(path_, ec) && !builtin.empty()) {
        if (writeFile(path_, builtin)) {
            owned_ = true;
        } else if (!fs::exists(path_, ec)) {
            // This folder cannot be written: use a file of our own in the private temp
            // folder, when there is one that is safely ours.
            const fs::path folder = privateTempFolder();
            if (!folder.empty()) {
                path_ = folder / (std::string(kWordFileName) + "-" + std::to_string(::getpid()));
                ::unlink(path_.c_str());
                owned_ = writeFile(path_, builtin);
            }
        }
    }
    const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return;
    }
    open_ = true;
    records_ = static_cast<std::size_t>(st.st_size) / kRecordSize;
    if (records_ > 0) {
        mapped_ = records_ * kRecordSize;
        void* p = ::mmap(nullptr, mapped_, PROT_READ, MAP_SHARED, fd, 0);
        if (p == MAP_FAILED) {
            open_ = false;
            records_ = 0;
            mapped_ = 0;
        } else {
            data_ = static_cast<const char*>(p);
            canonical_ = isCanonical(data_, mapped_);
        }
    }
    ::close(fd);
}

TDictn::~TDictn() {
    if (data_) ::munmap(const_cast<char*>(data_), mapped_);
    if (owned_) ::unlink(path_.c_str());
}

bool TDictn::IsWord(std::string_view word) const {
    probes_ = 0;
    if (!open_ || records_ == 0) return false;
    if (word.size() > 255) word = word.substr(0, 255);
    // Trim spaces and zero bytes (a zero byte counts as a space).
    auto blank = [](char c) { return c == ' ' || c == '\0'; };
    std::size_t first = 0, last = word.size();
    while (first < last && blank(word[first])) ++first;
    while (last > first && blank(word[last - 1])) --last;
    const std::size_t len = last - first;
    if (len == 0) return false;
    // Every record reads as 14 bytes and a space, so a key of 15 or more characters
    // never equals one: the search could only end in "not found".
    if (len >= kKeyWidth) return false;

    char key[kKeyWidth];
    for (std::size_t i = 0; i < kKeyWidth; ++i) {
        const char c = i < len ? word[first + i] : ' ';
        key[i] = c == '\0' ? ' ' : upper(c);
    }
    const std::string_view keyView(key, kKeyWidth);

    // The 14 word bytes as two big-endian numbers (bytes 0-7 and 6-13), so that a
    // probe of a canonical file is two integer comparisons in byte order.
    const std::uint64_t keyHead = bigEndian64(key), keyTail = bigEndian64(key + 6);
    char text[kKeyWidth];
    text[kKeyWidth - 1] = ' ';
    long lo = 0;
    long hi = static_cast<long>(records_) - 1;
    while (hi >= lo) {
        const long mid = (lo + hi) / 2;
        ++probes_;
        const char* rec = data_ + static_cast<std::size_t>(mid) * kRecordSize + 1;
        int cmp;
        if (canonical_) {
            // Records already upper case: compare the bytes as they lie in the file.
            const std::uint64_t head = bigEndian64(rec);
            const std::uint64_t tail = head == keyHead ? bigEndian64(rec + 6) : 0;
            cmp = head != keyHead ? (head < keyHead ? -1 : 1) : (tail == keyTail ? 0 : (tail < keyTail ? -1 : 1));
        } else {
            for (std::size_t i = 0; i < kKeyWidth - 1; ++i) text[i] = rec[i] == '\0' ? ' ' : upper(rec[i]);
            cmp = std::string_view(text, kKeyWidth).compare(keyView);
        }
        if (cmp == 0) return true;
        if (cmp > 0) hi = mid - 1;
        else lo = mid + 1;
    }
    return false;
}

}  // namespace quorbit::dictionary
