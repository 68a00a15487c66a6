#pragma once

// Small helpers for the record-store tests: a Database in the test's own
// CARDATA, records added by UTF-8 field names, the view read back as text.

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/ledger/cp932.h"
#include "core/ledger/ledger_tables.h"
#include "core/ledger/record_store.h"

namespace ravelto::testing {

using FieldValues = std::initializer_list<std::pair<const char*, const char*>>;

class StoreTest : public ::testing::Test {
  protected:
    std::filesystem::path Dir() {
        return store::Database::DirectoryFor(std::filesystem::current_path());
    }
    store::Database& Db() {
        if (!db_) db_ = std::make_unique<store::Database>(Dir());
        return *db_;
    }
    void Reopen() { db_.reset(); }
    store::Table& Ledger() { return Db().Open(ledger::ReceiveTable()); }
    store::Table& Totals() { return Db().Open(ledger::TotalsTable()); }

    // Appends and posts one record; values are UTF-8 and go in as CP932.
    static void Add(store::Table& t, FieldValues values) {
        t.Append();
        for (const auto& [field, value] : values)
            t.SetText(sj(field), sj(value));
        t.Post();
    }

    // One field of every record of the view, in view order, as UTF-8.
    static std::vector<std::string> Column(const store::Table& t, const char* field) {
        std::vector<std::string> out;
        for (int i = 1; i <= t.RecordCount(); ++i)
            out.push_back(Cp932ToUtf8(t.ReadAt(i).Text(sj(field))));
        return out;
    }

    static std::string Cur(const store::Table& t, const char* field) {
        return Cp932ToUtf8(t.Text(sj(field)));
    }

    std::unique_ptr<store::Database> db_;
};

// A table shaped like the invoicing program's job table, for the 作成日 /
// タイトル forms and for a second table in event and transaction tests.
inline const store::TableDef& JobTable() {
    static const store::TableDef def = [] {
        store::TableDef d;
        d.name = "Jobs.DB";
        d.fields = {{sj("作成日"), store::FieldType::Text},
                    {sj("タイトル"), store::FieldType::Text},
                    {sj("氏名"), store::FieldType::Text},
                    {sj("金額"), store::FieldType::Integer},
                    {sj("済"), store::FieldType::Logical}};
        d.orders = {{sj("降順"), {{sj("作成日"), true}}}};
        d.indexes = {{sj("作成日")}};
        return d;
    }();
    return def;
}

}  // namespace ravelto::testing
