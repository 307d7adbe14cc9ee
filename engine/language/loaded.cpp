#include "language/loaded.h"

#include <cstring>
#include <fstream>

#include "dictionary/builtin_words.h"

namespace quorbit::language {
namespace fs = std::filesystem;

namespace {

// No language's word file comes near 64 MB; a larger file is not one.
constexpr std::uintmax_t kMaxWordFile = 64u << 20;

// True when `file` is a word file as the dictionary reads it: whole 15-byte records, each
// 0x1E and a word of A..Z padded with spaces, in strictly ascending order. A file that is
// not would make lookups answer wrongly without any sign, so it is refused up front.
bool wordFileIsSound(const fs::path& file) {
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(file, ec);
    if (ec || size == 0 || size % dictionary::kRecordSize != 0 || size > kMaxWordFile) return false;
    std::ifstream in(file, std::ios::binary);
    std::string data(static_cast<std::size_t>(size), '\0');
    if (!in.read(data.data(), static_cast<std::streamsize>(size))) return false;
    std::string_view previous;
    for (std::size_t off = 0; off < data.size(); off += dictionary::kRecordSize) {
        const std::string_view record(data.data() + off, dictionary::kRecordSize);
        if (record[0] != '\x1E') return false;
        const std::string_view word = record.substr(1);
        bool padding = false;
        for (const char c : word) {
            if (c == ' ') padding = true;
            else if (c < 'A' || c > 'Z' || padding) return false;
        }
        if (word[0] == ' ' || (!previous.empty() && !(previous < word))) return false;
        previous = word;
    }
    return true;
}

void collect(const dictionary::WordGraph& graph, std::uint32_t record, std::uint32_t flag, std::string& word,
             std::string& out) {
    if (word.size() > 15) return;  // graphs hold words of at most 7 letters; never loop on a bad one
    if (!word.empty() && (graph.flags(record) & flag) == flag) out.append(word).push_back('\n');
    for (int l = 0; l < 26; ++l) {
        const std::uint32_t child = graph.child(record, l);
        if (child == dictionary::WordGraph::kNone) continue;
        word.push_back(static_cast<char>('a' + l));
        collect(graph, child, flag, word, out);
        word.pop_back();
    }
}

}  // namespace

struct Loader {
    static LoadResult load(const Language& language, const fs::path& folder, const fs::path& englishFolder) {
        LoadResult r;
        const std::string name(language.name);
        if (language.builtIn()) {
            const fs::path where = englishFolder.empty() ? fs::current_path() : englishFolder;
            // As the server has always done: a word file that cannot be written anywhere
            // leaves English without lookups (the server says so), not without a game.
            auto dictionary = std::make_unique<dictionary::TDictn>(where, dictionary::builtinWordFile());
            r.language.reset(new LoadedLanguage(language, std::move(dictionary), {}, {}));
            return r;
        }
        const fs::path wordFile = folder / language.wordFile;
        const fs::path graphFile = folder / language.graphFile;
        std::error_code ec;
        if (!fs::is_regular_file(wordFile, ec) || !fs::is_regular_file(graphFile, ec)) {
            r.error = name + " is not installed: " + (fs::is_regular_file(wordFile, ec) ? graphFile : wordFile).string() +
                      " is missing";
            return r;
        }
        if (!wordFileIsSound(wordFile)) {
            r.error = name + ": the word file " + wordFile.string() + " is damaged";
            return r;
        }
        auto graph = readGraph(graphFile);
        if (!graph || graph->empty()) {
            r.error = name + ": the word graph " + graphFile.string() + " is damaged";
            return r;
        }
        auto dictionary = std::make_unique<dictionary::TDictn>(folder, std::string_view{}, dictionary::TDictn::Notice{},
                                                               language.wordFile);
        if (!dictionary->isOpen() || dictionary->recordCount() == 0) {
            r.error = name + ": the word file " + wordFile.string() + " cannot be read";
            return r;
        }
        const std::string computer = graphWords(dictionary::WordGraph(*graph), dictionary::WordGraph::kComputer);
        r.language.reset(new LoadedLanguage(language, std::move(dictionary), std::move(*graph), computer));
        return r;
    }
};

LoadedLanguage::LoadedLanguage(const Language& language, std::unique_ptr<dictionary::TDictn> dictionary,
                               std::vector<std::uint64_t> graphRecords, std::string computerWords)
    : language_(language),
      dictionary_(std::move(dictionary)),
      graphRecords_(std::move(graphRecords)),
      graph_(language.builtIn() ? dictionary::builtinWordGraph() : std::span<const std::uint64_t>(graphRecords_)),
      computerWordsOwned_(std::move(computerWords)),
      computerWords_(language.builtIn() ? dictionary::builtinComputerWords() : std::string_view(computerWordsOwned_)) {}

LoadResult load(const Language& language, const fs::path& folder, const fs::path& englishFolder) {
    try {
        return Loader::load(language, folder, englishFolder);
    } catch (const std::exception& e) {  // out of memory, a file system that throws
        LoadResult r;
        r.error = std::string(language.name) + " cannot be loaded: " + e.what();
        return r;
    }
}

std::string graphWords(const dictionary::WordGraph& graph, std::uint32_t flag) {
    std::string out, word;
    if (graph.root() != dictionary::WordGraph::kNone) collect(graph, graph.root(), flag, word, out);
    return out;
}

LanguageCache::LanguageCache(fs::path folder, fs::path englishFolder)
    : folder_(std::move(folder)), englishFolder_(std::move(englishFolder)) {}

LoadResult LanguageCache::get(std::string_view code) {
    const Language* language = find(code);
    if (!language) {
        LoadResult r;
        r.error = "no language \"" + std::string(code) + "\" (languages: " + codesBuilt() + ")";
        return r;
    }
    const std::lock_guard lock(mutex_);
    if (const auto it = loaded_.find(code); it != loaded_.end()) return {it->second, {}};
    LoadResult r = load(*language, folder_, englishFolder_);
    if (r) loaded_.emplace(std::string(code), r.language);
    return r;
}

std::string codesBuilt() {
    std::string s;
    for (const Language& l : all()) s += (s.empty() ? "" : ", ") + std::string(l.code);
    return s;
}

}  // namespace quorbit::language
