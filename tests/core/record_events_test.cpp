// Record entry in the ledger window: the record events on real tables, the
// field handlers as the window calls them, scripted answers and a fixed clock.

#include "core/ledgerwin/record_events.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <limits>

#include "core/ledger/filter_expression.h"
#include "store_fixture.h"
#include "support/scripted_questions.h"

namespace ravelto::testing {
namespace {

using ledgerwin::LedgerRecordEvents;
using ledgerwin::NavButton;
namespace rcv = ledger::rcv;

const char* const kDec = "平成１４年１２月";
const char* const kNov = "平成１４年１１月";

class RecordEventsTest : public StoreTest {
  protected:
    RecordEventsTest() : clock({2002, 12, 10}) {}

    // The totals record of a month, as stored.
    void AddMonth(const char* label, int write_mode,
                  std::initializer_list<std::pair<const char*, int32_t>> amounts = {}) {
        store::Table& t = Totals();
        t.SetFiltered(false);
        t.Append();
        t.SetText(sj("売上日"), sj(label));
        t.SetInt(sj("書込モード"), write_mode);
        for (const auto& [field, value] : amounts)
            t.SetInt(sj(field), value);
        t.Post();
    }
    // A ledger record as stored (no events wired yet).
    void AddRecord(FieldValues values) { Add(Ledger(), values); }

    // Shows a month as the month view does: both tables filtered to it, the
    // entry groups and flags of an open or closed month. tabs: captions of
    // tabs 1 … (newest first).
    void ShowMonth(const char* label, std::vector<const char*> tabs = {kDec, kNov}) {
        view.tab_captions = {sj("個人モード")};
        int index = 1;
        for (size_t i = 0; i < tabs.size(); ++i) {
            view.tab_captions.push_back(sj(tabs[i]));
            if (std::string(tabs[i]) == label) index = static_cast<int>(i) + 1;
        }
        view.tab_index = index;
        state.SelectedMonthLabel = sj(label);
        view.total_panel1 = true;
        const std::string filter =
            "(" + sj("売上日") + " = " + store::QuoteValue(sj(label) + "*") + ")";
        state.TabSwitching = 1;
        Ledger().SetFilter(filter);
        Ledger().SetFiltered(true);
        Totals().SetFilter(filter);
        Totals().SetFiltered(true);
        state.TabSwitching = 0;
        const bool closed = Totals().RecordCount() > 0 && Totals().Int(sj("書込モード")) == 2;
        state.BulkUpdate = 0;
        state.AmountsEditable = closed ? 0 : 1;
        view.insert_enabled = view.delete_enabled = !closed;
        view.editable = {};
        view.editable.payments = view.editable.exclusion = !closed;
        const bool quoted = Ledger().RecordCount() > 0 && Ledger().Int(sj("書込モード")) != 0;
        view.editable.customer_job = view.editable.deposit_kana = !closed && !quoted;
        view.mode_caption = sj(closed ? "閲覧モード" : quoted ? "引用モード" : "入力モード");
        Ledger().First();
    }

    LedgerRecordEvents& Events() {
        if (!events) {
            events = std::make_unique<LedgerRecordEvents>(state, view, Db(), Ledger(), Totals(),
                                                          questions, clock);
            events->Install();
        }
        return *events;
    }

    // Types a text into a field and leaves it, as the window reports it.
    bool Type(int field, const char* utf8) {
        Events().FieldKey(field);
        const bool kept = Events().CommitField(field, sj(utf8));
        Events().FieldExit(field);
        return kept;
    }

    int32_t Total(const char* field) { return Totals().Int(sj(field)); }
    int32_t Amount(const char* field) { return Ledger().Int(sj(field)); }

    // What another connection reads from the files: what is really written.
    std::vector<std::string> Stored(const store::TableDef& def, const char* field) {
        store::Database other(Dir());
        return Column(other.Open(def), field);
    }

    std::vector<std::string> Messages() const {
        std::vector<std::string> out;
        for (const auto& asked : questions.AskedList())
            if (asked.kind == "message") out.push_back(Cp932ToUtf8(asked.text));
        return out;
    }

    FixedClock clock;
    ScriptedQuestions questions;
    ledgerwin::MainWindowState state;
    ledgerwin::WindowView view;
    std::unique_ptr<LedgerRecordEvents> events;

