#include "app/social/url.h"

#include <QDesktopServices>
#include <QUrl>

QString TURL::prefix(UrlType t) {
    switch (t) {
        case UrlType::File: return "file://";
        case UrlType::Ftp: return "ftp://";
        case UrlType::Gopher: return "gopher://";
        case UrlType::Http: return "http://";
        case UrlType::Https: return "https://";
        case UrlType::Mailto: return "mailto:";
        case UrlType::News: return "news:";
        case UrlType::Telnet: return "telnet:";
        case UrlType::Wais: return "wais:";
        case UrlType::None: return {};
    }
    return {};
}

std::function<bool(const QString&)>& TURL::opener() {
    static std::function<bool(const QString&)> open = [](const QString& url) {
        return QDesktopServices::openUrl(QUrl(url, QUrl::TolerantMode));
    };
    return open;
}

bool TURL::open() const {
    if (address_.trimmed().isEmpty()) return false;
    return opener() ? opener()(url()) : false;
}
