#include "core/ledger/ledger_tables.h"

#include <gtest/gtest.h>

#include "store_fixture.h"

namespace ravelto::testing {
namespace {

using namespace ledger;

TEST(LedgerTables, ReceiveFieldsInBackupOrderThenTheKey) {
    const auto& d = ReceiveTable();
    ASSERT_EQ(d.fields.size(), 64u);
    EXPECT_EQ(d.name, "receive.DB");
    struct Expect {
        int index;
        const char* name;
        store::FieldType type;
    };
    const Expect cases[] = {
        {rcv::kSalesDate, "売上日", store::FieldType::Text},
        {rcv::kPhone, "電話番号", store::FieldType::Text},
        {rcv::kPrevAdvance, "先月立替残", store::FieldType::Integer},
        {rcv::kDepositDate, "お預り日", store::FieldType::Text},
        {rcv::kWriteMode, "書込モード", store::FieldType::Integer},
        {rcv::kJobKind, "種別", store::FieldType::Text},
        {rcv::kCompulsoryInsurance, "自賠責", store::FieldType::Integer},
        {rcv::kFee1, "諸費用1", store::FieldType::Integer},
        {rcv::kFee1 + 9, "諸費用10", store::FieldType::Integer},
        {rcv::kFeeName8, "諸費用項目8", store::FieldType::Text},
        {rcv::kFeeName8 + 2, "諸費用項目10", store::FieldType::Text},
        {rcv::kInspectionTotal, "車検合計", store::FieldType::Integer},
        {rcv::kConsumptionTax, "消費税", store::FieldType::Integer},
        {rcv::kReceptionStaff, "受付担当", store::FieldType::Text},
        {rcv::kPayKind2, "入金2種別", store::FieldType::Text},
        {rcv::kExcludeFromTotal, "合計請求不含", store::FieldType::Logical},
        {rcv::kSalesDateKey, "項番", store::FieldType::Integer},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(d.fields[c.index].name, sj(c.name)) << c.name;
        EXPECT_EQ(d.fields[c.index].type, c.type) << c.name;
    }
    const auto& t = TotalsTable();
    ASSERT_EQ(t.fields.size(), 13u);
    EXPECT_EQ(t.fields[tot::kReceived].name, sj("入金額"));
    EXPECT_EQ(t.fields[tot::kWriteMode].name, sj("書込モード"));
}

TEST(LedgerTables, SalesDateKeyWithAndWithoutSettlementDay) {
    FixedClock clock({2010, 6, 17});
    struct Case {
        const char* date;
        int settle;
        int32_t key;
    };
    const Case cases[] = {
        {"平成１４年１２月０５日", 0, 20021205},
        {"平成１４年１２月０５日", 20, 20021205},  // a dated record keeps its day
        {"平成１４年１２月", 20, 20021120},
        {"平成１４年１２月", 0, 20021200},
        {"平成１５年０１月", 20, 20030020},  // January: month 0, year unchanged
        {"平成１５年０１月", 0, 20030100},
        {"昭和６４年０１月０７日", 0, 19890107},
        {"", 0, 20100600},  // no date: today's month, as a label would be
    };
    for (const auto& c : cases)
        EXPECT_EQ(SalesDateKey(sj(c.date), c.settle, clock), c.key) << c.date;
}

class LedgerOrderTest : public StoreTest {};

TEST_F(LedgerOrderTest, NamedOrdersSortAsTheirNamesSay) {
    store::Table& t = Ledger();
    Add(t, {{"氏名", "1"},
            {"項番", "20021205"},
            {"入庫日", "平成１４年１２月０１日"},
            {"ふりがな", "ｲ"}});
    Add(t, {{"氏名", "2"},
            {"項番", "20021120"},
            {"入庫日", "平成１４年１２月０３日"},
            {"ふりがな", "ｱ"}});
    Add(t, {{"氏名", "3"},
            {"項番", "20021210"},
            {"出庫日", "平成１４年１２月０９日"},
            {"ふりがな", "ｳ"}});
    using N = std::vector<std::string>;
    t.SetOrder(OrderDescending());
    EXPECT_EQ(Column(t, "氏名"), (N{"3", "1", "2"}));
    t.SetOrder(OrderInDateDesc());
    EXPECT_EQ(Column(t, "氏名"), (N{"2", "1", "3"}));  // empty last when newest first
    t.SetOrder(OrderOutDateDesc());
    EXPECT_EQ(Column(t, "氏名"), (N{"3", "2", "1"}));
    t.SetOrder(OrderFurigana());
    EXPECT_EQ(Column(t, "氏名"), (N{"2", "1", "3"}));
    t.SetOrder("");
    EXPECT_EQ(Column(t, "氏名"), (N{"1", "2", "3"}));
}

}  // namespace
}  // namespace ravelto::testing
