#pragma once

// Synthetic name groups for demos, screenshots and benchmarks: customers of a
// generated ledger billed together on one total invoice.

#include "core/ledger/record_store.h"

namespace ravelto::accounting {

// Appends up to `groups` groups to RcTotalName.DB of db (opened when needed),
// in one transaction. Each group takes three customers of receive.DB, in the
// order their first record stands: the first gives the group name, postal
// code and address, the other two stand in 含む氏名1 and 含む氏名2. Returns
// the number of groups made (fewer when the ledger has too few customers).
int GenerateNameGroups(store::Database& db, int groups);

}  // namespace ravelto::accounting
