#include "app/support/languages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include "app/support/paths.h"

namespace quorbit::app {

QString languagesFolder() {
    const QString found = findIn(shippedDataFolders(), "languages");
    if (!found.isEmpty()) return found;
    return QDir(QCoreApplication::applicationDirPath()).filePath("languages");
}

language::LanguageCache& languageCache() {
    static language::LanguageCache cache(QFile::encodeName(languagesFolder()).toStdString());
    return cache;
}

language::LoadResult loadLanguage(std::string_view code) { return languageCache().get(code); }

}  // namespace quorbit::app
