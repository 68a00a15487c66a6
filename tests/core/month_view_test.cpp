// The month view of the ledger window: the tab change with its filters,
// modes and personal mode, the sort and balance filter boxes.

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/accounting/balance.h"
#include "core/accounting/name_groups.h"
#include "core/ledger/cp932.h"
#include "core/ledger/ledger_tables.h"
#include "core/ledger/record_store.h"
#include "core/ledgerwin/receive_data_form.h"
#include "support/scripted_questions.h"
#include "support/workspace.h"

namespace ravelto::ledgerwin {
namespace {

using testing::Workspace;

std::string U(const std::string& cp932) {
    return Cp932ToUtf8(cp932);
}

struct Rec {
    const char* sales_date;
    const char* name;
    int balance = 0;  // 残金合計
    const char* title = "";
    const char* reg_no = "";
    int write_mode = 0;
    int sales = 0;
};

class MonthViewTest : public ::testing::Test {
  protected:
    MonthViewTest()
        : db_(Workspace::DataDir()),
          ledger_(db_.Open(ledger::ReceiveTable())),
          totals_(db_.Open(ledger::TotalsTable())),
          groups_(db_.Open(accounting::TotalNameTable())),
          clock_({2003, 1, 15}) {
        std::ofstream(Workspace::StartDir() / "User.INI") << "a\r\n";
    }

    void Settle(int day) {
        std::ofstream(Workspace::StartDir() / "Receive.INI", std::ios::binary) << "True\r\n"
                                                                               << day << "\r\n";
    }

    void AddTotals(const char* label, int mode, int sales = 0) {
        totals_.Append();
        totals_.SetText(sj("売上日"), sj(label));
        totals_.SetInt(sj("書込モード"), mode);
        totals_.SetInt(sj("売上"), sales);
        totals_.Post();
    }

    void Add(const Rec& r) {
        ledger_.Append();
        ledger_.SetText(sj("売上日"), sj(r.sales_date));
        ledger_.SetText(sj("氏名"), sj(r.name));
        ledger_.SetText(sj("タイトル"), sj(r.title));
        ledger_.SetText(sj("登録番号"), sj(r.reg_no));
        ledger_.SetInt(sj("書込モード"), r.write_mode);
        ledger_.SetInt(sj("残金合計"), r.balance);
        ledger_.SetInt(sj("売上"), r.sales);
        // Later records first in the order 降順.
        ledger_.SetInt(sj("項番"), ++number_);
        ledger_.Post();
    }

    // A group: its name, then 含む氏名1 … 10 (empty ones left empty).
    void AddGroup(const char* group, std::vector<const char*> included) {
        groups_.Append();
        groups_.SetText(accounting::grp::kGroupName, sj(group));
        for (size_t i = 0; i < included.size(); ++i)
            groups_.SetText(accounting::grp::kIncludedName1 + static_cast<int>(i), sj(included[i]));
        groups_.Post();
    }

    ReceiveDataForm& Form() {
        if (!form_) {
            form_ = std::make_unique<ReceiveDataForm>(
                ledger_, totals_, clock_, Workspace::StartDir(), questions_, FormPlatform{});
            form_->SetNameGroups(&groups_);
        }
        return *form_;
    }

    void Start() {
        Form().FormCreate();
        ASSERT_TRUE(Form().Timer1Timer());
    }

    // 氏名 of every record of the view, in view order.
    std::vector<std::string> Names() {
        std::vector<std::string> out;
        for (int i = 1; i <= ledger_.RecordCount(); ++i)
            out.push_back(U(ledger_.ReadAt(i).Text(sj("氏名"))));
        return out;
    }

    std::string Current(const char* field) { return U(ledger_.Text(sj(field))); }

    // A field of a month's totals record as stored, read through a connection
    // of its own so the month view is not disturbed.
    static int32_t MonthTotal(const char* label, const char* field) {
        store::Database other(Workspace::DataDir());
        store::Table& t = other.Open(ledger::TotalsTable());
        for (int n = 1; n <= t.RecordCount(); ++n) {
            const store::Record rec = t.ReadAt(n);
            if (rec.Text(sj("売上日")) == sj(label)) return rec.Int(sj(field));
        }
        return -1;
    }

    const WindowView& View() { return Form().View(); }
    const MainWindowState& State() { return Form().State(); }

