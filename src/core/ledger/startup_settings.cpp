#include "core/ledger/startup_settings.h"

#include "core/ledger/cp932.h"
#include "core/ledger/settings_file.h"

namespace ravelto {

std::vector<std::string> PaymentKindsIni::DefaultKinds() {
    return {sj("口座振込み"), sj("持参")};
}

void PaymentKindsIni::Read(const std::filesystem::path& start_dir) {
    SettingsFile file = SettingsFile::Read(start_dir, kFileName);
    // A list is taken whole or not at all: a line that is not Shift-JIS means
    // the file is not ours.
    if (file.Exists() && file.AllValid())
        Kinds = file.Lines();
    else
        Kinds = DefaultKinds();
}

void PaymentKindsIni::Write(const std::filesystem::path& start_dir) const {
    WriteSettingsFile(start_dir, kFileName, Kinds);
}

std::string ReceiveIni::DefaultNoImportTitle() {
    return sj("見積");
}

bool ReceiveIni::IsSettleDay(int day) {
    return day == 0 || day == 5 || day == 10 || day == 15 || day == 20 || day == 25;
}

void ReceiveIni::Read(const std::filesystem::path& start_dir) {
    *this = ReceiveIni();
    SettingsFile file = SettingsFile::Read(start_dir, kFileName);
    if (!file.Exists()) return;
    FuriganaShown = file.Bool(1, true);
    SettleDay = file.Int(2, 0, 0, 25);
    if (!IsSettleDay(SettleDay)) SettleDay = 0;
    CarryOverMethod = file.Int(3, 0, 0, 2);
    NoImportTitle = file.Text(4);
    if (NoImportTitle.empty()) NoImportTitle = DefaultNoImportTitle();
    DisplayItemsOnly = file.Bool(5, true);
    CurrentMonthOnly = file.Bool(6, false);
    BackupPeriodLimited = file.Bool(7, false);
}

void ReceiveIni::Write(const std::filesystem::path& start_dir) const {
    WriteSettingsFile(start_dir, kFileName,
                      {BoolText(FuriganaShown), std::to_string(SettleDay),
                       std::to_string(CarryOverMethod), NoImportTitle, BoolText(DisplayItemsOnly),
                       BoolText(CurrentMonthOnly), BoolText(BackupPeriodLimited)});
}

std::string BackupNameIni::DefaultPrefix() {
    return sj("入金");
}

void BackupNameIni::Read(const std::filesystem::path& start_dir) {
    *this = BackupNameIni();
    SettingsFile file = SettingsFile::Read(start_dir, kFileName);
    if (!file.Exists()) return;
    BackupNamePrefix = file.Text(1);
    if (BackupNamePrefix.empty()) BackupNamePrefix = DefaultPrefix();
    BackupNameSuffix = file.Text(2);
}

void BackupNameIni::Write(const std::filesystem::path& start_dir) const {
    WriteSettingsFile(start_dir, kFileName, {BackupNamePrefix, BackupNameSuffix});
}

void RepairWriteIni::Read(const std::filesystem::path& start_dir) {
    RepairWriteItem = SettingsFile::Read(start_dir, kFileName).Text(1);
}

void RepairWriteIni::Write(const std::filesystem::path& start_dir) const {
    WriteSettingsFile(start_dir, kFileName, {RepairWriteItem});
}

void PasswordIni::Read(const std::filesystem::path& start_dir) {
    // Kept byte for byte, valid Shift-JIS or not: a damaged line still locks
    // the ledger (nothing typed matches it) instead of silently opening it.
    const SettingsFile file = SettingsFile::Read(start_dir, kFileName);
    StartupPassword = file.LineCount() >= 1 ? file.Lines().front() : std::string();
}

void PasswordIni::Write(const std::filesystem::path& start_dir) const {
    WriteSettingsFile(start_dir, kFileName, {StartupPassword});
}

void BackupDirectoryIni::Read(const std::filesystem::path& start_dir) {
    BackupDirectory = SettingsFile::Read(start_dir, kFileName).Text(1);
}

void BackupDirectoryIni::Write(const std::filesystem::path& start_dir) const {
    WriteSettingsFile(start_dir, kFileName, {BackupDirectory});
}

void StartupSettings::Read(const std::filesystem::path& start_dir) {
    PaymentKinds.Read(start_dir);
    Receive.Read(start_dir);
    BackupName.Read(start_dir);
    RepairWrite.Read(start_dir);
    Password.Read(start_dir);
    BackupDir.Read(start_dir);
}

}  // namespace ravelto
