#include "core/accounting/name_groups.h"

#include "core/ledger/cp932.h"
#include "core/ledger/filter_expression.h"
#include "core/ledger/record_store.h"
#include "core/ledger/settings_file.h"

namespace ravelto::accounting {

const store::TableDef& TotalNameTable() {
    static const store::TableDef def = [] {
        store::TableDef d;
        d.name = "RcTotalName.DB";
        d.fields.push_back({sj("合計請求書氏名"), store::FieldType::Text});
        for (int n = 1; n <= grp::kIncludedCount; ++n)
            d.fields.push_back({sj("含む氏名") + std::to_string(n), store::FieldType::Text});
        d.fields.push_back({sj("合計請求書郵便番号"), store::FieldType::Text});
        d.fields.push_back({sj("合計請求書住所"), store::FieldType::Text});
        return d;
    }();
    return def;
}

bool LocateNameGroup(store::Table& groups, std::string_view name) {
    // An empty prefix would find whatever group comes first.
    if (name.empty()) return false;
    const auto& fields = TotalNameTable().fields;
    const std::vector<std::string> value{std::string(name)};
    for (int f = grp::kGroupName; f < grp::kIncludedName1 + grp::kIncludedCount; ++f)
        if (groups.Locate(fields[f].name, value, true)) return true;
    return false;
}

std::vector<std::string> GroupMembers(const store::Table& groups) {
    std::vector<std::string> names{groups.Text(grp::kGroupName)};
    for (int n = 0; n < grp::kIncludedCount; ++n) {
        std::string name = groups.Text(grp::kIncludedName1 + n);
        if (!name.empty()) names.push_back(std::move(name));
    }
    return names;
}

std::string NameClause(const std::vector<std::string>& names) {
    static const std::string head = sj("(氏名 = "), next = sj("or  (氏名 = ");
    static const std::string from = sj("((氏名 >= "), to = sj(") and (氏名 <= ");
    std::string out;
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string quoted = store::QuoteValue(names[i]);
        if (!names[i].empty() && names[i].back() == '*') {
            // "= 'x*'" would match every name beginning with x: a name that
            // ends in * is matched exactly as the range from itself to itself.
            out += (i == 0 ? "" : "or  ") + from + quoted + to + quoted + "))";
        } else {
            out += (i == 0 ? head : next) + quoted + ")";
        }
    }
    return out;
}

std::string PersonalNameClause(store::Table& groups, std::string_view name) {
    if (LocateNameGroup(groups, name)) return NameClause(GroupMembers(groups));
    return NameClause({std::string(name)});
}

std::vector<ColumnWidth> ReadColumnWidths(const std::filesystem::path& dir) {
    const SettingsFile file = SettingsFile::Read(dir, kItemLenFile);
    std::vector<ColumnWidth> out;
    for (int line = 1; line + 1 <= file.LineCount(); line += 2) {
        ColumnWidth c;
        c.field_number = file.Int(line, 0, 1, 255);
        c.width = file.Int(line + 1, 0, 1, 999);
        if (c.field_number > 0 && c.width > 0) out.push_back(c);
    }
    return out;
}

void WriteColumnWidths(const std::filesystem::path& dir, const std::vector<ColumnWidth>& widths) {
    std::vector<std::string> lines;
    for (const ColumnWidth& c : widths) {
        lines.push_back(std::to_string(c.field_number));
        lines.push_back(std::to_string(c.width));
    }
    WriteSettingsFile(dir, kItemLenFile, lines);
}

}  // namespace ravelto::accounting