    void TearDown() override { EXPECT_EQ(questions.Pending(), 0u); }
};

TEST_F(RecordEventsTest, TypingThenLeavingTwiceCountsOnceAndThePostWritesBoth) {
    AddMonth(kDec, 1, {{"売上", 1000}, {"請求合計", 1000}, {"売掛残金", 1000}, {"残金合計", 1000}});
    AddMonth(kNov, 2);
    ShowMonth(kDec);
    auto& e = Events();

    ASSERT_TRUE(e.NavigatorClick(NavButton::Insert));
    EXPECT_EQ(Ledger().GetState(), store::State::Insert);
    EXPECT_EQ(Cp932ToUtf8(view.mode_caption), "入力モード");
    EXPECT_TRUE(Type(rcv::kSalesDate, "平成１４年１２月０５日"));
    EXPECT_TRUE(Type(rcv::kFees, "500"));
    EXPECT_TRUE(Type(rcv::kSales, "10,000"));
    EXPECT_EQ(Amount("請求合計"), 10500);
    EXPECT_EQ(Amount("売掛残金"), 10000);
    EXPECT_EQ(Amount("立替残金"), 500);
    EXPECT_EQ(Total("売上"), 11000);

    // Leaving the field again, and typing the same value again, adds nothing.
    e.FieldExit(rcv::kSales);
    EXPECT_TRUE(Type(rcv::kSales, "10000"));
    EXPECT_EQ(Total("売上"), 11000);
    EXPECT_EQ(Total("請求合計"), 11500);
    EXPECT_EQ(Total("残金合計"), 11500);

    ASSERT_TRUE(e.NavigatorClick(NavButton::Post));
    EXPECT_EQ(Ledger().GetState(), store::State::Browse);
    EXPECT_EQ(Totals().GetState(), store::State::Browse);
    EXPECT_EQ(view.record_count, 1);
    EXPECT_EQ(Ledger().Int(sj("項番")), 20021205);
    EXPECT_EQ(Stored(ledger::TotalsTable(), "売上"), (std::vector<std::string>{"", "11000"}));
    EXPECT_EQ(Stored(ledger::ReceiveTable(), "請求合計"), (std::vector<std::string>{"10500"}));

    // Editing the record later counts only the change.
    EXPECT_TRUE(Type(rcv::kPayment1, "4000"));
    EXPECT_EQ(Ledger().GetState(), store::State::Edit);
    ASSERT_TRUE(e.NavigatorClick(NavButton::Post));
    EXPECT_EQ(Total("入金額"), 4000);
    EXPECT_EQ(Total("残金合計"), 7500);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(RecordEventsTest, CancelRestoresTheTotalsRecord) {
    AddMonth(kDec, 1, {{"売上", 1000}, {"入金額", 200}});
    AddRecord({{"売上日", "平成１４年１２月０１日"}, {"売上", "1000"}, {"入金額1", "200"}});
    ShowMonth(kDec);
    auto& e = Events();

    // A new record cancelled.
    ASSERT_TRUE(e.NavigatorClick(NavButton::Insert));
    Type(rcv::kSales, "10000");
    EXPECT_EQ(Total("売上"), 11000);
    ASSERT_TRUE(e.NavigatorClick(NavButton::Cancel));
    EXPECT_EQ(Ledger().GetState(), store::State::Browse);
    EXPECT_EQ(Totals().GetState(), store::State::Browse);
    EXPECT_EQ(Total("売上"), 1000);

    // An edit of a stored record cancelled.
    Type(rcv::kPayment1, "700");
    EXPECT_EQ(Total("入金額"), 700);
    ASSERT_TRUE(e.NavigatorClick(NavButton::Cancel));
    EXPECT_EQ(Total("入金額"), 200);
    EXPECT_EQ(Amount("入金額1"), 200);
    EXPECT_EQ(Stored(ledger::TotalsTable(), "入金額"), (std::vector<std::string>{"200"}));
}

TEST_F(RecordEventsTest, DeleteAsksAndSubtractsTheRecordFromTheTotals) {
    AddMonth(kDec, 1, {{"売上", 9000}, {"入金額", 6000}, {"残金合計", 3000}});
    AddRecord({{"売上日", "平成１４年１２月０１日"},
               {"売上", "8000"},
               {"お預り", "3000"},
               {"入金額1", "2000"},
               {"残金合計", "3000"}});
    AddRecord({{"売上日", "平成１４年１２月０２日"}, {"売上", "1000"}, {"入金額1", "1000"}});
    ShowMonth(kDec);
    auto& e = Events();
    ASSERT_TRUE(Ledger().Locate(sj("売上日"), {sj("平成１４年１２月０１日")}, false));

    questions.Then(Answer::No);
    EXPECT_FALSE(e.NavigatorClick(NavButton::Delete));
    EXPECT_EQ(Ledger().RecordCount(), 2);
    EXPECT_EQ(Total("入金額"), 6000);

    questions.Then(Answer::Yes);
    EXPECT_TRUE(e.NavigatorClick(NavButton::Delete));
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{"レコードを削除しますか？", "レコードを削除しますか？"}));
    EXPECT_EQ(Ledger().RecordCount(), 1);
    EXPECT_EQ(view.record_count, 1);
    EXPECT_EQ(Total("入金額"), 1000);
    EXPECT_EQ(Total("売上"), 1000);
    EXPECT_EQ(Total("残金合計"), 0);
    EXPECT_EQ(Stored(ledger::TotalsTable(), "入金額"), (std::vector<std::string>{"1000"}));

