#pragma once
// A language loaded for play: everything a game in it needs, read once from the language's
// files and shared read-only between all the tables that play it.
//
//   the dictionary    the word file, for "is this a word?" (the server's lookups)
//   the graph         the solver's word graph (words of 2 to 7 letters)
//   computer words    the computer player's own words, lower-case, sorted, one a line
//   deal and values   from the language's descriptor (language.h)
//
// English is built in: its dictionary is the built-in word file (written into a folder as
// the server's always is), its graph and computer words are the program's own.
//
// The computer's words of another language are the words its graph marks as the computer
// player's. The Debian lists carry no frequencies, so the build chose them by how many
// entries of the whole list extend a word (its inflections and derivations: a stem with many
// forms is a basic, common word), the best ranked up to an eighth of the kept words and at
// most 8,000 (tools/mklanguage.cpp); Classic plays those, Strong and Expert the whole graph.
//
// The files are found in a folder the caller names (the app knows where the program's
// languages are); a file that is missing or damaged gives an error text, never a crash.
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/dictn.h"
#include "dictionary/wordgraph.h"
#include "language/language.h"

namespace quorbit::language {

class LoadedLanguage {
public:
    LoadedLanguage(const LoadedLanguage&) = delete;
    LoadedLanguage& operator=(const LoadedLanguage&) = delete;

    const Language& language() const { return language_; }
    std::string_view code() const { return language_.code; }
    const dictionary::TDictn& dictionary() const { return *dictionary_; }
    const dictionary::WordGraph& graph() const { return graph_; }
    // Lower-case, sorted, "\n" between words: as the server's computer player takes them.
    std::string_view computerWords() const { return computerWords_; }
    const DealWeights& deal() const { return language_.deal; }
    const rules::LetterValues& values() const { return language_.values; }

private:
    friend struct Loader;
    LoadedLanguage(const Language& language, std::unique_ptr<dictionary::TDictn> dictionary,
                   std::vector<std::uint64_t> graphRecords, std::string computerWords);

    const Language& language_;
    std::unique_ptr<dictionary::TDictn> dictionary_;
    std::vector<std::uint64_t> graphRecords_;  // empty for English: its graph is built in
    dictionary::WordGraph graph_;
    std::string computerWordsOwned_;
    std::string_view computerWords_;
};

struct LoadResult {
    std::shared_ptr<const LoadedLanguage> language;  // null on failure
    std::string error;                               // why, for the user; empty on success
    explicit operator bool() const { return language != nullptr; }
};

// Loads `language` from its files in `folder`. English needs no files there; its word file
// goes into `englishFolder` (the current folder when empty), as the server's always has.
LoadResult load(const Language& language, const std::filesystem::path& folder,
                const std::filesystem::path& englishFolder = {});

// The words of `graph` that end on a record with `flag`, lower-case, sorted, one a line.
std::string graphWords(const dictionary::WordGraph& graph, std::uint32_t flag);

// Each language loaded at most once in a process, however many tables play it. Safe to
// use from several threads. A failed load is not kept: a later call tries again.
class LanguageCache {
public:
    explicit LanguageCache(std::filesystem::path folder, std::filesystem::path englishFolder = {});
    // The language with this ISO 639-1 code; an error for a code that is not built.
    LoadResult get(std::string_view code);
    const std::filesystem::path& folder() const { return folder_; }

private:
    std::filesystem::path folder_;
    std::filesystem::path englishFolder_;
    std::mutex mutex_;
    std::map<std::string, std::shared_ptr<const LoadedLanguage>, std::less<>> loaded_;
};

// The codes built, English first, joined by ", ": for messages that list them.
std::string codesBuilt();

}  // namespace quorbit::language
