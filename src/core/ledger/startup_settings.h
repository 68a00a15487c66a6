#pragma once

// The settings files the ledger window reads from its start directory when it
// is created, in the order it reads them: RcInType.INI, Receive.INI,
// RavoSave.INI, RcPutData.INI, RcPass.INI, INIDIR.INI. Text is CP932.
// Each Read throws SettingsFileError only for a file that exists but cannot
// be read; each Write replaces the whole file (SettingsFileError on failure).

#include <filesystem>
#include <string>
#include <vector>

namespace ravelto {

// RcInType.INI: the payment kinds offered by the three payment-kind boxes,
// one per line. Without the file (or with an empty one, or one that is not
// Shift-JIS) the kinds are "口座振込み" and "持参".
struct PaymentKindsIni {
    static constexpr const char* kFileName = "RcInType.INI";
    std::vector<std::string> Kinds = DefaultKinds();

    static std::vector<std::string> DefaultKinds();
    void Read(const std::filesystem::path& start_dir);
    void Write(const std::filesystem::path& start_dir) const;
};

// Receive.INI: the ledger window's own settings, read at start and written
// whole at close.
//   1 "True": the furigana row is shown (menu ふりがな(&F))
//   2 SettleDay: 0 (month end), 5, 10, 15, 20 or 25
//   3 CarryOverMethod: 0, 1 or 2
//   4 NoImportTitle (empty reads as "見積")
//   5 "True": 表示項目のみ checked
//   6 "True": 当月のみ checked
//   7 "True": バックアップ方法 ▸ 期間限定 checked
// Without the file every value keeps its initial value below. A settlement
// day or carry-over method the window cannot work with reads as 0.
struct ReceiveIni {
    static constexpr const char* kFileName = "Receive.INI";
    bool FuriganaShown = true;
    int SettleDay = 0;
    int CarryOverMethod = 0;
    std::string NoImportTitle = DefaultNoImportTitle();
    bool DisplayItemsOnly = true;
    bool CurrentMonthOnly = false;
    bool BackupPeriodLimited = false;

    static std::string DefaultNoImportTitle();  // "見積"
    static bool IsSettleDay(int day);           // 0, 5, 10, 15, 20, 25
    void Read(const std::filesystem::path& start_dir);
    void Write(const std::filesystem::path& start_dir) const;
};

// RavoSave.INI: 1 BackupNamePrefix, 2 BackupNameSuffix. Prepared outside the
// program; an empty prefix reads as "入金".
struct BackupNameIni {
    static constexpr const char* kFileName = "RavoSave.INI";
    std::string BackupNamePrefix = DefaultPrefix();
    std::string BackupNameSuffix;

    static std::string DefaultPrefix();  // "入金"
    void Read(const std::filesystem::path& start_dir);
    void Write(const std::filesystem::path& start_dir) const;
};

// RcPutData.INI: 1 RepairWriteItem. When not empty the repair-statement
// write is offered.
struct RepairWriteIni {
    static constexpr const char* kFileName = "RcPutData.INI";
    std::string RepairWriteItem;

    void Read(const std::filesystem::path& start_dir);
    void Write(const std::filesystem::path& start_dir) const;
};

// RcPass.INI: 1 StartupPassword, as typed; empty means none. The line is
// taken as it is stored, even when it is not valid Shift-JIS.
struct PasswordIni {
    static constexpr const char* kFileName = "RcPass.INI";
    std::string StartupPassword;

    void Read(const std::filesystem::path& start_dir);
    void Write(const std::filesystem::path& start_dir) const;
};

// INIDIR.INI: 1 BackupDirectory, prefix of proposed backup file names and
// first directory of the restore dialog. Prepared outside the program.
struct BackupDirectoryIni {
    static constexpr const char* kFileName = "INIDIR.INI";
    std::string BackupDirectory;

    void Read(const std::filesystem::path& start_dir);
    void Write(const std::filesystem::path& start_dir) const;
};

// Everything the ledger window reads at creation, read in its order.
struct StartupSettings {
    PaymentKindsIni PaymentKinds;
    ReceiveIni Receive;
    BackupNameIni BackupName;
    RepairWriteIni RepairWrite;
    PasswordIni Password;
    BackupDirectoryIni BackupDir;

    void Read(const std::filesystem::path& start_dir);
};

}  // namespace ravelto