    // A record deleted while its change is counted: the month loses what
    // the record held before the change.
    Type(rcv::kPayment1, "1500");
    EXPECT_EQ(Total("入金額"), 1500);
    questions.Then(Answer::Yes);
    EXPECT_TRUE(e.NavigatorClick(NavButton::Delete));
    EXPECT_EQ(Ledger().RecordCount(), 0);
    EXPECT_EQ(Total("入金額"), 0);
    EXPECT_EQ(Total("売上"), 0);
    EXPECT_EQ(Stored(ledger::TotalsTable(), "入金額"), (std::vector<std::string>{"0"}));

    // A record deleted while a typed amount's exit is still owed: the month
    // loses what it counted of the record, not the amount never added.
    AddRecord({{"売上日", "平成１４年１２月０３日"}, {"入金額1", "400"}});
    Totals().Edit();
    Totals().SetInt(sj("入金額"), 400);
    Totals().Post();
    ShowMonth(kDec);
    e.FieldKey(rcv::kPayment1);
    ASSERT_TRUE(e.CommitField(rcv::kPayment1, "900"));
    EXPECT_EQ(Total("入金額"), 400);
    questions.Then(Answer::Yes);
    EXPECT_TRUE(e.NavigatorClick(NavButton::Delete));
    EXPECT_EQ(Stored(ledger::TotalsTable(), "入金額"), (std::vector<std::string>{"0"}));
    EXPECT_EQ(state.ExitPending, 0);
    // Nothing left to delete: nothing asked.
    EXPECT_FALSE(e.NavigatorClick(NavButton::Delete));
}

TEST_F(RecordEventsTest, FirstPostOfAFreshLedgerCreatesTheTotalsRecord) {
    // A fresh ledger: no totals record, two tabs.
    struct Case {
        bool with_amount;
        bool balance_only;  // the record leaves the view when it is posted
    };
    for (const Case& c : {Case{false, false}, Case{true, false}, Case{false, true}}) {
        const bool with_amount = c.with_amount;
        SCOPED_TRACE(std::to_string(with_amount) + std::to_string(c.balance_only));
        ShowMonth(kDec, {kDec});
        if (c.balance_only) Ledger().SetFilter(Ledger().Filter() + sj("and (残金合計 <> 0)"));
        auto& e = Events();
        // On an empty view the first key begins a new record.
        e.FieldKey(rcv::kName);
        EXPECT_EQ(Ledger().GetState(), store::State::Insert);
        ASSERT_TRUE(e.CommitField(rcv::kName, sj("山田")));
        Type(rcv::kSalesDate, "平成１４年１２月０３日");
        if (with_amount) Type(rcv::kSales, "5000");
        ASSERT_TRUE(e.NavigatorClick(NavButton::Post));
        EXPECT_EQ(Ledger().RecordCount(), c.balance_only ? 0 : 1);
        ASSERT_EQ(Totals().RecordCount(), 1);
        EXPECT_EQ(Cp932ToUtf8(Totals().Text(sj("売上日"))), kDec);
        EXPECT_EQ(Total("書込モード"), 1);
        EXPECT_EQ(Total("売上"), with_amount ? 5000 : 0);
        // Start again from nothing.
        events.reset();
        Reopen();
        std::filesystem::remove_all(Dir());
    }
}

TEST_F(RecordEventsTest, SalesDateRangeCheckOnTheCommittedText) {
    struct Case {
        int settle_day;
        const char* date;
        bool accepted;
    };
    const Case cases[] = {
        {0, "平成１４年１２月０５日", true},   {0, "平成１４年１１月３０日", false},
        {0, "平成１４年１２月", true},         {25, "平成１４年１１月３０日", true},
        {25, "平成１４年１１月２６日", true},  {25, "平成１４年１２月２５日", true},
        {25, "平成１４年１１月２５日", false}, {25, "平成１４年１２月２６日", false},
    };
    AddMonth(kDec, 1);
    AddMonth(kNov, 2);
    ShowMonth(kDec);
    auto& e = Events();
    state.TabPeriodStart[1] = sj("平成１４年１１月２６日");
    state.TabPeriodEnd[1] = sj("平成１４年１２月２５日");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.date) + " settle " + std::to_string(c.settle_day));
        state.SettleDay = c.settle_day;
        ASSERT_TRUE(e.NavigatorClick(NavButton::Insert));
        if (!c.accepted) questions.Then(Answer::Ok);
        EXPECT_EQ(Type(rcv::kSalesDate, c.date), c.accepted);
        EXPECT_EQ(Cp932ToUtf8(Ledger().Text(sj("売上日"))), c.accepted ? c.date : "");
        EXPECT_EQ(Messages().empty(), c.accepted);
        EXPECT_EQ(Ledger().GetState(), store::State::Insert);
        e.NavigatorClick(NavButton::Cancel);
        questions = ScriptedQuestions();
    }

    // The date dialog's result is checked the same way.
    state.SettleDay = 0;
    ASSERT_TRUE(e.NavigatorClick(NavButton::Insert));
    questions.ThenText(sj("平成14年11月30日")).Then(Answer::Ok);
    e.DateFieldDblClick(rcv::kSalesDate);
    EXPECT_EQ(Messages(), (std::vector<std::string>{"　売上日が範囲外です。"}));
    EXPECT_EQ(Ledger().Text(sj("売上日")), "");

    // While a tab change or a bulk command runs, nothing is checked.
    state.BulkUpdate = 2;
    EXPECT_TRUE(Type(rcv::kSalesDate, "平成１４年１１月３０日"));
    e.NavigatorClick(NavButton::Cancel);
}

