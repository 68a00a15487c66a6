// The balance calculation and the monthly totals on real tables: the record
// events wired as the ledger window wires them.

#include <gtest/gtest.h>

#include <limits>

#include "core/accounting/balance.h"
#include "core/ledger/filter_expression.h"
#include "store_fixture.h"

namespace ravelto::testing {
namespace {

using namespace accounting;

const char* const kDec = "平成１４年１２月";
const char* const kNov = "平成１４年１１月";

class TotalsTest : public StoreTest {
  protected:
    // A month with its totals record (書込モード as given) and the views
    // filtered to it, the events of the ledger wired to the totals.
    void OpenMonth(const char* label, int write_mode, bool with_totals = true) {
        store::Table& t = Totals();
        if (with_totals) {
            t.Append();
            t.SetText(sj("売上日"), sj(label));
            t.SetInt(sj("書込モード"), write_mode);
            t.Post();
        }
        context.selected_month_label = sj(label);
        const std::string filter =
            "(" + sj("売上日") + " = " + store::QuoteValue(sj(label) + "*") + ")";
        Ledger().SetFilter(filter);
        Ledger().SetFiltered(true);
        t.SetFilter(filter);
        t.SetFiltered(true);
        Wire();
    }
    void Wire() {
        store::Table& l = Ledger();
        store::Table& t = Totals();
        auto take = [this, &l] { snapshot = ReadAmounts(l); };
        l.Events().BeforeEdit = take;
        l.Events().AfterInsert = take;
        l.Events().AfterPost = [this, &l, &t] { WriteTotalsAfterPost(l, t, context); };
        l.Events().BeforeCancel = [&t] { t.Cancel(); };
        l.Events().BeforeDelete = [&l, &t] { SubtractFromTotals(l, t); };
    }
    // Appends a posted record of the month with the given amounts; its
    // balances and the totals follow as typed entry would make them.
    void AddRecord(const char* date, std::initializer_list<std::pair<int, int32_t>> amounts) {
        store::Table& l = Ledger();
        l.Append();
        l.SetText(sj("売上日"), sj(date));
        for (auto [index, value] : amounts)
            l.SetInt(AmountFieldNames()[index], value);
        AmountFieldExit(l, Totals(), SumOf::BroughtForward, context, snapshot);
        AmountFieldExit(l, Totals(), SumOf::Billed, context, snapshot);
        l.Post();
    }
    int32_t Total(const char* field) { return Totals().Int(sj(field)); }

