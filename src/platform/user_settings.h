#pragma once

// The per-user store of 32-bit integer values that window placement lives in:
// on Windows the registry (HKEY_CURRENT_USER\Software\<key>), elsewhere a
// per-user settings file (Ravelto/Ravelto.ini in the user's configuration
// folder, one group per key). Replaceable, so tests never touch the user's
// real settings.

#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include <QString>

namespace ravelto::platform {

// A value that could not be saved. what() is Japanese UTF-8.
class UserSettingsError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class UserSettings {
  public:
    virtual ~UserSettings() = default;
    // The key "\Software\" + key exists (holds any value).
    virtual bool KeyExists(const QString& key) const = 0;
    // Nothing when the value is missing or not a 32-bit integer.
    virtual std::optional<int32_t> ReadInt(const QString& key, const QString& name) const = 0;
    // Creates the key when needed. Throws UserSettingsError.
    virtual void WriteInt(const QString& key, const QString& name, int32_t value) = 0;
    virtual void RemoveValue(const QString& key, const QString& name) = 0;
};

// The real store, through QSettings.
class QtUserSettings : public UserSettings {
  public:
    QtUserSettings();
    // Elsewhere than Windows: the settings file to use instead of the usual one.
    explicit QtUserSettings(QString file);

    bool KeyExists(const QString& key) const override;
    std::optional<int32_t> ReadInt(const QString& key, const QString& name) const override;
    void WriteInt(const QString& key, const QString& name, int32_t value) override;
    void RemoveValue(const QString& key, const QString& name) override;

    const QString& File() const { return file_; }

  private:
    QString file_;  // empty on Windows: the registry
};

// Values kept in memory, for tests.
class MemoryUserSettings : public UserSettings {
  public:
    bool KeyExists(const QString& key) const override;
    std::optional<int32_t> ReadInt(const QString& key, const QString& name) const override;
    void WriteInt(const QString& key, const QString& name, int32_t value) override;
    void RemoveValue(const QString& key, const QString& name) override;

    std::map<std::pair<QString, QString>, int32_t> values;
};

}  // namespace ravelto::platform
