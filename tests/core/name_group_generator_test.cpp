#include "core/accounting/name_group_generator.h"

#include <gtest/gtest.h>

#include "core/accounting/name_groups.h"
#include "core/ledger/ledger_generator.h"
#include "store_fixture.h"

namespace ravelto::testing {
namespace {

using namespace accounting;

class NameGroupGeneratorTest : public StoreTest {};

TEST_F(NameGroupGeneratorTest, GroupsOfThreeCustomersThePersonalViewFinds) {
    ledger::GeneratorOptions o;
    o.records = 60;
    o.per_month = 20;
    ledger::GenerateLedger(Db(), o);
    ASSERT_EQ(GenerateNameGroups(Db(), 2), 2);
    store::Table& groups = Db().Open(TotalNameTable());
    ASSERT_EQ(groups.RecordCount(), 2);
    groups.First();
    const std::vector<std::string> members = GroupMembers(groups);
    ASSERT_EQ(members.size(), 3u);
    EXPECT_NE(members[0], members[1]);
    EXPECT_NE(members[1], members[2]);
    EXPECT_FALSE(groups.Text(grp::kAddress).empty());
    // A member's personal view shows the whole group.
    EXPECT_EQ(PersonalNameClause(groups, members[2]), NameClause(members));

    // Never more groups than the customers allow; nothing for none asked.
    EXPECT_EQ(GenerateNameGroups(Db(), 0), 0);
    const int more = GenerateNameGroups(Db(), 100000);
    EXPECT_GT(more, 0);
    EXPECT_LT(more, 100000);
    EXPECT_EQ(groups.RecordCount(), 2 + more);
}

}  // namespace
}  // namespace ravelto::testing
