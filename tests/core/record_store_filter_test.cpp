// Filter expressions evaluated against small ledgers: every form the program
// builds, the byte comparisons and the empty-field rules.

#include <gtest/gtest.h>

#include "core/ledger/filter_expression.h"
#include "store_fixture.h"

namespace ravelto::testing {
namespace {

using store::QuoteValue;
using store::StoreError;
using Names = std::vector<std::string>;

class FilterTest : public StoreTest {
  protected:
    void SetUp() override {
        store::Table& t = Ledger();
        Add(t, {{"売上日", "平成１４年１１月２５日"}, {"氏名", "A"}});
        Add(t, {{"売上日", "平成１４年１１月２６日"}, {"氏名", "B"}});
        Add(t, {{"売上日", "平成１４年１２月"}, {"氏名", "C"}, {"残金合計", "500"}});
        Add(t, {{"売上日", "平成１４年１２月０５日"}, {"氏名", "D"}, {"残金合計", "0"}});
        Add(t, {{"売上日", "平成１４年１２月２５日"}, {"氏名", "O'Brien"}, {"残金合計", "-100"}});
        Add(t, {{"売上日", "平成１４年１２月２６日"}, {"氏名", "E"}});
        Add(t, {{"売上日", "平成１５年０１月０１日"}, {"氏名", "F"}});
        Add(t, {{"氏名", "G"}});
    }

