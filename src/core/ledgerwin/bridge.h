#pragma once

// The few shared helpers the ledger window leans on, reached through one
// place so the window's code reads the same whichever module provides them.

#include <string>
#include <string_view>

#include "core/ledger/eradate.h"

namespace ravelto::ledgerwin {

// The era date string of a date (20 bytes, full-width digits).
std::string EraDateString(const Date& date);

// The month label of a date (the first 16 bytes of its era date string).
std::string MonthLabelOf(const Date& date);

// A filter value: doubled quotes inside, enclosed in quotes.
std::string Quoted(std::string_view value);

}  // namespace ravelto::ledgerwin