TEST_F(RecordEventsTest, DateDialogOpensOnTheFieldsDateAndStoresItsResult) {
    AddMonth(kDec, 2);
    AddMonth(kNov, 1);
    AddRecord({{"売上日", "平成１４年１１月０５日"}, {"入庫日", "平成１４年１１月０２日"}});
    // A closed month: the date fields are read-only, no dialog.
    ShowMonth(kDec);
    auto& e = Events();
    e.DateFieldDblClick(rcv::kInDate);
    EXPECT_TRUE(questions.AskedList().empty());

    ShowMonth(kNov);
    questions.ThenText(sj("平成14年11月08日"));
    e.DateFieldDblClick(rcv::kOutDate);  // empty: today
    questions.ThenText(sj("平成14年11月03日"));
    e.DateFieldDblClick(rcv::kInDate);
    questions.ThenClosed();
    e.DateFieldDblClick(rcv::kDepositDate);
    ASSERT_EQ(questions.AskedList().size(), 3u);
    const auto request = [&](size_t i) {
        return std::any_cast<DatePickRequest>(questions.AskedList()[i].request);
    };
    EXPECT_EQ(request(0).date, (Date{2002, 12, 10}));
    EXPECT_EQ(request(1).date, (Date{2002, 11, 2}));
    EXPECT_EQ(Cp932ToUtf8(request(1).field_text), "平成１４年１１月０２日");
    EXPECT_EQ(Ledger().GetState(), store::State::Edit);
    EXPECT_EQ(Cp932ToUtf8(Ledger().Text(sj("出庫日"))), "平成１４年１１月０８日");
    EXPECT_EQ(Cp932ToUtf8(Ledger().Text(sj("入庫日"))), "平成１４年１１月０３日");
    EXPECT_EQ(Ledger().Text(sj("お預り日")), "");
}

TEST_F(RecordEventsTest, ModesFollowTheCursorAndThePositionIsRemembered) {
    AddMonth(kDec, 1);
    AddMonth(kNov, 2);
    AddRecord({{"売上日", "平成１４年１２月０１日"}, {"氏名", "入力"}, {"タイトル", "様"}});
    AddRecord({{"売上日", "平成１４年１２月０２日"},
               {"氏名", "引用"},
               {"登録番号", "品川500"},
               {"書込モード", "1"}});
    AddRecord({{"売上日", "平成１４年１１月０２日"}, {"氏名", "先月"}});
    ShowMonth(kDec);
    auto& e = Events();
    Ledger().SetOrder("");

    struct Step {
        NavButton move;
        const char* mode;
        const char* name;
    };
    for (const Step& s :
         {Step{NavButton::First, "入力モード", "入力"}, Step{NavButton::Next, "引用モード", "引用"},
          Step{NavButton::Prior, "入力モード", "入力"},
          Step{NavButton::Last, "引用モード", "引用"}}) {
        ASSERT_TRUE(e.NavigatorClick(s.move));
        EXPECT_EQ(Cp932ToUtf8(view.mode_caption), s.mode);
        const bool input = std::string(s.mode) == "入力モード";
        EXPECT_EQ(view.editable.customer_job, input);
        EXPECT_EQ(view.editable.deposit_kana, input);
        EXPECT_TRUE(view.editable.payments);
        EXPECT_EQ(e.FieldEditable(rcv::kName), input);
        EXPECT_EQ(Cp932ToUtf8(state.LastName), s.name);
    }
    // 引用モード: the customer's fields take nothing, the payments do.
    EXPECT_FALSE(e.CommitField(rcv::kName, sj("別人")));
    EXPECT_FALSE(e.CommitField(rcv::kSales, "100"));
    EXPECT_EQ(Ledger().GetState(), store::State::Browse);
    EXPECT_TRUE(e.CommitField(rcv::kPayment1, "100"));
    EXPECT_EQ(Cp932ToUtf8(state.LastRegNo), "品川500");
    e.NavigatorClick(NavButton::Cancel);

    // While the tabs change, the remembered record stays.
    state.TabSwitching = 1;
    ASSERT_TRUE(e.NavigatorClick(NavButton::First));
    EXPECT_EQ(Cp932ToUtf8(state.LastName), "引用");
    state.TabSwitching = 0;

    // A closed month: the mode stays, no new record can be made.
    ShowMonth(kNov);
    EXPECT_EQ(Cp932ToUtf8(view.mode_caption), "閲覧モード");
    view.insert_enabled = true;  // even when asked directly
    Ledger().Insert();
    EXPECT_EQ(Ledger().GetState(), store::State::Browse);
    EXPECT_EQ(Cp932ToUtf8(view.mode_caption), "閲覧モード");
    EXPECT_FALSE(view.editable.customer_job);
    EXPECT_EQ(Cp932ToUtf8(Ledger().Text(sj("氏名"))), "先月");
    EXPECT_FALSE(e.NavigatorClick(NavButton::Insert));

    // The personal view takes no new record either.
    ShowMonth(kDec);
    view.total_panel1 = false;
    Ledger().Insert();
    EXPECT_EQ(Ledger().GetState(), store::State::Browse);
    EXPECT_EQ(Ledger().RecNo(), Ledger().RecordCount());
}

