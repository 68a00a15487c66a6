#pragma once

// Total-invoice name groups (RcTotalName.DB): a group name with up to ten
// further names billed together on one total invoice, and the postal code and
// address the total invoice goes to. The personal view and the total-invoice
// printing look names up here.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/ledger/table_schema.h"

namespace ravelto::store {
class Table;
}

namespace ravelto::accounting {

// Field positions of RcTotalName.DB. RcItemLen.INI stores field numbers
// (position + 1), so the order is fixed.
namespace grp {
inline constexpr int kGroupName = 0;      // 合計請求書氏名
inline constexpr int kIncludedName1 = 1;  // 含む氏名1 (… 含む氏名10 = kIncludedName1 + 9)
inline constexpr int kIncludedCount = 10;
inline constexpr int kPostCode = 11;  // 合計請求書郵便番号
inline constexpr int kAddress = 12;   // 合計請求書住所
inline constexpr int kFieldCount = 13;
}  // namespace grp

// RcTotalName.DB: every field text, in the order above.
const store::TableDef& TotalNameTable();

// Puts the groups' cursor on the group `name` (CP932) belongs to: the first
// group whose 合計請求書氏名 begins with it, failing that the first whose
// 含む氏名1 begins with it, then 含む氏名2, … 含む氏名10. False when no group
// holds it; an empty name belongs to no group.
bool LocateNameGroup(store::Table& groups, std::string_view name);

// The members of the current group: its 合計請求書氏名, then each non-empty
// 含む氏名n in order.
std::vector<std::string> GroupMembers(const store::Table& groups);

// The name clause of the filters: "(氏名 = 'a')" then "or  (氏名 = 'b')" for
// each further name. CP932. Every name matches exactly: one that ends in *
// (which the filters read as "begins with") is written as the range
// "((氏名 >= 'a*') and (氏名 <= 'a*'))" instead.
std::string NameClause(const std::vector<std::string>& names);

// The personal view's name clause for a ledger record named `name`: every
// member of its group, or the name alone when it belongs to no group. Moves
// the groups' cursor.
std::string PersonalNameClause(store::Table& groups, std::string_view name);

// RcItemLen.INI: the column widths of the group editing grid, one pair of
// lines per column (field number, display width in characters).
struct ColumnWidth {
    int field_number = 0;  // 1-based position of the column's field in the table
    int width = 0;         // characters
    bool operator==(const ColumnWidth&) const = default;
};
inline constexpr const char* kItemLenFile = "RcItemLen.INI";
// Pairs in file order; a pair that is not two numbers (field 1 … 255, width
// 1 … 999) is skipped. A missing file gives none.
std::vector<ColumnWidth> ReadColumnWidths(const std::filesystem::path& dir);
// Rewrites the file from scratch. Throws SettingsFileError; the old file is
// then untouched.
void WriteColumnWidths(const std::filesystem::path& dir, const std::vector<ColumnWidth>& widths);

}  // namespace ravelto::accounting
