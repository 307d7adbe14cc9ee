#include "app/client/settingsfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace quorbit::app {

social::IniFile SettingsFile::load() const {
    QFile f(path_);
    if (!f.open(QIODevice::ReadOnly)) return {};  // a missing file reads as all defaults
    return social::IniFile::parse(f.readAll().toStdString());
}

bool SettingsFile::write(const social::IniFile& ini) {
    const QByteArray bytes = QByteArray::fromStdString(ini.text());
    QSaveFile out(path_);
    if (path_.isEmpty() || !out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
        if (failed) failed(QString("Unable to write to %1").arg(QFileInfo(path_).absoluteFilePath()));
        return false;
    }
    return true;
}

social::SettingsRead SettingsFile::read() const { return social::readSettings(load()); }

bool SettingsFile::save(const social::SettingsSave& settings) {
    social::IniFile ini = load();
    social::writeSettings(ini, settings);
    return write(ini);
}

bool SettingsFile::savePhrases(const std::vector<std::string>& phrases) {
    social::IniFile ini = load();
    for (std::size_t i = 0; i < phrases.size() && i < social::kPhraseKeys; ++i)
        social::writePhrase(ini, static_cast<int>(i) + 1, phrases[i]);
    return write(ini);
}

QString SettingsFile::remembered(std::string_view key) const {
    return QString::fromStdString(load().get(social::kSettingsSection, key, ""));
}

bool SettingsFile::remember(std::string_view key, const QString& value) {
    social::IniFile ini = load();
    if (ini.get(social::kSettingsSection, key, "") == value.toStdString()) return true;
    ini.set(social::kSettingsSection, key, value.toStdString());
    return write(ini);
}

QString SettingsFile::rememberedName() const { return remembered(kJoinNameKey); }
bool SettingsFile::rememberName(const QString& name) { return remember(kJoinNameKey, name); }
QString SettingsFile::rememberedServer() const { return remembered(kLobbyServerKey); }
bool SettingsFile::rememberServer(const QString& address) { return remember(kLobbyServerKey, address); }
QString SettingsFile::rememberedAccount() const { return remembered(kLobbyAccountKey); }
bool SettingsFile::rememberAccount(const QString& name) { return remember(kLobbyAccountKey, name); }

std::optional<std::string> SettingsFile::keptFingerprint(const std::string& hostPort) const {
    return load().value(kTlsSection, hostPort);
}

bool SettingsFile::keepFingerprint(const std::string& hostPort, const std::string& fingerprint) {
    social::IniFile ini = load();
    ini.set(kTlsSection, hostPort, fingerprint);
    return write(ini);
}

}  // namespace quorbit::app