    TotalsContext context;
    AmountSnapshot snapshot{};
};

TEST_F(TotalsTest, LeavingTwiceCountsOnceAndThePostWritesBoth) {
    OpenMonth(kDec, 1);
    AddRecord("平成１４年１２月０５日", {{kSales, 30000}, {kPrevReceivable, 20000}});
    EXPECT_EQ(Total("売上"), 30000);
    EXPECT_EQ(Total("残金合計"), 50000);
    EXPECT_EQ(Totals().GetState(), store::State::Browse);

    store::Table& l = Ledger();
    l.Edit();
    l.SetInt(sj("入金額1"), 12000);
    EXPECT_TRUE(AmountFieldExit(l, Totals(), SumOf::None, context, snapshot));
    EXPECT_TRUE(AmountFieldExit(l, Totals(), SumOf::None, context, snapshot));
    EXPECT_EQ(l.Int(sj("売掛残金")), 38000);
    EXPECT_EQ(Total("入金額"), 12000);
    EXPECT_EQ(Total("残金合計"), 38000);
    EXPECT_EQ(Totals().GetState(), store::State::Edit);
    l.Post();
    EXPECT_EQ(Totals().GetState(), store::State::Browse);

    Reopen();
    Totals();
    EXPECT_EQ(Totals().RecordCount(), 1);
    EXPECT_EQ(Total("入金額"), 12000);
    EXPECT_EQ(Total("売掛残金"), 38000);
    EXPECT_EQ(Total("売上"), 30000);
    EXPECT_EQ(Total("書込モード"), 1);
    EXPECT_EQ(Ledger().Int(sj("残金合計")), 38000);
}

TEST_F(TotalsTest, CancelRestoresTheTotals) {
    OpenMonth(kDec, 1);
    AddRecord("平成１４年１２月０５日", {{kSales, 1000}});
    store::Table& l = Ledger();
    l.Append();
    l.SetText(sj("売上日"), sj("平成１４年１２月０６日"));
    l.SetInt(sj("売上"), 10000);
    AmountFieldExit(l, Totals(), SumOf::Billed, context, snapshot);
    EXPECT_EQ(Total("売上"), 11000);
    EXPECT_EQ(Total("請求合計"), 11000);
    l.Cancel();
    EXPECT_EQ(Total("売上"), 1000);
    EXPECT_EQ(Total("請求合計"), 1000);
    EXPECT_EQ(Total("残金合計"), 1000);
    EXPECT_EQ(l.RecordCount(), 1);
}

TEST_F(TotalsTest, DeletingSubtractsTheRecordWithItsThreeReceivedAmounts) {
    OpenMonth(kDec, 1);
    AddRecord("平成１４年１２月０１日", {{kSales, 50000}, {kDeposit, 1000}});
    AddRecord("平成１４年１２月０５日", {{kPrevAdvance, 700},
                                         {kSales, 9000},
                                         {kDeposit, 3000},
                                         {kPayment1, 2000},
                                         {kAdjustment, 100}});
    EXPECT_EQ(Total("入金額"), 6000);
    ASSERT_EQ(Ledger().Int(sj("お預り")), 3000);
    Ledger().Delete();
    EXPECT_EQ(Total("入金額"), 1000);
    EXPECT_EQ(Total("売上"), 50000);
    EXPECT_EQ(Total("先月立替残"), 0);
    EXPECT_EQ(Total("調整額"), 0);
    EXPECT_EQ(Total("残金合計"), 49000);
    EXPECT_EQ(Totals().GetState(), store::State::Browse);
    Reopen();
    EXPECT_EQ(Totals().Int(sj("入金額")), 1000);
}

TEST_F(TotalsTest, FirstPostOfAFreshLedgerCreatesTheMonthsTotals) {
    OpenMonth(kDec, 0, /*with_totals=*/false);
    context.single_month = true;
    ASSERT_EQ(Totals().RecordCount(), 0);
    AddRecord("平成１４年１２月０５日", {{kSales, 10000}, {kFees, 500}});
    store::Table& t = Totals();
    ASSERT_EQ(t.RecordCount(), 1);
    EXPECT_EQ(t.GetState(), store::State::Browse);
    EXPECT_EQ(Cur(t, "売上日"), kDec);
    EXPECT_EQ(Total("書込モード"), 1);
    EXPECT_EQ(Total("請求合計"), 10500);
    EXPECT_EQ(Total("立替残金"), 500);
    // Every amount of the new totals record and the record's balances hold a
    // number (0 where nothing was counted), not nothing: the panels show 0.
    for (const auto& name : TotalFieldNames())
        EXPECT_EQ(t.Text(name).empty(), false) << Cp932ToUtf8(name);
    for (const char* name : {"立替残金", "売掛残金", "残金合計"})
        EXPECT_EQ(Ledger().Text(sj(name)).empty(), false) << name;
    EXPECT_EQ(Cur(t, "先月立替残"), "0");

    // A record without amounts (none reached the totals) still creates it.
    Reopen();
    Totals().SetFilter("(" + sj("売上日") + " = " + store::QuoteValue(sj(kNov) + "*") + ")");
    Totals().SetFiltered(true);
    context.selected_month_label = sj(kNov);
    Wire();
    Ledger().Append();
    Ledger().SetText(sj("売上日"), sj("平成１４年１１月２０日"));
    Ledger().Post();
    EXPECT_EQ(Totals().RecordCount(), 1);
    EXPECT_EQ(Cur(Totals(), "売上日"), kNov);
    EXPECT_EQ(Total("書込モード"), 1);
    EXPECT_EQ(Cur(Totals(), "残金合計"), "0");
}

TEST_F(TotalsTest, ARecordWithoutSalesDateCreatesNoTotalsWithoutALabel) {
    OpenMonth(kDec, 0, /*with_totals=*/false);
    context.single_month = true;
    Ledger().Append();
    Ledger().SetText(sj("氏名"), sj("山田"));
    Ledger().Post();
    Totals().SetFiltered(false);
    EXPECT_EQ(Totals().RecordCount(), 0);
}

TEST_F(TotalsTest, AMonthThatIsNeitherOpenNorTheOnlyOneKeepsItsTotals) {
    OpenMonth(kNov, 0);
    AddRecord("平成１４年１１月０５日", {{kSales, 4000}});
    EXPECT_EQ(Ledger().Int(sj("残金合計")), 4000);
    EXPECT_EQ(Total("売上"), 0);
    EXPECT_EQ(Totals().GetState(), store::State::Browse);
}

TEST_F(TotalsTest, AnAmountThatWouldOverflowIsRefusedAndNothingIsWritten) {
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    OpenMonth(kDec, 1);
    AddRecord("平成１４年１２月０１日", {{kSales, kMax - 10}});
    AddRecord("平成１４年１２月０２日", {{kSales, 5}});
    store::Table& l = Ledger();
    ASSERT_EQ(Total("売上"), kMax - 5);

    // Checked when the text is committed: the field keeps its value.
    EXPECT_THROW(CheckAmountEntry(l, Totals(), kSales, 20, context, snapshot), AmountError);
    EXPECT_NO_THROW(CheckAmountEntry(l, Totals(), kSales, 10, context, snapshot));
    EXPECT_EQ(l.GetState(), store::State::Browse);

    // Refused at the exit as well, with nothing of it written.
    l.Edit();
    l.SetInt(sj("売上"), 20);
    EXPECT_THROW(AmountFieldExit(l, Totals(), SumOf::Billed, context, snapshot), AmountError);
    EXPECT_EQ(l.Int(sj("請求合計")), 5);
    EXPECT_EQ(l.Int(sj("残金合計")), 5);
    EXPECT_EQ(Totals().GetState(), store::State::Browse);
    EXPECT_EQ(Total("売上"), kMax - 5);
    l.Cancel();

    // A deletion whose subtraction would push a total out of range is refused
    // before anything is deleted.
    AddRecord("平成１４年１２月１０日", {{kDeposit, kMax}});
    AddRecord("平成１４年１２月１１日", {{kDeposit, -1}});
    AddRecord("平成１４年１２月１２日", {{kDeposit, 1}});
    ASSERT_EQ(Total("入金額"), kMax);
    ASSERT_TRUE(l.Locate(sj("売上日"), {sj("平成１４年１２月１１日")}, false));
    const int count = l.RecordCount();
    EXPECT_THROW(l.Delete(), AmountError);
    EXPECT_EQ(l.RecordCount(), count);
    EXPECT_EQ(Total("入金額"), kMax);
    EXPECT_EQ(Totals().GetState(), store::State::Browse);
}

TEST_F(TotalsTest, PersonalTotalsCountOnlyTheNewestMonth) {
    store::Table& l = Ledger();
    auto add = [&](const char* date, int32_t sales, int32_t deposit, int32_t pay1) {
        l.Append();
        l.SetText(sj("売上日"), sj(date));
        l.SetText(sj("氏名"), sj("山田"));
        l.SetInt(sj("売上"), sales);
        l.SetInt(sj("請求合計"), sales);
        l.SetInt(sj("お預り"), deposit);
        l.SetInt(sj("入金額1"), pay1);
        l.SetInt(sj("残金合計"), sales - deposit - pay1);
        l.Post();
    };
    add("平成１４年１１月２０日", 1000000, 0, 0);
    add("平成１４年１１月２８日", 2000, 0, 0);
    add("平成１４年１２月", 3000, 0, 0);
    add("平成１４年１２月０５日", 1234567, 1000, 2000);
    add("平成１４年１２月２６日", 40000, 0, 0);
    const int at = l.RecNo();

    NewestMonth month_end{sj(kDec), sj(kDec), ""};
    PersonalTotals p = PrTotalCalc(l, month_end, 0);
    EXPECT_EQ(p.sums[kTotSales], 3000 + 1234567 + 40000);
    EXPECT_EQ(p.sums[kTotReceived], 3000);
    EXPECT_EQ(Cp932ToUtf8(p.texts[kTotSales]), "\\1,277,567");
    EXPECT_EQ(Cp932ToUtf8(p.texts[kTotReceived]), "\\3,000");
    EXPECT_EQ(Cp932ToUtf8(p.texts[kTotBalance]), "\\1,274,567");
    EXPECT_EQ(Cp932ToUtf8(p.texts[kTotAdjustment]), "\\0");
    EXPECT_EQ(Cp932ToUtf8(p.label), "（平成１４年１２月分）");
    EXPECT_EQ(Cp932ToUtf8(p.total_label), "残　金");
    EXPECT_EQ(l.RecNo(), at);

    // Settlement day 25: the period 11/26 … 12/25 (the bare label counts too).
    NewestMonth day25{sj(kDec), sj("平成１４年１１月２６日"), sj("平成１４年１２月２５日")};
    PersonalTotals q = PrTotalCalc(l, day25, 25);
    EXPECT_EQ(q.sums[kTotSales], 2000 + 3000 + 1234567);
}

}  // namespace
}  // namespace ravelto::testing
