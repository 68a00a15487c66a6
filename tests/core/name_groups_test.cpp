#include "core/accounting/name_groups.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/ledger/filter_expression.h"
#include "core/ledger/settings_file.h"
#include "store_fixture.h"

namespace ravelto::testing {
namespace {

using namespace accounting;

class NameGroupsTest : public StoreTest {
  protected:
    store::Table& Groups() { return Db().Open(TotalNameTable()); }
    // A group: its name and the included names by position (1 … 10).
    void AddGroup(const char* name, std::initializer_list<std::pair<int, const char*>> included) {
        store::Table& g = Groups();
        g.Append();
        g.SetText(grp::kGroupName, sj(name));
        for (auto [n, member] : included)
            g.SetText(grp::kIncludedName1 + n - 1, sj(member));
        g.Post();
    }
    std::string Clause(const char* name) {
        return Cp932ToUtf8(PersonalNameClause(Groups(), sj(name)));
    }
};

TEST_F(NameGroupsTest, TableFieldsInTheirFixedOrder) {
    const store::TableDef& def = TotalNameTable();
    EXPECT_EQ(def.name, "RcTotalName.DB");
    ASSERT_EQ(def.fields.size(), 13u);
    EXPECT_EQ(Cp932ToUtf8(def.fields[0].name), "合計請求書氏名");
    EXPECT_EQ(Cp932ToUtf8(def.fields[1].name), "含む氏名1");
    EXPECT_EQ(Cp932ToUtf8(def.fields[10].name), "含む氏名10");
    EXPECT_EQ(Cp932ToUtf8(def.fields[11].name), "合計請求書郵便番号");
    EXPECT_EQ(Cp932ToUtf8(def.fields[12].name), "合計請求書住所");
    for (const auto& f : def.fields)
        EXPECT_EQ(f.type, store::FieldType::Text);
}

TEST_F(NameGroupsTest, PersonalNameClauseFromTheGroup) {
    AddGroup("佐藤商事", {{1, "佐藤一郎"}, {3, "田中"}});
    AddGroup("山田太郎", {{2, "山田花子"}, {5, "O'Brien"}});
    AddGroup("鈴木", {{1, "佐藤商事"}});

    // A partial match on the group name: 山田 belongs to 山田太郎's group; the
    // empty included names are skipped.
    EXPECT_EQ(Clause("山田"), "(氏名 = '山田太郎')or  (氏名 = '山田花子')or  (氏名 = 'O''Brien')");
    // Found through an included name.
    EXPECT_EQ(Clause("田中"), "(氏名 = '佐藤商事')or  (氏名 = '佐藤一郎')or  (氏名 = '田中')");
    // A group name wins over the same name included in another group.
    EXPECT_EQ(Clause("佐藤商事"), "(氏名 = '佐藤商事')or  (氏名 = '佐藤一郎')or  (氏名 = '田中')");
    // Not in any group: the name alone, exactly.
    EXPECT_EQ(Clause("高橋"), "(氏名 = '高橋')");
    // A record without a name does not pick up whichever group comes first.
    EXPECT_EQ(Clause(""), "(氏名 = '')");
    // A name ending in * matches itself alone, not every name it begins.
    EXPECT_EQ(Clause("ABC*"), "((氏名 >= 'ABC*') and (氏名 <= 'ABC*'))");
    EXPECT_EQ(Cp932ToUtf8(NameClause({sj("a"), sj("b*"), sj("c'")})),
              "(氏名 = 'a')or  ((氏名 >= 'b*') and (氏名 <= 'b*'))or  (氏名 = 'c''')");
    // The clause is one the store accepts.
    const std::string clause = PersonalNameClause(Groups(), sj("山田"));
    Ledger().SetFilter(clause + sj("and (残金合計 <> 0)"));
    Ledger().SetFilter("(" + clause + sj(") and (売上日 = ") +
                       store::QuoteValue(sj("平成１４年１２月*")) + ")");
    Ledger().SetFiltered(true);
    Add(Ledger(), {{"氏名", "山田花子"}, {"売上日", "平成１４年１２月０１日"}});
    Add(Ledger(), {{"氏名", "山田"}, {"売上日", "平成１４年１２月０１日"}});
    Add(Ledger(), {{"氏名", "山田太郎"}, {"売上日", "平成１４年１１月０１日"}});
    EXPECT_EQ(Column(Ledger(), "氏名"), (std::vector<std::string>{"山田花子"}));
}

TEST_F(NameGroupsTest, IncludedNamesAreSearchedInFieldOrder) {
    AddGroup("A社", {{7, "伊藤"}});
    AddGroup("B社", {{2, "伊藤"}});
    ASSERT_TRUE(LocateNameGroup(Groups(), sj("伊藤")));
    EXPECT_EQ(Cur(Groups(), "合計請求書氏名"), "B社");
    EXPECT_FALSE(LocateNameGroup(Groups(), sj("渡辺")));
}

TEST_F(NameGroupsTest, ColumnWidthsFile) {
    const auto dir = std::filesystem::current_path();
    EXPECT_TRUE(ReadColumnWidths(dir).empty());
    std::vector<ColumnWidth> widths{{1, 20}, {2, 12}, {13, 40}};
    WriteColumnWidths(dir, widths);
    std::ifstream in(dir / "RcItemLen.INI", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, "1\r\n20\r\n2\r\n12\r\n13\r\n40\r\n");
    EXPECT_EQ(ReadColumnWidths(dir), widths);

    // Pairs that are not numbers are skipped; an odd last line is ignored.
    WriteSettingsFile(dir, "RcItemLen.INI", {"1", "abc", "3", "15", "x", "9", "4"});
    EXPECT_EQ(ReadColumnWidths(dir), (std::vector<ColumnWidth>{{3, 15}}));
    // Garbage: binary bytes, numbers out of range or too long, bare LF line
    // ends. Each pair stands or falls on its own.
    {
        std::ofstream out(dir / "RcItemLen.INI", std::ios::binary);
        out << std::string("\xff\xfe\0junk\r\n-3\r\n", 13) << "20\r\n0\r\n5\n4\n"
            << "99999999999\r\n5\r\n1000\r\n2\r\n 13 \r\n7\r\n12";
    }
    EXPECT_EQ(ReadColumnWidths(dir), (std::vector<ColumnWidth>{{5, 4}, {13, 7}}));
}

}  // namespace
}  // namespace ravelto::testing
