#include "dictionary/dictn.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "dictionary/builtin_words.h"

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

// The per-user temporary folder used when the current one cannot be written.
fs::path privateTempFolder() {
    std::error_code ec;
    fs::path base;
    if (const char* run = std::getenv("XDG_RUNTIME_DIR"); run && *run) base = run;
    else base = fs::temp_directory_path(ec);
    fs::path dir = base / ("quorbit-" + std::to_string(::getuid()));
    ::mkdir(dir.c_str(), 0700);
    return dir;
}

}  // namespace

std::string trimWord(std::string_view word) {
    std::string s(word);
    for (char& c : s)
        if (c == '\0') c = ' ';
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    const auto last = s.find_last_not_of(' ');
    return s.substr(first, last - first + 1);
}

TDictn::TDictn(Notice notice) : TDictn(fs::current_path(), builtinWordFile(), std::move(notice)) {}

TDictn::TDictn(fs::path folder, std::string_view builtin, Notice notice) {
    // The built-in data is taken up to its first zero byte.
    if (const auto zero = builtin.find('\0'); zero != std::string_view::npos) builtin = builtin.substr(0, zero);
    open(folder, builtin);
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

void TDictn::open(const fs::path& folder, std::string_view builtin) {
    path_ = folder / kWordFileName;
    std::error_code ec;
    if (!fs::exists(path_, ec) && !builtin.empty()) {
        if (writeFile(path_, builtin)) {
            owned_ = true;
        } else if (!fs::exists(path_, ec)) {
            // This folder cannot be written: use a file of our own in the private temp folder.
            path_ = privateTempFolder() / (std::string(kWordFileName) + "-" + std::to_string(::getpid()));
            ::unlink(path_.c_str());
            owned_ = writeFile(path_, builtin);
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
    std::string key = trimWord(word);
    if (key.empty()) return false;
    if (key.size() < kKeyWidth) key.resize(kKeyWidth, ' ');
    for (char& c : key) c = upper(c);

    char text[kKeyWidth];
    long lo = 0;
    long hi = static_cast<long>(records_) - 1;
    while (hi >= lo) {
        const long mid = (lo + hi) / 2;
        ++probes_;
        const char* rec = data_ + static_cast<std::size_t>(mid) * kRecordSize + 1;
        for (std::size_t i = 0; i < kKeyWidth - 1; ++i) text[i] = rec[i] == '\0' ? ' ' : upper(rec[i]);
        text[kKeyWidth - 1] = ' ';
        const int cmp = std::string_view(text, kKeyWidth).compare(key);
        if (cmp == 0) return true;
        if (cmp > 0) hi = mid - 1;
        else lo = mid + 1;
    }
    return false;
}

}  // namespace quorbit::dictionary
