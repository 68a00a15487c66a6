#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QTextBrowser>

#include "core/ledger/cp932.h"
#include "core/ledger/title_colors.h"
#include "platform/caps_lock.h"
#include "platform/help_viewer.h"
#include "platform/printers.h"
#include "platform/single_instance.h"
#include "platform/system_colors.h"
#include "platform/user_settings.h"
#include "support/workspace.h"

namespace ravelto::platform {
namespace {

TEST(SingleInstanceLock, SecondCopyIsRefusedUntilTheFirstLetsGo) {
    auto path = InstanceLockFile("EX_Ravelto");
    // Under the test's own runtime folder, never the user's.
    EXPECT_EQ(path.parent_path(), testing::Workspace::Root() / "runtime");
    FileInstanceLock first(path);
    FileInstanceLock second(path);
    ASSERT_TRUE(first.Acquire());
    EXPECT_FALSE(second.Acquire());
    EXPECT_FALSE(second.Held());
    first.Release();
    EXPECT_TRUE(second.Acquire());
    EXPECT_FALSE(first.Acquire());
}

// A copy that dies without cleaning up never blocks the next start.
TEST(SingleInstanceLock, CrashedHolderDoesNotBlock) {
    auto path = InstanceLockFile("EX_Ravelto");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Only system calls here: the child holds the lock and waits to be killed.
        int fd = ::open(path.c_str(), O_RDWR | O_CREAT, 0600);
        char ok = (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0) ? '1' : '0';
        if (::write(ready[1], &ok, 1) != 1) ::_exit(1);
        for (;;)
            ::pause();
    }
    ::close(ready[1]);
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ::close(ready[0]);
    ASSERT_EQ(ok, '1');
    FileInstanceLock lock(path);
    EXPECT_FALSE(lock.Acquire());
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(lock.Acquire());
}

TEST(SingleInstanceLock, ProgramLockUsesTheNamedFile) {
    auto lock = MakeInstanceLock();
    ASSERT_TRUE(lock->Acquire());
    FileInstanceLock other(InstanceLockFile("EX_Ravelto"));
    EXPECT_FALSE(other.Acquire());
}

TEST(CapsLock, OffscreenOnlyRecordsWhatWasAsked) {
    auto caps = MakeCapsLock();
    EXPECT_NE(dynamic_cast<RecordingCapsLock*>(caps.get()), nullptr);
    caps->Set(true);
    caps->Set(false);
    EXPECT_EQ(caps->Requests(), (std::vector<bool>{true, false}));
}

TEST(SystemColors, FollowThePaletteAndFixedColoursAreExact) {
    QPalette palette;
    palette.setColor(QPalette::Active, QPalette::Button, QColor(0x11, 0x22, 0x33));
    palette.setColor(QPalette::Inactive, QPalette::Mid, QColor(0x44, 0x55, 0x66));
    palette.setColor(QPalette::Active, QPalette::Base, QColor(0xFE, 0xFD, 0xFC));
    EXPECT_EQ(ToQColor(ColorByName(sj("　ボタン面の色")), palette), QColor(0x11, 0x22, 0x33));
    EXPECT_EQ(ToQColor(ColorByName(sj("アクティブでないウィンドウのタイトルバーの色")), palette),
              QColor(0x44, 0x55, 0x66));
    EXPECT_EQ(ToQColor(ColorByName(sj("　ウィンドウの背景色")), palette), QColor(0xFE, 0xFD, 0xFC));
    EXPECT_EQ(ToQColor(ColorByName(sj("　栗　色")), palette), QColor(0x80, 0x00, 0x00));
    EXPECT_EQ(ToQColor(ColorByName(sj("　暗青緑色")), palette), QColor(0x00, 0x80, 0x80));
    EXPECT_FALSE(ToQColor(ColorByName(sj("　黒　色")), palette).isValid());
    EXPECT_FALSE(ToQColor(ColorByName(sj("未知の色")), palette).isValid());
    for (int i = 1; i <= 24; ++i)
        EXPECT_TRUE(SystemColor(i).isValid()) << i;
    EXPECT_FALSE(SystemColor(0).isValid());
    EXPECT_FALSE(SystemColor(25).isValid());
}

TEST(Printers, SeveralMeansMoreThanOne) {
    EXPECT_FALSE(SeveralPrinters(FixedPrinterList({})));
    EXPECT_FALSE(SeveralPrinters(FixedPrinterList({QStringLiteral("LBP")})));
    EXPECT_TRUE(SeveralPrinters(FixedPrinterList({QStringLiteral("LBP"), QStringLiteral("PDF")})));
    SystemPrinterList system;
    EXPECT_GE(system.Names().size(), 0);  // asks the system without failing
}

TEST(UserSettings, QSettingsStoreReadsWhatItWroteAndRefusesOtherValues) {
    QString file =
        QString::fromStdString((testing::Workspace::Root() / "config" / "r.ini").string());
    QtUserSettings store(file);
    EXPECT_FALSE(store.KeyExists(QStringLiteral("Ravelto")));
    store.WriteInt(QStringLiteral("Ravelto"), QStringLiteral("CarData PosX"), -8);
    store.WriteInt(QStringLiteral("Ravelto"), QStringLiteral("CarData Width"), 2147483647);
    QtUserSettings again(file);
    EXPECT_TRUE(again.KeyExists(QStringLiteral("Ravelto")));
    EXPECT_EQ(again.ReadInt(QStringLiteral("Ravelto"), QStringLiteral("CarData PosX")), -8);
    EXPECT_EQ(again.ReadInt(QStringLiteral("Ravelto"), QStringLiteral("CarData Width")),
              2147483647);
    EXPECT_FALSE(again.ReadInt(QStringLiteral("Ravelto"), QStringLiteral("CarData Height")));
    EXPECT_FALSE(again.KeyExists(QStringLiteral("Other")));
    {
        QSettings raw(file, QSettings::IniFormat);
        raw.setValue(QStringLiteral("Ravelto/CarData Height"), QStringLiteral("tall"));
        raw.setValue(QStringLiteral("Ravelto/CarData PosY"), QStringLiteral("99999999999"));
    }
    EXPECT_FALSE(again.ReadInt(QStringLiteral("Ravelto"), QStringLiteral("CarData Height")));
    EXPECT_FALSE(again.ReadInt(QStringLiteral("Ravelto"), QStringLiteral("CarData PosY")));
    // The default store lives in this test's own configuration folder.
    EXPECT_TRUE(QtUserSettings().File().startsWith(
        QString::fromStdString((testing::Workspace::Root() / "config").string())));
}

TEST(Help, ContentsPageInJapaneseShownInItsOwnWindow) {
    QtHelpViewer viewer;
    viewer.ShowContents();
    ASSERT_NE(viewer.Window(), nullptr);
    EXPECT_TRUE(viewer.Window()->isVisible());
    QString text = viewer.Browser()->toPlainText();
    EXPECT_TRUE(text.contains(QStringLiteral("目次")));
    for (const char* command : {"ﾊﾞｯｸｱｯﾌﾟ", "ﾘｽﾄｱ", "一覧印刷", "確定", "個人モード", "自社情報",
                                "ﾀｲﾄﾙ色変更", "パスワードの設定", "入金種別", "決済日", "検索"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(command))) << command;
    viewer.ShowContents();  // the same window again
    EXPECT_EQ(viewer.Window()->findChildren<QTextBrowser*>().size(), 1);
}

}  // namespace
}  // namespace ravelto::platform