TEST_F(RecordEventsTest, PostWithoutSalesDateIsRefusedButBulkCommandsKeepEveryRow) {
    AddMonth(kDec, 1);
    AddMonth(kNov, 2);
    ShowMonth(kDec);
    auto& e = Events();
    ASSERT_TRUE(e.NavigatorClick(NavButton::Insert));
    Type(rcv::kName, "山田");
    Type(rcv::kSales, "10000");
    EXPECT_EQ(Total("売上"), 10000);

    questions.Then(Answer::Ok);
    EXPECT_FALSE(e.NavigatorClick(NavButton::Post));
    EXPECT_EQ(Messages(), (std::vector<std::string>{"　売上日を入力してください。"}));
    EXPECT_EQ(Ledger().GetState(), store::State::Insert);
    EXPECT_EQ(Cp932ToUtf8(Ledger().Text(sj("氏名"))), "山田");
    EXPECT_EQ(Total("売上"), 10000);  // still counted, still pending
    EXPECT_EQ(Stored(ledger::ReceiveTable(), "氏名"), std::vector<std::string>{});

    // A move and the tab change's post are refused the same way.
    questions.Then(Answer::Ok).Then(Answer::Ok);
    EXPECT_FALSE(e.NavigatorClick(NavButton::First));
    EXPECT_FALSE(e.PostPending());
    EXPECT_EQ(Ledger().GetState(), store::State::Insert);

    Type(rcv::kSalesDate, "平成１４年１２月");
    ASSERT_TRUE(e.NavigatorClick(NavButton::Post));
    EXPECT_EQ(Ledger().Int(sj("項番")), 20021200);
    EXPECT_EQ(Stored(ledger::TotalsTable(), "売上"), (std::vector<std::string>{"", "10000"}));
    // With a settlement day the bare label sorts on that day of the month before.
    state.SettleDay = 25;
    Type(rcv::kName, "山田一郎");
    ASSERT_TRUE(e.NavigatorClick(NavButton::Post));
    EXPECT_EQ(Ledger().Int(sj("項番")), 20021125);
    state.SettleDay = 0;

    // A new record nobody typed into is dropped by the tab change's post.
    ASSERT_TRUE(e.NavigatorClick(NavButton::Insert));
    EXPECT_TRUE(e.PostPending());
    EXPECT_EQ(Ledger().GetState(), store::State::Browse);

    // A bulk command keeps a row without a date.
    state.BulkUpdate = 1;
    state.HoldTotals = 1;
    Ledger().SetFiltered(false);
    Ledger().AppendRecord({"", "", "", "", sj("日付なし")});
    EXPECT_EQ(Stored(ledger::ReceiveTable(), "氏名").size(), 2u);
}

TEST_F(RecordEventsTest, ARefusedPostKeepsThePendingExitOwedAndCountsItOnce) {
    // The month's totals record is not yet being edited when the post is
    // refused: the amount typed must still reach it.
    AddMonth(kDec, 1, {{"売上", 1000}});
    AddMonth(kNov, 2);
    ShowMonth(kDec);
    auto& e = Events();
    int focus_moves = 0;
    e.MoveFocusOn = [&] { ++focus_moves; };
    ASSERT_TRUE(e.NavigatorClick(NavButton::Insert));
    Type(rcv::kName, "山田");
    e.FieldKey(rcv::kSales);
    ASSERT_TRUE(e.CommitField(rcv::kSales, "10000"));

    questions.Then(Answer::Ok);
    EXPECT_FALSE(e.NavigatorClick(NavButton::Post));
    EXPECT_EQ(focus_moves, 0);
    EXPECT_EQ(state.ExitPending, 1);
    EXPECT_EQ(e.PendingExitField(), rcv::kSales);
    EXPECT_EQ(Ledger().GetState(), store::State::Insert);
    EXPECT_EQ(Amount("売上"), 10000);

    // The user leaves the amount for the sales date.
    e.FieldExit(rcv::kSales);
    EXPECT_EQ(Total("売上"), 11000);
    Type(rcv::kSalesDate, "平成１４年１２月０４日");
    ASSERT_TRUE(e.NavigatorClick(NavButton::Post));
    EXPECT_EQ(Stored(ledger::ReceiveTable(), "請求合計"), (std::vector<std::string>{"10000"}));
    EXPECT_EQ(Stored(ledger::TotalsTable(), "売上"), (std::vector<std::string>{"", "11000"}));
    EXPECT_EQ(Stored(ledger::TotalsTable(), "残金合計"), (std::vector<std::string>{"", "10000"}));
}

