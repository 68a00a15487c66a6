#include "core/ledger/ledger_tables.h"

#include "core/ledger/cp932.h"

namespace ravelto::ledger {

using store::FieldDef;
using store::FieldType;
using store::OrderDef;
using store::TableDef;

namespace {

FieldDef F(const char* utf8, FieldType type) {
    return FieldDef{sj(utf8), type};
}

TableDef BuildReceive() {
    constexpr auto T = FieldType::Text;
    constexpr auto I = FieldType::Integer;
    TableDef d;
    d.name = "receive.DB";
    d.fields = {F("売上日", T),       F("入庫日", T),       F("出庫日", T),   F("ふりがな", T),
                F("氏名", T),         F("タイトル", T),     F("登録番号", T), F("車名", T),
                F("郵便番号", T),     F("住所", T),         F("電話番号", T), F("先月立替残", I),
                F("先月売掛残", I),   F("先月残合計", I),   F("諸費用", I),   F("売上", I),
                F("請求合計", I),     F("お預り日", T),     F("お預り", I),   F("入金日1", T),
                F("入金額1", I),      F("入金日2", T),      F("入金額2", I),  F("調整額", I),
                F("立替残金", I),     F("売掛残金", I),     F("残金合計", I), F("書込モード", I),
                F("種別", T),         F("走行距離", T),     F("コメント", T), F("初度登録", T),
                F("型式", T),         F("型式指定番号", T), F("車台番号", T), F("原動機型式", T),
                F("類別区分番号", T), F("自賠責", I),       F("重量税", I),   F("印紙代", I)};
    for (int i = 1; i <= 10; ++i)
        d.fields.push_back(F(("諸費用" + std::to_string(i)).c_str(), I));
    for (int i = 8; i <= 10; ++i)
        d.fields.push_back(F(("諸費用項目" + std::to_string(i)).c_str(), T));
    for (const char* n : {"車検合計", "部品代合計", "作業工賃合計", "消費税"})
        d.fields.push_back(F(n, I));
    for (const char* n : {"受付担当", "整備担当", "お預り種別", "入金1種別", "入金2種別"})
        d.fields.push_back(F(n, T));
    d.fields.push_back(F("合計請求不含", FieldType::Logical));
    d.fields.push_back(F("項番", I));
    d.orders = {
        OrderDef{sj("降順"), {{sj("項番"), true}}},
        OrderDef{sj("入庫日降順"), {{sj("入庫日"), true}}},
        OrderDef{sj("出庫日降順"), {{sj("出庫日"), true}}},
        OrderDef{sj("ふりがな"), {{sj("ふりがな"), false}}},
    };
    d.indexes = {{sj("売上日")}, {sj("氏名")}};
    return d;
}

TableDef BuildTotals() {
    constexpr auto I = FieldType::Integer;
    TableDef d;
    d.name = "RcivTotal.db";
    d.fields = {F("売上日", FieldType::Text),
                F("先月立替残", I),
                F("先月売掛残", I),
                F("先月残合計", I),
                F("諸費用", I),
                F("売上", I),
                F("請求合計", I),
                F("入金額", I),
                F("調整額", I),
                F("立替残金", I),
                F("売掛残金", I),
                F("残金合計", I),
                F("書込モード", I)};
    d.orders = {OrderDef{"", {{sj("売上日"), false}}}};
    return d;
}

}  // namespace

const TableDef& ReceiveTable() {
    static const TableDef def = BuildReceive();
    return def;
}

const TableDef& TotalsTable() {
    static const TableDef def = BuildTotals();
    return def;
}

const std::string& OrderDescending() {
    static const std::string s = sj("降順");
    return s;
}
const std::string& OrderInDateDesc() {
    static const std::string s = sj("入庫日降順");
    return s;
}
const std::string& OrderOutDateDesc() {
    static const std::string s = sj("出庫日降順");
    return s;
}
const std::string& OrderFurigana() {
    static const std::string s = sj("ふりがな");
    return s;
}

int32_t SalesDateKey(std::string_view sales_date, int settle_day, const Clock& clock) {
    static const std::string day_char = sj("日");
    bool has_day = false;
    for (size_t i = 0; i < sales_date.size();) {
        if (IsLeadByte(static_cast<unsigned char>(sales_date[i])) && i + 1 < sales_date.size()) {
            if (sales_date.substr(i, 2) == day_char) has_day = true;
            i += 2;
        } else {
            ++i;
        }
    }
    Date d = CharToDate(sales_date, clock);
    int month = d.month;
    int day = d.day;
    if (!has_day) {
        day = settle_day;
        if (settle_day != 0) month -= 1;
    }
    return static_cast<int32_t>(d.year * 10000 + month * 100 + day);
}

}  // namespace ravelto::ledger
