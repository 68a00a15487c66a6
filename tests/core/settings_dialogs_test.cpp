#include "core/ledger/settings_dialogs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/ledger/cp932.h"
#include "core/ledger/startup_settings.h"
#include "support/scripted_questions.h"

namespace ravelto {
namespace {

namespace fs = std::filesystem;
using testing::ScriptedQuestions;

std::string ReadBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

const fs::path kDir = ".";

TEST(PasswordPath, SetThenAskRightAndWrong) {
    ScriptedQuestions q;
    q.ThenText("s3cret");
    EXPECT_TRUE(SetStartupPassword(q, kDir));
    ASSERT_EQ(q.AskedList().size(), 1u);
    EXPECT_EQ(q.AskedList()[0].kind, "password");
    EXPECT_EQ(q.AskedList()[0].text, sj("パスワードの設定"));
    EXPECT_EQ(ReadBytes("RcPass.INI"), "s3cret\r\n");

    // The next start reads it and asks.
    PasswordIni ini;
    ini.Read(kDir);
    ASSERT_EQ(ini.StartupPassword, "s3cret");
    q.ThenText("s3cret").ThenText("S3cret").ThenText("s3cret ").ThenClosed();
    EXPECT_TRUE(AskStartupPassword(q, ini.StartupPassword));
    EXPECT_FALSE(AskStartupPassword(q, ini.StartupPassword));  // exact comparison
    EXPECT_FALSE(AskStartupPassword(q, ini.StartupPassword));
    EXPECT_FALSE(AskStartupPassword(q, ini.StartupPassword));  // closed without OK
    EXPECT_EQ(q.AskedList()[1].text, sj("パスワード"));
    EXPECT_EQ(q.Pending(), 0u);
}

TEST(PasswordPath, EmptyPasswordRemovesThePromptAndClosingChangesNothing) {
    ScriptedQuestions q;
    q.ThenText("abc").ThenClosed().ThenText("");
    SetStartupPassword(q, kDir);
    EXPECT_FALSE(SetStartupPassword(q, kDir));
    EXPECT_EQ(ReadBytes("RcPass.INI"), "abc\r\n");
    EXPECT_TRUE(SetStartupPassword(q, kDir));
    EXPECT_EQ(ReadBytes("RcPass.INI"), "\r\n");
    PasswordIni ini;
    ini.Read(kDir);
    EXPECT_TRUE(AskStartupPassword(q, ini.StartupPassword));
    EXPECT_EQ(q.AskedList().size(), 3u);  // no prompt
}

// A password line that is not valid Shift-JIS is still a password: no typed
// text matches it, and the ledger stays closed rather than open to anyone.
TEST(PasswordPath, PasswordThatIsNotShiftJisIsNotDropped) {
    std::ofstream("RcPass.INI", std::ios::binary) << "\x81\x20pw\r\n";
    PasswordIni ini;
    ini.Read(kDir);
    EXPECT_EQ(ini.StartupPassword, "\x81\x20pw");
    ScriptedQuestions q;
    q.ThenText("pw").ThenText("");
    EXPECT_FALSE(AskStartupPassword(q, ini.StartupPassword));
    EXPECT_FALSE(AskStartupPassword(q, ini.StartupPassword));
    EXPECT_EQ(q.AskedList().size(), 2u);
}

TEST(PaymentKinds, EditedListIsReturnedAndSavedCancelChangesNothing) {
    ScriptedQuestions q;
    std::vector<std::string> current = PaymentKindsIni::DefaultKinds();
    std::vector<std::string> edited = {sj("口座振込み"), "", sj("クレジット")};
    q.Then(std::optional<std::vector<std::string>>(edited));
    auto result = EditPaymentKinds(q, kDir, current);
    ASSERT_TRUE(result);
    EXPECT_EQ(*result, edited);
    ASSERT_EQ(q.AskedList().size(), 1u);
    EXPECT_EQ(q.AskedList()[0].text, sj("”入金種別”の修正"));
    auto request = std::any_cast<ListEditRequest>(q.AskedList()[0].request);
    EXPECT_EQ(request.lines, current);
    EXPECT_EQ(ReadBytes("RcInType.INI"), sj("口座振込み") + "\r\n\r\n" + sj("クレジット") + "\r\n");
    PaymentKindsIni ini;
    ini.Read(kDir);
    EXPECT_EQ(ini.Kinds, edited);

    q.Then(std::optional<std::vector<std::string>>());
    EXPECT_FALSE(EditPaymentKinds(q, kDir, edited));
    ini.Read(kDir);
    EXPECT_EQ(ini.Kinds, edited);
}

TEST(PaymentKinds, MemoLinesAndButtonPlaces) {
    EXPECT_EQ(MemoLines("a\nb"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(MemoLines("a\r\nb\r\n"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(MemoLines("a\n\nb\n\n"), (std::vector<std::string>{"a", "", "b", ""}));
    EXPECT_EQ(MemoLines(""), std::vector<std::string>{});
    EXPECT_EQ(MemoLines(MemoText({"x", "", "y"})), (std::vector<std::string>{"x", "", "y"}));
    EXPECT_EQ(ListEditButtonLefts(300), std::make_pair(63, 163));
    EXPECT_EQ(ListEditButtonLefts(301), std::make_pair(63, 163));
    EXPECT_EQ(ListEditButtonLefts(302), std::make_pair(63, 163));
    EXPECT_EQ(ListEditButtonLefts(303), std::make_pair(64, 165));
}

TEST(CompanyInfoDialog, OkWritesCancelKeepsTypedValuesInMemoryOnly) {
    ScriptedQuestions q;
    CompanyInfo current;
    current.CompanyName() = sj("山田自動車");
    current.Write(kDir);

    CompanyInfo typed = current;
    typed.CompanyName() = sj("山田モータース");
    q.Then(CompanyInfoResult{false, typed});
    EXPECT_FALSE(EditCompanyInfo(q, kDir, current));
    EXPECT_EQ(current.CompanyName(), sj("山田モータース"));  // printing uses what was typed
    CompanyInfo saved;
    saved.Read(kDir);
    EXPECT_EQ(saved.CompanyName(), sj("山田自動車"));  // the file is untouched

    q.Then(CompanyInfoResult{true, typed});
    EXPECT_TRUE(EditCompanyInfo(q, kDir, current));
    saved.Read(kDir);
    EXPECT_EQ(saved, typed);
}

TEST(CompanyInfoDialog, AskedAtStartOnlyWithoutUserIni) {
    ScriptedQuestions q;
    CompanyInfo current;
    q.Then(CompanyInfoResult{false, current});
    AskCompanyInfoWhenMissing(q, kDir, current);
    EXPECT_EQ(q.AskedList().size(), 1u);
    EXPECT_FALSE(CompanyInfo::FileExists(kDir));  // ｷｬﾝｾﾙ writes nothing: asked again next time
    q.Then(CompanyInfoResult{true, current});
    AskCompanyInfoWhenMissing(q, kDir, current);
    EXPECT_TRUE(CompanyInfo::FileExists(kDir));
    AskCompanyInfoWhenMissing(q, kDir, current);
    EXPECT_EQ(q.AskedList().size(), 2u);
}

TEST(TitleColorsDialog, OkSavesTheNamesAsTypedCloseChangesNothing) {
    ScriptedQuestions q;
    TitleColors current;
    q.Then(std::optional<TitleColors>());
    EXPECT_FALSE(EditTitleColors(q, kDir, current));
    EXPECT_FALSE(fs::exists("RcTitleColor.INI"));

    TitleColors chosen;
    chosen.Titles = sj("　黒　色");
    chosen.Borders = sj("手で打った色");
    q.Then(std::optional<TitleColors>(chosen));
    auto result = EditTitleColors(q, kDir, current);
    ASSERT_TRUE(result);
    EXPECT_EQ(*result, chosen);
    TitleColors saved;
    saved.Read(kDir);
    EXPECT_EQ(saved, chosen);
    EXPECT_TRUE(ColorByName(saved.Titles).IsNone());  // black is saved, but not applied
}

TEST(SettingsDialogs, WriteFailureIsShownAndTheValuesStayInMemory) {
    fs::create_directory("User.INI");  // the file cannot be replaced
    ScriptedQuestions q;
    CompanyInfo current;
    CompanyInfo typed;
    typed.Address() = sj("東京都");
    q.Then(CompanyInfoResult{true, typed}).Then(Answer::Ok);
    EXPECT_TRUE(EditCompanyInfo(q, kDir, current));
    EXPECT_EQ(current, typed);
    ASSERT_EQ(q.AskedList().size(), 2u);
    EXPECT_EQ(q.AskedList()[1].kind, "message");
    auto message = std::any_cast<MessageRequest>(q.AskedList()[1].request);
    EXPECT_EQ(message.kind, MessageKind::Error);
    EXPECT_NE(Cp932ToUtf8(message.text).find("User.INI"), std::string::npos);
}

}  // namespace
}  // namespace ravelto