TEST_F(RecordEventsTest, PendingExitRunsBeforeThePost) {
    AddMonth(kDec, 1);
    AddMonth(kNov, 2);
    AddRecord({{"売上日", "平成１４年１２月０１日"},
               {"売上", "3000"},
               {"売掛残金", "3000"},
               {"残金合計", "3000"},
               {"請求合計", "3000"}});
    ShowMonth(kDec);
    auto& e = Events();
    int focus_moves = 0;
    e.MoveFocusOn = [&] { ++focus_moves; };

    // Typed and committed, never left: the post runs the exit first.
    e.FieldKey(rcv::kPayment1);
    EXPECT_EQ(state.ExitPending, 1);
    ASSERT_TRUE(e.CommitField(rcv::kPayment1, "1000"));
    ASSERT_TRUE(e.NavigatorClick(NavButton::Post));
    EXPECT_EQ(focus_moves, 1);
    EXPECT_EQ(state.ExitPending, 0);
    EXPECT_EQ(Amount("残金合計"), 2000);
    EXPECT_EQ(Stored(ledger::TotalsTable(), "入金額"), (std::vector<std::string>{"", "1000"}));
    EXPECT_EQ(Stored(ledger::TotalsTable(), "残金合計"), (std::vector<std::string>{"", "-1000"}));
    // The focus-out that follows does not edit the record again.
    e.FieldExit(rcv::kPayment1);
    EXPECT_EQ(Ledger().GetState(), store::State::Browse);
    // Leaving an amount field clears ExitPending; leaving a name does not.
    e.FieldKey(rcv::kSales);
    e.FieldExit(rcv::kName);
    EXPECT_EQ(state.ExitPending, 1);
    e.FieldExit(rcv::kSales);
    EXPECT_EQ(state.ExitPending, 0);
    // A cancelled edit owes no exit; a bulk command's post runs none.
    e.FieldKey(rcv::kSales);
    e.NavigatorClick(NavButton::Cancel);
    EXPECT_EQ(state.ExitPending, 0);
    EXPECT_EQ(e.PendingExitField(), -1);
    state.ExitPending = 1;
    state.BulkUpdate = 1;
    Ledger().AppendRecord({sj("平成１４年１２月２０日")});
    EXPECT_EQ(focus_moves, 1);
    EXPECT_EQ(state.ExitPending, 1);
}

TEST_F(RecordEventsTest, AmountsOutsideThirtyTwoBitsAreRefusedAndNothingIsWritten) {
    const int32_t max = std::numeric_limits<int32_t>::max();
    AddMonth(kDec, 1, {{"売上", max - 10}});
    AddMonth(kNov, 2);
    AddRecord({{"売上日", "平成１４年１２月０１日"},
               {"諸費用", "2147483000"},
               {"請求合計", "2147483000"},
               {"立替残金", "2147483000"},
               {"残金合計", "2147483000"}});
    ShowMonth(kDec);
    auto& e = Events();

    struct Case {
        int field;
        const char* text;
    };
    for (const Case& c :
         {Case{rcv::kSales, "2147483648"}, Case{rcv::kSales, "12.5"}, Case{rcv::kSales, "abc"},
          Case{rcv::kSales, "1000"}, Case{rcv::kPayment1, "-2147483648"}}) {
        SCOPED_TRACE(c.text);
        questions = ScriptedQuestions();
        questions.Then(Answer::Ok);
        EXPECT_FALSE(Type(c.field, c.text));
        EXPECT_EQ(Messages().size(), 1u);
        EXPECT_EQ(Ledger().Text(c.field), "");
    }
    EXPECT_EQ(Amount("請求合計"), 2147483000);
    EXPECT_EQ(Total("売上"), max - 10);
    // What did fit is taken.
    questions = ScriptedQuestions();
    EXPECT_TRUE(Type(rcv::kSales, "10"));
    EXPECT_EQ(Total("売上"), max);
    ASSERT_TRUE(e.NavigatorClick(NavButton::Post));
    EXPECT_EQ(Stored(ledger::TotalsTable(), "売上"),
              (std::vector<std::string>{"", std::to_string(max)}));
}