    // Names of the records that pass a filter given in UTF-8.
    Names Pass(const std::string& utf8_filter) {
        store::Table& t = Ledger();
        t.SetFilter(Utf8ToCp932(utf8_filter));
        t.SetFiltered(true);
        return Column(t, "氏名");
    }
};

TEST_F(FilterTest, FormsOfTheLedger) {
    struct Case {
        std::string filter;
        Names expected;
    };
    const Case cases[] = {
        // Month prefix: the bare label of a carry-over record and the dated records.
        {"(売上日 = '平成１４年１２月*')", {"C", "D", "O'Brien", "E"}},
        // Settlement period: the bare label lies inside, the 26th outside.
        {"(売上日 >= '平成１４年１１月２６日') and  (売上日 <= '平成１４年１２月２５日')",
         {"B", "C", "D", "O'Brien"}},
        // Month range with the upper bound label + ３１日.
        {"(売上日 >= '平成１４年１２月') and (売上日 <= '平成１４年１２月３１日')",
         {"C", "D", "O'Brien", "E"}},
        // Name clause; a quote doubled.
        {"(氏名 = " + std::string("'O''Brien'") + ")", {"O'Brien"}},
        {"(氏名 = 'C')or  (氏名 = 'F')", {"C", "F"}},
        // Balance clause: applies to the whole chain of names before it.
        {"(氏名 = 'D')or  (氏名 = 'C')and (残金合計 <> 0)", {"C"}},
        {"(売上日 = '平成１４年１２月*')and (残金合計 <> 0)", {"C", "O'Brien"}},
        {"(売上日 >= '平成１４年１１月２６日') and  (売上日 <= '平成１４年１２月２５日')and "
         "(残金合計 <> 0)",
         {"C", "O'Brien"}},
        // Personal month and personal period.
        {"((氏名 = 'C')or  (氏名 = 'F')) and (売上日 = '平成１４年１２月*')", {"C"}},
        {"((氏名 = 'C')or  (氏名 = 'F')) and (売上日 >= '平成１４年１２月') and (売上日 <= "
         "'平成１５年０１月３１日')",
         {"C", "F"}},
        {"((氏名 = 'C')or  (氏名 = 'E')) and (売上日 >= '平成１４年１１月２６日') and  (売上日 <= "
         "'平成１４年１２月２５日')and (残金合計 <> 0)",
         {"C"}},
        // Lookup prefix.
        {"(氏名 = 'O*')", {"O'Brien"}},
        // Empty fields: an empty prefix matches everything, "" only the empty.
        {"(売上日 = '*')", {"A", "B", "C", "D", "O'Brien", "E", "F", "G"}},
        {"(売上日 = '')", {"G"}},
        {"(売上日 <= '平成１４年１１月２６日')", {"A", "B", "G"}},
        // The range with an empty start: "" >= "" holds for the empty field too.
        {"(売上日 >= '') and  (売上日 <= '平成１４年１１月２６日')", {"A", "B", "G"}},
        {"(売上日 <> '平成*')", {"G"}},
        // Empty integers are 0.
        {"(残金合計 = 0)", {"A", "B", "D", "E", "F", "G"}},
        {"(残金合計 >= 0)", {"A", "B", "C", "D", "E", "F", "G"}},
        {"(残金合計 <= -1)", {"O'Brien"}},
        // Nothing pasted into SQL.
        {"(氏名 = 'x'') OR 1=1 --')", {}},
        {"", {"A", "B", "C", "D", "O'Brien", "E", "F", "G"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Pass(c.filter), c.expected) << c.filter;
}

TEST_F(FilterTest, TextIsKeptWhileOffAndOffShowsAll) {
    store::Table& t = Ledger();
    std::string f = sj("(売上日 = '平成１４年１２月*')");
    t.SetFilter(f);
    EXPECT_EQ(t.RecordCount(), 8);  // filtering is off
    EXPECT_EQ(t.Filter(), f);
    t.SetFiltered(true);
    EXPECT_EQ(t.RecordCount(), 4);
    t.SetFiltered(false);
    EXPECT_EQ(t.RecordCount(), 8);
    EXPECT_EQ(t.Filter(), f);
}

TEST_F(FilterTest, MalformedFiltersAreRefusedWithTheirText) {
    const char* bad[] = {
        "売上日 = '平成'",                                   // no parentheses
        "(売上日 == '平成')",                                // operator
        "(売上日 = '平成'",                                  // unclosed
        "(売上日 = 平成)",                                   // unquoted text
        "(売上日 LIKE '平成%')",                             // not a form
        "(売上日 = '平成') AND (氏名 = 'A')",                // upper-case joiner
        "(氏名 = 'A') or (氏名 = 'B')",                      // blanks of the name clause
        "(氏名 = 'A')and(氏名 = 'B')",                       // no blank before the term
        "(氏名 = 'A')or  (氏名 = 'B') and (残金合計 <> 0)",  // precedence would matter
        "(氏名 = 'A') and (氏名 = 'B')or  (氏名 = 'C')",     // likewise
        "(売上日 = 'x'); DROP TABLE records",
        "(不明 = 'x')",         // unknown field
        "(残金合計 <> 'abc')",  // not a number
        "(氏名 = 0)",           // a number against text
        "(氏名  = 'A')",        // two blanks before the operator
        "",                     // placeholder replaced below
    };
    store::Table& t = Ledger();
    for (const char* b : bad) {
        std::string text = b;
        if (text.empty()) continue;
        try {
            t.SetFilter(Utf8ToCp932(text));
            ADD_FAILURE() << "accepted: " << text;
        } catch (const StoreError& e) {
            if (text.find("不明") == std::string::npos && text.find("abc") == std::string::npos &&
                text.find("= 0)") == std::string::npos) {
                EXPECT_NE(std::string(e.what()).find(text), std::string::npos) << e.what();
            }
            EXPECT_NE(std::string(e.what()).find("receive.DB"), std::string::npos) << e.what();
        }
    }
    // A refused filter leaves the old one in force.
    t.SetFilter(sj("(氏名 = 'C')"));
    t.SetFiltered(true);
    EXPECT_THROW(t.SetFilter(sj("(氏名 = 'C'")), StoreError);
    EXPECT_EQ(t.Filter(), sj("(氏名 = 'C')"));
    EXPECT_EQ(t.RecordCount(), 1);
}

TEST_F(FilterTest, UnknownFieldMessageNamesIt) {
    try {
        Ledger().SetFilter(sj("(不明 = 'x')"));
        FAIL();
    } catch (const StoreError& e) {
        EXPECT_NE(std::string(e.what()).find("不明"), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("(不明 = 'x')"), std::string::npos);
    }
}

TEST_F(StoreTest, TitleExclusionKeepsAnEmptyTitle) {
    store::Table& t = Db().Open(JobTable());
    Add(t, {{"作成日", "平成１４年１２月０５日"}, {"タイトル", "見積書"}, {"氏名", "1"}});
    Add(t, {{"作成日", "平成１４年１２月０６日"}, {"氏名", "2"}});
    Add(t, {{"作成日", "平成１４年１２月０７日"}, {"タイトル", "請求書"}, {"氏名", "3"}});
    Add(t, {{"作成日", "平成１４年１１月３０日"}, {"タイトル", "請求書"}, {"氏名", "4"}});
    Add(t, {{"作成日", "平成１４年１２月０８日"}, {"タイトル", "見積"}, {"氏名", "5"}});
    t.SetFiltered(true);
    t.SetFilter(Utf8ToCp932("(作成日 = '平成１４年１２月*') and (タイトル <> '見積*')"));
    EXPECT_EQ(Column(t, "氏名"), (Names{"2", "3"}));
    t.SetFilter(
        Utf8ToCp932("(作成日 >= '平成１４年１１月２６日') and  (作成日 <= "
                    "'平成１４年１２月２５日') and (タイトル <> '見積*')"));
    EXPECT_EQ(Column(t, "氏名"), (Names{"2", "3", "4"}));
    // An empty word excludes everything ("" begins every text).
    t.SetFilter(Utf8ToCp932("(作成日 = '平成１４年１２月*') and (タイトル <> '*')"));
    EXPECT_EQ(t.RecordCount(), 0);
}

TEST_F(StoreTest, TextComparesAsUnsignedBytesWithPrefixesBelow) {
    store::Table& t = Db().Open(JobTable());
    for (const char* n : {"Z", "ｱ", "亜", "AB", "A"})
        Add(t, {{"氏名", n}});
    t.SetFiltered(true);
    // 亜 is 0x88 0x9F, ｱ is 0xB1: unsigned, both above ASCII.
    t.SetFilter(sj("(氏名 >= 'ｱ')"));
    EXPECT_EQ(Column(t, "氏名"), (Names{"ｱ"}));
    t.SetFilter(sj("(氏名 >= '亜')"));
    EXPECT_EQ(Column(t, "氏名"), (Names{"ｱ", "亜"}));
    t.SetFilter(sj("(氏名 <= 'AB')"));
    EXPECT_EQ(Column(t, "氏名"), (Names{"AB", "A"}));
    t.SetFilter(sj("(氏名 <= 'A')"));
    EXPECT_EQ(Column(t, "氏名"), (Names{"A"}));
}

TEST_F(StoreTest, PrefixEndingInHighBytesHasAnUpperBound) {
    // A prefix whose last byte is 0xFF cannot be raised in place.
    store::Table& t = Db().Open(JobTable());
    const std::string names[] = {std::string("A\xFF"), std::string("A\xFF\x01"), std::string("B"),
                                 std::string("A\xFE\xFF")};
    for (const auto& n : names) {
        t.Append();
        t.SetText(sj("氏名"), n);
        t.Post();
    }
    t.SetFiltered(true);
    t.SetFilter("(" + sj("氏名") + " = " + QuoteValue("A\xFF*") + ")");
    EXPECT_EQ(t.RecordCount(), 2);
    t.SetFilter("(" + sj("氏名") + " = " + QuoteValue("A\xFE*") + ")");
    EXPECT_EQ(t.RecordCount(), 1);
}

TEST_F(StoreTest, TotalsTakeTheLedgersMonthRange) {
    store::Table& t = Totals();
    for (const char* m : {"平成１４年１１月", "平成１４年１２月", "平成１５年０１月"})
        Add(t, {{"売上日", m}});
    t.SetFiltered(true);
    t.SetFilter(
        Utf8ToCp932("(売上日 >= '平成１４年１２月') and (売上日 <= '平成１５年０１月３１日')"));
    EXPECT_EQ(Column(t, "売上日"), (Names{"平成１４年１２月", "平成１５年０１月"}));
    t.SetFilter(Utf8ToCp932("(売上日 = '平成１４年１２月*')"));
    EXPECT_EQ(Column(t, "売上日"), (Names{"平成１４年１２月"}));
}

}  // namespace
}  // namespace ravelto::testing
