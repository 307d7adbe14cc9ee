#pragma once
// The client's settings file (orvanelobby.ini): reading it whole, writing the options
// and the window's bounds, the phrases and the remembered Join name, each write keeping
// every other line of the file. The lobby keeps its server there too. A file that cannot be written is reported through
// `failed` with the message the player sees.
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "social/settings.h"

namespace quorbit::app {

class SettingsFile {
public:
    // The key of the remembered Join name.
    static constexpr std::string_view kJoinNameKey = "Joinname";
    // The key of the table server the lobby last connected to.
    static constexpr std::string_view kLobbyServerKey = "Lobbyserver";
    // The key of the account the lobby last logged in to (its name, never its password).
    static constexpr std::string_view kLobbyAccountKey = "Lobbyaccount";

    void setPath(const QString& path) { path_ = path; }
    const QString& path() const { return path_; }

    // Every option, defaulted and clamped; a missing file reads as all defaults.
    social::SettingsRead read() const;
    bool save(const social::SettingsSave& settings);
    // Phrase n (1..10) for each phrase given.
    bool savePhrases(const std::vector<std::string>& phrases);
    // The player's name as the Join window last used it (the key Joinname).
    QString rememberedName() const;
    bool rememberName(const QString& name);
    // The lobby's server as last connected to (the key Lobbyserver).
    QString rememberedServer() const;
    bool rememberServer(const QString& address);
    // The lobby's account as last logged in to (the key Lobbyaccount); empty: none.
    QString rememberedAccount() const;
    bool rememberAccount(const QString& name);

    // The certificate fingerprint kept for a server (key "HOST:PORT" in the [tls]
    // section), shared by the game and the lobby, which use the same file.
    static constexpr std::string_view kTlsSection = "tls";
    std::optional<std::string> keptFingerprint(const std::string& hostPort) const;
    bool keepFingerprint(const std::string& hostPort, const std::string& fingerprint);

    std::function<void(const QString& message)> failed;

private:
    social::IniFile load() const;
    bool write(const social::IniFile& ini);
    QString remembered(std::string_view key) const;
    bool remember(std::string_view key, const QString& value);

    QString path_;
};

}  // namespace quorbit::app
