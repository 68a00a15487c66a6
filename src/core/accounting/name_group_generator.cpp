#include "core/accounting/name_group_generator.h"

#include <set>
#include <string>
#include <vector>

#include "core/accounting/name_groups.h"
#include "core/ledger/ledger_tables.h"

namespace ravelto::accounting {

namespace {

struct Customer {
    std::string name, post_code, address;
};

std::vector<Customer> CustomersOf(store::Table& ledger, size_t wanted) {
    std::vector<Customer> customers;
    std::set<std::string> seen;
    for (int rec = 1; rec <= ledger.RecordCount() && customers.size() < wanted; ++rec) {
        const store::Record r = ledger.ReadAt(rec);
        const std::string& name = r.Text(ledger::rcv::kName);
        if (name.empty() || !seen.insert(name).second) continue;
        customers.push_back({name, r.Text(ledger::rcv::kPostCode), r.Text(ledger::rcv::kAddress)});
    }
    return customers;
}

}  // namespace

int GenerateNameGroups(store::Database& db, int groups) {
    if (groups <= 0) return 0;
    store::Table& ledger = db.Open(ledger::ReceiveTable());
    store::Table& names = db.Open(TotalNameTable());
    const std::vector<Customer> customers = CustomersOf(ledger, static_cast<size_t>(groups) * 3);
    const int made = static_cast<int>(customers.size() / 3);
    store::Transaction transaction(db);
    for (int g = 0; g < made; ++g) {
        const Customer* c = &customers[static_cast<size_t>(g) * 3];
        std::vector<std::string> values(grp::kFieldCount);
        values[grp::kGroupName] = c[0].name;
        values[grp::kIncludedName1] = c[1].name;
        values[grp::kIncludedName1 + 1] = c[2].name;
        values[grp::kPostCode] = c[0].post_code;
        values[grp::kAddress] = c[0].address;
        names.AppendRecord(values);
    }
    transaction.Commit();
    return made;
}

}  // namespace ravelto::accounting
