#include "platform/user_settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QVariant>
#include <memory>

namespace ravelto::platform {

namespace {

QString DefaultFile() {
#ifdef _WIN32
    return {};
#else
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Ravelto/Ravelto.ini");
#endif
}

// The settings of "\Software\" + key, opened as a group.
std::unique_ptr<QSettings> Open(const QString& file, const QString& key) {
    std::unique_ptr<QSettings> settings;
#ifdef _WIN32
    (void)file;
    settings = std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\Software\\") + key,
                                           QSettings::NativeFormat);
#else
    settings = std::make_unique<QSettings>(file, QSettings::IniFormat);
    settings->beginGroup(key);
#endif
    return settings;
}

}  // namespace

QtUserSettings::QtUserSettings() : file_(DefaultFile()) {}

QtUserSettings::QtUserSettings(QString file) : file_(std::move(file)) {}

bool QtUserSettings::KeyExists(const QString& key) const {
    return !Open(file_, key)->childKeys().isEmpty();
}

std::optional<int32_t> QtUserSettings::ReadInt(const QString& key, const QString& name) const {
    QVariant value = Open(file_, key)->value(name);
    if (!value.isValid()) return std::nullopt;
    bool ok = false;
    qlonglong number = value.toLongLong(&ok);
    if (!ok || number < INT32_MIN || number > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(number);
}

void QtUserSettings::WriteInt(const QString& key, const QString& name, int32_t value) {
#ifndef _WIN32
    QDir().mkpath(QFileInfo(file_).absolutePath());
#endif
    auto settings = Open(file_, key);
    settings->setValue(name, static_cast<int>(value));
    settings->sync();
    if (settings->status() != QSettings::NoError)
        throw UserSettingsError("ウィンドウの位置を保存できません（" +
                                (file_.isEmpty() ? key : file_).toStdString() + "）。");
}

void QtUserSettings::RemoveValue(const QString& key, const QString& name) {
    auto settings = Open(file_, key);
    settings->remove(name);
    settings->sync();
}

bool MemoryUserSettings::KeyExists(const QString& key) const {
    for (const auto& [k, v] : values)
        if (k.first == key) return true;
    return false;
}

std::optional<int32_t> MemoryUserSettings::ReadInt(const QString& key, const QString& name) const {
    auto it = values.find({key, name});
    if (it == values.end()) return std::nullopt;
    return it->second;
}

void MemoryUserSettings::WriteInt(const QString& key, const QString& name, int32_t value) {
    values[{key, name}] = value;
}

void MemoryUserSettings::RemoveValue(const QString& key, const QString& name) {
    values.erase({key, name});
}

}  // namespace ravelto::platform
