#include "core/ledger/settings_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/ledger/company_info.h"
#include "core/ledger/cp932.h"
#include "core/ledger/startup_settings.h"
#include "core/ledger/title_colors.h"

namespace ravelto {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteBytes(const fs::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary);
    out << bytes;
}

const fs::path kDir = ".";

TEST(SettingsFile, LinesWithCrLfOrBareLfAndMissingLines) {
    WriteBytes("a.INI", "one\r\n 42 \ntwo\r\n\r\nTrue");
    SettingsFile file = SettingsFile::Read(kDir, "a.INI");
    ASSERT_TRUE(file.Exists());
    EXPECT_EQ(file.LineCount(), 5);
    EXPECT_EQ(file.Text(1), "one");
    EXPECT_EQ(file.Int(2, -1, 0, 100), 42);
    EXPECT_EQ(file.Text(3), "two");
    EXPECT_EQ(file.Text(4), "");
    EXPECT_TRUE(file.Bool(5, false));
    EXPECT_EQ(file.Text(6), "");           // missing line reads as empty
    EXPECT_FALSE(file.Bool(6, true));      // ... so a switch is off
    EXPECT_EQ(file.Int(6, 7, 0, 100), 7);  // ... and a number keeps its default
}

TEST(SettingsFile, NumbersThatAreNotNumbersGiveTheDefault) {
    const char* bad[] = {"", "abc", "12x", "1 2", "-", "99999999999", "101", "-1", "１２"};
    for (const char* text : bad) {
        SettingsFile file = SettingsFile::FromBytes(std::string(text) + "\r\n");
        EXPECT_EQ(file.Int(1, 5, 0, 100), 5) << text;
    }
    EXPECT_EQ(SettingsFile::FromBytes("-3\r\n").Int(1, 5, -10, 10), -3);
    EXPECT_EQ(SettingsFile::FromBytes("+3\r\n").Int(1, 5, -10, 10), 3);
}

TEST(SettingsFile, InvalidShiftJisLineGivesTheDefault) {
    // 0x81 followed by 0x20 is a broken double-byte character; 0xA0 is no character at all.
    SettingsFile file = SettingsFile::FromBytes(std::string("\x81\x20x\r\n\xA0\r\nok\r\n"));
    EXPECT_FALSE(file.IsValid(1));
    EXPECT_EQ(file.Text(1, "fallback"), "fallback");
    EXPECT_TRUE(file.Bool(2, true));
    EXPECT_FALSE(file.AllValid());
    EXPECT_EQ(file.Text(3), "ok");
}

TEST(SettingsFile, WriteIsCrLfAfterEveryLineAndLeavesNoTemporaryFile) {
    WriteSettingsFile(kDir, "b.INI", {sj("見積"), "", "True"});
    EXPECT_EQ(ReadBytes("b.INI"), sj("見積") + "\r\n\r\nTrue\r\n");
    WriteSettingsFile(kDir, "b.INI", {"x"});
    EXPECT_EQ(ReadBytes("b.INI"), "x\r\n");
    int files = 0;
    for (const auto& entry : fs::directory_iterator(kDir)) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1);
}

// A value with a line break in it (pasted into a one-line field) would become
// two lines and move every later value up a line at the next start.
TEST(SettingsFile, ValueWithALineBreakIsRefusedAndTheOldFileStays) {
    WriteSettingsFile(kDir, "User.INI", {"a", "b", "c"});
    for (const char* value : {"1-2 Chuo\nTokyo", "x\r", "\r\n"}) {
        try {
            WriteSettingsFile(kDir, "User.INI", {value, "b", "c"});
            FAIL() << "no error";
        } catch (const SettingsFileError& e) {
            EXPECT_NE(std::string(e.what()).find("改行"), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find("User.INI"), std::string::npos) << e.what();
        }
        EXPECT_EQ(ReadBytes("User.INI"), "a\r\nb\r\nc\r\n");
    }
}

