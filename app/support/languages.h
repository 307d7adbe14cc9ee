#pragma once
// Where the program's languages are, and the one cache of loaded languages that every
// table of this process shares.
//
// The files of the languages built from word lists lie in `languages` beside the program
// in the build tree (a portable build) or in share/quorbit/languages when installed.
#include <QString>

#include "language/loaded.h"

namespace quorbit::app {

// The folder holding the language files: `languages` in the first shipped data folder that
// has one; the program's own `languages` (which may not exist) when none does.
QString languagesFolder();

// The process's languages, each loaded at most once. English's word file goes to the
// current folder, as the server's always has.
language::LanguageCache& languageCache();

// Loads the language with `code` through the cache: an error text when it is not built,
// not installed or damaged.
language::LoadResult loadLanguage(std::string_view code);

}  // namespace quorbit::app
