#include "core/ledgerwin/receive_data_form.h"

#include <gtest/gtest.h>
#include <any>

#include <fstream>
#include <sstream>

#include "core/ledger/cp932.h"
#include "core/ledger/ledger_tables.h"
#include "core/ledger/record_store.h"
#include "support/scripted_questions.h"
#include "support/workspace.h"

namespace ravelto::ledgerwin {
namespace {

using testing::Workspace;

std::string U(const std::string& cp932) {
    return Cp932ToUtf8(cp932);
}

void WriteFile(const char* name, const std::string& bytes) {
    std::ofstream(Workspace::StartDir() / name, std::ios::binary) << bytes;
}

std::string ReadFile(const char* name) {
    std::ifstream in(Workspace::StartDir() / name, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

// A ledger window core over real tables, with scripted answers.
class FormTest : public ::testing::Test {
  protected:
    FormTest()
        : db_(Workspace::DataDir()),
          ledger_(db_.Open(ledger::ReceiveTable())),
          totals_(db_.Open(ledger::TotalsTable())),
          clock_({2003, 1, 15}) {
        // The company information is there unless a test takes it away.
        WriteFile("User.INI", "a\r\n");
    }

    ReceiveDataForm& Form() {
        if (!form_) {
            FormPlatform platform;
            platform.set_caps_lock = [this](bool on) { caps_.push_back(on); };
            platform.printer_names = [this] { return printers_; };
            form_ = std::make_unique<ReceiveDataForm>(ledger_, totals_, clock_,
                                                      Workspace::StartDir(), questions_, platform);
        }
        return *form_;
    }

    void AddTotals(const char* label, int mode) {
        totals_.AppendRecord({sj(label)});
        totals_.Last();
        totals_.Edit();
        totals_.SetInt(sj("書込モード"), mode);
        totals_.SetInt(sj("売上"), 1000);
        totals_.Post();
    }

    void AddRecord(const char* sales_date, const char* name, int write_mode = 0) {
        ledger_.Append();
        ledger_.SetText(sj("売上日"), sj(sales_date));
        ledger_.SetText(sj("氏名"), sj(name));
        ledger_.SetInt(sj("書込モード"), write_mode);
        ledger_.Post();
    }

    std::vector<std::string> Captions() {
        std::vector<std::string> out;
        for (const auto& c : Form().View().tab_captions)
            out.push_back(U(c));
        return out;
    }

    store::Database db_;
    store::Table& ledger_;
    store::Table& totals_;
    FixedClock clock_;
    std::unique_ptr<ReceiveDataForm> form_;
    testing::ScriptedQuestions questions_;
    std::vector<bool> caps_;
    std::vector<std::string> printers_;
};

TEST_F(FormTest, EmptyTotalsWithSettleDayTwenty) {
    clock_.Set({2002, 12, 25});
    WriteFile("Receive.INI", "True\r\n20\r\n");
    Form().FormCreate();
    EXPECT_EQ(Captions(), (std::vector<std::string>{"個人モード", "平成１５年０１月"}));
    EXPECT_EQ(U(Form().State().TabPeriodStart[1]), "平成１４年１２月２１日");
    EXPECT_EQ(U(Form().State().TabPeriodEnd[1]), "平成１５年０１月２０日");
    EXPECT_EQ(Form().View().tab_index, 1);
}

TEST_F(FormTest, EmptyTotalsAtMonthEndGiveExactlyTwoTabs) {
    clock_.Set({2002, 12, 25});
    Form().FormCreate();
    EXPECT_EQ(Captions(), (std::vector<std::string>{"個人モード", "平成１４年１２月"}));
    EXPECT_EQ(Form().State().SettleDay, 0);
}

TEST_F(FormTest, TabsSpanTheTotalsNewestFirstAndTabSetKeepsTheMonth) {
    AddTotals("平成１４年１１月", 2);
    AddTotals("平成１４年１２月", 2);
    AddTotals("平成１５年０１月", 1);
    Form().FormCreate();
    EXPECT_EQ(Captions(), (std::vector<std::string>{"個人モード", "平成１５年０１月",
                                                    "平成１４年１２月", "平成１４年１１月"}));
    ASSERT_TRUE(Form().Timer1Timer());
    Form().SelectTab(2);  // 平成１４年１２月
    EXPECT_EQ(U(Form().State().SelectedMonthLabel), "平成１４年１２月");

    // A closing adds the next month; the month shown stays selected under its new index.
    AddTotals("平成１５年０２月", 0);
    Form().TabSet();
    EXPECT_EQ(Captions().size(), 5u);
    EXPECT_EQ(Captions()[1], "平成１５年０２月");
    EXPECT_EQ(Form().View().tab_index, 3);
    EXPECT_EQ(U(Form().State().ReselectLabel), "平成１４年１２月");
    EXPECT_TRUE(totals_.Filtered());
}

TEST_F(FormTest, FirstViewShowsTheNewestMonthAndItsMode) {
    AddTotals("平成１４年１２月", 2);
    AddTotals("平成１５年０１月", 1);
    AddRecord("平成１４年１２月０５日", "山田");
    AddRecord("平成１５年０１月１０日", "佐藤", 1);
    AddRecord("平成１５年０１月", "鈴木", 2);  // carried over: the bare label
    printers_ = {"a", "b"};
    std::filesystem::remove(Workspace::StartDir() / "User.INI");
    questions_.Then(CompanyInfoResult{});
    Form().FormCreate();
    EXPECT_FALSE(Form().View().unlocked);
    ASSERT_TRUE(Form().Timer1Timer());
    EXPECT_TRUE(Form().View().unlocked);
    EXPECT_EQ(ledger_.RecordCount(), 2);
    EXPECT_EQ(Form().View().record_count, 2);
    EXPECT_EQ(U(totals_.Text(sj("売上日"))), "平成１５年０１月");
    EXPECT_TRUE(Form().View().kakutei_panel);
    EXPECT_TRUE(Form().View().insert_enabled);
    EXPECT_EQ(Form().State().AmountsEditable, 1);
    EXPECT_EQ(Form().State().BulkUpdate, 0);
    EXPECT_EQ(Form().State().TabSwitching, 0);
    EXPECT_EQ(Form().State().SeveralPrinters, 1);
    ASSERT_EQ(questions_.AskedList().size(), 1u);  // no User.INI
    EXPECT_EQ(questions_.AskedList()[0].kind, "company");

    Form().SelectTab(2);  // the closed month
    EXPECT_EQ(U(Form().View().mode_caption), "閲覧モード");
    EXPECT_EQ(Form().View().editable, EditableGroups{});
    EXPECT_FALSE(Form().View().kakutei_panel);
    EXPECT_FALSE(Form().View().delete_enabled);
    EXPECT_EQ(ledger_.RecordCount(), 1);
}

TEST_F(FormTest, SettleDayPeriodsFilterByRange) {
    WriteFile("Receive.INI", "True\r\n20\r\n");
    AddTotals("平成１５年０１月", 1);
    AddRecord("平成１４年１２月２０日", "前の期間");
    AddRecord("平成１４年１２月２１日", "期間の初日");
    AddRecord("平成１５年０１月２０日", "期間の末日");
    AddRecord("平成１５年０１月２１日", "次の期間");
    Form().FormCreate();
    ASSERT_TRUE(Form().Timer1Timer());
    EXPECT_EQ(ledger_.RecordCount(), 2);
}

TEST_F(FormTest, WrongPasswordClosesWithoutShowingTheLedger) {
    WriteFile("RcPass.INI", "secret\r\n");
    AddTotals("平成１５年０１月", 1);
    AddRecord("平成１５年０１月１０日", "山田");
    questions_.ThenText("guess");
    Form().FormCreate();
    EXPECT_FALSE(Form().View().tabs_visible);
    EXPECT_FALSE(Form().Timer1Timer());
    ASSERT_EQ(questions_.AskedList().size(), 1u);
    EXPECT_EQ(questions_.AskedList()[0].kind, "password");
    EXPECT_FALSE(Form().View().unlocked);
    EXPECT_FALSE(Form().View().tabs_visible);
    EXPECT_FALSE(ledger_.Filtered());  // no month view was built

    // Closing the dialog without OK is a mismatch too.
    form_.reset();
    questions_.ThenClosed();
    Form().FormCreate();
    EXPECT_FALSE(Form().Timer1Timer());
}

TEST_F(FormTest, RightPasswordShowsTheTabsAndTheFirstView) {
    WriteFile("RcPass.INI", "secret\r\n");
    AddTotals("平成１５年０１月", 1);
    questions_.ThenText("secret");
    Form().FormCreate();
    ASSERT_TRUE(Form().Timer1Timer());
    EXPECT_TRUE(Form().View().tabs_visible);
    EXPECT_TRUE(Form().View().unlocked);
    EXPECT_TRUE(ledger_.Filtered());
    EXPECT_EQ(questions_.Pending(), 0u);
    EXPECT_EQ(questions_.AskedList().size(), 1u);
}

TEST_F(FormTest, SettingsFilesAndSiblingPrograms) {
    WriteFile("RcInType.INI", sj("現金\r\n\r\n振込\r\n"));
    WriteFile("RavoSave.INI", "\r\n_bak\r\n");
    WriteFile("RcPutData.INI", sj("修理明細\r\n"));
    WriteFile("INIDIR.INI", "/backup/\r\n");
    WriteFile("Tessaro.exe", "");
    WriteFile("Pellwin.exe", "");
    Form().FormCreate();
    const auto& v = Form().View();
    const auto& s = Form().State();
    ASSERT_EQ(v.payment_kinds.size(), 3u);
    EXPECT_EQ(U(v.payment_kinds[0]), "現金");
    EXPECT_EQ(v.payment_kinds[1], "");
    EXPECT_EQ(U(s.BackupNamePrefix), "入金");
    EXPECT_EQ(s.BackupNameSuffix, "_bak");
    EXPECT_TRUE(v.repair_write_visible);
    EXPECT_EQ(s.BackupDirectory, "/backup/");
    EXPECT_EQ(s.InspectionLinked, 1);
    EXPECT_EQ(s.InvoicingLink, 1);
    EXPECT_TRUE(v.import_settings_visible);
    EXPECT_TRUE(v.write_settings_visible);
    EXPECT_TRUE(v.tabs_visible);
    EXPECT_EQ(U(s.SortIndexName), "降順");
    EXPECT_EQ(U(ledger_.Order()), "降順");
    EXPECT_EQ(caps_, std::vector<bool>{true});
}

TEST_F(FormTest, DefaultsWithoutSettingsFiles) {
    Form().FormCreate();
    const auto& v = Form().View();
    ASSERT_EQ(v.payment_kinds.size(), 2u);
    EXPECT_EQ(U(v.payment_kinds[1]), "持参");
    EXPECT_TRUE(v.furigana);
    EXPECT_TRUE(v.display_items_only);
    EXPECT_FALSE(v.current_month_only);
    EXPECT_FALSE(v.backup_period_limited);
    EXPECT_FALSE(v.repair_write_visible);
    EXPECT_FALSE(v.import_settings_visible);
    EXPECT_EQ(U(Form().State().NoImportTitle), "見積");
    EXPECT_EQ(SettleDayMenuIndex(Form().State().SettleDay), 0);
}

TEST_F(FormTest, ReceiveIniIsReadAndWrittenLineByLine) {
    struct Case {
        std::string file;
        std::string written;
    } cases[] = {
        {"True\r\n25\r\n2\r\n" + sj("下取") + "\r\nFalse\r\nTrue\r\nTrue\r\n",
         "True\r\n25\r\n2\r\n" + sj("下取") + "\r\nFalse\r\nTrue\r\nTrue\r\n"},
        // Missing lines read as empty: furigana hidden, 見積, checks off.
        {"False\r\n", "False\r\n0\r\n0\r\n" + sj("見積") + "\r\nFalse\r\nFalse\r\nFalse\r\n"},
        // Garbage: numbers that are none, or no settlement day, read as 0.
        {"yes\r\nabc\r\n7\r\n\r\ntrue\r\n",
         "False\r\n0\r\n0\r\n" + sj("見積") + "\r\nFalse\r\nFalse\r\nFalse\r\n"},
        {"True\r\n17\r\n1\r\n",
         "True\r\n0\r\n1\r\n" + sj("見積") + "\r\nFalse\r\nFalse\r\nFalse\r\n"},
    };
    for (const Case& c : cases) {
        WriteFile("Receive.INI", c.file);
        form_.reset();
        Form().FormCreate();
        EXPECT_TRUE(Form().FormCloseQuery());
        EXPECT_EQ(ReadFile("Receive.INI"), c.written) << c.file;
    }
}

TEST_F(FormTest, TheFuriganaAndCurrentMonthSwitchesAreKeptInReceiveIni) {
    WriteFile("Receive.INI", "True\r\n0\r\n0\r\nx\r\nTrue\r\nFalse\r\nFalse\r\n");
    Form().FormCreate();
    ASSERT_TRUE(Form().Timer1Timer());
    const std::string filter = ledger_.Filter();
    Form().Furigana1Click();
    Form().Pr1Click();
    EXPECT_FALSE(Form().View().furigana);
    EXPECT_TRUE(Form().View().current_month_only);
    EXPECT_EQ(ledger_.Filter(), filter);  // 当月のみ waits for the personal tab
    EXPECT_TRUE(Form().FormCloseQuery());
    EXPECT_EQ(ReadFile("Receive.INI"), "False\r\n0\r\n0\r\nx\r\nTrue\r\nTrue\r\nFalse\r\n");

    form_.reset();
    Form().FormCreate();
    EXPECT_FALSE(Form().View().furigana);
    EXPECT_TRUE(Form().View().current_month_only);
    Form().Furigana1Click();
    Form().Pr1Click();
    EXPECT_TRUE(Form().FormCloseQuery());
    EXPECT_EQ(ReadFile("Receive.INI"), "True\r\n0\r\n0\r\nx\r\nTrue\r\nFalse\r\nFalse\r\n");
}

TEST_F(FormTest, CloseQuestionsThreeAnswers) {
    AddTotals("平成１５年０１月", 1);
    AddRecord("平成１５年０１月１０日", "山田");
    Form().FormCreate();
    ASSERT_TRUE(Form().Timer1Timer());

    // Nothing pending: no question.
    EXPECT_TRUE(Form().FormCloseQuery());
    EXPECT_TRUE(questions_.AskedList().empty());

    // Cancel: stays open, still editing, but Receive.INI written and Caps Lock off.
    std::filesystem::remove(Workspace::StartDir() / "Receive.INI");
    caps_.clear();
    ledger_.Edit();
    ledger_.SetText(sj("氏名"), sj("山田太郎"));
    questions_.Then(Answer::Cancel);
    EXPECT_FALSE(Form().FormCloseQuery());
    ASSERT_EQ(questions_.AskedList().size(), 1u);
    EXPECT_EQ(U(questions_.AskedList()[0].text), "登録していません！\r登録してよろしいですか？");
    EXPECT_EQ(ledger_.GetState(), store::State::Edit);
    EXPECT_TRUE(std::filesystem::exists(Workspace::StartDir() / "Receive.INI"));
    EXPECT_EQ(caps_, std::vector<bool>{false});

    // No: the change is dropped.
    questions_.Then(Answer::No);
    EXPECT_TRUE(Form().FormCloseQuery());
    EXPECT_EQ(U(ledger_.Text(sj("氏名"))), "山田");

    // Yes: the change is posted.
    ledger_.Edit();
    ledger_.SetText(sj("氏名"), sj("山田次郎"));
    questions_.Then(Answer::Yes);
    EXPECT_TRUE(Form().FormCloseQuery());
    EXPECT_EQ(ledger_.GetState(), store::State::Browse);
    ledger_.First();
    EXPECT_EQ(U(ledger_.Text(sj("氏名"))), "山田次郎");
}

TEST_F(FormTest, CloseWithARecordThatCannotBeSavedStaysOpen) {
    AddTotals("平成１５年０１月", 1);
    AddRecord("平成１５年０１月１０日", "山田");
    Form().FormCreate();
    ASSERT_TRUE(Form().Timer1Timer());
    ledger_.Events().BeforePost = [] { throw store::StoreError("refused"); };
    ledger_.Edit();
    ledger_.SetText(sj("氏名"), sj("山田太郎"));
    questions_.Then(Answer::Yes);
    caps_.clear();
    EXPECT_THROW(Form().FormCloseQuery(), store::StoreError);
    EXPECT_EQ(ledger_.GetState(), store::State::Edit);  // what was typed is still there
    EXPECT_EQ(caps_, std::vector<bool>{false});
    EXPECT_TRUE(std::filesystem::exists(Workspace::StartDir() / "Receive.INI"));
    ledger_.Events().BeforePost = nullptr;
    ledger_.Cancel();
}

TEST_F(FormTest, CloseGoesOnWhenReceiveIniCannotBeWritten) {
    AddTotals("平成１５年０１月", 1);
    Form().FormCreate();
    ASSERT_TRUE(Form().Timer1Timer());
    // A folder where the file should be: the write fails for any user.
    std::filesystem::remove(Workspace::StartDir() / "Receive.INI");
    std::filesystem::create_directory(Workspace::StartDir() / "Receive.INI");
    caps_.clear();
    questions_.Then(Answer::Ok);
    EXPECT_TRUE(Form().FormCloseQuery());
    ASSERT_EQ(questions_.AskedList().size(), 1u);  // the error is shown
    const auto& asked = questions_.AskedList()[0];
    ASSERT_EQ(asked.kind, "message");
    EXPECT_EQ(std::any_cast<MessageRequest>(asked.request).kind, MessageKind::Error);
    EXPECT_EQ(caps_, std::vector<bool>{false});
}

TEST_F(FormTest, FirstViewThatFailsLeavesTheCommandsUsable) {
    AddTotals("平成１５年０１月", 1);
    AddRecord("平成１５年０１月１０日", "山田");
    Form().FormCreate();
    Form().Ledger().Events().AfterScroll = [] { throw store::StoreError("broken"); };
    EXPECT_THROW(Form().Timer1Timer(), store::StoreError);
    EXPECT_TRUE(Form().View().unlocked);
    Form().Ledger().Events().AfterScroll = nullptr;
}

TEST_F(FormTest, SettingsDialogsOfTheMenu) {
    Form().FormCreate();
    // リスト修正 ▸ 入金種別: OK replaces the list and writes RcInType.INI; ｷｬﾝｾﾙ keeps it.
    questions_.Then(std::optional<std::vector<std::string>>({sj("現金"), sj("小切手")}));
    Form().N14Click();
    ASSERT_EQ(Form().View().payment_kinds.size(), 2u);
    EXPECT_EQ(U(Form().View().payment_kinds[1]), "小切手");
    EXPECT_EQ(ReadFile("RcInType.INI"), sj("現金\r\n小切手\r\n"));
    questions_.Then(std::optional<std::vector<std::string>>());
    Form().N14Click();
    EXPECT_EQ(Form().View().payment_kinds.size(), 2u);

    // ﾀｲﾄﾙ色変更: the names come back to the window and into RcTitleColor.INI.
    TitleColors colors;
    colors.Titles = sj("　黄　色");
    questions_.Then(std::optional<TitleColors>(colors));
    Form().T1Click();
    EXPECT_EQ(Form().View().title_colors.Titles, sj("　黄　色"));
    EXPECT_TRUE(std::filesystem::exists(Workspace::StartDir() / "RcTitleColor.INI"));

    // パスワードの設定 is used from the next start.
    questions_.ThenText("new");
    Form().N4Click();
    EXPECT_EQ(ReadFile("RcPass.INI"), "new\r\n");
    EXPECT_TRUE(Form().State().StartupPassword.empty());

    // 自社情報: what was typed stays in memory even after ｷｬﾝｾﾙ.
    CompanyInfoResult typed;
    typed.values.Lines[1] = sj("ラヴェルト自動車");
    questions_.Then(typed);
    Form().User1Click();
    EXPECT_EQ(U(Form().State().Company.CompanyName()), "ラヴェルト自動車");
    EXPECT_EQ(ReadFile("User.INI"), "a\r\n");

    Form().Var1Click();
    EXPECT_EQ(questions_.AskedList().back().kind, "version");
    EXPECT_EQ(questions_.Pending(), 0u);
}

}  // namespace
}  // namespace ravelto::ledgerwin