TEST(SettingsFile, WriteIntoAMissingFolderSaysWhyInJapanese) {
    try {
        WriteSettingsFile("no-such-folder", "c.INI", {"new"});
        FAIL() << "no error";
    } catch (const SettingsFileError& e) {
        EXPECT_NE(std::string(e.what()).find("フォルダが見つかりません"), std::string::npos)
            << e.what();
    }
}

TEST(SettingsFile, FailedWriteKeepsTheOldFileAndSaysWhyInJapanese) {
    fs::create_directory("ro");
    WriteBytes("ro/c.INI", "old\r\n");
    fs::permissions("ro", fs::perms::owner_read | fs::perms::owner_exec, fs::perm_options::replace);
    if (::access("ro", W_OK) == 0) GTEST_SKIP() << "running with permissions that ignore modes";
    try {
        WriteSettingsFile("ro", "c.INI", {"new"});
        FAIL() << "no error";
    } catch (const SettingsFileError& e) {
        EXPECT_NE(std::string(e.what()).find("を書き込めません"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("c.INI"), std::string::npos);
    }
    fs::permissions("ro", fs::perms::owner_all, fs::perm_options::replace);
    EXPECT_EQ(ReadBytes("ro/c.INI"), "old\r\n");
}

// The write itself fails half-way (the disk is full, here: the file-size
// limit is reached), as it can whatever the user's rights: the old file
// is still there, whole.
TEST(SettingsFile, WriteThatFailsHalfWayKeepsTheOldFile) {
    WriteBytes("RcInType.INI", "old\r\n");
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 1024;
    auto old_handler = ::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    bool threw = false;
    try {
        WriteSettingsFile(kDir, "RcInType.INI", {std::string(4000, 'x')});
    } catch (const SettingsFileError&) {
        threw = true;
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, old_handler);
    EXPECT_TRUE(threw);
    EXPECT_EQ(ReadBytes("RcInType.INI"), "old\r\n");
    int files = 0;
    for (const auto& entry : fs::directory_iterator(kDir)) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1);  // no temporary file left behind
}

TEST(SettingsFile, FolderWhereTheFileShouldBeIsAnError) {
    fs::create_directory("Receive.INI");
    ReceiveIni ini;
    EXPECT_THROW(ini.Read(kDir), SettingsFileError);
}

TEST(SettingsFile, FileThatCannotBeReadIsAnError) {
    WriteBytes("User.INI", "x\r\n");
    ::chmod("User.INI", 0);
    if (::access("User.INI", R_OK) == 0)
        GTEST_SKIP() << "running with permissions that ignore modes";
    CompanyInfo info;
    try {
        info.Read(kDir);
        FAIL() << "no error";
    } catch (const SettingsFileError& e) {
        EXPECT_NE(std::string(e.what()).find("読み込めません"), std::string::npos) << e.what();
    }
}

// Receive.INI line by line: what each line reads as, and what is written back.
TEST(ReceiveIni, ReadsAndWritesLineByLine) {
    WriteBytes("Receive.INI",
               "False\r\n20\r\n2\r\n" + sj("仮見積") + "\r\nFalse\r\nTrue\r\nTrue\r\n");
    ReceiveIni ini;
    ini.Read(kDir);
    EXPECT_FALSE(ini.FuriganaShown);
    EXPECT_EQ(ini.SettleDay, 20);
    EXPECT_EQ(ini.CarryOverMethod, 2);
    EXPECT_EQ(ini.NoImportTitle, sj("仮見積"));
    EXPECT_FALSE(ini.DisplayItemsOnly);
    EXPECT_TRUE(ini.CurrentMonthOnly);
    EXPECT_TRUE(ini.BackupPeriodLimited);
    std::string before = ReadBytes("Receive.INI");
    ini.Write(kDir);
    EXPECT_EQ(ReadBytes("Receive.INI"), before);

    ini.FuriganaShown = true;
    ini.SettleDay = 5;
    ini.CarryOverMethod = 0;
    ini.NoImportTitle = sj("見積");
    ini.DisplayItemsOnly = true;
    ini.CurrentMonthOnly = false;
    ini.BackupPeriodLimited = false;
    ini.Write(kDir);
    EXPECT_EQ(ReadBytes("Receive.INI"),
              "True\r\n5\r\n0\r\n" + sj("見積") + "\r\nTrue\r\nFalse\r\nFalse\r\n");
}

