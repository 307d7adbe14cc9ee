#pragma once
// TDictn: is this string a word?
//
// The list lives on disk as the word file "English": sorted 15-byte records (0x1E, then
// the word in upper case padded with spaces to 14 bytes). A lookup is a binary search
// that reads one record per probe from a read-only mapping of the file; no part of the
// list is copied into the heap, so memory does not grow with the list.
//
// When the folder has no word file, one is written from the built-in list, and only a
// file written this way is deleted again at destruction: a file that was already there
// belongs to the user and is used as found. When the folder cannot be written, the word
// file goes into the per-user temporary location instead, so the game stays playable.
#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace quorbit::dictionary {

inline constexpr std::size_t kRecordSize = 15;
inline constexpr std::size_t kKeyWidth = 15;
inline constexpr std::string_view kWordFileName = "English";
inline constexpr std::string_view kNotFoundMessage = "English.dic dictionary not found!";

class TDictn {
public:
    using Notice = std::function<void(const std::string&)>;

    // Opens (writing it first when missing) the word file in `folder`. `builtin` is the
    // record data written when the file is missing; empty means there is none. `notice`
    // receives kNotFoundMessage when no word file can be opened. `fileName` names the word
    // file in the folder (another language's file; with no built-in data it is never written).
    TDictn(std::filesystem::path folder, std::string_view builtin, Notice notice = {},
           std::string_view fileName = kWordFileName);
    // The usual component: current directory and the built-in list.
    explicit TDictn(Notice notice = {});
    ~TDictn();
    TDictn(const TDictn&) = delete;
    TDictn& operator=(const TDictn&) = delete;

    // True when `word`, trimmed and upper-cased, is a record of the file.
    bool IsWord(std::string_view word) const;

    bool isOpen() const { return open_; }
    std::size_t recordCount() const { return records_; }
    const std::filesystem::path& path() const { return path_; }
    bool ownsFile() const { return owned_; }
    int lastProbes() const { return probes_; }

private:
    void open(const std::filesystem::path& folder, std::string_view builtin, std::string_view fileName);
    bool writeFile(const std::filesystem::path& target, std::string_view builtin);

    std::filesystem::path path_;
    const char* data_ = nullptr;  // the mapped file
    std::size_t mapped_ = 0;
    std::size_t records_ = 0;
    bool open_ = false;
    bool owned_ = false;
    bool canonical_ = false;
    mutable int probes_ = 0;
};

}  // namespace quorbit::dictionary