    store::Database db_;
    store::Table& ledger_;
    store::Table& totals_;
    store::Table& groups_;
    FixedClock clock_;
    std::unique_ptr<ReceiveDataForm> form_;
    testing::ScriptedQuestions questions_;
    int number_ = 0;
};

EditableGroups Groups(bool customer_job, bool deposit_kana, bool payments, bool exclusion) {
    return {customer_job, deposit_kana, payments, exclusion};
}

TEST_F(MonthViewTest, ModesOfTheMonthTabs) {
    AddTotals("平成１４年１１月", 2);
    AddTotals("平成１４年１２月", 0);
    AddTotals("平成１５年０１月", 1);
    Add({"平成１４年１１月１０日", "閉じた月"});
    Add({"平成１４年１２月１０日", "開いた月"});
    Add({"平成１５年０１月１０日", "自分の記録"});
    Add({"平成１５年０１月１１日", "引用した記録", 0, "", "", 1});
    Start();

    struct Case {
        int tab;
        const char* located;  // the name the cursor is put on before the mode is read
        const char* mode;
        EditableGroups editable;
        bool insert_delete;
        bool kakutei;
        int amounts_editable;
    } cases[] = {
        // A closed month is only looked at.
        {3, nullptr, "閲覧モード", Groups(false, false, false, false), false, false, 0},
        // Another open month: entry, but no 確定.
        {2, nullptr, "入力モード", Groups(true, true, true, true), true, false, 1},
        // The open month: the mode follows the record the view returns to.
        {1, "自分の記録", "入力モード", Groups(true, true, true, true), true, true, 1},
        {1, "引用した記録", "引用モード", Groups(false, false, true, true), true, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tab);
        if (c.located != nullptr) Form().MutableState().LastName = sj(c.located);
        Form().SelectTab(c.tab);
        if (c.located != nullptr) {
            EXPECT_EQ(Current("氏名"), c.located);
        }
        EXPECT_EQ(U(View().mode_caption), c.mode);
        EXPECT_EQ(View().editable, c.editable);
        EXPECT_EQ(View().insert_enabled, c.insert_delete);
        EXPECT_EQ(View().delete_enabled, c.insert_delete);
        EXPECT_EQ(View().kakutei_panel, c.kakutei);
        EXPECT_EQ(State().AmountsEditable, c.amounts_editable);
        EXPECT_EQ(State().BulkUpdate, 0);
        EXPECT_EQ(State().TabSwitching, 0);
        EXPECT_TRUE(View().total_panel1);
        EXPECT_FALSE(View().ototal_panel);
        EXPECT_FALSE(View().kojin_panel);
        EXPECT_EQ(U(View().total_label), "合　計");
    }
}

TEST_F(MonthViewTest, TheOnlyMonthOfAFreshLedgerShowsKakutei) {
    // No totals record yet: the single month of today, open for entry.
    Start();
    ASSERT_EQ(View().tab_captions.size(), 2u);
    EXPECT_TRUE(View().kakutei_panel);
    EXPECT_TRUE(View().insert_enabled);
    EXPECT_EQ(U(View().mode_caption), "入力モード");  // an empty view reads as mode 0
    EXPECT_EQ(View().record_count, 0);

    // Its totals record not yet marked open (書込モード 0): still 確定.
    form_.reset();
    AddTotals("平成１５年０１月", 0);
    Start();
    EXPECT_TRUE(View().kakutei_panel);
}

TEST_F(MonthViewTest, FiltersWithAndWithoutSettlementDay) {
    AddTotals("平成１５年０１月", 1);
    Add({"平成１４年１２月２０日", "前の期間"});
    Add({"平成１４年１２月２１日", "初日"});
    Add({"平成１５年０１月", "繰越"});  // a carried balance: the bare label
    Add({"平成１５年０１月２０日", "末日", 500});
    Add({"平成１５年０１月２１日", "次の期間"});
    Start();
    EXPECT_EQ(U(ledger_.Filter()), "(売上日 = '平成１５年０１月*')");
    EXPECT_EQ(U(totals_.Filter()), "(売上日 = '平成１５年０１月*')");
    EXPECT_EQ(View().record_count, 3);

    form_.reset();
    Settle(20);
    Start();
    EXPECT_EQ(U(ledger_.Filter()),
              "(売上日 >= '平成１４年１２月２１日') and  (売上日 <= '平成１５年０１月２０日')");
    EXPECT_EQ(U(totals_.Filter()), "(売上日 = '平成１５年０１月*')");
    // A carried balance dated with the bare label sorts inside the period.
    EXPECT_EQ(Names(), (std::vector<std::string>{"末日", "繰越", "初日"}));

    Form().ComboBox2Change(sj("残金のみ"));
    EXPECT_EQ(U(ledger_.Filter()),
              "(売上日 >= '平成１４年１２月２１日') and  (売上日 <= "
              "'平成１５年０１月２０日')and (残金合計 <> 0)");
    EXPECT_EQ(Names(), (std::vector<std::string>{"末日"}));
    EXPECT_EQ(View().record_count, 1);
}

TEST_F(MonthViewTest, BalanceOnlyHoldsAcrossTabsUntilAll) {
    AddTotals("平成１４年１２月", 2);
    AddTotals("平成１５年０１月", 1);
    Add({"平成１４年１２月０１日", "十二月済"});
    Add({"平成１４年１２月０２日", "十二月残", 100});
    Add({"平成１５年０１月０１日", "一月済"});
    Add({"平成１５年０１月０２日", "一月残", -50});
    Start();
    EXPECT_EQ(View().record_count, 2);

    Form().ComboBox2Change(sj("残金のみ"));
    EXPECT_EQ(State().BalanceOnly, 1);
    EXPECT_EQ(Names(), (std::vector<std::string>{"一月残"}));
    // Choosing it again changes nothing: the clause is not added twice.
    Form().ComboBox2Change(sj("残金のみ"));
    EXPECT_EQ(Names(), (std::vector<std::string>{"一月残"}));

    Form().SelectTab(2);
    EXPECT_EQ(Names(), (std::vector<std::string>{"十二月残"}));
    EXPECT_EQ(View().record_count, 1);
    Form().SelectTab(0);  // personal mode of 十二月残 keeps the clause too
    EXPECT_EQ(Names(), (std::vector<std::string>{"十二月残"}));
    Form().SelectTab(2);

    // 全て shows every record of the month shown at that moment.
    Form().ComboBox2Change(sj("全て"));
    EXPECT_EQ(State().BalanceOnly, 0);
    EXPECT_EQ(U(ledger_.Filter()), "(売上日 = '平成１４年１２月*')");
    EXPECT_EQ(View().record_count, 2);
    // 全て again, or an unknown item: nothing changes.
    Form().ComboBox2Change(sj("全て"));
    Form().ComboBox2Change("?");
    EXPECT_EQ(U(ledger_.Filter()), "(売上日 = '平成１４年１２月*')");
    EXPECT_EQ(State().BalanceOnly, 0);
}

TEST_F(MonthViewTest, PersonalModeFromAGroupFoundByPartialKey) {
    AddTotals("平成１４年１２月", 2);
    AddTotals("平成１５年０１月", 1);
    // 山田 is the start of the group name 山田太郎; 田中 stands in its
    // second and fifth included names only.
    AddGroup("山田太郎", {"", "田中", "", "", "鈴木商店"});
    Add({"平成１４年１２月０５日", "山田太郎", 1000, "", "", 0, 1000});
    Add({"平成１５年０１月０５日", "田中", 0, "", "", 0, 300});
    Add({"平成１５年０１月０６日", "鈴木商店", 200, "", "", 0, 200});
    Add({"平成１５年０１月０７日", "山田", 50, "", "", 0, 50});
    Add({"平成１５年０１月０８日", "佐藤", 70, "", "", 0, 70});
    Start();
    Form().MutableState().LastName = sj("山田");
    Form().SelectTab(1);
    ASSERT_EQ(Current("氏名"), "山田");

    Form().SelectTab(0);
    EXPECT_EQ(U(State().PersonalNameClause),
              "(氏名 = '山田太郎')or  (氏名 = '田中')or  (氏名 = '鈴木商店')");
    EXPECT_EQ(U(State().PersonalMonthFilter),
              "((氏名 = '山田太郎')or  (氏名 = '田中')or  (氏名 = '鈴木商店')) and (売上日 = "
              "'平成１５年０１月*')");
    // The group across months, not the records of 山田 himself.
    EXPECT_EQ(Names(), (std::vector<std::string>{"鈴木商店", "田中", "山田太郎"}));
    EXPECT_EQ(View().record_count, 3);

    // Only the exclusion mark is open; no entry, no insert or delete.
    EXPECT_EQ(U(View().mode_caption), "閲覧モード");
    EXPECT_EQ(View().editable, Groups(false, false, false, true));
    EXPECT_EQ(State().BulkUpdate, 2);
    EXPECT_EQ(State().AmountsEditable, 0);
    EXPECT_FALSE(View().insert_enabled);
    EXPECT_FALSE(View().delete_enabled);
    EXPECT_FALSE(View().kakutei_panel);
    EXPECT_TRUE(View().kojin_panel);
    EXPECT_FALSE(View().total_panel1);
    EXPECT_EQ(U(State().SelectedMonthLabel), "平成１５年０１月");  // kept

    // The totals line counts the newest month only.
    EXPECT_TRUE(View().ototal_panel);
    EXPECT_EQ(U(View().total_label), "残　金");
    EXPECT_EQ(U(View().personal_totals_label), "（平成１５年０１月分）");
    EXPECT_EQ(U(View().personal_totals[accounting::kTotSales]), "\\500");
    EXPECT_EQ(U(View().personal_totals[accounting::kTotBalance]), "\\200");

    // The balance clause narrows the whole group, not only its last name.
    Form().ComboBox2Change(sj("残金のみ"));
    EXPECT_EQ(Names(), (std::vector<std::string>{"鈴木商店", "山田太郎"}));
    Form().ComboBox2Change(sj("全て"));
    EXPECT_EQ(View().record_count, 3);

    // Back to a month: the month line again, entry open.
    Form().SelectTab(1);
    EXPECT_FALSE(View().ototal_panel);
    EXPECT_FALSE(View().kojin_panel);
    EXPECT_EQ(U(View().total_label), "合　計");
    EXPECT_EQ(State().BulkUpdate, 0);
    EXPECT_EQ(State().AmountsEditable, 1);

    // A name of no group stands alone.
    Form().MutableState().LastName = sj("佐藤");
    Form().SelectTab(1);
    Form().SelectTab(0);
    EXPECT_EQ(U(State().PersonalNameClause), "(氏名 = '佐藤')");
    EXPECT_EQ(Names(), (std::vector<std::string>{"佐藤"}));
}

TEST_F(MonthViewTest, CurrentMonthOnlyAndThePeriodLimit) {
    Settle(20);
    AddTotals("平成１４年１１月", 2);
    AddTotals("平成１４年１２月", 2);
    AddTotals("平成１５年０１月", 1);
    Add({"平成１４年１０月２５日", "山田", 0, "", "", 0, 100});  // 平成１４年１１月's period
    Add({"平成１４年１１月２５日", "山田", 0, "", "", 0, 200});  // 平成１４年１２月's period
    Add({"平成１４年１２月２５日", "山田", 0, "", "", 0, 400});  // 平成１５年０１月's period
    Start();
    auto sales_line = [&] { return U(View().personal_totals[accounting::kTotSales]); };

    Form().Pr1Click();  // 当月のみ: the newest month's period only
    EXPECT_TRUE(View().current_month_only);
    Form().SelectTab(0);
    EXPECT_EQ(U(ledger_.Filter()),
              "((氏名 = '山田')) and (売上日 >= '平成１４年１２月２１日') and  (売上日 <= "
              "'平成１５年０１月２０日')");
    EXPECT_EQ(Names(), (std::vector<std::string>{"山田"}));
    EXPECT_EQ(Current("売上日"), "平成１４年１２月２５日");
    EXPECT_EQ(sales_line(), "\\400");

    // A period limit decides, 当月のみ or not.
    Form().MutableState().PeriodLimitClause =
        sj("(売上日 >= '平成１４年１０月２１日') and  (売上日 <= '平成１４年１２月２０日')");
    Form().SelectTab(0);
    EXPECT_EQ(U(ledger_.Filter()),
              "((氏名 = '山田')) and (売上日 >= '平成１４年１０月２１日') and  (売上日 <= "
              "'平成１４年１２月２０日')");
    EXPECT_EQ(View().record_count, 2);
    // The totals line is the newest period's, which the limit left out.
    EXPECT_EQ(sales_line(), "\\0");
    EXPECT_EQ(U(View().personal_totals_label), "（平成１５年０１月分）");

    Form().Pr1Click();
    EXPECT_FALSE(View().current_month_only);
    Form().MutableState().PeriodLimitClause.clear();
    Form().SelectTab(0);
    EXPECT_EQ(View().record_count, 3);
    // Every month shown, the newest period's record alone counted: its
    // period runs from the 21st of the month before.
    EXPECT_EQ(sales_line(), "\\400");
}

TEST_F(MonthViewTest, APersonalViewOfANameWithFilterCharactersShowsThatNameAlone) {
    AddTotals("平成１５年０１月", 1);
    // Each name beside the names a misread filter would also show: a quote,
    // a trailing * (the filters' "begins with"), the pieces of a clause.
    const char* const names[] = {
        "O'Brien商店",        "O'Brien", "山田*太郎", "山田*",    "b",
        "a') or  (氏名 = 'b", "'",       "''",        "(株)鈴木", "(株)鈴木 and ",
        "佐藤商事",           "高橋",    "佐藤*",     "高橋'"};
    for (const char* name : names)
        Add({"平成１５年０１月０５日", name, 10});
    // A group whose own name ends in * and whose member holds a quote.
    AddGroup("佐藤*", {"", "高橋'"});
    Start();

    struct Case {
        const char* current;
        std::vector<std::string> shown;  // newest first
    } cases[] = {
        {"O'Brien", {"O'Brien"}},
        {"山田*", {"山田*"}},
        {"a') or  (氏名 = 'b", {"a') or  (氏名 = 'b"}},
        {"'", {"'"}},
        {"''", {"''"}},
        {"(株)鈴木 and ", {"(株)鈴木 and "}},
        {"高橋'", {"高橋'", "佐藤*"}},
        {"佐藤*", {"高橋'", "佐藤*"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.current);
        Form().SelectTab(1);
        ASSERT_TRUE(ledger_.Locate(sj("氏名"), {sj(c.current)}, false));
        Form().SelectTab(0);
        EXPECT_EQ(Names(), c.shown);
        // The newest month and the balance clause narrow the same names.
        Form().ComboBox2Change(sj("残金のみ"));
        EXPECT_EQ(Names(), c.shown);
        Form().ComboBox2Change(sj("全て"));
        Form().Pr1Click();
        Form().SelectTab(0);
        EXPECT_EQ(Names(), c.shown);
        Form().Pr1Click();
        EXPECT_EQ(U(View().personal_totals[accounting::kTotBalance]),
                  "\\" + std::to_string(10 * c.shown.size()));
    }
}

TEST_F(MonthViewTest, ReturnsToTheRecordThatWasCurrent) {
    AddTotals("平成１４年１２月", 0);
    AddTotals("平成１５年０１月", 1);
    Add({"平成１４年１２月０２日", "山田", 0, "車検", "品川 500 あ 1"});
    Add({"平成１４年１２月０３日", "山田", 0, "修理", "品川 500 あ 1"});
    Add({"平成１４年１２月０４日", "山田", 0, "修理", "品川 300 い 2"});
    Add({"平成１４年１２月０５日", "山田", 0, "修理", "品川 300 い 3"});
    Add({"平成１４年１２月０６日", "先頭"});  // first in the view
    Start();

    struct Case {
        const char* title;
        const char* reg_no;
        const char* name;
        const char* found_date;  // the record that becomes current
    } cases[] = {
        // The same タイトル, 登録番号 and 氏名.
        {"修理", "品川 500 あ 1", "山田", "平成１４年１２月０３日"},
        // No such title: the same 登録番号 and 氏名.
        {"板金", "品川 300 い 2", "山田", "平成１４年１２月０４日"},
        // Neither: the first record of the same 氏名.
        {"板金", "品川 999", "山田", "平成１４年１２月０５日"},
        // Nothing: the first record.
        {"板金", "品川 999", "佐藤", "平成１４年１２月０６日"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.found_date);
        Form().SelectTab(1);
        Form().MutableState().LastTitle = sj(c.title);
        Form().MutableState().LastRegNo = sj(c.reg_no);
        Form().MutableState().LastName = sj(c.name);
        Form().SelectTab(2);
        EXPECT_EQ(Current("売上日"), c.found_date);
        EXPECT_EQ(View().record_count, 5);
    }
}

TEST_F(MonthViewTest, SortBoxSetsTheOrderAndItHoldsAcrossTabs) {
    AddTotals("平成１４年１２月", 2);
    AddTotals("平成１５年０１月", 1);
    auto add = [&](const char* date, const char* name, const char* kana, const char* in_date) {
        ledger_.Append();
        ledger_.SetText(sj("売上日"), sj(date));
        ledger_.SetText(sj("氏名"), sj(name));
        ledger_.SetText(sj("ふりがな"), sj(kana));
        ledger_.SetText(sj("入庫日"), sj(in_date));
        ledger_.SetText(sj("出庫日"), sj(in_date));
        ledger_.SetInt(sj("項番"), ++number_);
        ledger_.Post();
    };
    add("平成１５年０１月０１日", "一", "ｳ", "平成１４年１２月２０日");
    add("平成１５年０１月０２日", "二", "ｱ", "平成１５年０１月０２日");
    add("平成１５年０１月０３日", "三", "ｲ", "平成１４年１２月１０日");
    add("平成１４年１２月０１日", "四", "ｲ", "平成１４年１２月０１日");
    add("平成１４年１２月０２日", "五", "ｱ", "平成１４年１１月３０日");
    Start();
    EXPECT_EQ(Names(), (std::vector<std::string>{"三", "二", "一"}));  // 降順

    struct Case {
        const char* item;
        const char* order;
        std::vector<std::string> month1, month2;
    } cases[] = {
        {"ふりがな", "ふりがな", {"二", "三", "一"}, {"五", "四"}},
        {"入庫日", "入庫日降順", {"二", "一", "三"}, {"四", "五"}},
        {"出庫日", "出庫日降順", {"二", "一", "三"}, {"四", "五"}},
        {"売上日", "降順", {"三", "二", "一"}, {"五", "四"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        Form().SelectTab(1);
        Form().ComboBox1Change(sj(c.item));
        EXPECT_EQ(U(State().SortIndexName), c.order);
        EXPECT_EQ(U(SortItemOf(State().SortIndexName)), c.item);
        EXPECT_EQ(U(ledger_.Order()), c.order);
        EXPECT_EQ(Names(), c.month1);
        Form().SelectTab(2);
        EXPECT_EQ(Names(), c.month2);
    }
    Form().ComboBox1Change("?");
    EXPECT_EQ(U(State().SortIndexName), "降順");
}

// Table1AfterPost as the record events do it: the totals record of the month
// selected is written.
class PendingRecordTest : public MonthViewTest {
  protected:
    void WireAfterPost() {
        ledger_.Events().AfterPost = [this] {
            if (State().HoldTotals != 0) return;
            accounting::WriteTotalsAfterPost(
                ledger_, totals_, {State().SelectedMonthLabel, View().tab_captions.size() == 2});
        };
    }
};

TEST_F(PendingRecordTest, AnInsertedRecordLandsInItsOwnMonth) {
    AddTotals("平成１４年１２月", 2, 7000);
    AddTotals("平成１５年０１月", 1, 1000);
    Add({"平成１５年０１月０５日", "山田", 0, "", "", 0, 1000});
    Start();
    WireAfterPost();

    // A new record with an amount counted into the month (the exit of 売上).
    ledger_.Append();
    ledger_.SetText(sj("売上日"), sj("平成１５年０１月１０日"));
    ledger_.SetText(sj("氏名"), sj("佐藤"));
    ledger_.SetInt(sj("売上"), 5000);
    accounting::AmountSnapshot snapshot{};
    accounting::CarCalc(ledger_, totals_, {State().SelectedMonthLabel, false}, snapshot);
    Form().SelectTab(2);
    EXPECT_EQ(MonthTotal("平成１５年０１月", "売上"), 6000);
    EXPECT_EQ(MonthTotal("平成１４年１２月", "売上"), 7000);

    // A new record without amounts leaves the other month's label alone.
    Form().SelectTab(1);
    ledger_.Append();
    ledger_.SetText(sj("売上日"), sj("平成１５年０１月１１日"));
    ledger_.SetText(sj("氏名"), sj("鈴木"));
    Form().SelectTab(2);
    EXPECT_EQ(MonthTotal("平成１５年０１月", "売上"), 6000);
    EXPECT_EQ(MonthTotal("平成１４年１２月", "売上"), 7000);
    Form().SelectTab(1);
    EXPECT_EQ(View().record_count, 3);
    EXPECT_EQ(totals_.RecordCount(), 1);
}

TEST_F(PendingRecordTest, AFreshLedgersFirstRecordCreatesItsTotals) {
    Start();
    WireAfterPost();
    ledger_.Append();
    ledger_.SetText(sj("売上日"), sj("平成１５年０１月１０日"));
    ledger_.SetText(sj("氏名"), sj("山田"));
    ledger_.SetInt(sj("売上"), 2000);
    accounting::AmountSnapshot snapshot{};
    accounting::CarCalc(ledger_, totals_, {State().SelectedMonthLabel, true}, snapshot);
    Form().SelectTab(0);
    EXPECT_EQ(MonthTotal("平成１５年０１月", "売上"), 2000);
    EXPECT_EQ(MonthTotal("平成１５年０１月", "書込モード"), 1);
    EXPECT_EQ(Names(), (std::vector<std::string>{"山田"}));
}

TEST_F(PendingRecordTest, ARecordThatCannotBeSavedKeepsTheTabShown) {
    AddTotals("平成１４年１２月", 2);
    AddTotals("平成１５年０１月", 1);
    Start();
    ledger_.Events().BeforePost = [] { throw store::StoreError("refused"); };
    ledger_.Append();
    ledger_.SetText(sj("氏名"), sj("山田"));
    EXPECT_THROW(Form().SelectTab(2), store::StoreError);
    EXPECT_EQ(View().tab_index, 1);
    EXPECT_EQ(U(State().SelectedMonthLabel), "平成１５年０１月");
    EXPECT_EQ(ledger_.GetState(), store::State::Insert);  // what was typed is kept
    EXPECT_EQ(State().TabSwitching, 0);
    EXPECT_EQ(State().BulkUpdate, 0);
    ledger_.Events().BeforePost = nullptr;
    ledger_.Cancel();

    // The record events' own save refuses with a message of its own: the
    // tab shown stays, nothing else happens.
    int asked = 0;
    Form().PostPendingRecord = [&] {
        ++asked;
        return false;
    };
    ledger_.Append();
    ledger_.SetText(sj("氏名"), sj("山田"));
    Form().SelectTab(2);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(View().tab_index, 1);
    EXPECT_EQ(U(State().SelectedMonthLabel), "平成１５年０１月");
    EXPECT_EQ(ledger_.GetState(), store::State::Insert);
    EXPECT_EQ(State().BulkUpdate, 0);
    Form().PostPendingRecord = nullptr;
    ledger_.Cancel();

    // A new record nothing was typed into is dropped, not saved empty.
    ledger_.Append();
    Form().SelectTab(2);
    Form().SelectTab(1);
    EXPECT_EQ(View().record_count, 0);
}

// The window's own record events on the same tables, the controls' events
// given as the window gives them.
class EntryAcrossTabsTest : public MonthViewTest {
  protected:
    void StartWithEvents() {
        Form().FormCreate();
        Form().UseRecordEvents(db_);
        ASSERT_TRUE(Form().Timer1Timer());
    }
    LedgerRecordEvents& Events() { return *Form().RecordEvents(); }
    // Typed, committed and left.
    void Type(int field, const char* utf8) {
        TypeOnly(field, utf8);
        Events().FieldExit(field);
    }
    // Typed and committed; the focus is still in the field.
    void TypeOnly(int field, const char* utf8) {
        Events().FieldKey(field);
        ASSERT_TRUE(Events().CommitField(field, sj(utf8)));
    }
    std::vector<std::string> Messages() const {
        std::vector<std::string> out;
        for (const auto& asked : questions_.AskedList())
            if (asked.kind == "message") out.push_back(U(asked.text));
        return out;
    }
    void TearDown() override { EXPECT_EQ(questions_.Pending(), 0u); }
};

namespace rcv = ledger::rcv;

TEST_F(EntryAcrossTabsTest, TheRecordBeingEnteredIsSavedIntoItsOwnMonthFirst) {
    AddTotals("平成１４年１２月", 0, 7000);
    AddTotals("平成１５年０１月", 1, 1000);
    Add({"平成１５年０１月０５日", "山田", 0, "", "", 0, 1000});
    StartWithEvents();
    LedgerRecordEvents& e = Events();

    // A new record whose 売上 was typed but not left: the tab change runs the
    // exit and saves the record with its month's totals before anything of
    // the new tab is set.
    ASSERT_TRUE(e.NavigatorClick(NavButton::Insert));
    Type(rcv::kSalesDate, "平成１５年０１月１０日");
    Type(rcv::kName, "佐藤");
    TypeOnly(rcv::kSales, "5000");
    Form().SelectTab(2);
    EXPECT_EQ(View().tab_index, 2);
    EXPECT_EQ(ledger_.GetState(), store::State::Browse);
    EXPECT_EQ(MonthTotal("平成１５年０１月", "売上"), 6000);
    EXPECT_EQ(MonthTotal("平成１５年０１月", "残金合計"), 5000);
    EXPECT_EQ(MonthTotal("平成１４年１２月", "売上"), 7000);
    EXPECT_EQ(MonthTotal("平成１４年１２月", "残金合計"), 0);

    // An edit likewise; an amount refused where it was typed changes nothing.
    Form().MutableState().LastName = sj("佐藤");
    Form().SelectTab(1);
    ASSERT_EQ(Current("氏名"), "佐藤");
    questions_.Then(Answer::Ok);
    e.FieldKey(rcv::kSales);
    EXPECT_FALSE(e.CommitField(rcv::kSales, "5000000000"));
    e.FieldExit(rcv::kSales);
    TypeOnly(rcv::kPayment1, "2000");
    Form().SelectTab(0);
    EXPECT_EQ(View().tab_index, 0);
    EXPECT_EQ(MonthTotal("平成１５年０１月", "売上"), 6000);
    EXPECT_EQ(MonthTotal("平成１５年０１月", "入金額"), 2000);
    EXPECT_EQ(MonthTotal("平成１５年０１月", "残金合計"), 3000);
    EXPECT_EQ(Names(), (std::vector<std::string>{"佐藤"}));
    EXPECT_EQ(U(View().personal_totals[accounting::kTotBalance]), "\\3,000");

    // Without 売上日 the save is refused: the message, the tab that was
    // shown with its state, the record as typed; nothing written.
    Form().SelectTab(1);
    ASSERT_TRUE(e.NavigatorClick(NavButton::Insert));
    Type(rcv::kName, "鈴木");
    Type(rcv::kSales, "3000");
    for (int tab : {2, 0}) {
        SCOPED_TRACE(tab);
        questions_.Then(Answer::Ok);
        Form().SelectTab(tab);
        EXPECT_EQ(Messages().back(), "　売上日を入力してください。");
        EXPECT_EQ(View().tab_index, 1);
        EXPECT_EQ(U(State().SelectedMonthLabel), "平成１５年０１月");
        EXPECT_EQ(State().AmountsEditable, 1);
        EXPECT_EQ(State().BulkUpdate, 0);
        EXPECT_EQ(State().TabSwitching, 0);
        EXPECT_TRUE(View().insert_enabled);
        EXPECT_TRUE(View().total_panel1);
        EXPECT_FALSE(View().kojin_panel);
        EXPECT_EQ(U(View().mode_caption), "入力モード");
        EXPECT_EQ(ledger_.GetState(), store::State::Insert);
        EXPECT_EQ(Current("氏名"), "鈴木");
        EXPECT_EQ(ledger_.Int(sj("売上")), 3000);
        EXPECT_EQ(totals_.Int(sj("売上")), 9000);  // counted, still pending
        EXPECT_EQ(MonthTotal("平成１５年０１月", "売上"), 6000);
    }

    // With its date it is saved where it belongs.
    Type(rcv::kSalesDate, "平成１５年０１月１２日");
    Form().SelectTab(2);
    EXPECT_EQ(View().tab_index, 2);
    EXPECT_EQ(MonthTotal("平成１５年０１月", "売上"), 9000);
    EXPECT_EQ(MonthTotal("平成１４年１２月", "売上"), 7000);
    Form().SelectTab(1);
    EXPECT_EQ(View().record_count, 3);
}

TEST_F(EntryAcrossTabsTest, TheSortAndBalanceBoxesSaveTheRecordBeingEnteredFirst) {
    AddTotals("平成１５年０１月", 1, 1000);
    Add({"平成１５年０１月０５日", "山田", 1000, "", "", 0, 1000});
    StartWithEvents();
    LedgerRecordEvents& e = Events();

    ASSERT_TRUE(e.NavigatorClick(NavButton::Insert));
    Type(rcv::kSalesDate, "平成１５年０１月１０日");
    Type(rcv::kName, "佐藤");
    TypeOnly(rcv::kSales, "500");
    Form().ComboBox2Change(sj("残金のみ"));
    EXPECT_EQ(State().BalanceOnly, 1);
    EXPECT_EQ(MonthTotal("平成１５年０１月", "売上"), 1500);
    EXPECT_EQ(MonthTotal("平成１５年０１月", "残金合計"), 500);
    EXPECT_EQ(Names(), (std::vector<std::string>{"佐藤", "山田"}));

    // A record that cannot be saved keeps the box's earlier choice.
    ASSERT_TRUE(e.NavigatorClick(NavButton::Insert));
    Type(rcv::kName, "鈴木");
    Type(rcv::kSales, "300");
    const std::string filter = ledger_.Filter();
    questions_.Then(Answer::Ok).Then(Answer::Ok);
    Form().ComboBox2Change(sj("全て"));
    EXPECT_EQ(State().BalanceOnly, 1);
    EXPECT_EQ(ledger_.Filter(), filter);
    Form().ComboBox1Change(sj("ふりがな"));
    EXPECT_EQ(U(State().SortIndexName), "降順");
    EXPECT_EQ(U(ledger_.Order()), "降順");
    EXPECT_EQ(Messages(), (std::vector<std::string>{"　売上日を入力してください。",
                                                    "　売上日を入力してください。"}));
    EXPECT_EQ(ledger_.GetState(), store::State::Insert);
    EXPECT_EQ(Current("氏名"), "鈴木");
    EXPECT_EQ(MonthTotal("平成１５年０１月", "売上"), 1500);

    Type(rcv::kSalesDate, "平成１５年０１月１１日");
    Form().ComboBox1Change(sj("ふりがな"));
    EXPECT_EQ(U(ledger_.Order()), "ふりがな");
    EXPECT_EQ(ledger_.GetState(), store::State::Browse);
    EXPECT_EQ(MonthTotal("平成１５年０１月", "売上"), 1800);
    EXPECT_EQ(View().record_count, 3);
}

TEST(ControlEditable, FieldGroupsOfTheRecordPanel) {
    const EditableGroups payments_only{false, false, true, false};
    EXPECT_TRUE(ControlEditable(payments_only, "DBMemo18"));
    EXPECT_TRUE(ControlEditable(payments_only, "DBComboBox3"));
    EXPECT_FALSE(ControlEditable(payments_only, "DBMemo16"));  // お預り: deposit group
    EXPECT_FALSE(ControlEditable(payments_only, "DBCheckBox1"));
    const EditableGroups all{true, true, true, true};
    for (const char* never : {"DBMemo11", "DBMemo14", "DBMemo22", "DBMemo23", "DBMemo24"})
        EXPECT_FALSE(ControlEditable(all, never)) << never;
    for (const char* open : {"YomiDBMemo1", "DBMemo6", "DBMemo13", "DBMemo25", "DBCheckBox1"})
        EXPECT_TRUE(ControlEditable(all, open)) << open;
}

}  // namespace
}  // namespace ravelto::ledgerwin