TEST(ReceiveIni, MissingFileEmptyFileAndGarbageGiveTheInitialValues) {
    ReceiveIni defaults;
    EXPECT_TRUE(defaults.FuriganaShown);
    EXPECT_EQ(defaults.SettleDay, 0);
    EXPECT_EQ(defaults.NoImportTitle, sj("見積"));
    EXPECT_TRUE(defaults.DisplayItemsOnly);
    EXPECT_FALSE(defaults.CurrentMonthOnly);
    EXPECT_FALSE(defaults.BackupPeriodLimited);

    ReceiveIni ini;
    ini.SettleDay = 10;
    ini.Read(kDir);  // no file
    EXPECT_EQ(ini.SettleDay, 0);
    EXPECT_TRUE(ini.FuriganaShown);

    WriteBytes("Receive.INI", "");
    ini.Read(kDir);
    EXPECT_TRUE(ini.FuriganaShown);
    EXPECT_TRUE(ini.DisplayItemsOnly);

    // Numbers that are not numbers, a settlement day the periods cannot use,
    // a title that is not Shift-JIS, switches that are neither word.
    WriteBytes("Receive.INI", "yes\r\n7\r\nabc\r\n\x82\r\n\xFF\r\n\r\n");
    ini.Read(kDir);
    EXPECT_FALSE(ini.FuriganaShown);  // any text but "True" hides the furigana row
    EXPECT_EQ(ini.SettleDay, 0);
    EXPECT_EQ(ini.CarryOverMethod, 0);
    EXPECT_EQ(ini.NoImportTitle, sj("見積"));
    EXPECT_TRUE(ini.DisplayItemsOnly);  // not Shift-JIS: the default
    EXPECT_FALSE(ini.CurrentMonthOnly);
    EXPECT_FALSE(ini.BackupPeriodLimited);  // missing line

    for (int day : {0, 5, 10, 15, 20, 25}) {
        WriteBytes("Receive.INI", "True\r\n" + std::to_string(day) + "\r\n");
        ini.Read(kDir);
        EXPECT_EQ(ini.SettleDay, day);
    }
    WriteBytes("Receive.INI", "True\r\n\r\n3\r\n");
    ini.Read(kDir);
    EXPECT_EQ(ini.SettleDay, 0);  // an empty line gives 0
    EXPECT_EQ(ini.CarryOverMethod, 0);
}

