#include "core/ledger/ledger_generator.h"

#include <gtest/gtest.h>

#include "core/ledger/filter_expression.h"
#include "store_fixture.h"

namespace ravelto::testing {
namespace {

using namespace ledger;

class GeneratorTest : public StoreTest {};

TEST_F(GeneratorTest, RecordsKeepTheirInvariantsAndTotalsMatchTheirMonths) {
    GeneratorOptions o;
    o.records = 1700;
    o.per_month = 800;
    GeneratedLedger g = GenerateLedger(Db(), o);
    ASSERT_EQ(g.month_labels.size(), 3u);
    EXPECT_EQ(g.month_labels.back(), sj("平成１４年１２月"));
    EXPECT_EQ(g.month_counts, (std::vector<int>{800, 800, 100}));
    store::Table& l = Ledger();
    store::Table& t = Totals();
    EXPECT_EQ(l.RecordCount(), 1700);
    ASSERT_EQ(t.RecordCount(), 3);
    FixedClock clock({2002, 12, 1});
    for (size_t m = 0; m < g.month_labels.size(); ++m) {
        const std::string& label = g.month_labels[m];
        l.SetFilter("(" + sj("売上日") + " = " + store::QuoteValue(label + "*") + ")");
        l.SetFiltered(true);
        ASSERT_EQ(l.RecordCount(), g.month_counts[m]);
        int64_t sums[11] = {};
        for (int i = 1; i <= l.RecordCount(); ++i) {
            store::Record r = l.ReadAt(i);
            ASSERT_EQ(r.Int(rcv::kPrevTotal),
                      r.Int(rcv::kPrevAdvance) + r.Int(rcv::kPrevReceivable));
            ASSERT_EQ(r.Int(rcv::kBilled), r.Int(rcv::kFees) + r.Int(rcv::kSales));
            ASSERT_EQ(r.Int(rcv::kBalance), r.Int(rcv::kAdvanceLeft) + r.Int(rcv::kReceivableLeft));
            int64_t owed = int64_t{r.Int(rcv::kPrevTotal)} + r.Int(rcv::kBilled);
            int64_t paid =
                int64_t{r.Int(rcv::kDeposit)} + r.Int(rcv::kPayment1) + r.Int(rcv::kPayment2);
            ASSERT_EQ(r.Int(rcv::kBalance), owed - paid - r.Int(rcv::kAdjustment));
            ASSERT_EQ(r.Int(rcv::kSalesDateKey), SalesDateKey(r.Text(rcv::kSalesDate), 0, clock));
            ASSERT_TRUE(r.Text(rcv::kSalesDate).size() == 22 || r.Text(rcv::kSalesDate) == label)
                << Cp932ToUtf8(r.Text(rcv::kSalesDate));
            const int fields[11] = {rcv::kPrevAdvance,
                                    rcv::kPrevReceivable,
                                    rcv::kPrevTotal,
                                    rcv::kFees,
                                    rcv::kSales,
                                    rcv::kBilled,
                                    -1,
                                    rcv::kAdjustment,
                                    rcv::kAdvanceLeft,
                                    rcv::kReceivableLeft,
                                    rcv::kBalance};
            for (int k = 0; k < 11; ++k)
                sums[k] += k == 6 ? paid : r.Int(fields[k]);
        }
        store::Record tr = t.ReadAt(static_cast<int>(m) + 1);  // ascending by month label
        EXPECT_EQ(tr.Text(tot::kSalesDate), label);
        for (int k = 0; k < 11; ++k)
            EXPECT_EQ(tr.Int(tot::kPrevAdvance + k), sums[k]) << "month " << m << " sum " << k;
        EXPECT_EQ(tr.Int(tot::kWriteMode), m + 1 == g.month_labels.size() ? 1 : 2);
    }
}

TEST_F(GeneratorTest, SameOptionsGiveTheSameLedger) {
    GeneratorOptions o;
    o.records = 300;
    o.per_month = 100;
    o.settle_day = 20;
    GenerateLedger(Db(), o);
    std::filesystem::path other = Dir().parent_path() / "other";
    store::Database db2(other);
    GenerateLedger(db2, o);
    store::Table& a = Ledger();
    store::Table& b = db2.Open(ReceiveTable());
    ASSERT_EQ(a.RecordCount(), b.RecordCount());
    for (int i = 1; i <= a.RecordCount(); ++i) {
        store::Record ra = a.ReadAt(i), rb = b.ReadAt(i);
        for (int f = 0; f < rcv::kFieldCount; ++f)
            ASSERT_EQ(ra.Text(f), rb.Text(f));
    }
    // With a settlement day the periods run from the 21st to the 20th.
    a.SetFilter(Utf8ToCp932(
        "(売上日 >= '平成１４年１１月２１日') and  (売上日 <= '平成１４年１２月２０日')"));
    a.SetFiltered(true);
    EXPECT_EQ(a.RecordCount(), 100);
}

}  // namespace
}  // namespace ravelto::testing
