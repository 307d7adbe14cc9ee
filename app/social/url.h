#pragma once
// TURL: an address and its type, opened with the desktop's default handler.
#include <QObject>
#include <QString>
#include <functional>

class TURL : public QObject {
    Q_OBJECT
public:
    enum class UrlType { File, Ftp, Gopher, Http, Https, Mailto, News, Telnet, Wais, None };

    explicit TURL(QObject* parent = nullptr) : QObject(parent) {}
    TURL(const QString& address, UrlType type, QObject* parent = nullptr)
        : QObject(parent), address_(address), type_(type) {}

    QString address() const { return address_; }
    void setAddress(const QString& a) { address_ = a; }
    UrlType urlType() const { return type_; }
    void setUrlType(UrlType t) { type_ = t; }

    // "file://", "ftp://", "gopher://", "http://", "https://", "mailto:", "news:",
    // "telnet:", "wais:", or nothing for None.
    static QString prefix(UrlType t);
    // The prefix of the type followed by the address.
    QString url() const { return prefix(type_) + address_; }

    // Hands url() to the desktop; true when the desktop took it. An empty address opens
    // nothing and answers false.
    bool open() const;

    // How an address reaches the desktop; tests replace it. The default is
    // QDesktopServices::openUrl.
    static std::function<bool(const QString& url)>& opener();

private:
    QString address_;
    UrlType type_ = UrlType::Http;
};