TEST_F(RecordEventsTest, AFailingTotalsWriteLeavesTheLedgerRecordUnwritten) {
    AddMonth(kDec, 1, {{"入金額", 500}});
    AddMonth(kNov, 2);
    AddRecord({{"売上日", "平成１４年１２月０１日"}, {"入金額1", "500"}});
    ShowMonth(kDec);
    auto& e = Events();
    Type(rcv::kPayment1, "800");
    EXPECT_EQ(Total("入金額"), 800);
    Totals().Events().BeforePost = [] { throw store::StoreError("書き込めません"); };

    EXPECT_THROW(e.NavigatorClick(NavButton::Post), store::StoreError);
    EXPECT_EQ(Stored(ledger::ReceiveTable(), "入金額1"), (std::vector<std::string>{"500"}));
    EXPECT_EQ(Stored(ledger::TotalsTable(), "入金額"), (std::vector<std::string>{"", "500"}));
    // Both stay as they were before the post: what was typed, and the
    // totals' pending change that counts it.
    EXPECT_EQ(Ledger().GetState(), store::State::Edit);
    EXPECT_EQ(Amount("入金額1"), 800);
    EXPECT_EQ(Totals().GetState(), store::State::Edit);
    EXPECT_EQ(Total("入金額"), 800);
    ASSERT_TRUE(e.NavigatorClick(NavButton::Cancel));
    EXPECT_EQ(Total("入金額"), 500);

    // Nor does a failing delete leave the totals lowered.
    ASSERT_EQ(Ledger().GetState(), store::State::Browse);
    Totals().Events().BeforePost = nullptr;
    Ledger().Events().AfterScroll = [] { throw store::StoreError("削除後に失敗"); };
    questions.Then(Answer::Yes);
    EXPECT_THROW(e.NavigatorClick(NavButton::Delete), store::StoreError);
    EXPECT_EQ(Stored(ledger::ReceiveTable(), "入金額1"), (std::vector<std::string>{"500"}));
    EXPECT_EQ(Stored(ledger::TotalsTable(), "入金額"), (std::vector<std::string>{"", "500"}));
    EXPECT_EQ(Totals().GetState(), store::State::Browse);
    EXPECT_EQ(Total("入金額"), 500);
}

