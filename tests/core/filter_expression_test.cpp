#include "core/ledger/filter_expression.h"

#include <gtest/gtest.h>

#include "core/ledger/cp932.h"

namespace ravelto::store {
namespace {

TEST(QuoteValue, DoublesQuotesAndEncloses) {
    EXPECT_EQ(QuoteValue(""), "''");
    EXPECT_EQ(QuoteValue("O'Brien"), "'O''Brien'");
    EXPECT_EQ(QuoteValue("''"), "''''''");
    EXPECT_EQ(QuoteValue(sj("平成１４年１２月*")), "'" + sj("平成１４年１２月*") + "'");
}

TEST(ParseFilter, QuotedValuesRoundTrip) {
    for (std::string v :
         {std::string(""), std::string("a'b"), std::string("''"), sj("ソ表"), std::string("x*y")}) {
        FilterNode n = ParseFilter("(" + sj("氏名") + " = " + QuoteValue(v) + ")");
        ASSERT_EQ(n.kind, FilterNode::Kind::Compare);
        EXPECT_EQ(n.text, v);
        EXPECT_FALSE(n.prefix);
        EXPECT_EQ(n.field, sj("氏名"));
    }
}

TEST(ParseFilter, TrailingStarIsAPrefixOnlyForEqualAndNotEqual) {
    FilterNode eq = ParseFilter(sj("(売上日 = 'ab*')"));
    EXPECT_TRUE(eq.prefix);
    EXPECT_EQ(eq.text, "ab");
    FilterNode ne = ParseFilter(sj("(タイトル <> 'ab*')"));
    EXPECT_TRUE(ne.prefix);
    EXPECT_EQ(ne.op, FilterOp::Ne);
    FilterNode ge = ParseFilter(sj("(売上日 >= 'ab*')"));
    EXPECT_FALSE(ge.prefix);
    EXPECT_EQ(ge.text, "ab*");
}

TEST(ParseFilter, JoinersBuildLeftToRightTree) {
    // The balance clause wraps the whole chain of names.
    FilterNode n =
        ParseFilter(sj("(氏名 = 'a')or  (氏名 = 'b')or  (氏名 = 'c')and (残金合計 <> 0)"));
    ASSERT_EQ(n.kind, FilterNode::Kind::And);
    ASSERT_EQ(n.children.size(), 2u);
    EXPECT_EQ(n.children[0].kind, FilterNode::Kind::Or);
    EXPECT_EQ(n.children[0].children.size(), 3u);
    EXPECT_TRUE(n.children[1].is_number);
    EXPECT_EQ(n.children[1].number, 0);

    FilterNode r = ParseFilter(sj("(売上日 >= 'a') and  (売上日 <= 'b') and (タイトル <> 'c*')"));
    ASSERT_EQ(r.kind, FilterNode::Kind::And);
    EXPECT_EQ(r.children.size(), 3u);

    FilterNode p = ParseFilter(sj("((氏名 = 'a')or  (氏名 = 'b')) and (売上日 = 'x*')"));
    ASSERT_EQ(p.kind, FilterNode::Kind::And);
    EXPECT_EQ(p.children[0].kind, FilterNode::Kind::Or);

    std::vector<std::string> fields;
    CollectFields(p, fields);
    EXPECT_EQ(fields, (std::vector<std::string>{sj("氏名"), sj("氏名"), sj("売上日")}));
}

TEST(ParseFilter, EmptyIsTrueAndGarbageIsRefused) {
    EXPECT_EQ(ParseFilter("").kind, FilterNode::Kind::True);
    for (const char* bad : {" ", "()", "(a = 'x') ", "(a = 'x')  and (b = 'y')", "(a = -)",
                            "(a = 'x')or (b = 'y')", "(a < 'x')", "(a = 99999999999999999999)"}) {
        EXPECT_THROW(ParseFilter(bad), StoreError) << bad;
    }
}

}  // namespace
}  // namespace ravelto::store