TEST(StartupSettings, SmallFilesRoundTripAndDefaults) {
    StartupSettings s;
    s.Read(kDir);
    EXPECT_EQ(s.PaymentKinds.Kinds, (std::vector<std::string>{sj("口座振込み"), sj("持参")}));
    EXPECT_EQ(s.BackupName.BackupNamePrefix, sj("入金"));
    EXPECT_EQ(s.BackupName.BackupNameSuffix, "");
    EXPECT_EQ(s.RepairWrite.RepairWriteItem, "");
    EXPECT_EQ(s.Password.StartupPassword, "");
    EXPECT_EQ(s.BackupDir.BackupDirectory, "");

    s.PaymentKinds.Kinds = {sj("現金"), "", sj("手形")};
    s.BackupName.BackupNamePrefix = sj("売掛");
    s.BackupName.BackupNameSuffix = "_bk";
    s.RepairWrite.RepairWriteItem = sj("前回残高");
    s.Password.StartupPassword = "pass word";
    s.BackupDir.BackupDirectory = "/mnt/usb/";
    s.PaymentKinds.Write(kDir);
    s.BackupName.Write(kDir);
    s.RepairWrite.Write(kDir);
    s.Password.Write(kDir);
    s.BackupDir.Write(kDir);
    EXPECT_EQ(ReadBytes("RcInType.INI"), sj("現金") + "\r\n\r\n" + sj("手形") + "\r\n");
    EXPECT_EQ(ReadBytes("RavoSave.INI"), sj("売掛") + "\r\n_bk\r\n");
    EXPECT_EQ(ReadBytes("RcPutData.INI"), sj("前回残高") + "\r\n");
    EXPECT_EQ(ReadBytes("RcPass.INI"), "pass word\r\n");
    EXPECT_EQ(ReadBytes("INIDIR.INI"), "/mnt/usb/\r\n");

    StartupSettings back;
    back.Read(kDir);
    EXPECT_EQ(back.PaymentKinds.Kinds, s.PaymentKinds.Kinds);
    EXPECT_EQ(back.BackupName.BackupNamePrefix, sj("売掛"));
    EXPECT_EQ(back.BackupName.BackupNameSuffix, "_bk");
    EXPECT_EQ(back.RepairWrite.RepairWriteItem, sj("前回残高"));
    EXPECT_EQ(back.Password.StartupPassword, "pass word");
    EXPECT_EQ(back.BackupDir.BackupDirectory, "/mnt/usb/");

    // An empty prefix reads as 入金; a list that is not Shift-JIS is not ours.
    WriteBytes("RavoSave.INI", "\r\nsuffix\r\n");
    WriteBytes("RcInType.INI", sj("現金") + "\r\n\x81\r\n");
    back.Read(kDir);
    EXPECT_EQ(back.BackupName.BackupNamePrefix, sj("入金"));
    EXPECT_EQ(back.BackupName.BackupNameSuffix, "suffix");
    EXPECT_EQ(back.PaymentKinds.Kinds, PaymentKindsIni::DefaultKinds());
    WriteBytes("RcInType.INI", "");
    back.Read(kDir);
    EXPECT_EQ(back.PaymentKinds.Kinds, PaymentKindsIni::DefaultKinds());
}

TEST(CompanyInfo, SevenLinesFewerLinesAndMissingFile) {
    CompanyInfo info;
    EXPECT_FALSE(CompanyInfo::FileExists(kDir));
    info.Read(kDir);
    EXPECT_EQ(info, CompanyInfo());
    for (int i = 0; i < 7; ++i)
        info.Lines[static_cast<size_t>(i)] = sj("行") + std::to_string(i + 1);
    info.Write(kDir);
    EXPECT_TRUE(CompanyInfo::FileExists(kDir));
    std::string expected;
    for (int i = 0; i < 7; ++i)
        expected += sj("行") + std::to_string(i + 1) + "\r\n";
    EXPECT_EQ(ReadBytes("User.INI"), expected);
    CompanyInfo back;
    back.Read(kDir);
    EXPECT_EQ(back, info);

    WriteBytes("User.INI", sj("住所") + "\r\n" + sj("会社"));
    back.Read(kDir);
    EXPECT_EQ(back.Address(), sj("住所"));
    EXPECT_EQ(back.CompanyName(), sj("会社"));
    for (int n = 1; n <= 3; ++n)
        EXPECT_EQ(back.Extra(n), "");
    EXPECT_EQ(back.Telephone(), "");
}

TEST(TitleColors, DefaultsRoundTripAndNamesNotInTheList) {
    TitleColors colors;
    colors.Read(kDir);
    EXPECT_EQ(colors.Titles, sj("アクティブでないウィンドウのタイトルバーの色"));
    EXPECT_EQ(colors.Borders, sj("　ボタン面の色"));
    EXPECT_EQ(colors.ReadOnly, sj("　ウィンドウの背景色"));
    EXPECT_FALSE(fs::exists("RcTitleColor.INI"));  // first written by OK

    colors.Titles = sj("　黒　色");
    colors.Borders = sj("まだら色");
    colors.ReadOnly = sj("　黄　色");
    colors.Write(kDir);
    EXPECT_EQ(ReadBytes("RcTitleColor.INI"),
              sj("　黒　色") + "\r\n" + sj("まだら色") + "\r\n" + sj("　黄　色") + "\r\n");
    TitleColors back;
    back.Read(kDir);
    EXPECT_EQ(back, colors);
}

}  // namespace
}  // namespace ravelto
