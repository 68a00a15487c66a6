#include "core/accounting/balance.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "core/ledger/cp932.h"

namespace ravelto::accounting {
namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

struct AllocationCase {
    const char* what;
    Owed owed;  // A, B, F, S, R, J
    int64_t advance, receivable;
};

// The allocation order: brought-forward advances, brought-forward
// receivables, this month's fees, this month's sales; the adjustment always
// comes off the receivable.
const AllocationCase kAllocation[] = {
    {"nothing received", {1000, 2000, 300, 4000, 0, 100}, 1300, 5900},
    {"worked example, 40,000 received", {10000, 20000, 5000, 30000, 40000, 0}, 0, 25000},
    {"worked example, 12,000 received", {10000, 20000, 5000, 30000, 12000, 0}, 5000, 48000},
    {"fees partly settled", {1000, 2000, 3000, 4000, 4000, 0}, 2000, 4000},
    {"overpaid: negative receivable, no advance", {0, 0, 1000, 2000, 5000, 0}, 0, -2000},
    {"adjustment while advances are open", {1000, 0, 500, 3000, 0, 200}, 1500, 2800},
    {"adjustment after everything settled", {0, 0, 0, 3000, 3000, 500}, 0, -500},
    {"negative brought-forward receivable, nothing received",
     {0, -5000, 1000, 2000, 0, 0},
     1000,
     -3000},
    {"negative brought-forward receivable lowers the thresholds",
     {0, -5000, 1000, 2000, 1000, 0},
     0,
     -3000},
    // B = -2000: past x = 0 the money goes straight to the fees' row.
    {"negative B, x = 0", {1000, -2000, 3000, 4000, 1000, 0}, 3000, 2000},
    {"negative B, x = 1", {1000, -2000, 3000, 4000, 1001, 0}, 999, 4000},
    {"negative B, x = B + F", {1000, -2000, 3000, 4000, 2000, 0}, 0, 4000},
    {"negative B, x = B + F + 1", {1000, -2000, 3000, 4000, 2001, 0}, 0, 3999},
    {"negative brought-forward advance counts as money received", {-500, 1000, 0, 0, 0, 0}, 0, 500},
    {"negative fees", {0, 0, -700, 2000, 0, 0}, -700, 2000},
    {"negative payment (a refund)", {0, 1000, 0, 0, -500, 0}, 500, 1000},
    // A = 1000, B = 2000, F = 3000: the boundaries x = 0, x = B, x = B + F
    // and one yen either side.
    {"x = -1", {1000, 2000, 3000, 4000, 999, 0}, 3001, 6000},
    {"x = 0", {1000, 2000, 3000, 4000, 1000, 0}, 3000, 6000},
    {"x = 1", {1000, 2000, 3000, 4000, 1001, 0}, 3000, 5999},
    {"x = B - 1", {1000, 2000, 3000, 4000, 2999, 0}, 3000, 4001},
    {"x = B", {1000, 2000, 3000, 4000, 3000, 0}, 3000, 4000},
    {"x = B + 1", {1000, 2000, 3000, 4000, 3001, 0}, 2999, 4000},
    {"x = B + F - 1", {1000, 2000, 3000, 4000, 5999, 0}, 1, 4000},
    {"x = B + F", {1000, 2000, 3000, 4000, 6000, 0}, 0, 4000},
    {"x = B + F + 1", {1000, 2000, 3000, 4000, 6001, 0}, 0, 3999},
};

TEST(Allocation, TableOfCases) {
    for (const AllocationCase& c : kAllocation) {
        SCOPED_TRACE(c.what);
        Remaining r = Allocate(c.owed);
        EXPECT_EQ(r.advance, c.advance);
        EXPECT_EQ(r.receivable, c.receivable);
        EXPECT_EQ(r.total, c.advance + c.receivable);
        // Whatever the row, what remains is what is owed less what came in.
        const Owed& o = c.owed;
        EXPECT_EQ(r.total, o.prev_advance + o.prev_receivable + o.fees + o.sales - o.received -
                               o.adjustment);
    }
}

TEST(Allocation, ReceivedIsTheSumOfDepositAndBothPayments) {
    AmountSnapshot a{};
    a[kPrevAdvance] = 10000;
    a[kPrevReceivable] = 20000;
    a[kFees] = 5000;
    a[kSales] = 30000;
    a[kDeposit] = 10000;
    a[kPayment1] = 25000;
    a[kPayment2] = 5000;
    EXPECT_EQ(Allocate(OwedOf(a)), (Remaining{0, 25000, 25000}));
}

// A record of the worked example, as typed into a fresh record.
AmountSnapshot Example() {
    AmountSnapshot a{};
    a[kPrevAdvance] = 10000;
    a[kPrevReceivable] = 20000;
    a[kPrevTotal] = 30000;
    a[kFees] = 5000;
    a[kSales] = 30000;
    a[kBilled] = 35000;
    a[kPayment1] = 12000;
    return a;
}

TEST(PlanCarCalc, OpenMonthCountsTheChangeOnceAndRefreshesTheSnapshot) {
    MonthTotals month;
    month.write_mode = 1;
    month.amounts[kTotSales] = 100000;
    month.amounts[kTotReceived] = 7000;
    const AmountSnapshot zero{};
    CarCalcResult first = PlanCarCalc(Example(), SumOf::None, month, zero);
    ASSERT_TRUE(first.totals_reached);
    EXPECT_EQ(first.record[kAdvanceLeft], 5000);
    EXPECT_EQ(first.record[kReceivableLeft], 48000);
    EXPECT_EQ(first.record[kBalance], 53000);
    EXPECT_EQ(first.totals[kTotSales], 130000);
    EXPECT_EQ(first.totals[kTotReceived], 19000);
    EXPECT_EQ(first.totals[kTotBalance], 53000);
    EXPECT_EQ(first.totals[kTotPrevTotal], 30000);

    // Leaving the field again without a change adds nothing.
    month.amounts = first.totals;
    CarCalcResult second = PlanCarCalc(first.record, SumOf::None, month, first.record);
    EXPECT_EQ(second.totals, first.totals);

    // A second payment: only its difference is counted.
    AmountSnapshot paid = first.record;
    paid[kPayment2] = 3000;
    CarCalcResult third = PlanCarCalc(paid, SumOf::None, month, first.record);
    EXPECT_EQ(third.totals[kTotReceived], 22000);
    EXPECT_EQ(third.totals[kTotReceivableLeft], 45000);
    EXPECT_EQ(third.totals[kTotSales], 130000);
}

TEST(PlanCarCalc, SumsOfTheFieldGroups) {
    AmountSnapshot a = Example();
    a[kPrevTotal] = 0;
    a[kBilled] = 0;
    MonthTotals month;
    month.write_mode = 1;
    EXPECT_EQ(PlanCarCalc(a, SumOf::BroughtForward, month, {}).record[kPrevTotal], 30000);
    EXPECT_EQ(PlanCarCalc(a, SumOf::BroughtForward, month, {}).record[kBilled], 0);
    EXPECT_EQ(PlanCarCalc(a, SumOf::Billed, month, {}).record[kBilled], 35000);
    EXPECT_EQ(SumOfField(kPrevReceivable), SumOf::BroughtForward);
    EXPECT_EQ(SumOfField(kSales), SumOf::Billed);
    EXPECT_EQ(SumOfField(kAdjustment), SumOf::None);
}

TEST(PlanCarCalc, WhichMonthsFollowTheirRecords) {
    struct Case {
        int write_mode;
        bool single;
        bool reached;
    } cases[] = {{1, false, true}, {0, false, false}, {2, false, false},
                 {0, true, true},  {2, true, true},   {1, true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.write_mode);
        MonthTotals month;
        month.write_mode = c.write_mode;
        month.single_month = c.single;
        CarCalcResult r = PlanCarCalc(Example(), SumOf::None, month, {});
        EXPECT_EQ(r.totals_reached, c.reached);
        // The balances are set either way.
        EXPECT_EQ(r.record[kBalance], 53000);
    }
}

TEST(PlanCarCalc, ResultsOutside32BitsAreRefusedNamingTheAmount) {
    MonthTotals month;
    month.write_mode = 1;
    struct Case {
        const char* what;
        AmountSnapshot record;
        SumOf sum;
        TotalAmounts totals;
        const char* named;
    };
    AmountSnapshot billed{};
    billed[kFees] = kMax;
    billed[kSales] = 1;
    AmountSnapshot brought{};
    brought[kPrevAdvance] = kMin;
    brought[kPrevReceivable] = -1;
    AmountSnapshot receivable{};
    receivable[kPrevReceivable] = kMax;
    receivable[kSales] = 1;
    AmountSnapshot overpaid{};
    overpaid[kDeposit] = kMax;
    overpaid[kPayment1] = kMax;
    AmountSnapshot adjusted{};
    adjusted[kAdjustment] = kMin;
    AmountSnapshot both{};
    both[kFees] = kMax;
    both[kSales] = kMax;
    both[kBilled] = -2;
    AmountSnapshot small{};
    small[kSales] = 20;
    small[kBilled] = 20;
    TotalAmounts near_max{};
    near_max[kTotSales] = kMax - 10;
    TotalAmounts received_near_min{};
    received_near_min[kTotReceived] = kMin + 5;
    AmountSnapshot refund{};
    refund[kDeposit] = -3;
    refund[kPayment2] = -3;
    Case cases[] = {
        {"請求合計", billed, SumOf::Billed, {}, "請求合計"},
        {"先月残合計", brought, SumOf::BroughtForward, {}, "先月残合計"},
        {"売掛残金", receivable, SumOf::None, {}, "売掛残金"},
        {"overpaid by more than 32 bits", overpaid, SumOf::None, {}, "売掛残金"},
        {"adjustment", adjusted, SumOf::None, {}, "売掛残金"},
        {"残金合計 of two fitting balances", both, SumOf::None, {}, "残金合計"},
        {"month's 売上", small, SumOf::None, near_max, "月の合計の「売上」"},
        {"month's 入金額", refund, SumOf::None, received_near_min, "月の合計の「入金額」"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        month.amounts = c.totals;
        try {
            PlanCarCalc(c.record, c.sum, month, {});
            ADD_FAILURE() << "accepted";
        } catch (const AmountError& e) {
            EXPECT_NE(std::string(e.what()).find(c.named), std::string::npos) << e.what();
        }
    }
    // At the very edge it still fits.
    AmountSnapshot edge{};
    edge[kSales] = 10;
    month.amounts = near_max;
    EXPECT_EQ(PlanCarCalc(edge, SumOf::None, month, {}).totals[kTotSales], kMax);
}

TEST(ParseAmount, AcceptedTexts) {
    struct Case {
        const char* text;
        std::optional<int32_t> value;
    } cases[] = {
        {"", std::nullopt},
        {"  ", std::nullopt},
        {"　", std::nullopt},
        {"0", 0},
        {"12000", 12000},
        {"-3500", -3500},
        {"+7", 7},
        {" 42 ", 42},
        {"1,234,567", 1234567},
        {"-3,500", -3500},
        {"１２０００", 12000},
        {"－５００", -500},
        {"１，０００", 1000},
        {"　300　", 300},
        {"2147483647", kMax},
        {"-2147483648", kMin},
        {"0002147483647", kMax},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseAmount(sj(c.text)), c.value);
    }
}

TEST(ParseAmount, RefusedTexts) {
    const char* not_numbers[] = {"abc",  "12a",    "1.5",   "-",     "1-2", ",100",
                                 "100,", "1,,000", "12 34", "￥100", "--5", "1e5"};
    for (const char* t : not_numbers) {
        SCOPED_TRACE(t);
        try {
            ParseAmount(sj(t));
            ADD_FAILURE() << "accepted";
        } catch (const AmountError& e) {
            EXPECT_NE(std::string(e.what()).find("整数"), std::string::npos);
        }
    }
    const char* too_large[] = {"2147483648", "-2147483649", "99999999999999999999999",
                               "４２９４９６７２９６"};
    for (const char* t : too_large) {
        SCOPED_TRACE(t);
        try {
            ParseAmount(sj(t));
            ADD_FAILURE() << "accepted";
        } catch (const AmountError& e) {
            EXPECT_NE(std::string(e.what()).find("2,147,483,647"), std::string::npos);
        }
    }
}

TEST(MoneyCheck, AtMostTwoSeparators) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"", ""},
        {"5", "5"},
        {"999", "999"},
        {"1234", "1,234"},
        {"100000", "100,000"},
        {"1234567", "1,234,567"},
        {"1234567890", "1234,567,890"},
        {"-123", "-123"},
        {"-1234", "-1,234"},
        {"-100000", "-100,000"},
        {"-1234567", "-1,234,567"},
        {"-2147483648", "-2147,483,648"},
    };
    for (const Case& c : cases) {
        std::string text = c.in;
        MoneyCheck(text);
        EXPECT_EQ(text, c.out) << c.in;
    }
    EXPECT_EQ(YenText(1234567), "\\1,234,567");
    EXPECT_EQ(YenText(0), "\\0");
    EXPECT_EQ(YenText(-5000), "\\-5,000");
    EXPECT_EQ(YenText(12345678901LL), "\\12345,678,901");
}

}  // namespace
}  // namespace ravelto::accounting