// The totals file refuses every write, as a storage error would, until the
// trigger is dropped. raise: ABORT ends the statement, ROLLBACK makes SQLite
// give up the whole transaction.
class TotalsRefused {
  public:
    TotalsRefused(const std::filesystem::path& dir, const char* raise) {
        EXPECT_EQ(sqlite3_open((dir / "RcivTotal.db").string().c_str(), &db_), SQLITE_OK);
        for (const char* when : {"UPDATE", "INSERT"}) {
            const std::string sql = std::string("CREATE TRIGGER refuse_") + when + " BEFORE " +
                                    when + " ON records BEGIN SELECT RAISE(" + raise +
                                    ", 'disk error'); END";
            EXPECT_EQ(sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
        }
    }
    ~TotalsRefused() {
        sqlite3_exec(db_, "DROP TRIGGER refuse_UPDATE; DROP TRIGGER refuse_INSERT", nullptr,
                     nullptr, nullptr);
        sqlite3_close(db_);
    }

  private:
    sqlite3* db_ = nullptr;
};

TEST_F(RecordEventsTest, AFailedPostKeepsWhatWasTypedAndCountsItOnceLater) {
    for (const char* raise : {"ABORT", "ROLLBACK"}) {
        SCOPED_TRACE(raise);
        AddMonth(kDec, 1, {{"売上", 3000}, {"入金額", 500}, {"売掛残金", 2500}});
        AddMonth(kNov, 2);
        AddRecord({{"売上日", "平成１４年１２月０１日"},
                   {"氏名", "山田"},
                   {"売上", "3000"},
                   {"請求合計", "3000"},
                   {"入金額1", "500"},
                   {"売掛残金", "2500"},
                   {"残金合計", "2500"}});
        ShowMonth(kDec);
        auto& e = Events();
        Type(rcv::kName, "山田太郎");
        Type(rcv::kPayment1, "800");
        // Typed but not left: the exit is still owed at the post.
        e.FieldKey(rcv::kPayment2);
        ASSERT_TRUE(e.CommitField(rcv::kPayment2, "200"));
        {
            TotalsRefused refused(Dir(), raise);
            EXPECT_THROW(e.NavigatorClick(NavButton::Post), store::StoreError);
            EXPECT_EQ(Stored(ledger::ReceiveTable(), "入金額1"), (std::vector<std::string>{"500"}));
            EXPECT_EQ(Stored(ledger::TotalsTable(), "入金額"),
                      (std::vector<std::string>{"", "500"}));
            EXPECT_EQ(Ledger().GetState(), store::State::Edit);
            EXPECT_EQ(Cur(Ledger(), "氏名"), "山田太郎");
            EXPECT_EQ(Amount("入金額1"), 800);
            EXPECT_EQ(Amount("入金額2"), 200);
            EXPECT_EQ(Amount("売掛残金"), 2200);  // as before the post: the 200 not yet left
            EXPECT_EQ(Totals().GetState(), store::State::Edit);
            EXPECT_EQ(Total("入金額"), 800);
            EXPECT_EQ(state.ExitPending, 1);
            // A move fails the same way and keeps it all too.
            EXPECT_THROW(e.MoveTo(1), store::StoreError);
            EXPECT_EQ(Ledger().GetState(), store::State::Edit);
            EXPECT_EQ(Total("入金額"), 800);
        }
        ASSERT_TRUE(e.NavigatorClick(NavButton::Post));
        EXPECT_EQ(Stored(ledger::ReceiveTable(), "売掛残金"), (std::vector<std::string>{"2000"}));
        EXPECT_EQ(Stored(ledger::ReceiveTable(), "氏名"), (std::vector<std::string>{"山田太郎"}));
        EXPECT_EQ(Stored(ledger::TotalsTable(), "入金額"), (std::vector<std::string>{"", "1000"}));
        EXPECT_EQ(Stored(ledger::TotalsTable(), "売掛残金"),
                  (std::vector<std::string>{"", "2000"}));

        // A new record of a fresh ledger: its totals record is not made, the
        // record stays a new one.
        events.reset();
        Reopen();
        std::filesystem::remove_all(Dir());
        ShowMonth(kDec, {kDec});
        auto& fresh = Events();
        ASSERT_TRUE(fresh.NavigatorClick(NavButton::Insert));
        Type(rcv::kSalesDate, "平成１４年１２月０３日");
        Type(rcv::kSales, "5000");
        {
            TotalsRefused refused(Dir(), raise);
            EXPECT_THROW(fresh.NavigatorClick(NavButton::Post), store::StoreError);
            EXPECT_EQ(Stored(ledger::ReceiveTable(), "売上"), std::vector<std::string>{});
            EXPECT_EQ(Stored(ledger::TotalsTable(), "売上"), std::vector<std::string>{});
            EXPECT_EQ(Ledger().GetState(), store::State::Insert);
            EXPECT_EQ(Amount("売上"), 5000);
            EXPECT_EQ(Amount("売掛残金"), 5000);
            EXPECT_EQ(Totals().GetState(), store::State::Insert);
            EXPECT_EQ(Total("売上"), 5000);
        }
        ASSERT_TRUE(fresh.NavigatorClick(NavButton::Post));
        EXPECT_EQ(Stored(ledger::ReceiveTable(), "売上"), (std::vector<std::string>{"5000"}));
        EXPECT_EQ(Stored(ledger::TotalsTable(), "売上"), (std::vector<std::string>{"5000"}));
        EXPECT_EQ(Stored(ledger::TotalsTable(), "書込モード"), (std::vector<std::string>{"1"}));
        EXPECT_EQ(Stored(ledger::TotalsTable(), "売上日"), (std::vector<std::string>{kDec}));

        events.reset();
        Reopen();
        std::filesystem::remove_all(Dir());
    }
}

TEST_F(RecordEventsTest, StatusBarHints) {
    AddMonth(kDec, 1);
    AddMonth(kNov, 2);
    ShowMonth(kDec);
    auto& e = Events();
    const auto hint = [&](int field) -> std::string {
        auto h = e.FieldClick(field);
        return h ? Cp932ToUtf8(*h) : "(unchanged)";
    };
    EXPECT_EQ(hint(rcv::kAddress), " ダブルクリックで郵便番号７桁検索で入力出来ます。");
    EXPECT_EQ(hint(rcv::kPostCode), " ダブルクリックで住所検索で入力出来ます。");
    EXPECT_EQ(hint(rcv::kInDate), " ダブルクリックでカレンダー表示で入力出来ます。");
    EXPECT_EQ(hint(rcv::kPayDate2), " ダブルクリックでカレンダー表示で入力出来ます。");
    EXPECT_EQ(hint(rcv::kName), "");  // no inspection program
    EXPECT_EQ(hint(rcv::kSales), "");
    EXPECT_EQ(hint(rcv::kBalance), "");
    EXPECT_EQ(hint(rcv::kTitle), "(unchanged)");
    state.InspectionLinked = 1;
    EXPECT_EQ(hint(rcv::kPhone), " ダブルクリックで車検管理表から呼び出せます。");
    // 引用モード: the customer's fields are read-only, the payment dates not.
    view.editable.customer_job = view.editable.deposit_kana = false;
    EXPECT_EQ(hint(rcv::kPhone), "");
    EXPECT_EQ(hint(rcv::kSalesDate), "");
    EXPECT_EQ(hint(rcv::kAddress), "");
    EXPECT_EQ(hint(rcv::kDepositDate), " ダブルクリックでカレンダー表示で入力出来ます。");

    EXPECT_EQ(ledgerwin::FieldOfControl("DBMemo18"), rcv::kPayment1);
    EXPECT_EQ(ledgerwin::FieldOfControl("YomiDBMemo1"), rcv::kName);
    EXPECT_EQ(ledgerwin::FieldOfControl("DBCheckBox1"), rcv::kExcludeFromTotal);
    EXPECT_EQ(ledgerwin::FieldOfControl("Button1"), -1);
}

}  // namespace
}  // namespace ravelto::testing
